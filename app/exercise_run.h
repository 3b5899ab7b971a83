#pragma once

#include <QString>
#include <optional>

#include "app/program_state.h"
#include "app/progression.h"
#include "content/course_data.h"
#include "content/exercise_text.h"

namespace tz {

// What a run types.
struct ExerciseRequest {
    // Who asked: the main menu (the course), the lesson viewer (one exercise chosen by hand) or
    // the custom texts window (one custom document).
    ExerciseSource source = ExerciseSource::Course;
    // The exercise of a run that is not the course, whose place is the pupil's own: the one
    // chosen in the lesson viewer; for a custom text the course's first, whose entry the
    // document replaces; for the drill, the first of the level whose target it asks.
    CoursePlace place;
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
ExerciseRequest ManualExerciseRequest(const CoursePlace& place);
// A custom document: every speed passes (the target is 0), nothing saved.
ExerciseRequest CustomTextRequest(const QString& document);
// The drill of the pupil's difficult keys: typed like an exercise of the lesson viewer at
// `level` (its target, the verdict shown, nothing saved).
ExerciseRequest DrillRequest(const QString& text, int level);

// The exercise run: lets the state's CurrentUser type what was asked in the exercise window and
// judges it. The course moves her through the course and keeps the users file and the main
// menu's chart up to date; any other request leaves her record as it is. Returns when the
// pupil leaves.
void RunExercises(ProgramState& state, const ExerciseRequest& request = {});

// Development entry: runs the course for the user of the users file with this id, without
// the main menu. Returns false (after telling so) when no such user exists.
bool RunExercisesForUser(ProgramState& state, const QString& id);

}  // namespace tz
