#include "content/lesson_viewer.h"

#include <QListWidget>
#include <QSignalBlocker>
#include <QTextEdit>
#include <algorithm>

#include "content/course_data.h"
#include "content/exercise_text.h"
#include "content/screen_style.h"
#include "exercise/keyboard_tables.h"
#include "platform/events.h"
#include "platform/fonts.h"
#include "platform/windows.h"
#include "users/user_record.h"

namespace tz {

namespace {

struct LessonViewer {
    CoursePlace chosen;  // the exercise the lists show
    // The PC's keyboard: the lists and the preview show what the pupil will type on it.
    const KeyboardTables* keyboard = nullptr;
    ScreenWindow* window = nullptr;
    QListWidget* levels = nullptr;
    QListWidget* blocks = nullptr;
    QListWidget* entries = nullptr;
    QTextEdit* preview = nullptr;
    QPushButton* back = nullptr;
};

LessonViewer BuildLessonViewer(QWidget* owner, const KeyboardTables& keyboard) {
    LessonViewer viewer;
    viewer.keyboard = &keyboard;
    viewer.window =
        CreateScreenWindow(QStringLiteral("Visor de Lecciones"), 664, 362, false, owner);
    viewer.window->SetKeyCapture(KeyCapture::Commands);
    SetTiledBackground(viewer.window, PictureName::ViewerBackground);

    AddCaption(viewer.window, kViewerLevelCaptionId, QStringLiteral("Nivel"), QRect(10, 15, 45, 20),
               Qt::AlignCenter);
    viewer.levels = AddSelectionList(viewer.window, kViewerLevelListId, QRect(10, 35, 45, 200));
    AddCaption(viewer.window, kViewerBlockCaptionId, QStringLiteral("Bloques"),
               QRect(65, 15, 60, 20));
    viewer.blocks = AddSelectionList(viewer.window, kViewerBlockListId, QRect(65, 35, 60, 145));
    AddCaption(viewer.window, kViewerEntryCaptionId, QStringLiteral("PALABRAS del Bloque"),
               QRect(140, 15, 515, 20));
    viewer.entries = AddSelectionList(viewer.window, kViewerEntryListId, QRect(140, 35, 515, 145),
                                      QColor(255, 221, 221));
    for (QListWidget* list : {viewer.levels, viewer.blocks}) {
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }

    // Two lines of "Arial" 9 points fit the 30 pixels of the start button.
    QPushButton* start =
        AddWrappingButton(viewer.window, kViewerStartId, QStringLiteral("Realizar este ejercicio"),
                          QRect(10, 260, 120, 30));
    start->setFont(MakeFont("Arial", 9, true));
    viewer.back = AddWrappingButton(viewer.window, kViewerBackId, QStringLiteral("Volver"),
                                    QRect(10, 310, 120, 35));
    viewer.back->setFont(MakeFont("Arial", 9, true));

    AddCaption(viewer.window, kViewerPreviewCaptionId, QStringLiteral("VISTA PREVIA DEL EJERCICIO"),
               QRect(140, 185, 515, 20));
    viewer.preview = new QTextEdit(viewer.window);
    viewer.preview->setGeometry(140, 205, 515, 140);
    SetControlId(viewer.preview, kViewerPreviewId);
    viewer.preview->setAcceptRichText(false);
    // A preview: the pupil reads it, and types it with the start button.
    viewer.preview->setReadOnly(true);
    viewer.preview->setLineWrapMode(QTextEdit::WidgetWidth);
    viewer.preview->setFont(MakeFont("Courier New", 9, true));
    viewer.preview->setStyleSheet(
        "QTextEdit { background-color: rgb(255, 242, 213); color: rgb(30, 30, 60);"
        " border: 1px solid rgb(150, 96, 30); }");
    return viewer;
}

// The number a list shows in its selected row; 0 when no row is selected.
int SelectedNumber(const QListWidget* list) {
    const QListWidgetItem* item = list->currentItem();
    return item ? static_cast<int>(ReadNumber(item->text().trimmed())) : 0;
}

// Selects a row without the list telling the loop: the caller runs the choice itself. A row
// outside the list (a damaged course position) selects the nearest one.
void SelectRow(QListWidget* list, int row) {
    if (list->count() == 0) return;
    const QSignalBlocker quiet(list);
    list->setCurrentRow(std::clamp(row, 0, list->count() - 1));
    list->scrollToItem(list->currentItem());
}

void FillList(QListWidget* list, const QStringList& rows) {
    const QSignalBlocker quiet(list);
    list->clear();
    list->addItems(rows);
}

void ShowPreview(const LessonViewer& viewer, const ExerciseText& built) {
    QString text = TypeableText(*viewer.keyboard, built.text);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace('\r', '\n');
    if (!built.built && !built.missingFile.isEmpty()) {
        text = QStringLiteral("No se encuentra el texto de este ejercicio:\n") + built.missingFile;
    }
    viewer.preview->setPlainText(text);
}

void LevelChosen(LessonViewer& viewer) {
    viewer.chosen.level = SelectedNumber(viewer.levels);
    // The block count stands in the level's header, read with its first block.
    const int blocks = LoadBlock(viewer.chosen.level, 1).blockCount;
    QStringList numbers;
    for (int block = 1; block <= blocks; ++block) numbers.append(QString::number(block));
    FillList(viewer.blocks, numbers);
}

void BlockChosen(LessonViewer& viewer) {
    viewer.chosen.block = SelectedNumber(viewer.blocks);
    QStringList shown = LoadBlock(viewer.chosen.level, viewer.chosen.block).entries;
    for (QString& entry : shown) {
        entry = TypeableText(*viewer.keyboard, entry.replace(kQuoteMarker, QStringLiteral("\"")));
    }
    FillList(viewer.entries, shown);
}

void EntryChosen(LessonViewer& viewer) {
    CoursePlace& chosen = viewer.chosen;
    chosen.exercise = viewer.entries->currentRow() + 1;
    ShowPreview(viewer,
                AssembleExerciseText(LoadBlock(chosen.level, chosen.block), chosen.exercise));
}

void OpenOn(LessonViewer& viewer, int levelRow, int blockRow, int entryRow) {
    SelectRow(viewer.levels, levelRow);
    LevelChosen(viewer);
    SelectRow(viewer.blocks, blockRow);
    BlockChosen(viewer);
    SelectRow(viewer.entries, entryRow);
    EntryChosen(viewer);
}

void StartChosenExercise(const LessonViewer& viewer,
                         const std::function<void(const CoursePlace&)>& run) {
    if (viewer.entries->currentRow() < 0) return;
    // What the lists show is what is typed.
    const CoursePlace chosen{SelectedNumber(viewer.levels), SelectedNumber(viewer.blocks),
                             viewer.entries->currentRow() + 1};
    // The exercise window takes the viewer's place while the pupil types.
    SetAlwaysOnTop(viewer.window, false);
    viewer.window->hide();
    if (run) run(chosen);
    viewer.window->show();
    BringToFront(viewer.window, false);
    viewer.back->setFocus();
}

// Handles one event of the viewer; true when it is to close.
bool HandleViewerEvent(LessonViewer& viewer, const Event& event,
                       const std::function<void(const CoursePlace&)>& run) {
    switch (event.type) {
        case EventType::CloseRequest:
            return true;
        case EventType::Char:
            return event.code == 27;
        case EventType::Click:
            if (event.id == kViewerBackId) return true;
            if (event.id == kViewerStartId) {
                StartChosenExercise(viewer, run);
                return false;
            }
            // A click on the row already selected chooses it again.
            [[fallthrough]];
        case EventType::SelectionChanged:
            if (event.row < 0) return false;
            if (event.id == kViewerLevelListId) {
                OpenOn(viewer, viewer.levels->currentRow(), 0, 0);
            } else if (event.id == kViewerBlockListId) {
                BlockChosen(viewer);
                SelectRow(viewer.entries, 0);
                EntryChosen(viewer);
            } else if (event.id == kViewerEntryListId) {
                EntryChosen(viewer);
            }
            return false;
        default:
            return false;
    }
}

}  // namespace

void OpenLessonViewer(QWidget* owner, const UserRecord& pupil, const KeyboardTables& keyboard,
                      const std::function<void(const CoursePlace&)>& runChosenExercise) {
    LessonViewer viewer = BuildLessonViewer(owner, keyboard);
    viewer.window->show();
    BringToFront(viewer.window, false);
    if (owner) owner->setEnabled(false);
    // A window follows its owner into the disabled state unless told otherwise.
    viewer.window->setEnabled(true);
    SetAlwaysOnTop(viewer.window, true);

    QStringList levels;
    for (int level = 1; level <= LastLevel; ++level) levels.append(QString::number(level));
    FillList(viewer.levels, levels);
    const int level = std::min<int>(pupil.level, LastLevel);
    if (level >= 1) {
        OpenOn(viewer, level - 1, pupil.block - 1, pupil.exercise - 1);
    } else {
        OpenOn(viewer, 0, 0, 0);
    }
    viewer.back->setFocus();

    bool closing = false;
    while (!closing) {
        const Event event = WaitEvent();
        if (event.window == viewer.window) {
            closing = HandleViewerEvent(viewer, event, runChosenExercise);
        }
    }

    if (owner) owner->setEnabled(true);
    SetAlwaysOnTop(viewer.window, false);
    DestroyWindow(viewer.window);
    if (owner) BringToFront(owner, false);
}

}  // namespace tz
