// The course run in the real exercise window: real keystrokes, verdicts read from the real
// result window, and the users file checked byte for byte.

#include <QDir>
#include <QFile>
#include <QTimer>
#include <cstdio>

#include "app/exercise_run.h"
#include "app/main_menu.h"
#include "app/startup.h"
#include "content/course_data.h"
#include "content/exercise_text.h"
#include "content/figures_file.h"
#include "exercise_screens.h"
#include "platform/dialogs.h"
#include "platform/safe_files.h"
#include "platform/textfile.h"
#include "users/user_store.h"

namespace tz {
namespace {

using test::AnswerResult;
using test::ExerciseWindowWidget;
using test::PressKey;
using test::ResultMessage;

const QByteArray kAna = "ANA LOPEZ|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-20240101000001";
const QByteArray kLuis =
    "LUIS GARCIA|4|2|1|61|55|60|68|-1|-1|-1|-1|-1|-1|-1|FACIL|ID-20240101000002";
const QByteArray kSara =
    "SARA DIAZ|36|5|1|180|170|175|180|185|190|-1|-1|-1|-1|-1|NORMAL|ID-20240101000003";

QString Lines(std::initializer_list<const char*> lines) {
    QStringList parts;
    for (const char* line : lines) parts.append(QString::fromUtf8(line));
    return parts.join(LineBreak);
}

// The keystrokes of an exercise as the run builds it: its lines with Enter between them,
// except after the seventh line of a page, whose carriage return is never typed.
QString ExerciseTextOf(int level, int block, int exercise) {
    const LoadedBlock loaded = LoadBlock(level, block);
    EXPECT_TRUE(loaded.found);
    const ExerciseText built = AssembleExerciseText(loaded, exercise);
    EXPECT_TRUE(built.built);
    const QStringList lines = QString(built.text).remove(QChar(u'\n')).split(QChar(u'\r'));
    QString keys;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        keys += lines[i];
        if (i + 1 < lines.size() && (i + 1) % 7 != 0) keys += QChar(u'\r');
    }
    return keys;
}

class ExerciseRunTest : public test::ExerciseScreenTest {
  protected:
    void SetUp() override {
        ExerciseScreenTest::SetUp();
        WriteUsers({kLuis, kAna, kSara});
    }

    // The pupil of this line, loaded from the users file as the users window does.
    void Select(const QByteArray& line) {
        CurrentUser = UserRecord();
        CurrentUser.id = UserLineField(QString::fromUtf8(line), UserField::Id);
        LoadCurrentUser();
        ASSERT_FALSE(CurrentUser.name.isEmpty());
    }

    // Every line of the users file but the one of `id`, as bytes.
    QList<QByteArray> OtherLines(const QString& id) {
        QList<QByteArray> others;
        for (const QByteArray& line : ReadBytes(kUsersFileName).split('\n')) {
            if (!line.contains(id.toUtf8())) others.append(line);
        }
        return others;
    }

    UserRecord SavedUser(const QString& id) {
        for (const QByteArray& line : ReadBytes(kUsersFileName).split('\n')) {
            if (line.contains(id.toUtf8())) {
                UserRecord user = ParseUserLine(QString::fromUtf8(line).trimmed());
                user.id = id;
                return user;
            }
        }
        return UserRecord();
    }
};

TEST_F(ExerciseRunTest, ACorrectAttemptAtTheTargetMovesOnAndRewritesOnlyThatUsersLine) {
    Select(kAna);
    const QString text = ExerciseTextOf(1, 1, 1);
    ASSERT_EQ(text.size(), 299);  // five lines of "asdf ñlkj" six times
    const QByteArray before = ReadBytes(kUsersFileName);
    const QList<QByteArray> othersBefore = OtherLines(CurrentUser.id);

    // 299 correct keystrokes in 717 seconds: 25 a minute, the target of level 1.
    AppendInputStep([this] {
        QWidget* window = ExerciseWindowWidget();
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(window->windowTitle(), QStringLiteral("ANA LOPEZ  |  NIVEL: 1"));
        EXPECT_EQ(qobject_cast<QLabel*>(FindControl(window, kExTargetDisplay))->text(), "25");
        EXPECT_EQ(window->focusWidget(), FindControl(window, kExTextPicture));
        EXPECT_TRUE(FindControl(window, kExTextPicture)->testAttribute(Qt::WA_InputMethodEnabled));
    });
    TypeSteps(text, 717);
    AppendInputStep([this] {
        EXPECT_EQ(ResultMessage(),
                  Lines({"HAS REALIZADO BIEN ESTA PRUEBA. ", "", " ¡¡¡ A POR LA PROXIMA !!!", ""}));
        EXPECT_FALSE(ExerciseWindowWidget()->isVisible());
        AnswerResult(kResultContinueButton);
    });
    // "Continuar" goes on with exercise 2 in the same window.
    AppendInputStep([this] {
        QWidget* window = ExerciseWindowWidget();
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(CurrentUser.exercise, 2);
        PressKey(window, QChar(27));
    });
    RunExercises(state_);

    EXPECT_EQ(ExerciseWindowWidget(), nullptr);
    const UserRecord saved = SavedUser(CurrentUser.id);
    EXPECT_EQ(saved.level, 1);
    EXPECT_EQ(saved.block, 1);
    EXPECT_EQ(saved.exercise, 2);
    EXPECT_EQ(saved.history[0], 25);
    EXPECT_EQ(saved.history[1], -1);
    EXPECT_EQ(saved.averageSpeed, 25);
    EXPECT_NE(ReadBytes(kUsersFileName), before);
    EXPECT_EQ(OtherLines(CurrentUser.id), othersBefore);
    EXPECT_TRUE(AskedDialogs().empty());
}

// A pass that cannot be saved is never dropped without a word: the pupil is told, with
// "Reintentar", and the pass is saved when the store takes it again.
TEST_F(ExerciseRunTest, APassThatCannotBeSavedIsToldAndSavedOnRetry) {
    Select(kAna);
    // The first time the users file is to be replaced, the store cannot.
    bool refused = false;
    SetMoveOnce([&refused](const QString& from, const QString& to) {
        if (!refused && to.endsWith(kUsersFileName)) {
            refused = true;
            return MoveStep::Failed;
        }
        return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0
                   ? MoveStep::Done
                   : MoveStep::Failed;
    });
    QueueAnswer(Answer::Yes);
    TypeSteps(ExerciseTextOf(1, 1, 1), 717);
    AppendInputStep([this] { AnswerResult(kResultMenuButton); });
    RunExercises(state_);
    SetMoveOnce({});
    ASSERT_EQ(AskedDialogs().size(), 1u);
    EXPECT_TRUE(AskedDialogs()[0].retry);
    EXPECT_EQ(AskedDialogs()[0].text,
              QStringLiteral("No se ha podido guardar el progreso de ANA LOPEZ en el archivo de "
                             "usuarios.\r\n\r\nComprueba que la carpeta del programa permite "
                             "escribir y que usuarios.dat no está abierto en otro programa.\r\n\r\n"
                             "Si cancelas, este progreso no quedará guardado."));
    EXPECT_EQ(SavedUser(CurrentUser.id).exercise, 2);
}

TEST_F(ExerciseRunTest, AFailedAttemptIsToldAndRepeatedWithoutSavingAnything) {
    Select(kAna);
    const QString text = ExerciseTextOf(1, 1, 1);
    const QByteArray before = ReadBytes(kUsersFileName);
    // Six wrong keystrokes in a minute: 293 a minute, far above 25, and still a fail.
    TypeSteps(text, 60, [](int k) { return k % 40 == 3 && k < 240; });
    AppendInputStep([this] {
        EXPECT_EQ(ResultMessage(),
                  Lines({"Lo siento, pero 6 son muchos errores.", "",
                         "Tendrás que repetir este ejercicio.", "",
                         "Tus pulsaciones son bastante altas, pero tendrás que reducir esa "
                         "cantidad de errores."}));
        AnswerResult(kResultContinueButton);
    });
    // The same exercise again, in the same window.
    AppendInputStep([this] {
        EXPECT_TRUE(ExerciseWindowWidget()->isVisible());
        EXPECT_EQ(CurrentUser.exercise, 1);
        PressKey(ExerciseWindowWidget(), QChar(27));
    });
    RunExercises(state_);
    EXPECT_EQ(ReadBytes(kUsersFileName), before);
    EXPECT_EQ(CurrentUser.history[0], -1);
}

TEST_F(ExerciseRunTest, TheLastExerciseOfLevel36CompletesTheCourseAndTheNextRunOnlyTellsSo) {
    QDir(Path("")).mkpath("textos");
    ASSERT_TRUE(QFile::copy(test::SourcePath("assets/textos/TEXTO_69"), Path("textos/TEXTO_69")));
    Select(kSara);
    const QString text = ExerciseTextOf(36, 5, 1);
    ASSERT_GT(text.count(u'\r'), 7);  // a text of several pages
    // 200 a minute is the target of level 36: the whole text in a quarter of an hour is
    // comfortably above it.
    const qint64 seconds = text.size() * 60 / 200 - 2;

    TypeSteps(text, seconds);
    AppendInputStep([this] {
        EXPECT_EQ(ResultMessage(),
                  Lines({"HAS REALIZADO BIEN ESTA PRUEBA. ", "", " ¡¡¡ A POR LA PROXIMA !!!", "",
                         "BIEN, SIGAMOS CON UN NUEVO BLOQUE DE EJERCICIOS."}));
        AnswerResult(kResultContinueButton);
    });
    AppendInputStep([this] {
        EXPECT_EQ(ResultMessage(),
                  Lines({"ENHORABUENA,", "", "HAS TERMINADO EL CURSO CON EXITO.", "",
                         "PUEDES ESTAR SEGURO QUE SABES ESCRIBIR CON PROPIEDAD"}));
        AnswerResult(kResultContinueButton);
    });
    RunExercises(state_);

    EXPECT_EQ(ExerciseWindowWidget(), nullptr);
    UserRecord saved = SavedUser(CurrentUser.id);
    EXPECT_EQ(saved.level, 37);
    EXPECT_EQ(saved.block, 1);
    EXPECT_EQ(saved.exercise, 1);
    EXPECT_GE(saved.history[5], 200);

    // Starting again only brings the notice, with no exercise window behind it.
    const QByteArray finished = ReadBytes(kUsersFileName);
    CurrentUser = saved;
    AppendInputStep([this] {
        EXPECT_EQ(ExerciseWindowWidget(), nullptr);
        EXPECT_EQ(ResultMessage(), Lines({"SARA DIAZ", "", "Ha completado con éxito el curso.", "",
                                          "Seleccione otro usuario."}));
        AnswerResult(kResultContinueButton);
    });
    RunExercises(state_);
    EXPECT_EQ(ReadBytes(kUsersFileName), finished);
}

TEST_F(ExerciseRunTest, ALevelEndedWithMainMenuStillSavesTheNewLevel) {
    // The last exercise of the last block of level 4: "ñ.,mnm ñ98767" in "FACIL" mode.
    Select(kLuis);
    CurrentUser.block = 4;
    CurrentUser.exercise = 2;
    const QString text = ExerciseTextOf(4, 4, 2);
    TypeSteps(text, text.size() * 60 / 15 - 1);  // target 30 / 2 = 15
    AppendInputStep([this] {
        EXPECT_TRUE(ResultMessage().endsWith("BIEN, SIGAMOS CON UN NUEVO BLOQUE DE EJERCICIOS."));
        AnswerResult(kResultMenuButton);
    });
    AppendInputStep([this] {
        EXPECT_EQ(ResultMessage(), Lines({"ENHORABUENA!!!", "", "HAS SUBIDO DE NIVEL,", "",
                                          "ENTRAMOS EN EL NIVEL 5"}));
        AnswerResult(kResultContinueButton);
    });
    RunExercises(state_);
    const UserRecord saved = SavedUser(CurrentUser.id);
    EXPECT_EQ(saved.level, 5);
    EXPECT_EQ(saved.block, 1);
    EXPECT_EQ(saved.exercise, 1);
    EXPECT_EQ(saved.history[3], 15);
}

TEST_F(ExerciseRunTest, LessonViewerAndCustomTextRunsTypeWhatTheyAreHandedAndMoveNoOne) {
    const QByteArray before = ReadBytes(kUsersFileName);

    // A hand-picked last exercise of a block: a pass without the words of the course, no new
    // block, and the run ends after the one verdict although the pupil chose to go on.
    Select(kAna);
    const UserRecord ana = CurrentUser;
    const QString text = ExerciseTextOf(1, 1, 2);
    TypeSteps(text, 60);
    AppendInputStep([this] {
        EXPECT_EQ(ResultMessage(), Lines({"HAS REALIZADO BIEN ESTA PRUEBA. ", "", ""}));
        AnswerResult(kResultContinueButton);
    });
    RunExercises(state_, ManualExerciseRequest({1, 1, 2}));
    EXPECT_EQ(ExerciseWindowWidget(), nullptr);
    EXPECT_EQ(CurrentUser, ana);
    EXPECT_EQ(ReadBytes(kUsersFileName), before);

    // A custom text asks no speed: slow and careful passes.
    Select(kLuis);
    const UserRecord luis = CurrentUser;
    QDir(Path("")).mkpath("TXTPERSONALIZADOS");
    WriteBytes("TXTPERSONALIZADOS/mi texto.t10", "Hola mundo.\r\nAdios.\r\n");
    TypeSteps(QStringLiteral("Hola mundo.\rAdios."), 3000);
    AppendInputStep([this] {
        EXPECT_EQ(
            qobject_cast<QLabel*>(FindControl(ExerciseWindowWidget(), kExTargetDisplay))->text(),
            "0");
        EXPECT_EQ(ResultMessage(), Lines({"HAS REALIZADO BIEN ESTA PRUEBA. ", "", ""}));
        AnswerResult(kResultContinueButton);
    });
    RunExercises(state_, CustomTextRequest(QStringLiteral("mi texto.t10")));
    EXPECT_EQ(CurrentUser, luis);
    EXPECT_EQ(ReadBytes(kUsersFileName), before);
    EXPECT_TRUE(AskedDialogs().empty());
}

TEST_F(ExerciseRunTest, AMissingLessonTextIsNamedAndNoAttemptStarts) {
    // Level 12, block 4 is lesson text 1; the program folder has no textos folder.
    Select(kAna);
    CurrentUser.level = 12;
    CurrentUser.block = 4;
    const QByteArray before = ReadBytes(kUsersFileName);
    RunExercises(state_);  // an attempt would wait for keys the script does not have
    ASSERT_EQ(AskedDialogs().size(), 1u);
    const AskedDialog& asked = AskedDialogs().front();
    EXPECT_EQ(asked.title, "TIPENZO 10");
    EXPECT_EQ(test::BoxOf(asked), (test::Box{false, DialogIcon::Exclamation}));
    EXPECT_TRUE(asked.text.contains(QDir::toNativeSeparators(Path("textos/TEXTO_01"))))
        << asked.text.toStdString();
    EXPECT_EQ(ExerciseWindowWidget(), nullptr);
    EXPECT_EQ(ReadBytes(kUsersFileName), before);
}

TEST_F(ExerciseRunTest, APlaceOutsideTheCourseStartsAtTheNearestOne) {
    Select(kAna);
    CurrentUser.level = 0;
    CurrentUser.block = 9;
    CurrentUser.exercise = 40;
    AppendInputStep([this] {
        QWidget* window = ExerciseWindowWidget();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->windowTitle(), QStringLiteral("ANA LOPEZ  |  NIVEL: 1"));
        PressKey(window, QChar(27));
    });
    RunExercises(state_);
    // Level 1 has five blocks, and its fifth block six exercises.
    EXPECT_EQ(CurrentUser.level, 1);
    EXPECT_EQ(CurrentUser.block, 5);
    EXPECT_EQ(CurrentUser.exercise, 6);

    CurrentUser.level = -3;
    CurrentUser.block = 0;
    CurrentUser.exercise = -1;
    AppendInputStep([this] { PressKey(ExerciseWindowWidget(), QChar(27)); });
    RunExercises(state_);
    EXPECT_EQ(CurrentUser.level, 1);
    EXPECT_EQ(CurrentUser.block, 1);
    EXPECT_EQ(CurrentUser.exercise, 1);
}

TEST_F(ExerciseRunTest, EveryAttemptWithAKeystrokeCountsForThePupilsFigures) {
    Select(kAna);
    const QByteArray users = ReadBytes(kUsersFileName);
    // Three keystrokes of the course's first exercise, the second one wrong, then Escape.
    const QString text = ExerciseTextOf(1, 1, 1);
    TypeSteps(text.left(3), 2, [](int k) { return k == 1; });
    AppendInputStep([] { PressKey(ExerciseWindowWidget(), QChar(27)); });
    RunExercises(state_);
    PupilFigures figures = LoadPupilFigures(store_, CurrentUser.id);
    ASSERT_EQ(figures.attempts.size(), 1u);
    EXPECT_EQ(figures.attempts[0].figures.keystrokes, 3);
    EXPECT_EQ(figures.attempts[0].figures.errors, 1);
    EXPECT_EQ((figures.confusions.at({FirstCodePoint(text.mid(1, 1)), U'x'})), 1);
    EXPECT_EQ(figures.fingers[1].keystrokes, 1) << "the A, struck by the left little finger";

    // Leaving before the first keystroke counts nothing.
    AppendInputStep([] { PressKey(ExerciseWindowWidget(), QChar(27)); });
    RunExercises(state_);
    EXPECT_EQ(LoadPupilFigures(store_, CurrentUser.id).attempts.size(), 1u);

    // An exercise of the lesson viewer counts as well, though it saves no progress.
    TypeSteps(text.left(2), 2);
    AppendInputStep([] { PressKey(ExerciseWindowWidget(), QChar(27)); });
    RunExercises(state_, ManualExerciseRequest({1, 1, 1}));
    figures = LoadPupilFigures(store_, CurrentUser.id);
    ASSERT_EQ(figures.attempts.size(), 2u);
    EXPECT_EQ(figures.Total().keystrokes, 5);
    EXPECT_EQ(ReadBytes(kUsersFileName), users) << "figures live in a file of their own";
    EXPECT_TRUE(AskedDialogs().empty());
}

TEST_F(ExerciseRunTest, TheMainMenuIsHiddenDuringTheRunAndShownAfterIt) {
    QWidget menu;
    menu.setWindowTitle(QStringLiteral("stand-in main menu"));
    menu.resize(200, 100);
    menu.show();
    state_.mainMenu = &menu;
    Select(kAna);
    AppendInputStep([&menu] {
        EXPECT_FALSE(menu.isVisible());
        QTest::mouseClick(FindControl(ExerciseWindowWidget(), kExCancelButton), Qt::LeftButton);
    });
    RunExercises(state_);
    EXPECT_TRUE(menu.isVisible());
    state_.mainMenu = nullptr;
}

TEST_F(ExerciseRunTest, TheDevelopmentEntryRunsTheCourseForOneUserOfTheFile) {
    char program[] = "tipenzo10";
    char option[] = "--exercise";
    char luis[] = "ID-20240101000002";
    char nobody[] = "ID-99";
    char* arguments[] = {program, option, luis, nullptr};
    AppendInputStep([this] {
        QWidget* window = ExerciseWindowWidget();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->windowTitle(), QStringLiteral("LUIS GARCIA  |  NIVEL: 4"));
        // No main menu: the only visible window is the exercise window.
        EXPECT_EQ(test::VisibleTopLevels(), 1);
        PressKey(window, QChar(27));
    });
    EXPECT_EQ(RunProgram(3, arguments), 0);
    EXPECT_EQ(ExerciseWindowWidget(), nullptr);
    EXPECT_FALSE(Exists(kLockCopyName));  // an orderly end
    EXPECT_TRUE(AskedDialogs().empty());

    arguments[2] = nobody;
    EXPECT_EQ(RunProgram(3, arguments), 0);
    ASSERT_EQ(AskedDialogs().size(), 1u);
    EXPECT_EQ(AskedDialogs()[0].text, QStringLiteral("No hay ningún usuario con el identificador "
                                                     "ID-99 en el archivo de usuarios."));
    EXPECT_EQ(ExerciseWindowWidget(), nullptr);
}

// Runs the acts one after another, each from the event loop once the one before has returned.
void InTurn(std::shared_ptr<std::vector<std::function<void()>>> acts, std::size_t next = 0) {
    if (next == acts->size()) return;
    (*acts)[next]();
    QTimer::singleShot(0, qApp, [acts, next] { InTurn(acts, next + 1); });
}

// Every keystroke the pupil makes is judged, in the order she made it, and no other: not the "r"
// that started the exercise in the main menu, not two keys that come together at a page turn,
// not the keys typed as the clock resumes after a pause.
TEST_F(ExerciseRunTest, EveryKeystrokeIsJudgedInOrderAndNoneIsAdded) {
    // A lesson text of nine lines without an "r": two pages.
    CoursePlace place{0, 0, 1};
    const std::vector<CourseLevel>& levels = CourseData().levels;
    for (std::size_t l = 0; l < levels.size() && place.level == 0; ++l) {
        for (std::size_t b = 0; b < levels[l].blocks.size() && place.level == 0; ++b) {
            const QString entry = levels[l].blocks[b].entries.front();
            if (!IsLessonTextRef(entry)) continue;
            place = {static_cast<int>(l) + 1, static_cast<int>(b) + 1, 1};
            QDir(Path("")).mkpath("textos");
            WriteBytes(LessonTextFileName(entry),
                       "mi casa es azul y la tuya es blanca\r\nel sol sale cada dia a las "
                       "siete\r\nla luna sale de noche muy callada\r\nlos gatos juegan en el "
                       "patio\r\nmi tio Pablo cocina sopa de ajo\r\nla sopa esta muy "
                       "caliente\r\ncome la sopa poco a poco\r\nQuique lava los platos\r\ny "
                       "Ana los seca con un pano");
        }
    }
    ASSERT_GT(place.level, 0);
    WriteUsers({QStringLiteral("EVA PAZ|%1|%2|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|"
                               "ID-20240101000009")
                    .arg(place.level)
                    .arg(place.block)
                    .toUtf8()});
    const QString keys = QStringLiteral(
        "mi casa es azul y la tuya es blanca\rel sol sale cada dia a las siete\rla luna sale "
        "de noche muy callada\rlos gatos juegan en el patio\rmi tio Pablo cocina sopa de "
        "ajo\rla sopa esta muy caliente\rcome la sopa poco a pocoQuique lava los platos\ry "
        "Ana los seca con un pano");
    const int turn = static_cast<int>(keys.indexOf(u'Q'));  // the first key of page 2
    const int resume = static_cast<int>(keys.indexOf(QStringLiteral("va los")));

    QWidget* window = nullptr;
    // Keys [from, to) one by one, a tenth of a second apart.
    const auto type = [&](int from, int to) {
        for (int k = from; k < to; ++k) {
            clock_.Advance(100);
            PressKey(window, keys[k]);
        }
    };
    // The key shown to press next is the one after the `typed` keys.
    const auto due = [&](int typed, const char* story) {
        auto* label = qobject_cast<QLabel*>(FindControl(window, kExKeyLabel));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), keys.mid(typed, 1)) << story;
    };
    const auto pause = [&] {
        QTest::mouseClick(FindControl(window, kExPauseButton), Qt::LeftButton);
    };
    auto acts = std::make_shared<std::vector<std::function<void()>>>();
    *acts = {
        [] {},  // the window has shown
        [&] {
            // The "r" that started the exercise is still held down: the keyboard repeats it.
            for (const bool down : {true, true, false}) {
                QTest::simulateEvent(window->windowHandle(), down, Qt::Key_R, Qt::NoModifier,
                                     QStringLiteral("r"), down);
            }
        },
        [&] {
            due(0, "nothing is judged before the first key");
            type(0, turn - 1);
        },
        [&] {
            due(turn - 1, "the keys of the first page");
            type(turn - 1,
                 turn + 1);  // together: the last key of the page and the first of the next
        },
        [&] {
            due(turn + 1, "both keys at the page turn");
            type(turn + 1, resume);
            pause();
            clock_.Advance(30000);
        },
        [&] {
            type(resume, resume + 2);  // the first resumes the clock
        },
        [&] {
            due(resume + 2, "both keys that resume the clock");
            pause();
            pause();  // the button resumes
            type(resume + 2, resume + 3);
        },
        [&] {
            due(resume + 3, "the key right after resuming");
            type(resume + 3, static_cast<int>(keys.size()));
        },
        // A session that waits for a lost key is left.
        [&] {
            for (int tries = 0;
                 tries < 20 && ExerciseWindowWidget() && ExerciseWindowWidget()->isVisible();
                 ++tries) {
                PressKey(window, QChar(27));
                QCoreApplication::processEvents();
            }
        },
    };
    QString verdict;
    test::WhenShown(kResultWindowTitle, [&verdict](QWidget*) {
        verdict = ResultMessage();
        AnswerResult(kResultMenuButton);
    });
    OpenMainMenu(state_);
    AppendInputStep([&] {
        CurrentUser.id = QStringLiteral("ID-20240101000009");
        LoadCurrentUser();
        test::WhenShown(QStringLiteral("EVA PAZ  |  NIVEL: %1").arg(place.level),
                        [&](QWidget* shown) {
                            window = shown;
                            InTurn(acts);
                        });
        QTest::simulateEvent(state_.mainMenu->windowHandle(), true, Qt::Key_R, Qt::NoModifier,
                             QStringLiteral("r"), false);
    });
    AppendInputStep(
        [&] { QTest::mouseClick(FindControl(state_.mainMenu, kMenuQuitId), Qt::LeftButton); });
    RunMainLoop(state_);
    CloseMainMenu(state_);

    EXPECT_TRUE(verdict.startsWith(QStringLiteral("HAS REALIZADO BIEN"))) << verdict.toStdString();
    const PupilFigures figures = LoadPupilFigures(store_, CurrentUser.id);
    ASSERT_EQ(figures.attempts.size(), 1u);
    EXPECT_EQ(figures.attempts[0].figures.keystrokes, keys.size());
    EXPECT_EQ(figures.attempts[0].figures.errors, 0);
    for (const auto& [confusion, times] : figures.confusions) {
        EXPECT_NE(confusion.second, U'r')
            << "an \"r\" typed in the exercise, " << times << " times";
    }
}

}  // namespace
}  // namespace tz
