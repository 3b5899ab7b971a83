#pragma once

namespace tz {

// The exercise run: lets the CurrentUser type exercises in the exercise window, judges them,
// moves the user through the course and keeps the users file up to date. ExerciseSource says
// who called ("NO" the main menu, "SI" the lesson viewer, "TXTLARGO" the custom texts window);
// the caller sets it before and back to "NO" afterwards. Returns when the pupil leaves.
void RunExercises();

}  // namespace tz
