#pragma once

#include <QString>
#include <optional>

#include "app/program_state.h"
#include "content/exercise_text.h"

namespace tz {

// What a run types.
struct ExerciseRequest {
    // Who asked: the main menu (the course), the lesson viewer (one exercise chosen by hand) or
    // the custom texts window (one custom document).
    ExerciseSource source = ExerciseSource::Course;
    // The speed every attempt must reach instead of the level's: a pupil's own text has no
    // level, so the custom texts window asks 0 and only the errors count.
    std::optional<int> speedTarget;
    // The custom document typed, a file name of the folder of custom texts.
    QString customDocumentName;
    // A text made for the pupil (the drill of her difficult keys), typed instead of the
    // course's; only with ExerciseSource::Manual.
    QString drillText;
};

// One exercise chosen in the lesson viewer: the level's target, nothing saved.
ExerciseRequest ManualExerciseRequest();
// A custom document: every speed passes (the target is 0), nothing saved.
ExerciseRequest CustomTextRequest(const QString& document);
// The drill of the pupil's difficult keys: typed like an exercise of the lesson viewer (the
// level's target, the verdict shown, nothing saved).
ExerciseRequest DrillRequest(const QString& text);

// The exercise run: lets the state's CurrentUser type exercises in the exercise window, judges
// them, moves the user through the course and, for the course, keeps the users file and the
// main menu's chart up to date. Returns when the pupil leaves.
void RunExercises(ProgramState& state, const ExerciseRequest& request = {});

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
bool RunExercisesForUser(ProgramState& state, const QString& id);

}  // namespace tz
