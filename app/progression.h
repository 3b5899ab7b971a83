#pragma once
// The rules of what follows a finished attempt: the verdict and its words, where the pupil
// goes in the course, what she is told, and whether her record is saved. The exercise run
// shows and saves what these return.

#include <QString>

#include "exercise/exercise_session.h"
#include "users/user_record.h"

namespace tz {

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

// What comes after the verdict.
enum class NextStep {
    SameExercise,    // failed: the same exercise, the same text
    NextExercise,    // the next exercise of the block
    NewBlock,        // the first exercise of the next block
    NewLevel,        // the first exercise of the next level
    CourseComplete,  // nothing left to type
    Leave,           // a run of one exercise (lesson viewer, custom text, drill) ends here
};

// The course around the pupil's place, as far as progression needs it.
struct BlockCounts {
    int exercisesInBlock = 0;
    int blocksInLevel = 0;
};

struct Progression {
    // Her record afterwards: her place and results. A run that is not the course leaves it
    // as it was.
    UserRecord pupil;
    // The result window's words; her answer to them says whether she goes on.
    QString verdict;
    // A new level or the end of the course, told after the verdict (that answer is not used);
    // empty when there is none.
    QString notice;
    // Her record goes to the store, and the main menu's chart is drawn again.
    bool save = false;
    NextStep next = NextStep::SameExercise;
};

// After a finished attempt at the pupil's exercise with `result`, against `speedTarget`, in a
// block with the `course` counts. `courseRun` is the course from the main menu; any other run
// types one exercise and moves no one.
Progression Progress(const UserRecord& pupil, const ExerciseResult& result, int speedTarget,
                     const BlockCounts& course, bool courseRun);

// The messages of the end of a block, a level and the course.
QString NewBlockWords();
QString NewLevelMessage(int level);
QString CourseCompleteMessage();
// The notice for a user who has finished the course and starts exercises again.
QString CourseFinishedNotice(const QString& name);

}  // namespace tz
