#pragma once
// How the lesson viewer and the custom texts window start the exercise run, and the speed a
// custom text asks for.

#include <functional>
#include <optional>

namespace tz {

// While set, the exercise run takes this as the SpeedTarget of its attempts instead of the
// target of the level and mode. The custom texts window sets 0 around its run: a pupil's own
// text has no level, so every speed passes and only the errors count.
extern std::optional<int> SpeedTargetOverride;

// Runs the exercise run (RunExercises) or, in tests, the stand-in put in its place.
void CallExerciseRun();
// Tests: what CallExerciseRun runs instead of the exercise run; an empty function puts the
// exercise run back.
void SetExerciseRunStandIn(std::function<void()> standIn);

}  // namespace tz
