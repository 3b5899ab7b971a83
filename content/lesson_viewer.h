#pragma once
// The lesson viewer: every level, block and exercise of the course can be chosen, previewed and
// typed, without changing the pupil's own place in the course.

#include <QString>
#include <functional>

#include "content/course_data.h"
#include "users/user_record.h"

class QWidget;

namespace tz {

struct KeyboardTables;

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
// meanwhile, on the pupil's exercise (level 36 for a pupil past the course, level 1 block 1
// exercise 1 with no pupil), and returns when the pupil leaves with Escape, the close request
// or "Volver". Entries and preview show the course as it is typed on `keyboard`, the PC's
// keyboard. The start button hands the chosen exercise to `runChosenExercise` (the exercise
// run of one exercise chosen by hand). Browsing moves nobody in the course.
void OpenLessonViewer(QWidget* owner, const UserRecord& pupil, const KeyboardTables& keyboard,
                      const std::function<void(const CoursePlace&)>& runChosenExercise);

}  // namespace tz
