#include "exercise/exercise_run.h"

namespace tz {

// Filled in with the exercise window.
void RunExercises() {}

}  // namespace tz
