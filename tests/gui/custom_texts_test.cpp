// The custom texts window as a pupil uses it: writing, importing, saving, deleting and typing
// her own texts, with her user left exactly as it was.

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "app/exercise_run.h"
#include "content/course_data.h"
#include "content/custom_texts.h"
#include "content/exercise_text.h"
#include "platform/dialogs.h"
#include "tests/gui/content_screens.h"

namespace tz {
namespace {

using test::content::ClickControl;

const QString kTitle = QStringLiteral("TEXTOS LIBRES");

QPlainTextEdit* Editor(QWidget* window) {
    return qobject_cast<QPlainTextEdit*>(FindControl(window, kTextsEditorId));
}
QComboBox* Stored(QWidget* window) {
    return qobject_cast<QComboBox*>(FindControl(window, kTextsListId));
}
QString Counter(QWidget* window) {
    return qobject_cast<QLineEdit*>(FindControl(window, kTextsLineCounterId))->text();
}
bool StartEnabled(QWidget* window) {
    return FindControl(window, kTextsStartId)->isEnabled();
}
QStringList StoredRows(QWidget* window) {
    QStringList rows;
    for (int row = 0; row < Stored(window)->count(); ++row)
        rows.append(Stored(window)->itemText(row));
    return rows;
}

void TypeIntoEditor(QWidget* window, const QString& text) {
    test::TypeText(Editor(window), text);
}

std::vector<AskedDialog> Asked(const QString& kind) {
    std::vector<AskedDialog> found;
    for (const AskedDialog& asked : AskedDialogs()) {
        if (asked.kind == kind) found.push_back(asked);
    }
    return found;
}

class CustomTextsTest : public test::content::ContentScreenTest {
  protected:
    // The window over the stand-in menu, shown; its start button runs `runDocument_`.
    std::unique_ptr<CustomTextsWindow> Open() {
        auto window =
            std::make_unique<CustomTextsWindow>(menu_.get(), [this](const QString& document) {
                if (runDocument_) runDocument_(document);
            });
        window->show();
        // Active as exec() leaves it: the focus frame and the laid-out editor show.
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return window;
    }
    void WriteDocument(const QString& name, const QByteArray& bytes) {
        QDir().mkpath(Path("TXTPERSONALIZADOS"));
        WriteBytes("TXTPERSONALIZADOS/" + name, bytes);
    }
    QByteArray Document(const QString& name) { return ReadBytes("TXTPERSONALIZADOS/" + name); }
    std::function<void(const QString&)> runDocument_;
};

TEST_F(CustomTextsTest, AWrittenTextIsSavedTrimmedAndTypedWithItsQuotes) {
    ChoosePupil(test::content::kPupilLine);
    const UserRecord before = CurrentUser;
    int runs = 0;
    runDocument_ = [&runs](const QString& document) {
        ++runs;
        EXPECT_EQ(document, "mi cuento.t10");
        // What the main menu hands the run for it: a custom text that every speed passes.
        const ExerciseRequest request = CustomTextRequest(document);
        EXPECT_EQ(request.source, ExerciseSource::CustomText);
        EXPECT_EQ(request.speedTarget.value_or(-1), 0);
        // The text the run types: the document, with "|kom|" as a double quote.
        const ExerciseText text =
            AssembleExerciseText(LoadBlock(request.place.level, request.place.block),
                                 request.place.exercise, request.source, document);
        EXPECT_EQ(text.text, QString::fromUtf8("Dijo \"hola\" y se fue.\r\nÉrase una vez."));
    };
    const auto window = Open();
    EXPECT_EQ(window->size(), QSize(800, 550));
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(StoredRows(window.get()).isEmpty());
    EXPECT_FALSE(StartEnabled(window.get()));
    EXPECT_EQ(Counter(window.get()), "0");
    EXPECT_EQ(window->focusWidget(), FindControl(window.get(), kTextsDoneId));
    const QStringList unnamed = test::ControlsWithoutNames(window.get());
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(", ").toStdString();

    TypeIntoEditor(window.get(),
                   QString::fromUtf8("Dijo |kom|hola|kom| y se fue.\nÉrase una vez."));
    EXPECT_EQ(Counter(window.get()), "2");
    QueueTextAnswer("  mi cuento  ");
    ClickControl(window.get(), kTextsSaveId);
    EXPECT_EQ(Document("mi cuento.t10"),
              QString::fromUtf8("Dijo |kom|hola|kom| y se fue.\r\nÉrase una vez.\r\n").toUtf8());
    const auto inputs = Asked("input");
    ASSERT_EQ(inputs.size(), 1u);
    EXPECT_EQ(inputs[0].title, "Salvar documento en pantalla");
    EXPECT_EQ(inputs[0].text, "Introduce un nombre para este documento");
    EXPECT_EQ(StoredRows(window.get()), QStringList{"mi cuento.t10"});
    EXPECT_TRUE(StartEnabled(window.get()));

    ClickControl(window.get(), kTextsStartId);
    EXPECT_EQ(runs, 1);
    // The window stays, no longer on top, and the pupil is as she was.
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(CurrentUser, before);
}

TEST_F(CustomTextsTest, EscapeFromAnyControlTheCloseRequestAndDoneLeaveIt) {
    const std::function<void(QWidget*)> waysOut[] = {
        [](QWidget* window) { QTest::keyClick(Editor(window), Qt::Key_Escape); },
        [](QWidget* window) { QTest::keyClick(Stored(window), Qt::Key_Escape); },
        [](QWidget* window) { window->close(); },
        [](QWidget* window) { ClickControl(window, kTextsDoneId); },
    };
    for (const auto& leave : waysOut) {
        test::WhenShown(kTitle, [&leave](QWidget* window) {
            EXPECT_EQ(QApplication::activeModalWidget(), window);
            // Enter belongs to the editor: a new line, nothing more.
            QTest::keyClick(Editor(window), Qt::Key_Return);
            EXPECT_EQ(Counter(window), "2");
            leave(window);
        });
        OpenCustomTexts(menu_.get(), [](const QString&) { ADD_FAILURE() << "nothing to type"; });
        EXPECT_EQ(test::VisibleWindow(kTitle), nullptr);
    }
}

TEST_F(CustomTextsTest, ASavedDocumentComesBackAsWritten) {
    const QString text = QString::fromUtf8(
        "El Quijote\n\n  En un lugar de la Mancha, de cuyo nombre\nno quiero acordarme...\n"
        "¿Cuánto? ¡12,50 $! (ñandú) {1+1=2} |kom|sí|kom|");
    {
        const auto window = Open();
        TypeIntoEditor(window.get(), text);
        QueueTextAnswer("quijote");
        ClickControl(window.get(), kTextsSaveId);
    }
    const auto window = Open();
    // Spaces at the start of a line go when a document is read into the editor.
    EXPECT_EQ(Editor(window.get())->toPlainText(), QString(text).replace("\n  En", "\nEn"));
    EXPECT_EQ(Counter(window.get()), "5");
    EXPECT_TRUE(StartEnabled(window.get()));
}

TEST_F(CustomTextsTest, ACancelledSaveStillFillsTheListAgain) {
    WriteDocument("uno.t10", "Primer texto.\r\n");
    const auto window = Open();
    // Another program stores a document while the window is open; the name box is cancelled.
    WriteDocument("dos.t10", "Segundo texto.\r\n");
    ClickControl(window.get(), kTextsSaveId);
    EXPECT_EQ(Asked("input").size(), 1u);
    EXPECT_FALSE(Exists("TXTPERSONALIZADOS/.t10"));
    EXPECT_EQ(StoredRows(window.get()), (QStringList{"dos.t10", "uno.t10"}));
    // The document on screen stays the one chosen, and the one Start types.
    EXPECT_EQ(Stored(window.get())->currentText(), "uno.t10");
    EXPECT_EQ(Editor(window.get())->toPlainText(), "Primer texto.");
    EXPECT_TRUE(StartEnabled(window.get()));
}

TEST_F(CustomTextsTest, AnImportShowsOnlyWhatCanBeTypedAndCannotBeStartedUnsaved) {
    QByteArray large;
    for (int line = 1; line <= 500; ++line)
        large +=
            QByteArray::number(line).rightJustified(4, '0') + ' ' + QByteArray(94, 'x') + "\r\n";
    const struct {
        QByteArray bytes;
        QString shown;  // the editor's text, or its last line for the large file
        const char* counter;
    } cases[] = {
        {QString::fromUtf8("  \tHola,\t“amigo” ‘mío’ — 5 €  \r\nΩmega línea\n\n  fin  ").toUtf8(),
         QString::fromUtf8("Hola,amigo mío  5 \nmega línea\n\nfin"), "4"},
        // A teacher's old Windows file keeps its accents.
        {"La mam\xE1 est\xE1 aqu\xED con el ni\xF1o.\r\n\xA1Qu\xE9 bien!\r\n",
         QString::fromUtf8("La mamá está aquí con el niño.\n¡Qué bien!"), "2"},
        // 50000 characters: each line brings 100 with its line end, and line 401 passes 40000.
        {large, "0401 " + QString(94, 'x'), "401"},
    };
    WriteDocument("guardado.t10", "Un texto guardado.\r\n");
    const auto window = Open();
    EXPECT_TRUE(StartEnabled(window.get()));
    for (const auto& c : cases) {
        WriteBytes("importado.txt", c.bytes);
        QueueTextAnswer("  " + Path("importado.txt") + "  ");
        ClickControl(window.get(), kTextsLoadId);
        const QString shown = Editor(window.get())->toPlainText();
        EXPECT_EQ(c.bytes == large ? shown.split('\n').last() : shown, c.shown);
        EXPECT_EQ(Counter(window.get()), c.counter);
        EXPECT_FALSE(StartEnabled(window.get()));
    }
    const auto opened = Asked("open");
    ASSERT_EQ(opened.size(), 3u);
    EXPECT_EQ(opened[0].title, "Selecciona un texto");
    EXPECT_EQ(opened[0].text, "Texto (*.txt);;Todos (*.*)");
    // A cancelled file dialog changes nothing.
    ClickControl(window.get(), kTextsLoadId);
    EXPECT_EQ(Counter(window.get()), "401");
}

TEST_F(CustomTextsTest, DocumentsOfNoOrOneByteCannotBeStarted) {
    WriteDocument("a vacío.t10", "");
    WriteDocument("b letra.t10", "x");
    WriteDocument("c cuento.t10", "Había una vez\r\nun niño.\r\n");
    WriteDocument("no es un documento.txt", "nada");
    const auto window = Open();
    EXPECT_EQ(StoredRows(window.get()),
              (QStringList{QString::fromUtf8("a vacío.t10"), "b letra.t10", "c cuento.t10"}));
    EXPECT_EQ(Editor(window.get())->toPlainText(), "");
    EXPECT_FALSE(StartEnabled(window.get()));
    // Choosing a row shows its document.
    QTest::keyClick(Stored(window.get()), Qt::Key_Down);
    EXPECT_EQ(Editor(window.get())->toPlainText(), "x");
    EXPECT_FALSE(StartEnabled(window.get()));
    QTest::keyClick(Stored(window.get()), Qt::Key_Down);
    EXPECT_EQ(Editor(window.get())->toPlainText(), QString::fromUtf8("Había una vez\nun niño."));
    EXPECT_TRUE(StartEnabled(window.get()));

    QueueAnswer(Answer::Yes);
    ClickControl(window.get(), kTextsDeleteId);
    const auto messages = Asked("message");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, "Eliminar definitivamente un archivo personalizado");
    EXPECT_EQ(messages[0].text,
              QString::fromUtf8("El archivo: c cuento.t10\r\nserá eliminado. \r\n¿Estás Seguro?"));
    EXPECT_EQ(test::BoxOf(messages[0]), (test::Box{true}));
    EXPECT_FALSE(Exists("TXTPERSONALIZADOS/c cuento.t10"));
    // The first document is shown again, and it has nothing to type.
    EXPECT_EQ(StoredRows(window.get()).size(), 2);
    EXPECT_EQ(Stored(window.get())->currentIndex(), 0);
    EXPECT_FALSE(StartEnabled(window.get()));
    // No to the question keeps the document.
    ClickControl(window.get(), kTextsDeleteId);
    EXPECT_EQ(Asked("message").size(), 2u);
    EXPECT_TRUE(Exists(QString::fromUtf8("TXTPERSONALIZADOS/a vacío.t10")));
}

TEST_F(CustomTextsTest, ANameWithAPathIsRefusedAndAskedAgain) {
    ChoosePupil(test::content::kPupilLine);
    const QByteArray users = ReadBytes("usuarios.dat");
    const auto window = Open();
    TypeIntoEditor(window.get(), "hola");
    for (const char* name : {"../usuarios", "sub/nota", "..\\x", "..", "CON", "nota"}) {
        QueueTextAnswer(name);
    }
    ClickControl(window.get(), kTextsSaveId);
    const auto errors = Asked("message");
    ASSERT_EQ(errors.size(), 5u);
    EXPECT_EQ(errors[0].title, "Error");
    EXPECT_EQ(errors[0].text,
              QString::fromUtf8("El nombre del archivo no es válido\n\n../usuarios\n"));
    EXPECT_EQ(test::BoxOf(errors[0]), (test::Box{false, DialogIcon::Exclamation}));
    EXPECT_EQ(Asked("input").size(), 6u);
    // Only the good name was written, inside the documents' folder.
    EXPECT_EQ(Document("nota.t10"), "hola\r\n");
    EXPECT_EQ(QDir(Path("TXTPERSONALIZADOS")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{"nota.t10"});
    EXPECT_EQ(QDir(Path("")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              (QStringList{"TXTPERSONALIZADOS", "usuarios.dat"}));
    EXPECT_EQ(ReadBytes("usuarios.dat"), users);
    EXPECT_TRUE(StartEnabled(window.get()));
}

TEST_F(CustomTextsTest, AnExistingDocumentIsReplacedOnlyAfterYes) {
    WriteDocument("nota.t10", "viejo\r\n");
    WriteDocument("vacía.t10", "");
    const auto window = Open();
    EXPECT_EQ(Editor(window.get())->toPlainText(), "viejo");
    TypeIntoEditor(window.get(), "nuevo ");
    // No to the question asks for another name; cancelling that ends the save.
    QueueTextAnswer("nota");
    QueueAnswer(Answer::No);
    QueueTextAnswer("");
    ClickControl(window.get(), kTextsSaveId);
    EXPECT_EQ(Document("nota.t10"), "viejo\r\n");
    const auto questions = Asked("message");
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].title, "ATENCION");
    EXPECT_EQ(questions[0].text,
              QString::fromUtf8("El archivo\n\nnota\n\nYa existe, ¿Quieres reemplazarlo?"));
    // Yes/No, information icon, No the default button.
    EXPECT_EQ(test::BoxOf(questions[0]),
              (test::Box{true, DialogIcon::Information, DefaultButton::No}));
    // The name matches the stored one without regard to case.
    QueueTextAnswer("NOTA");
    QueueAnswer(Answer::Yes);
    ClickControl(window.get(), kTextsSaveId);
    EXPECT_EQ(Document("nota.t10"), "nuevo viejo\r\n");
    EXPECT_FALSE(test::HoldsEntrySpelled(Path("TXTPERSONALIZADOS"), "NOTA.t10"));
    // An empty document is replaced without a question; ".t10" is always added.
    for (const QString& name : {QString::fromUtf8("vacía"), QStringLiteral("nota.t10")}) {
        QueueTextAnswer(name);
        ClickControl(window.get(), kTextsSaveId);
    }
    EXPECT_EQ(Asked("message").size(), 2u);
    EXPECT_EQ(Document(QString::fromUtf8("vacía.t10")), "nuevo viejo\r\n");
    EXPECT_EQ(Document("nota.t10.t10"), "nuevo viejo\r\n");
    // The list shows the document just saved.
    EXPECT_EQ(Stored(window.get())->currentText(), "nota.t10.t10");
}

TEST_F(CustomTextsTest, ChoosingAnotherDocumentAsksBeforeLosingUnsavedText) {
    WriteDocument("a.t10", "primero\r\n");
    WriteDocument("b.t10", "segundo\r\n");
    const auto window = Open();
    TypeIntoEditor(window.get(), "sin guardar ");
    QTest::keyClick(Stored(window.get()), Qt::Key_Down);
    // The scripted answer is No: the editor and the list stay as they were.
    const auto questions = Asked("message");
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].title, "TEXTOS LIBRES");
    EXPECT_EQ(test::BoxOf(questions[0]),
              (test::Box{true, DialogIcon::Exclamation, DefaultButton::No}));
    EXPECT_EQ(Editor(window.get())->toPlainText(), "sin guardar primero");
    EXPECT_EQ(Stored(window.get())->currentIndex(), 0);
    QueueAnswer(Answer::Yes);
    QTest::keyClick(Stored(window.get()), Qt::Key_Down);
    EXPECT_EQ(Editor(window.get())->toPlainText(), "segundo");
    // Nothing typed since: no question.
    QTest::keyClick(Stored(window.get()), Qt::Key_Up);
    EXPECT_EQ(Asked("message").size(), 2u);
    EXPECT_EQ(Editor(window.get())->toPlainText(), "primero");
}

TEST_F(CustomTextsTest, TheWindowWithADocument) {
    WriteDocument(
        "El faro.t10",
        QString::fromUtf8("El faro del puerto\r\n\r\nCada noche, cuando el sol se esconde tras el "
                          "mar,\r\nel viejo faro enciende su luz y vigila las olas.\r\nLos "
                          "pescadores vuelven a casa guiados por su brillo;\r\nlos niños lo miran "
                          "desde la playa y cuentan los destellos:\r\n|kom|uno, dos, tres|kom|, "
                          "dicen, y el faro les contesta.\r\n\r\nNadie sabe quién lo encendió por "
                          "primera vez,\r\npero todos saben que nunca se ha apagado.\r\n")
            .toUtf8());
    WriteDocument("Mi diario.t10", "Hoy he aprendido a escribir sin mirar el teclado.\r\n");
    const auto window = Open();
    EXPECT_EQ(Counter(window.get()), "10");
    EXPECT_TRUE(StartEnabled(window.get()));
    test::SaveScreen(window.get(), "custom_texts");
}

}  // namespace
}  // namespace tz
