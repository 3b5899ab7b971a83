#pragma once

#include <QString>

namespace tz {

// The exercise run: lets the CurrentUser type exercises in the exercise window, judges them,
// moves the user through the course and keeps the users file up to date. ExerciseSource says
// who called ("NO" the main menu, "SI" the lesson viewer, "TXTLARGO" the custom texts window);
// the caller sets it before and back to "NO" afterwards. Returns when the pupil leaves.
void RunExercises();

// The speed an attempt of the block loaded last must reach.
extern int SpeedTarget;

// The level's speed as the difficulty mode asks it: "FACIL" half, "MUY FACIL" a third,
// "DIFICIL" double (whole numbers, remainders dropped), anything else unchanged.
int SpeedTargetFor(int levelSpeed, const QString& mode);

// How a finished attempt is judged.
struct Verdict {
    bool passed = false;
    QString message;  // the words of the result window, lines joined by LineBreak
};
// At most 5 errors and a speed of at least the target pass. `course` adds the words that
// send the pupil on to the next exercise.
Verdict JudgeAttempt(int errors, int speed, int target, bool course);

// The messages of the end of a block, a level and the course.
QString NewBlockWords();
QString NewLevelMessage(int level);
QString CourseCompleteMessage();
// The notice for a user who has finished the course and starts exercises again.
QString CourseFinishedNotice(const QString& name);

// Development entry: runs the course for the user of the users file with this id, without
// the main menu. Returns false (after telling so) when no such user exists.
bool RunExercisesForUser(const QString& id);

}  // namespace tz
