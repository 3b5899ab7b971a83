#include "content/custom_texts.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QStandardPaths>

#include "content/editor_text.h"
#include "content/screen_style.h"
#include "platform/dialogs.h"
#include "platform/fonts.h"
#include "platform/textfile.h"
#include "platform/windows.h"
#include "users/user_record.h"

namespace tz {

namespace {

QLineEdit* AddLineCounter(QWidget* window) {
    auto* counter = new QLineEdit(QStringLiteral("0"), window);
    counter->setGeometry(710, 15, 70, 20);
    SetControlId(counter, kTextsLineCounterId);
    counter->setAccessibleName(QString::fromUtf8("Líneas"));
    counter->setReadOnly(true);
    counter->setFocusPolicy(Qt::NoFocus);
    counter->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), counter));
    counter->setAlignment(Qt::AlignCenter);
    counter->setFont(MakeFont("Arial", 10, true));
    counter->setStyleSheet(
        "QLineEdit { background-color: rgb(255, 0, 0); color: rgb(255, 255, 128);"
        " border: 1px solid rgb(120, 0, 0); }");
    return counter;
}

QPlainTextEdit* AddEditor(QWidget* window) {
    auto* editor = new QPlainTextEdit(window);
    editor->setGeometry(10, 35, 770, 445);
    SetControlId(editor, kTextsEditorId);
    editor->setAccessibleName(QStringLiteral("Texto del documento"));
    editor->setFont(MakeFont("Courier New", 14, true));
    // A line of the editor is a line of the document and of the exercise: long lines scroll.
    editor->setLineWrapMode(QPlainTextEdit::NoWrap);
    editor->setTabChangesFocus(true);
    editor->setStyleSheet(
        "QPlainTextEdit { background-color: white; color: rgb(24, 32, 72);"
        " border: 1px solid rgb(150, 96, 30); selection-background-color: rgb(190, 104, 30);"
        " selection-color: white; }");
    return editor;
}

// The drop-down list in its own colours; a style sheet that colours the arrow's box leaves
// the arrow to be drawn here.
class StoredTextsList : public QComboBox {
  public:
    using QComboBox::QComboBox;

  protected:
    void paintEvent(QPaintEvent* event) override {
        QComboBox::paintEvent(event);
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(isEnabled() ? QColor(255, 255, 0) : QColor(200, 150, 120));
        const QPointF centre(width() - 10, height() / 2.0 + 1);
        painter.drawPolygon(
            QPolygonF({centre + QPointF(-5, -3), centre + QPointF(5, -3), centre + QPointF(0, 3)}));
    }
};

QComboBox* AddStoredTextsList(QWidget* window) {
    auto* list = new StoredTextsList(window);
    list->setGeometry(400, 515, 171, 25);
    SetControlId(list, kTextsListId);
    list->setAccessibleName(QStringLiteral("Textos Almacenados"));
    list->setFont(MakeFont("Arial", 10));
    list->setCursor(Qt::PointingHandCursor);
    list->setStyleSheet(
        "QComboBox { background-color: rgb(128, 0, 0); color: rgb(255, 255, 0);"
        " border: 1px solid rgb(70, 0, 0); padding: 1px 4px; }"
        "QComboBox::drop-down { border-left: 1px solid rgb(90, 0, 0); width: 18px;"
        " background-color: rgb(160, 30, 20); }"
        "QComboBox QAbstractItemView { background-color: rgb(128, 0, 0);"
        " color: rgb(255, 255, 0); selection-background-color: rgb(232, 177, 77);"
        " selection-color: rgb(60, 0, 0); }");
    return list;
}

// A push button whose clicks are its only way in: Enter presses none.
QPushButton* MakeClickOnlyButton(QWidget* window, int id, const QString& text,
                                 const QRect& geometry) {
    QPushButton* button = MakeWrappingButton(window, id, text, geometry);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

CustomTextsWindow::CustomTextsWindow(QWidget* owner,
                                     std::function<void(const QString& document)> runDocument)
    : QDialog(owner), runDocument_(std::move(runDocument)) {
    SetUpScreen(this, QStringLiteral("TEXTOS LIBRES"), 800, 550, true);
    KeepOnTopWhileShown(this);
    SetTiledBackground(this, PictureName::TextsBackground);

    auto* frame = new QGroupBox(QString(), this);
    frame->setGeometry(5, 0, 780, 485);
    SetControlId(frame, kTextsFrameId);
    frame->setFont(MakeFont("Arial", 10, true));

    QLabel* preview =
        AddCaption(this, kTextsPreviewCaptionId,
                   QString::fromUtf8("Así se verá el texto en la aplicación de Tipenzo"),
                   QRect(10, 15, 640, 20), Qt::AlignCenter);
    preview->setStyleSheet(
        preview->styleSheet().replace("color: rgb(60, 34, 6)", "color: rgb(0, 64, 128)"));
    AddCaption(this, kTextsLinesCaptionId, QStringLiteral("LINEAS:"), QRect(650, 15, 60, 20),
               Qt::AlignRight | Qt::AlignVCenter);
    lineCounter_ = AddLineCounter(this);
    editor_ = AddEditor(this);

    QPushButton* load = MakeClickOnlyButton(this, kTextsLoadId,
                                            QStringLiteral("Cargar / Crear un Nuevo Documento."),
                                            QRect(10, 495, 140, 45));
    QAbstractButton* save =
        MakePictureButton(this, kTextsSaveId, PictureName::SaveText, QRect(165, 495, 45, 45),
                          QStringLiteral("Guardar a un archivo"));
    QAbstractButton* remove =
        MakePictureButton(this, kTextsDeleteId, PictureName::DeleteText, QRect(345, 495, 45, 45),
                          QStringLiteral("Eliminar el archivo actual"));
    AddCaption(this, kTextsListCaptionId, QStringLiteral("Textos Almacenados"),
               QRect(400, 495, 171, 20), Qt::AlignCenter);
    list_ = AddStoredTextsList(this);
    start_ = MakeClickOnlyButton(this, kTextsStartId, QStringLiteral("Realizar Este Ejercicio"),
                                 QRect(585, 495, 140, 45));
    done_ = MakePictureButton(this, kTextsDoneId, PictureName::TextsDone, QRect(735, 495, 45, 45),
                              QString::fromUtf8("Volver al menú principal"));

    connect(editor_, &QPlainTextEdit::textChanged, this, &CustomTextsWindow::ShowLineCount);
    connect(list_, &QComboBox::currentIndexChanged, this, &CustomTextsWindow::DocumentChosen);
    connect(load, &QPushButton::clicked, this, &CustomTextsWindow::Import);
    connect(save, &QAbstractButton::clicked, this, &CustomTextsWindow::Save);
    connect(remove, &QAbstractButton::clicked, this, &CustomTextsWindow::Delete);
    connect(start_, &QPushButton::clicked, this, &CustomTextsWindow::TypeSelectedDocument);
    connect(done_, &QAbstractButton::clicked, this, &QDialog::reject);

    ListAndShowFirst();
    done_->setFocus();
}

// The thin dialog frame of a window without a caption bar.
void CustomTextsWindow::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    const QColor edge(110, 70, 24);
    painter.fillRect(0, 0, width(), 1, edge);
    painter.fillRect(0, height() - 1, width(), 1, edge);
    painter.fillRect(0, 0, 1, height(), edge);
    painter.fillRect(width() - 1, 0, 1, height(), edge);
}

void CustomTextsWindow::ShowLineCount() {
    lineCounter_->setText(QString::number(editor_->blockCount()));
}

// Shows the stored document of the list's selected row; true when it has something to type
// (more than 1 byte).
bool CustomTextsWindow::LoadStoredDocument() {
    const FileRead read = ReadCustomDocument(list_->currentText());
    editor_->clear();
    // Only what can be typed.
    editor_->setPlainText(ReadTextForEditor(read));
    editor_->document()->setModified(false);
    shownRow_ = list_->currentIndex();
    return read.bytes.size() > 1;
}

// Fills the list with the documents of the folder and selects the row of `selected` (row 0
// when it is not there).
void CustomTextsWindow::ListDocuments(const QString& selected) {
    const QSignalBlocker quiet(list_);
    list_->clear();
    list_->addItems(CustomDocumentNames());
    const int row = list_->findText(selected, Qt::MatchFixedString);
    list_->setCurrentIndex(list_->count() == 0 ? -1 : std::max(row, 0));
}

// Lists the documents and shows the first one, the start button enabled when it can be typed.
void CustomTextsWindow::ListAndShowFirst() {
    start_->setEnabled(false);
    ListDocuments();
    shownRow_ = -1;
    if (list_->count() > 0) start_->setEnabled(LoadStoredDocument());
}

void CustomTextsWindow::Import() {
    const QString answer =
        OpenFileDialog(QStringLiteral("Selecciona un texto"),
                       QStringLiteral("Texto (*.txt);;Todos (*.*)"),
                       QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
            .trimmed();
    if (answer.isEmpty()) return;
    // The imported text is not stored yet: there is nothing to type until it is saved.
    start_->setEnabled(false);
    editor_->clear();
    editor_->setPlainText(ReadTextForEditor(ReadTextFile(answer)));
    editor_->document()->setModified(true);
    shownRow_ = -1;
}

// Asks a name and writes the editor as a document. False when the name is to be asked again;
// `saved` receives the file name written.
bool CustomTextsWindow::SaveDocument(QString* saved) {
    const QString name =
        TrimSpaces(InputBox(QStringLiteral("Salvar documento en pantalla"),
                            QStringLiteral("Introduce un nombre para este documento"), QString()));
    if (name.isEmpty()) return true;
    const QString refused =
        QString::fromUtf8("El nombre del archivo no es válido\n\n") + name + "\n";
    // A name with a path in it would write outside the documents' folder.
    if (!IsValidDocumentName(name)) {
        Tell(QStringLiteral("Error"), refused, DialogIcon::Exclamation);
        return false;
    }
    const QString fileName = name + kCustomTextExtension;
    if (!ReadCustomDocument(fileName).bytes.isEmpty() &&
        !AskYesNo(QStringLiteral("ATENCION"),
                  QStringLiteral("El archivo\n\n") + name +
                      QString::fromUtf8("\n\nYa existe, ¿Quieres reemplazarlo?"),
                  DialogIcon::Information, DefaultButton::No)) {
        return false;
    }
    // The old document stays whole until the new one is completely written.
    if (!StoreCustomDocument(fileName, editor_->toPlainText().split('\n'))) {
        Tell(QStringLiteral("Error"), refused, DialogIcon::Exclamation);
        return false;
    }
    start_->setEnabled(true);
    editor_->document()->setModified(false);
    *saved = fileName;
    return true;
}

void CustomTextsWindow::Save() {
    QString saved;
    while (!SaveDocument(&saved)) {
    }
    if (saved.isEmpty()) {
        // Nothing written, yet the list is filled again (another program may have stored a
        // document meanwhile); the rows chosen and shown stay the same documents.
        const QString chosen = list_->currentText();
        const QString shown = shownRow_ >= 0 ? list_->itemText(shownRow_) : "";
        ListDocuments(chosen);
        shownRow_ = shown.isEmpty() ? -1 : list_->findText(shown, Qt::MatchFixedString);
        return;
    }
    // The list shows the document just saved, the one the editor holds and the start button
    // types.
    ListDocuments(saved);
    shownRow_ = list_->currentIndex();
}

void CustomTextsWindow::Delete() {
    const QString name = TrimSpaces(list_->currentText());
    if (name.isEmpty() || ReadCustomDocument(name).outcome == ReadOutcome::Missing) return;
    if (!AskYesNo(QStringLiteral("Eliminar definitivamente un archivo personalizado"),
                  QStringLiteral("El archivo: ") + name +
                      QString::fromUtf8("\r\nserá eliminado. \r\n¿Estás Seguro?"))) {
        return;
    }
    DeleteCustomDocument(name);
    ListAndShowFirst();
}

// Another row of the list: its document goes into the editor, unless the pupil would lose a
// text not saved yet and says No.
void CustomTextsWindow::DocumentChosen() {
    if (list_->currentIndex() < 0 || list_->currentIndex() == shownRow_) return;
    if (editor_->document()->isModified() && !editor_->toPlainText().isEmpty() &&
        !AskYesNo(QStringLiteral("TEXTOS LIBRES"),
                  QString::fromUtf8("El texto de la pantalla no está guardado y se perderá.") +
                      LineBreak + LineBreak + QString::fromUtf8("¿Quieres cargar ") +
                      list_->currentText() + QStringLiteral("?"),
                  DialogIcon::Exclamation, DefaultButton::No)) {
        const QSignalBlocker quiet(list_);
        list_->setCurrentIndex(shownRow_);
        return;
    }
    start_->setEnabled(LoadStoredDocument());
}

void CustomTextsWindow::TypeSelectedDocument() {
    if (list_->currentIndex() < 0) return;
    // The exercise window goes over this one, which stays where it is, no longer on top.
    SetAlwaysOnTop(this, false);
    if (runDocument_) runDocument_(list_->currentText());
    // The run brings the main menu back to the front; the pupil goes on here.
    raise();
    activateWindow();
    start_->setFocus();
}

void OpenCustomTexts(QWidget* owner,
                     const std::function<void(const QString& document)>& runDocument) {
    CustomTextsWindow window(owner, runDocument);
    window.exec();
}

}  // namespace tz
