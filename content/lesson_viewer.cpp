#include "content/lesson_viewer.h"

#include <QSignalBlocker>
#include <QTextEdit>
#include <algorithm>

#include "content/exercise_text.h"
#include "content/screen_style.h"
#include "exercise/keyboard_tables.h"
#include "platform/fonts.h"
#include "platform/windows.h"

namespace tz {

namespace {

// The number a list shows in its selected row; 0 when no row is selected.
int SelectedNumber(const QListWidget* list) {
    const QListWidgetItem* item = list->currentItem();
    return item ? static_cast<int>(ReadNumber(item->text().trimmed())) : 0;
}

// Selects a row without the list telling it: the caller makes the choice itself. A row outside
// the list (a damaged course position) selects the nearest one.
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

// A button whose clicks are its only way in: Enter presses none.
QPushButton* MakeClickOnlyButton(QWidget* viewer, int id, const QString& text,
                                 const QRect& geometry) {
    QPushButton* button = MakeWrappingButton(viewer, id, text, geometry);
    button->setAutoDefault(false);
    // Two lines of "Arial" 9 points fit the 30 pixels of the start button.
    button->setFont(MakeFont("Arial", 9, true));
    return button;
}

}  // namespace

LessonViewer::LessonViewer(QWidget* owner, const UserRecord& pupil, const KeyboardTables& keyboard)
    : QDialog(owner), keyboard_(keyboard) {
    SetUpScreen(this, QStringLiteral("Visor de Lecciones"), 664, 362, false);
    KeepOnTopWhileShown(this);
    SetTiledBackground(this, PictureName::ViewerBackground);

    AddCaption(this, kViewerLevelCaptionId, QStringLiteral("Nivel"), QRect(10, 15, 45, 20),
               Qt::AlignCenter);
    levels_ = new SelectionList(this, kViewerLevelListId, QRect(10, 35, 45, 200),
                                QStringLiteral("Nivel"));
    AddCaption(this, kViewerBlockCaptionId, QStringLiteral("Bloques"), QRect(65, 15, 60, 20));
    blocks_ = new SelectionList(this, kViewerBlockListId, QRect(65, 35, 60, 145),
                                QStringLiteral("Bloques"));
    AddCaption(this, kViewerEntryCaptionId, QStringLiteral("PALABRAS del Bloque"),
               QRect(140, 15, 515, 20));
    entries_ = new SelectionList(this, kViewerEntryListId, QRect(140, 35, 515, 145),
                                 QStringLiteral("PALABRAS del Bloque"), QColor(255, 221, 221));
    levels_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    blocks_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    QPushButton* start = MakeClickOnlyButton(
        this, kViewerStartId, QStringLiteral("Realizar este ejercicio"), QRect(10, 260, 120, 30));
    back_ =
        MakeClickOnlyButton(this, kViewerBackId, QStringLiteral("Volver"), QRect(10, 310, 120, 35));

    AddCaption(this, kViewerPreviewCaptionId, QStringLiteral("VISTA PREVIA DEL EJERCICIO"),
               QRect(140, 185, 515, 20));
    preview_ = new QTextEdit(this);
    preview_->setGeometry(140, 205, 515, 140);
    SetControlId(preview_, kViewerPreviewId);
    preview_->setAccessibleName(QStringLiteral("VISTA PREVIA DEL EJERCICIO"));
    preview_->setAcceptRichText(false);
    // A preview: the pupil reads it, and types it with the start button.
    preview_->setReadOnly(true);
    preview_->setLineWrapMode(QTextEdit::WidgetWidth);
    preview_->setFont(MakeFont("Courier New", 9, true));
    preview_->setStyleSheet(
        "QTextEdit { background-color: rgb(255, 242, 213); color: rgb(30, 30, 60);"
        " border: 1px solid rgb(150, 96, 30); }");

    connect(levels_, &SelectionList::rowChosen, this, [this](int row) { OpenOn(row, 0, 0); });
    connect(blocks_, &SelectionList::rowChosen, this, [this] {
        BlockChosen();
        SelectRow(entries_, 0);
        EntryChosen();
    });
    connect(entries_, &SelectionList::rowChosen, this, &LessonViewer::EntryChosen);
    connect(back_, &QPushButton::clicked, this, &QDialog::reject);
    connect(start, &QPushButton::clicked, this, [this] {
        if (entries_->currentRow() >= 0) done(kStartChosen);
    });

    QStringList numbers;
    for (int level = 1; level <= LastLevel; ++level) numbers.append(QString::number(level));
    FillList(levels_, numbers);
    const int level = std::min<int>(pupil.level, LastLevel);
    if (level >= 1) {
        OpenOn(level - 1, pupil.block - 1, pupil.exercise - 1);
    } else {
        OpenOn(0, 0, 0);
    }
}

CoursePlace LessonViewer::Chosen() const {
    // What the lists show is what is typed.
    return {SelectedNumber(levels_), SelectedNumber(blocks_), entries_->currentRow() + 1};
}

void LessonViewer::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    back_->setFocus();
}

void LessonViewer::LevelChosen() {
    // The block count stands in the level's header, read with its first block.
    const int blocks = LoadBlock(SelectedNumber(levels_), 1).blockCount;
    QStringList numbers;
    for (int block = 1; block <= blocks; ++block) numbers.append(QString::number(block));
    FillList(blocks_, numbers);
}

void LessonViewer::BlockChosen() {
    QStringList shown = LoadBlock(SelectedNumber(levels_), SelectedNumber(blocks_)).entries;
    for (QString& entry : shown) {
        entry = TypeableText(keyboard_, entry.replace(kQuoteMarker, QStringLiteral("\"")));
    }
    FillList(entries_, shown);
}

void LessonViewer::EntryChosen() {
    const CoursePlace chosen = Chosen();
    const ExerciseText built =
        AssembleExerciseText(LoadBlock(chosen.level, chosen.block), chosen.exercise);
    QString text = TypeableText(keyboard_, built.text);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace('\r', '\n');
    if (!built.built && !built.missingFile.isEmpty()) {
        text = QStringLiteral("No se encuentra el texto de este ejercicio:\n") + built.missingFile;
    }
    preview_->setPlainText(text);
}

void LessonViewer::OpenOn(int levelRow, int blockRow, int entryRow) {
    SelectRow(levels_, levelRow);
    LevelChosen();
    SelectRow(blocks_, blockRow);
    BlockChosen();
    SelectRow(entries_, entryRow);
    EntryChosen();
}

void OpenLessonViewer(QWidget* owner, const UserRecord& pupil, const KeyboardTables& keyboard,
                      const std::function<void(const CoursePlace&)>& runChosenExercise) {
    LessonViewer viewer(owner, pupil, keyboard);
    // The exercise window takes the viewer's place while the pupil types.
    while (viewer.exec() == LessonViewer::kStartChosen) {
        if (runChosenExercise) runChosenExercise(viewer.Chosen());
    }
}

}  // namespace tz
