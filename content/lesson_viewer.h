#pragma once
// The lesson viewer: every level, block and exercise of the course can be chosen, previewed and
// typed, without changing the pupil's own place in the course.

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

// Shows the viewer ("Visor de Lecciones") over the main menu, which is disabled meanwhile, on
// the CurrentUser's exercise (level 36 for a user past the course, level 1 block 1 exercise 1
// with no user), and returns when the pupil leaves with Escape, the close request or "Volver".
// The CurrentUser and CurrentMode are then exactly what they were at opening, whatever
// exercises were typed from the viewer.
void OpenLessonViewer();

}  // namespace tz
