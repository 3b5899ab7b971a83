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

// Types into the editor key by key; letters outside ASCII arrive as composed characters and a
// line feed is the Enter key.
void TypeIntoEditor(QWidget* window, const QString& text) {
    QPlainTextEdit* editor = Editor(window);
    for (const QChar c : text) {
        if (c == '\n') {
            QTest::keyClick(editor, Qt::Key_Return);
        } else if (c.unicode() < 128) {
            QTest::keyClick(editor, c.toLatin1());
        } else {
            QTest::sendKeyEvent(QTest::Click, editor, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
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
    void OpenAndThen(std::vector<std::function<void(QWidget*)>> steps) {
        ContentScreenTest::OpenAndThen(
            kTitle, [this] { OpenCustomTexts(menu_.get(), runDocument_); }, std::move(steps));
    }
    void WriteDocument(const QString& name, const QByteArray& bytes) {
        QDir().mkpath(Path("TXTPERSONALIZADOS"));
        WriteBytes("TXTPERSONALIZADOS/" + name, bytes);
    }
    QByteArray Document(const QString& name) { return ReadBytes("TXTPERSONALIZADOS/" + name); }
};

TEST_F(CustomTextsTest, AWrittenTextIsSavedTrimmedAndTypedWithItsQuotes) {
    ChoosePupil(test::content::kPupilLine);
    const UserRecord before = CurrentUser;
    const QByteArray users = UsersFile();
    int runs = 0;
    runDocument_ = [&runs](const QString& document) {
        ++runs;
        EXPECT_EQ(document, "mi cuento.t10");
        // What the main menu hands the run for it: a custom text that every speed passes.
        const ExerciseRequest request = CustomTextRequest(document);
        EXPECT_EQ(request.source, ExerciseSource::CustomText);
        EXPECT_EQ(request.customDocumentName, "mi cuento.t10");
        ASSERT_TRUE(request.speedTarget.has_value());
        EXPECT_EQ(*request.speedTarget, 0);
        // The text the run types: the document, with "|kom|" as a double quote.
        const ExerciseText text =
            AssembleExerciseText(LoadBlock(request.place.level, request.place.block),
                                 request.place.exercise, request.source, document);
        EXPECT_TRUE(text.built);
        EXPECT_EQ(text.text, QString::fromUtf8("Dijo |kom|hola|kom| y se fue.\r\nÉrase una vez.")
                                 .replace("|kom|", "\""));
    };
    OpenAndThen({
        [this](QWidget* window) {
            EXPECT_EQ(window->size(), QSize(800, 550));
            EXPECT_FALSE(menu_->isEnabled());
            EXPECT_TRUE(StoredRows(window).isEmpty());
            EXPECT_FALSE(StartEnabled(window));
            EXPECT_EQ(Counter(window), "0");
            EXPECT_EQ(window->focusWidget(), FindControl(window, kTextsDoneId));
            TypeIntoEditor(window,
                           QString::fromUtf8("Dijo |kom|hola|kom| y se fue.\nÉrase una vez."));
        },
        [this](QWidget* window) {
            EXPECT_EQ(Editor(window)->toPlainText(),
                      QString::fromUtf8("Dijo |kom|hola|kom| y se fue.\nÉrase una vez."));
            EXPECT_EQ(Counter(window), "2");
            QueueTextAnswer("  mi cuento  ");
            ClickControl(window, kTextsSaveId);
        },
        [this](QWidget* window) {
            EXPECT_EQ(
                Document("mi cuento.t10"),
                QString::fromUtf8("Dijo |kom|hola|kom| y se fue.\r\nÉrase una vez.\r\n").toUtf8());
            const auto inputs = Asked("input");
            ASSERT_EQ(inputs.size(), 1u);
            EXPECT_EQ(inputs[0].title, "Salvar documento en pantalla");
            EXPECT_EQ(inputs[0].text, "Introduce un nombre para este documento");
            EXPECT_EQ(inputs[0].proposed, "");
            EXPECT_EQ(StoredRows(window), QStringList{"mi cuento.t10"});
            EXPECT_EQ(Stored(window)->currentIndex(), 0);
            EXPECT_TRUE(StartEnabled(window));
            ClickControl(window, kTextsStartId);
        },
        [this, &runs, &before](QWidget* window) {
            EXPECT_EQ(runs, 1);
            EXPECT_EQ(CurrentUser, before);
            EXPECT_TRUE(window->isVisible());
            EXPECT_FALSE(menu_->isEnabled());
            // Escape from the editor closes the window.
            QTest::keyClick(Editor(window), Qt::Key_Escape);
        },
    });
    EXPECT_EQ(CurrentUser, before);
    EXPECT_EQ(CurrentMode, "FACIL");
    EXPECT_EQ(UsersFile(), users);
}

TEST_F(CustomTextsTest, ASavedDocumentComesBackAsWritten) {
    const QString text = QString::fromUtf8(
        "El Quijote\n\n  En un lugar de la Mancha, de cuyo nombre\nno quiero acordarme...\n"
        "¿Cuánto? ¡12,50 $! (ñandú) {1+1=2} |kom|sí|kom|");
    OpenAndThen({
        [&text](QWidget* window) {
            TypeIntoEditor(window, text);
            QueueTextAnswer("quijote");
        },
        [this](QWidget* window) { ClickControl(window, kTextsSaveId); },
        [this](QWidget* window) { ClickControl(window, kTextsDoneId); },
    });
    ASSERT_TRUE(Exists("TXTPERSONALIZADOS/quijote.t10"));
    OpenAndThen({[&text](QWidget* window) {
        // Spaces at the start of a line go when a document is read into the editor.
        EXPECT_EQ(Editor(window)->toPlainText(), QString(text).replace("\n  En", "\nEn"));
        EXPECT_EQ(Counter(window), "5");
        EXPECT_TRUE(StartEnabled(window));
        window->close();
    }});
}

TEST_F(CustomTextsTest, ACancelledSaveStillFillsTheListAgain) {
    WriteDocument("uno.t10", "Primer texto.\r\n");
    OpenAndThen({
        [this](QWidget* window) {
            EXPECT_EQ(StoredRows(window), QStringList{"uno.t10"});
            // Another program stores a document while the window is open.
            WriteDocument("dos.t10", "Segundo texto.\r\n");
            ClickControl(window, kTextsSaveId);  // the name box is cancelled
        },
        [this](QWidget* window) {
            EXPECT_EQ(Asked("input").size(), 1u);
            EXPECT_FALSE(Exists("TXTPERSONALIZADOS/.t10"));
            EXPECT_EQ(StoredRows(window), (QStringList{"dos.t10", "uno.t10"}));
            // The document on screen stays the one chosen, and the one Start types.
            EXPECT_EQ(Stored(window)->currentText(), "uno.t10");
            EXPECT_EQ(Editor(window)->toPlainText(), "Primer texto.");
            EXPECT_TRUE(StartEnabled(window));
            window->close();
        },
    });
}

TEST_F(CustomTextsTest, AnImportedFileShowsOnlyWhatCanBeTyped) {
    WriteBytes(
        "importado.txt",
        QString::fromUtf8("  \tHola,\t“amigo” ‘mío’ — 5 €  \r\nΩmega línea\n\n  fin  ").toUtf8());
    WriteDocument("guardado.t10", "Un texto guardado.\r\n");
    OpenAndThen({
        [this](QWidget* window) {
            EXPECT_TRUE(StartEnabled(window));
            QueueTextAnswer("  " + Path("importado.txt") + "  ");
            ClickControl(window, kTextsLoadId);
        },
        [this](QWidget* window) {
            const auto opened = Asked("open");
            ASSERT_EQ(opened.size(), 1u);
            EXPECT_EQ(opened[0].title, "Selecciona un texto");
            EXPECT_EQ(opened[0].text, "Texto (*.txt);;Todos (*.*)");
            EXPECT_EQ(Editor(window)->toPlainText(),
                      QString::fromUtf8("Hola,amigo mío  5 \nmega línea\n\nfin"));
            EXPECT_EQ(Counter(window), "4");
            // Not stored yet: nothing to type.
            EXPECT_FALSE(StartEnabled(window));
            // A cancelled file dialog changes nothing.
            ClickControl(window, kTextsLoadId);
        },
        [this](QWidget* window) {
            EXPECT_EQ(Asked("open").size(), 2u);
            EXPECT_EQ(Counter(window), "4");
            QTest::keyClick(Stored(window), Qt::Key_Escape);
        },
    });
}

TEST_F(CustomTextsTest, ATeachersOldWindowsFileKeepsItsAccentsOnLoad) {
    WriteBytes("antiguo.txt", "La mam\xE1 est\xE1 aqu\xED con el ni\xF1o.\r\n\xA1Qu\xE9 bien!\r\n");
    OpenAndThen({
        [this](QWidget* window) {
            QueueTextAnswer(Path("antiguo.txt"));
            ClickControl(window, kTextsLoadId);
        },
        [this](QWidget* window) {
            EXPECT_EQ(Editor(window)->toPlainText(),
                      QString::fromUtf8("La mamá está aquí con el niño.\n¡Qué bien!"));
            EXPECT_EQ(Counter(window), "2");
            window->close();
        },
    });
}

TEST_F(CustomTextsTest, AnImportOf50000CharactersStopsAtTheFirstLinePast40000) {
    QByteArray file;
    for (int line = 1; line <= 500; ++line) {
        file +=
            QByteArray::number(line).rightJustified(4, '0') + ' ' + QByteArray(94, 'x') + "\r\n";
    }
    ASSERT_EQ(file.size(), 50500);
    WriteBytes("largo.txt", file);
    OpenAndThen({
        [this](QWidget* window) {
            QueueTextAnswer(Path("largo.txt"));
            ClickControl(window, kTextsLoadId);
        },
        [this](QWidget* window) {
            // Each line brings 100 characters with its line end: line 401 passes 40000.
            const QStringList lines = Editor(window)->toPlainText().split('\n');
            ASSERT_EQ(lines.size(), 401);
            EXPECT_TRUE(lines.last().startsWith("0401 xxx"));
            EXPECT_EQ(lines.last().size(), 99);
            EXPECT_EQ(Counter(window), "401");
            window->close();
        },
    });
}

TEST_F(CustomTextsTest, DocumentsOfNoOrOneByteCannotBeStarted) {
    WriteDocument("a vacío.t10", "");
    WriteDocument("b letra.t10", "x");
    WriteDocument("c cuento.t10", "Había una vez\r\nun niño.\r\n");
    WriteDocument("no es un documento.txt", "nada");
    OpenAndThen({
        [this](QWidget* window) {
            EXPECT_EQ(StoredRows(window), (QStringList{QString::fromUtf8("a vacío.t10"),
                                                       "b letra.t10", "c cuento.t10"}));
            EXPECT_EQ(Stored(window)->currentIndex(), 0);
            EXPECT_EQ(Editor(window)->toPlainText(), "");
            EXPECT_FALSE(StartEnabled(window));
            QTest::keyClick(Stored(window), Qt::Key_Down);
        },
        [this](QWidget* window) {
            // Choosing a row shows its document.
            EXPECT_EQ(Editor(window)->toPlainText(), "x");
            EXPECT_FALSE(StartEnabled(window));
            QTest::keyClick(Stored(window), Qt::Key_Down);
        },
        [this](QWidget* window) {
            EXPECT_EQ(Editor(window)->toPlainText(), QString::fromUtf8("Había una vez\nun niño."));
            EXPECT_TRUE(StartEnabled(window));
            QueueAnswer(Answer::Yes);
            ClickControl(window, kTextsDeleteId);
        },
        [this](QWidget* window) {
            const auto messages = Asked("message");
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_EQ(messages[0].title, "Eliminar definitivamente un archivo personalizado");
            EXPECT_EQ(messages[0].text,
                      QString::fromUtf8(
                          "El archivo: c cuento.t10\r\nserá eliminado. \r\n¿Estás Seguro?"));
            EXPECT_EQ(test::BoxOf(messages[0]), (test::Box{true}));
            EXPECT_FALSE(Exists("TXTPERSONALIZADOS/c cuento.t10"));
            // The first document is shown again, and it has nothing to type.
            EXPECT_EQ(StoredRows(window).size(), 2);
            EXPECT_EQ(Stored(window)->currentIndex(), 0);
            EXPECT_FALSE(StartEnabled(window));
            // No to the question keeps the document.
            ClickControl(window, kTextsDeleteId);
        },
        [this](QWidget* window) {
            EXPECT_EQ(Asked("message").size(), 2u);
            EXPECT_TRUE(Exists(QString::fromUtf8("TXTPERSONALIZADOS/a vacío.t10")));
            ClickControl(window, kTextsDoneId);
        },
    });
}

TEST_F(CustomTextsTest, ANameWithAPathIsRefusedAndAskedAgain) {
    ChoosePupil(test::content::kPupilLine);
    const QByteArray users = UsersFile();
    OpenAndThen({
        [this](QWidget* window) {
            TypeIntoEditor(window, "hola");
            for (const char* name : {"../usuarios", "sub/nota", "..\\x", "..", "CON", "nota"}) {
                QueueTextAnswer(name);
            }
        },
        [this](QWidget* window) { ClickControl(window, kTextsSaveId); },
        [this, &users](QWidget* window) {
            const auto errors = Asked("message");
            ASSERT_EQ(errors.size(), 5u);
            EXPECT_EQ(errors[0].title, "Error");
            EXPECT_EQ(errors[0].text,
                      QString::fromUtf8("El nombre del archivo no es válido\n\n../usuarios\n"));
            EXPECT_EQ(test::BoxOf(errors[0]), (test::Box{false, DialogIcon::Exclamation}));
            EXPECT_EQ(errors[2].text,
                      QString::fromUtf8("El nombre del archivo no es válido\n\n..\\x\n"));
            EXPECT_EQ(Asked("input").size(), 6u);
            // Only the good name was written, inside the documents' folder.
            EXPECT_EQ(Document("nota.t10"), "hola\r\n");
            EXPECT_EQ(
                QDir(Path("TXTPERSONALIZADOS")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                QStringList{"nota.t10"});
            EXPECT_EQ(QDir(Path("")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                      (QStringList{"TXTPERSONALIZADOS", "usuarios.dat"}));
            EXPECT_EQ(UsersFile(), users);
            EXPECT_EQ(StoredRows(window), QStringList{"nota.t10"});
            EXPECT_TRUE(StartEnabled(window));
            window->close();
        },
    });
}

TEST_F(CustomTextsTest, AnExistingDocumentIsReplacedOnlyAfterYes) {
    WriteDocument("nota.t10", "viejo\r\n");
    WriteDocument("vacía.t10", "");
    OpenAndThen({
        [this](QWidget* window) {
            EXPECT_EQ(Editor(window)->toPlainText(), "viejo");
            TypeIntoEditor(window, "nuevo ");
            // No to the question asks for another name; cancelling that ends the save.
            QueueTextAnswer("nota");
            QueueAnswer(Answer::No);
            QueueTextAnswer("");
        },
        [this](QWidget* window) { ClickControl(window, kTextsSaveId); },
        [this](QWidget* window) {
            EXPECT_EQ(Document("nota.t10"), "viejo\r\n");
            const auto questions = Asked("message");
            ASSERT_EQ(questions.size(), 1u);
            EXPECT_EQ(questions[0].title, "ATENCION");
            EXPECT_EQ(questions[0].text,
                      QString::fromUtf8("El archivo\n\nnota\n\nYa existe, ¿Quieres reemplazarlo?"));
            // Yes/No, information icon, No the default button.
            EXPECT_EQ(test::BoxOf(questions[0]),
                      (test::Box{true, DialogIcon::Information, DefaultButton::No}));
            EXPECT_EQ(Asked("input").size(), 2u);
            QueueTextAnswer("NOTA");
            QueueAnswer(Answer::Yes);
            ClickControl(window, kTextsSaveId);
        },
        [this](QWidget* window) {
            // The name matches the stored one without regard to case.
            EXPECT_EQ(Document("nota.t10"), "nuevo viejo\r\n");
            EXPECT_FALSE(test::HoldsEntrySpelled(Path("TXTPERSONALIZADOS"), "NOTA.t10"));
            // An empty document is replaced without a question; ".t10" is always added.
            QueueTextAnswer(QString::fromUtf8("vacía"));
            QueueTextAnswer("nota.t10");
            ClickControl(window, kTextsSaveId);
        },
        [this](QWidget* window) { ClickControl(window, kTextsSaveId); },
        [this](QWidget* window) {
            EXPECT_EQ(Asked("message").size(), 2u);
            EXPECT_EQ(Document(QString::fromUtf8("vacía.t10")), "nuevo viejo\r\n");
            EXPECT_EQ(Document("nota.t10.t10"), "nuevo viejo\r\n");
            // The list shows the document just saved.
            EXPECT_EQ(Stored(window)->currentText(), "nota.t10.t10");
            window->close();
        },
    });
}

TEST_F(CustomTextsTest, ChoosingAnotherDocumentAsksBeforeLosingUnsavedText) {
    WriteDocument("a.t10", "primero\r\n");
    WriteDocument("b.t10", "segundo\r\n");
    OpenAndThen({
        [this](QWidget* window) {
            TypeIntoEditor(window, "sin guardar ");
            QTest::keyClick(Stored(window), Qt::Key_Down);
        },
        [this](QWidget* window) {
            // The scripted answer is No: the editor and the list stay as they were.
            const auto questions = Asked("message");
            ASSERT_EQ(questions.size(), 1u);
            EXPECT_EQ(questions[0].title, "TEXTOS LIBRES");
            EXPECT_EQ(test::BoxOf(questions[0]),
                      (test::Box{true, DialogIcon::Exclamation, DefaultButton::No}));
            EXPECT_EQ(Editor(window)->toPlainText(), "sin guardar primero");
            EXPECT_EQ(Stored(window)->currentIndex(), 0);
            QueueAnswer(Answer::Yes);
            QTest::keyClick(Stored(window), Qt::Key_Down);
        },
        [this](QWidget* window) {
            EXPECT_EQ(Editor(window)->toPlainText(), "segundo");
            EXPECT_EQ(Stored(window)->currentIndex(), 1);
            // Nothing typed since: no question.
            QTest::keyClick(Stored(window), Qt::Key_Up);
        },
        [this](QWidget* window) {
            EXPECT_EQ(Asked("message").size(), 2u);
            EXPECT_EQ(Editor(window)->toPlainText(), "primero");
            window->close();
        },
    });
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
    OpenAndThen({[this](QWidget* window) {
        EXPECT_EQ(Counter(window), "10");
        EXPECT_TRUE(StartEnabled(window));
        test::SaveScreen(window, "custom_texts");
        QTest::keyClick(window, Qt::Key_Escape);
    }});
}

}  // namespace
}  // namespace tz
