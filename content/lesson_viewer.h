#pragma once
// The lesson viewer: every level, block and exercise of the course can be chosen, previewed and
// typed, without changing the pupil's own place in the course.

#include <QString>
#include <functional>

#include "users/user_record.h"

class QWidget;

namespace tz {

enum LessonViewerControl {
    kViewerLevelCaptionId = 1,
    kViewerLevelListId = 2,
    kViewerBlockCaptionId = 3,
    kViewerBlockListId = 4,
    kViewerEntryCaptionId = 5,
    kViewerEntryListId = 6,
    kViewerStartId = 7,
    kViewerBackId = 8,
    kViewerPreviewCaptionId = 9,
    kViewerPreviewId = 10,
};

// Shows the viewer ("Visor de Lecciones") over `owner` (the main menu), which is disabled
// meanwhile, on the current user's exercise (level 36 for a user past the course, level 1
// block 1 exercise 1 with no user), and returns when the pupil leaves with Escape, the close
// request or "Volver". The start button puts the chosen level, block and exercise into
// `currentUser` and calls `runChosenExercise` (the exercise run of one exercise chosen by
// hand). `currentUser` and `currentMode` are then exactly what they were at opening, whatever
// exercises were typed from the viewer.
void OpenLessonViewer(QWidget* owner, UserRecord& currentUser, QString& currentMode,
                      const std::function<void()>& runChosenExercise);

}  // namespace tz
