#include "content/custom_texts.h"

#include <QComboBox>
#include <QFrame>
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
#include "platform/escape_key.h"
#include "platform/events.h"
#include "platform/fonts.h"
#include "platform/textfile.h"
#include "platform/windows.h"
#include "users/user_record.h"

namespace tz {

namespace {

struct CustomTexts {
    std::function<void(const QString&)> runDocument;
    ScreenWindow* window = nullptr;
    QPlainTextEdit* editor = nullptr;
    QLineEdit* lineCounter = nullptr;
    QComboBox* list = nullptr;
    QPushButton* start = nullptr;
    QAbstractButton* done = nullptr;
    // The row whose document the editor shows, to go back to when the pupil keeps the editor.
    int shownRow = -1;
};

void AddThinFrame(QWidget* window) {
    auto* frame = new QFrame(window);
    frame->setGeometry(0, 0, window->width(), window->height());
    frame->setStyleSheet("QFrame { border: 1px solid rgb(110, 70, 24); background: transparent; }");
    frame->setAttribute(Qt::WA_TransparentForMouseEvents);
    frame->lower();
}

QLineEdit* AddLineCounter(QWidget* window) {
    auto* counter = new QLineEdit(QStringLiteral("0"), window);
    counter->setGeometry(710, 15, 70, 20);
    SetControlId(counter, kTextsLineCounterId);
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
    editor->setFont(MakeFont("Courier New", 14, true));
    // A line of the editor is a line of the document and of the exercise: long lines scroll.
    editor->setLineWrapMode(QPlainTextEdit::NoWrap);
    editor->setTabChangesFocus(true);
    editor->setStyleSheet(
        "QPlainTextEdit { background-color: white; color: rgb(24, 32, 72);"
        " border: 1px solid rgb(150, 96, 30); selection-background-color: rgb(190, 104, 30);"
        " selection-color: white; }");
    QObject::connect(editor, &QPlainTextEdit::textChanged, editor, [editor] {
        Event changed;
        changed.type = EventType::EditorChanged;
        changed.window = editor->window();
        changed.id = kTextsEditorId;
        PostEvent(changed);
    });
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
    QObject::connect(list, &QComboBox::currentIndexChanged, list, [list](int row) {
        Event changed;
        changed.type = EventType::SelectionChanged;
        changed.window = list->window();
        changed.id = kTextsListId;
        changed.row = row;
        PostEvent(changed);
    });
    return list;
}

CustomTexts BuildCustomTexts(QWidget* owner) {
    CustomTexts texts;
    texts.window = CreateScreenWindow(QStringLiteral("TEXTOS LIBRES"), 800, 550, true, owner);
    // The editor needs every key, Enter included; only Escape belongs to the window.
    texts.window->SetKeyCapture(KeyCapture::None);
    PostEscapeOf(texts.window);
    SetTiledBackground(texts.window, PictureName::TextsBackground);
    AddThinFrame(texts.window);

    auto* frame = new QGroupBox(QString(), texts.window);
    frame->setGeometry(5, 0, 780, 485);
    SetControlId(frame, kTextsFrameId);
    frame->setFont(MakeFont("Arial", 10, true));

    QLabel* preview =
        AddCaption(texts.window, kTextsPreviewCaptionId,
                   QString::fromUtf8("Así se verá el texto en la aplicación de Tipenzo"),
                   QRect(10, 15, 640, 20), Qt::AlignCenter);
    preview->setStyleSheet(
        preview->styleSheet().replace("color: rgb(60, 34, 6)", "color: rgb(0, 64, 128)"));
    AddCaption(texts.window, kTextsLinesCaptionId, QStringLiteral("LINEAS:"),
               QRect(650, 15, 60, 20), Qt::AlignRight | Qt::AlignVCenter);
    texts.lineCounter = AddLineCounter(texts.window);
    texts.editor = AddEditor(texts.window);

    AddWrappingButton(texts.window, kTextsLoadId,
                      QStringLiteral("Cargar / Crear un Nuevo Documento."),
                      QRect(10, 495, 140, 45));
    AddPictureButton(texts.window, kTextsSaveId, PictureName::SaveText, QRect(165, 495, 45, 45),
                     QStringLiteral("Guardar a un archivo"));
    AddPictureButton(texts.window, kTextsDeleteId, PictureName::DeleteText, QRect(345, 495, 45, 45),
                     QStringLiteral("Eliminar el archivo actual"));
    AddCaption(texts.window, kTextsListCaptionId, QStringLiteral("Textos Almacenados"),
               QRect(400, 495, 171, 20), Qt::AlignCenter);
    texts.list = AddStoredTextsList(texts.window);
    texts.start =
        AddWrappingButton(texts.window, kTextsStartId, QStringLiteral("Realizar Este Ejercicio"),
                          QRect(585, 495, 140, 45));
    texts.done =
        AddPictureButton(texts.window, kTextsDoneId, PictureName::TextsDone,
                         QRect(735, 495, 45, 45), QString::fromUtf8("Volver al menú principal"));
    return texts;
}

void ShowLineCount(const CustomTexts& texts) {
    texts.lineCounter->setText(QString::number(texts.editor->blockCount()));
}

// Puts a text file's bytes into the editor, keeping only what can be typed.
void LoadIntoEditor(const CustomTexts& texts, const FileRead& read) {
    texts.editor->setPlainText(ReadTextForEditor(read));
    ShowLineCount(texts);
}

// Shows the stored document of the list's selected row; true when it has something to type
// (more than 1 byte).
bool LoadStoredDocument(CustomTexts& texts) {
    const FileRead read = ReadCustomDocument(texts.list->currentText());
    texts.editor->clear();
    LoadIntoEditor(texts, read);
    texts.editor->document()->setModified(false);
    texts.shownRow = texts.list->currentIndex();
    return read.bytes.size() > 1;
}

// Fills the list with the documents of the folder and selects the row of `selected` (row 0
// when it is not there).
void ListCustomDocuments(CustomTexts& texts, const QString& selected = QString()) {
    const QSignalBlocker quiet(texts.list);
    texts.list->clear();
    texts.list->addItems(CustomDocumentNames());
    const int row = texts.list->findText(selected, Qt::MatchFixedString);
    texts.list->setCurrentIndex(texts.list->count() == 0 ? -1 : std::max(row, 0));
}

// Lists the documents and shows the first one, the start button enabled when it can be typed.
void ListAndShowFirst(CustomTexts& texts) {
    texts.start->setEnabled(false);
    ListCustomDocuments(texts);
    texts.shownRow = -1;
    if (texts.list->count() > 0) texts.start->setEnabled(LoadStoredDocument(texts));
}

void Import(CustomTexts& texts) {
    const QString answer =
        OpenFileDialog(QStringLiteral("Selecciona un texto"),
                       QStringLiteral("Texto (*.txt);;Todos (*.*)"),
                       QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
            .trimmed();
    if (answer.isEmpty()) return;
    // The imported text is not stored yet: there is nothing to type until it is saved.
    texts.start->setEnabled(false);
    texts.editor->clear();
    LoadIntoEditor(texts, ReadTextFile(answer));
    texts.editor->document()->setModified(true);
    texts.shownRow = -1;
}

// Asks a name and writes the editor as a document. False when the name is to be asked again;
// `saved` receives the file name written.
bool SaveCustomDocument(CustomTexts& texts, QString* saved) {
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
    if (!StoreCustomDocument(fileName, texts.editor->toPlainText().split('\n'))) {
        Tell(QStringLiteral("Error"), refused, DialogIcon::Exclamation);
        return false;
    }
    texts.start->setEnabled(true);
    texts.editor->document()->setModified(false);
    *saved = fileName;
    return true;
}

void Save(CustomTexts& texts) {
    QString saved;
    while (!SaveCustomDocument(texts, &saved)) {
    }
    if (saved.isEmpty()) {
        // Nothing written, yet the list is filled again (another program may have stored a
        // document meanwhile); the rows chosen and shown stay the same documents.
        const QString chosen = texts.list->currentText();
        const QString shown = texts.shownRow >= 0 ? texts.list->itemText(texts.shownRow) : "";
        ListCustomDocuments(texts, chosen);
        texts.shownRow = shown.isEmpty() ? -1 : texts.list->findText(shown, Qt::MatchFixedString);
        return;
    }
    // The list shows the document just saved, the one the editor holds and the start button
    // types.
    ListCustomDocuments(texts, saved);
    texts.shownRow = texts.list->currentIndex();
}

void Delete(CustomTexts& texts) {
    const QString name = TrimSpaces(texts.list->currentText());
    if (name.isEmpty() || ReadCustomDocument(name).outcome == ReadOutcome::Missing) return;
    if (!AskYesNo(QStringLiteral("Eliminar definitivamente un archivo personalizado"),
                  QStringLiteral("El archivo: ") + name +
                      QString::fromUtf8("\r\nserá eliminado. \r\n¿Estás Seguro?"))) {
        return;
    }
    DeleteCustomDocument(name);
    ListAndShowFirst(texts);
}

// Another row of the list: its document goes into the editor, unless the pupil would lose a
// text not saved yet and says No.
void DocumentChosen(CustomTexts& texts) {
    if (texts.list->currentIndex() < 0 || texts.list->currentIndex() == texts.shownRow) return;
    if (texts.editor->document()->isModified() && !texts.editor->toPlainText().isEmpty() &&
        !AskYesNo(QStringLiteral("TEXTOS LIBRES"),
                  QString::fromUtf8("El texto de la pantalla no está guardado y se perderá.") +
                      LineBreak + LineBreak + QString::fromUtf8("¿Quieres cargar ") +
                      texts.list->currentText() + QStringLiteral("?"),
                  DialogIcon::Exclamation, DefaultButton::No)) {
        const QSignalBlocker quiet(texts.list);
        texts.list->setCurrentIndex(texts.shownRow);
        return;
    }
    texts.start->setEnabled(LoadStoredDocument(texts));
}

void TypeSelectedDocument(CustomTexts& texts) {
    if (texts.list->currentIndex() < 0) return;
    BringToFront(texts.window, false);
    SetAlwaysOnTop(texts.window, false);
    if (texts.runDocument) texts.runDocument(texts.list->currentText());
    // The run brings the main menu back to the front; the pupil goes on here.
    BringToFront(texts.window, false);
    texts.start->setFocus();
}

// Handles one event of the window; true when it is to close.
bool HandleTextsEvent(CustomTexts& texts, const Event& event) {
    switch (event.type) {
        case EventType::CloseRequest:
            return true;
        case EventType::Char:
            return event.code == 27;
        case EventType::EditorChanged:
            ShowLineCount(texts);
            return false;
        case EventType::SelectionChanged:
            if (event.id == kTextsListId) DocumentChosen(texts);
            return false;
        case EventType::Click:
            break;
        default:
            return false;
    }
    switch (event.id) {
        case kTextsDoneId:
            return true;
        case kTextsLoadId:
            Import(texts);
            break;
        case kTextsSaveId:
            Save(texts);
            break;
        case kTextsDeleteId:
            Delete(texts);
            break;
        case kTextsStartId:
            if (texts.start->isEnabled()) TypeSelectedDocument(texts);
            break;
        default:
            break;
    }
    return false;
}

}  // namespace

void OpenCustomTexts(QWidget* owner,
                     const std::function<void(const QString& document)>& runDocument) {
    CustomTexts texts = BuildCustomTexts(owner);
    texts.runDocument = runDocument;
    texts.window->show();
    BringToFront(texts.window, false);
    if (owner) owner->setEnabled(false);
    // A window follows its owner into the disabled state unless told otherwise.
    texts.window->setEnabled(true);
    SetAlwaysOnTop(texts.window, true);
    ListAndShowFirst(texts);
    texts.done->setFocus();

    bool closing = false;
    while (!closing) {
        const Event event = WaitEvent();
        if (event.window == texts.window) closing = HandleTextsEvent(texts, event);
    }

    if (owner) owner->setEnabled(true);
    SetAlwaysOnTop(texts.window, false);
    if (owner) {
        BringToFront(owner, false);
        SetAlwaysOnTop(owner, true);
        SetAlwaysOnTop(owner, false);
    }
    DestroyWindow(texts.window);
}

}  // namespace tz
