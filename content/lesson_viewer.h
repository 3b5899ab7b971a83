#pragma once
// The lesson viewer: every level, block and exercise of the course can be chosen, previewed and
// typed, without changing the pupil's own place in the course.

#include <QDialog>
#include <QString>
#include <functional>

#include "content/course_data.h"
#include "users/user_record.h"

class QPushButton;
class QTextEdit;

namespace tz {

struct KeyboardTables;
class SelectionList;

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

// "Visor de Lecciones" over its owner (the main menu), always on top while it shows. It opens
// on the pupil's exercise (level 36 for a pupil past the course, level 1 block 1 exercise 1 with
// nobody) and follows the choices made in its lists; entries and preview show the course as it
// is typed on `keyboard`, the PC's keyboard. Escape, the close request and "Volver" reject it;
// the start button ends it with kStartChosen, Chosen() being the exercise to type. Browsing
// moves nobody in the course.
class LessonViewer : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kStartChosen = 2;
    LessonViewer(QWidget* owner, const UserRecord& pupil, const KeyboardTables& keyboard);
    // The exercise the lists show.
    CoursePlace Chosen() const;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void LevelChosen();
    void BlockChosen();
    void EntryChosen();
    void OpenOn(int levelRow, int blockRow, int entryRow);

    const KeyboardTables& keyboard_;
    SelectionList* levels_ = nullptr;
    SelectionList* blocks_ = nullptr;
    SelectionList* entries_ = nullptr;
    QTextEdit* preview_ = nullptr;
    QPushButton* back_ = nullptr;
};

// Shows the viewer modal over `owner` until the pupil leaves it. Each exercise started there is
// handed to `runChosenExercise` (the exercise run of one exercise chosen by hand) while the
// viewer is hidden; the viewer comes back with the same choices afterwards.
void OpenLessonViewer(QWidget* owner, const UserRecord& pupil, const KeyboardTables& keyboard,
                      const std::function<void(const CoursePlace&)>& runChosenExercise);

}  // namespace tz
