// The course run in the real exercise window: real keystrokes, verdicts read from the real
// result window, and the users file checked byte for byte.

#include <QDir>
#include <QFile>
#include <cstdio>

#include "app/exercise_run.h"
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
using test::InTurn;
using test::PressKey;
using test::ResultMessage;
using test::WindowAct;

const QByteArray kAna = "ANA LOPEZ|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-20240101000001";
const QByteArray kLuis =
    "LUIS GARCIA|4|2|1|61|55|60|68|-1|-1|-1|-1|-1|-1|-1|FACIL|ID-20240101000002";
const QByteArray kSara =
    "SARA DIAZ|36|5|1|180|170|175|180|185|190|-1|-1|-1|-1|-1|NORMAL|ID-20240101000003";
const QString kAnaAtLevel1 = QStringLiteral("ANA LOPEZ  |  NIVEL: 1");

QString Lines(std::initializer_list<const char*> lines) {
    QStringList parts;
    for (const char* line : lines) parts.append(QString::fromUtf8(line));
    return parts.join(LineBreak);
}
const QString kPass =
    Lines({"HAS REALIZADO BIEN ESTA PRUEBA. ", "", " ¡¡¡ A POR LA PROXIMA !!!", ""});

// The keystrokes of an exercise as the run builds it: its lines with Enter between them,
// except after the seventh line of a page, whose carriage return is never typed.
QString ExerciseTextOf(int level, int block, int exercise) {
    const ExerciseText built = AssembleExerciseText(LoadBlock(level, block), exercise);
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

    UserRecord SavedUser(const QString& id) {
        const std::optional<UserRecord> user = store_.LoadUser(id);
        return user.value_or(UserRecord());
    }

    // The exercise window titled so, typed in as TypeAll types.
    WindowAct Typing(
        const QString& title, const QString& text, qint64 seconds,
        const std::function<bool(int)>& typo = [](int) { return false; }) {
        return {title, [=, this](QWidget* window) { TypeAll(window, text, seconds, typo); }};
    }
    // The result window, which must say `message`, answered with `button`.
    static WindowAct Verdict(const QString& message, int button) {
        return {kResultWindowTitle, [=](QWidget*) {
                    EXPECT_EQ(ResultMessage(), message);
                    AnswerResult(button);
                }};
    }
    // The exercise window titled so, left with Escape.
    static WindowAct Leave(const QString& title) {
        return {title, [](QWidget* window) { PressKey(window, QChar(27)); }};
    }
};

TEST_F(ExerciseRunTest, ACorrectAttemptAtTheTargetMovesOnAndRewritesOnlyThatUsersLine) {
    Select(kAna);
    const QString text = ExerciseTextOf(1, 1, 1);
    ASSERT_EQ(text.size(), 299);  // five lines of "asdf ñlkj" six times
    const QByteArray others = ReadBytes(kUsersFileName).replace(kAna, "");

    // 299 correct keystrokes in 717 seconds: 25 a minute, the target of level 1.
    InTurn({{kAnaAtLevel1,
             [&](QWidget* window) {
                 EXPECT_EQ(qobject_cast<QLabel*>(FindControl(window, kExTargetDisplay))->text(),
                           "25");
                 EXPECT_EQ(QApplication::activeModalWidget(), window);
                 EXPECT_EQ(window->focusWidget(), FindControl(window, kExTextPicture));
                 TypeAll(window, text, 717);
             }},
            {kResultWindowTitle,
             [](QWidget*) {
                 EXPECT_EQ(ResultMessage(), kPass);
                 EXPECT_FALSE(ExerciseWindowWidget()->isVisible());
                 AnswerResult(kResultContinueButton);
             }},
            // "Continuar" goes on with exercise 2 in the same window.
            {kAnaAtLevel1, [this](QWidget* window) {
                 EXPECT_EQ(CurrentUser.exercise, 2);
                 PressKey(window, QChar(27));
             }}});
    RunExercises(state_);

    EXPECT_EQ(ExerciseWindowWidget(), nullptr);
    const UserRecord saved = SavedUser(CurrentUser.id);
    EXPECT_EQ(std::tuple(saved.level, saved.block, saved.exercise), std::tuple(1, 1, 2));
    EXPECT_EQ(saved.history[0], 25);
    EXPECT_EQ(saved.history[1], -1);
    EXPECT_EQ(saved.averageSpeed, 25);
    QByteArray after = ReadBytes(kUsersFileName);
    EXPECT_EQ(after.replace(FormatUserLine(saved).toUtf8(), ""), others);
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
        // Then the new file takes the old one's place.
        QFile::remove(to);
        return QFile::rename(from, to) ? MoveStep::Done : MoveStep::Failed;
    });
    QueueAnswer(Answer::Yes);
    InTurn({Typing(kAnaAtLevel1, ExerciseTextOf(1, 1, 1), 717), Verdict(kPass, kResultMenuButton)});
    RunExercises(state_);
    SetMoveOnce({});
    ASSERT_EQ(AskedDialogs().size(), 1u);
    EXPECT_TRUE(AskedDialogs()[0].retry);
    // The folder to look at is the data folder, named.
    EXPECT_TRUE(AskedDialogs()[0].text.contains(QDir::toNativeSeparators(dir_->path())));
    EXPECT_FALSE(AskedDialogs()[0].text.contains("carpeta del programa"));
    EXPECT_EQ(SavedUser(CurrentUser.id).exercise, 2);
}

// Another program deletes the pupil while she types: her pass has nowhere to go, and she is
// told so once, rather than thanked for a save that never was.
TEST_F(ExerciseRunTest, APassOfAPupilDeletedMeanwhileIsToldOnce) {
    Select(kAna);
    InTurn({{kAnaAtLevel1,
             [this](QWidget* window) {
                 ASSERT_TRUE(DeleteUser(CurrentUser.id));
                 TypeAll(window, ExerciseTextOf(1, 1, 1), 717);
             }},
            Verdict(kPass, kResultMenuButton)});
    RunExercises(state_);
    ASSERT_EQ(AskedDialogs().size(), 1u);
    EXPECT_FALSE(AskedDialogs()[0].retry);
    EXPECT_FALSE(ReadBytes(kUsersFileName).contains("ANA LOPEZ"));
}

// Figures that cannot be kept (here a file a classmate planted where their folder goes) are
// told once in a run of the program, not after every attempt.
TEST_F(ExerciseRunTest, FiguresThatCannotBeKeptAreToldOnce) {
    Select(kAna);
    WriteBytes("estadisticas", "no es una carpeta");
    for (int run = 0; run < 2; ++run) {
        InTurn({{kAnaAtLevel1, [this](QWidget* window) {
                     TypeAll(window, ExerciseTextOf(1, 1, 1).left(3), 2);
                     PressKey(window, QChar(27));
                 }}});
        RunExercises(state_);
    }
    EXPECT_EQ(AskedDialogs().size(), 1u);
    EXPECT_EQ(ReadBytes("estadisticas"), "no es una carpeta");
}

TEST_F(ExerciseRunTest, AFailedAttemptIsToldAndRepeatedWithoutSavingAnything) {
    Select(kAna);
    const QByteArray before = ReadBytes(kUsersFileName);
    // Six wrong keystrokes in a minute: 293 a minute, far above 25, and still a fail.
    InTurn({Typing(kAnaAtLevel1, ExerciseTextOf(1, 1, 1), 60,
                   [](int k) { return k % 40 == 3 && k < 240; }),
            Verdict(Lines({"Lo siento, pero 6 son muchos errores.", "",
                           "Tendrás que repetir este ejercicio.", "",
                           "Tus pulsaciones son bastante altas, pero tendrás que reducir esa "
                           "cantidad de errores."}),
                    kResultContinueButton),
            // The same exercise again, in the same window.
            {kAnaAtLevel1, [this](QWidget* window) {
                 EXPECT_EQ(CurrentUser.exercise, 1);
                 PressKey(window, QChar(27));
             }}});
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
    // Comfortably above 200 a minute, the target of level 36.
    InTurn({Typing(QStringLiteral("SARA DIAZ  |  NIVEL: 36"), text, text.size() * 60 / 200 - 2),
            Verdict(kPass + LineBreak + "BIEN, SIGAMOS CON UN NUEVO BLOQUE DE EJERCICIOS.",
                    kResultContinueButton),
            Verdict(Lines({"ENHORABUENA,", "", "HAS TERMINADO EL CURSO CON EXITO.", "",
                           "PUEDES ESTAR SEGURO QUE SABES ESCRIBIR CON PROPIEDAD"}),
                    kResultContinueButton)});
    RunExercises(state_);

    EXPECT_EQ(ExerciseWindowWidget(), nullptr);
    const UserRecord saved = SavedUser(CurrentUser.id);
    EXPECT_EQ(std::tuple(saved.level, saved.block, saved.exercise), std::tuple(37, 1, 1));
    EXPECT_GE(saved.history[5], 200);

    // Starting again only brings the notice, with no exercise window behind it.
    const QByteArray finished = ReadBytes(kUsersFileName);
    CurrentUser = saved;
    InTurn({{kResultWindowTitle, [](QWidget* window) {
                 EXPECT_EQ(window->parentWidget(), nullptr);
                 EXPECT_EQ(ResultMessage(),
                           Lines({"SARA DIAZ", "", "Ha completado con éxito el curso.", "",
                                  "Seleccione otro usuario."}));
                 AnswerResult(kResultContinueButton);
             }}});
    RunExercises(state_);
    EXPECT_EQ(ReadBytes(kUsersFileName), finished);
}

TEST_F(ExerciseRunTest, ALevelEndedWithMainMenuStillSavesTheNewLevel) {
    // The last exercise of the last block of level 4: "ñ.,mnm ñ98767" in "FACIL" mode.
    Select(kLuis);
    CurrentUser.block = 4;
    CurrentUser.exercise = 2;
    const QString text = ExerciseTextOf(4, 4, 2);
    InTurn({Typing(QStringLiteral("LUIS GARCIA  |  NIVEL: 4"), text,
                   text.size() * 60 / 15 - 1),  // target 30 / 2 = 15
            {kResultWindowTitle,
             [](QWidget*) {
                 EXPECT_TRUE(ResultMessage().endsWith("NUEVO BLOQUE DE EJERCICIOS."));
                 AnswerResult(kResultMenuButton);
             }},
            Verdict(
                Lines({"ENHORABUENA!!!", "", "HAS SUBIDO DE NIVEL,", "", "ENTRAMOS EN EL NIVEL 5"}),
                kResultContinueButton)});
    RunExercises(state_);
    const UserRecord saved = SavedUser(CurrentUser.id);
    EXPECT_EQ(std::tuple(saved.level, saved.block, saved.exercise), std::tuple(5, 1, 1));
    EXPECT_EQ(saved.history[3], 15);
}

TEST_F(ExerciseRunTest, LessonViewerAndCustomTextRunsTypeWhatTheyAreHandedAndMoveNoOne) {
    const QByteArray before = ReadBytes(kUsersFileName);
    const QString pass = Lines({"HAS REALIZADO BIEN ESTA PRUEBA. ", "", ""});

    // A hand-picked last exercise of a block: a pass without the words of the course, no new
    // block, and the run ends after the one verdict although the pupil chose to go on.
    Select(kAna);
    const UserRecord ana = CurrentUser;
    InTurn(
        {Typing(kAnaAtLevel1, ExerciseTextOf(1, 1, 2), 60), Verdict(pass, kResultContinueButton)});
    RunExercises(state_, ManualExerciseRequest({1, 1, 2}));
    EXPECT_EQ(ExerciseWindowWidget(), nullptr);
    EXPECT_EQ(CurrentUser, ana);

    // A custom text asks no speed: slow and careful passes.
    Select(kLuis);
    const UserRecord luis = CurrentUser;
    QDir(Path("")).mkpath("TXTPERSONALIZADOS");
    WriteBytes("TXTPERSONALIZADOS/mi texto.t10", "Hola mundo.\r\nAdios.\r\n");
    InTurn({{QStringLiteral("LUIS GARCIA  |  NIVEL: 1"),
             [this](QWidget* window) {
                 EXPECT_EQ(qobject_cast<QLabel*>(FindControl(window, kExTargetDisplay))->text(),
                           "0");
                 TypeAll(window, QStringLiteral("Hola mundo.\rAdios."), 3000);
             }},
            Verdict(pass, kResultContinueButton)});
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
    RunExercises(state_);
    ASSERT_EQ(AskedDialogs().size(), 1u);
    const AskedDialog& asked = AskedDialogs().front();
    EXPECT_EQ(test::BoxOf(asked), (test::Box{false, DialogIcon::Exclamation}));
    EXPECT_TRUE(asked.text.contains(QDir::toNativeSeparators(Path("textos/TEXTO_01"))))
        << asked.text.toStdString();
    EXPECT_EQ(ReadBytes(kUsersFileName), before);
}

TEST_F(ExerciseRunTest, APlaceOutsideTheCourseStartsAtTheNearestOne) {
    const struct {
        CoursePlace damaged, nearest;
    } cases[] = {
        {{0, 9, 40}, {1, 5, 6}},  // level 1 has five blocks, and its fifth six exercises
        {{-3, 0, -1}, {1, 1, 1}},
    };
    Select(kAna);
    for (const auto& c : cases) {
        CurrentUser.level = static_cast<std::int8_t>(c.damaged.level);
        CurrentUser.block = static_cast<std::int8_t>(c.damaged.block);
        CurrentUser.exercise = static_cast<std::int8_t>(c.damaged.exercise);
        InTurn({Leave(kAnaAtLevel1)});
        RunExercises(state_);
        EXPECT_EQ((CoursePlace{CurrentUser.level, CurrentUser.block, CurrentUser.exercise}),
                  c.nearest);
    }
}

// Every attempt with a keystroke counts, a restarted one too; leaving before the first counts
// nothing; an exercise of the lesson viewer counts though it saves no progress.
TEST_F(ExerciseRunTest, EveryAttemptWithAKeystrokeCountsForThePupilsFigures) {
    Select(kAna);
    const QByteArray users = ReadBytes(kUsersFileName);
    const QString text = ExerciseTextOf(1, 1, 1);
    InTurn({{kAnaAtLevel1, [&](QWidget* window) {
                 // Three keystrokes, the second one wrong, then Yes to the restart question.
                 TypeAll(window, text.left(3), 2, [](int k) { return k == 1; });
                 QueueAnswer(Answer::Yes);
                 QTest::mouseClick(FindControl(window, kExRestartButton), Qt::LeftButton);
                 // The same exercise begins again in the window as it stands.
                 EXPECT_TRUE(window->isVisible());
                 EXPECT_EQ(qobject_cast<QLabel*>(FindControl(window, kExKeyLabel))->text(),
                           text.left(1));
                 TypeAll(window, text.left(2), 2);
                 PressKey(window, QChar(27));
             }}});
    RunExercises(state_);
    PupilFigures figures = LoadPupilFigures(store_, CurrentUser.id);
    ASSERT_EQ(figures.attempts.size(), 2u);
    EXPECT_EQ(figures.attempts[0].figures.keystrokes, 3);
    EXPECT_EQ(figures.attempts[0].figures.errors, 1);
    EXPECT_EQ(figures.attempts[1].figures.keystrokes, 2);
    EXPECT_EQ((figures.confusions.at({FirstCodePoint(text.mid(1, 1)), U'x'})), 1);
    EXPECT_EQ(figures.fingers[1].keystrokes, 2) << "the A, struck by the left little finger";

    InTurn({Leave(kAnaAtLevel1)});
    RunExercises(state_);
    EXPECT_EQ(LoadPupilFigures(store_, CurrentUser.id).attempts.size(), 2u);

    InTurn({{kAnaAtLevel1, [&](QWidget* window) {
                 TypeAll(window, text.left(2), 2);
                 PressKey(window, QChar(27));
             }}});
    RunExercises(state_, ManualExerciseRequest({1, 1, 1}));
    EXPECT_EQ(LoadPupilFigures(store_, CurrentUser.id).Total().keystrokes, 7);
    EXPECT_EQ(ReadBytes(kUsersFileName), users) << "figures live in a file of their own";
    EXPECT_TRUE(AskedDialogs().size() == 1u && AskedDialogs()[0].yesNo);
}

TEST_F(ExerciseRunTest, TheCallersWindowIsHiddenDuringTheRunAndShownAfterIt) {
    QWidget menu;
    menu.resize(200, 100);
    menu.show();
    state_.mainMenu = &menu;
    Select(kAna);
    InTurn({{kAnaAtLevel1, [&menu](QWidget* window) {
                 EXPECT_FALSE(menu.isVisible());
                 EXPECT_EQ(window->parentWidget(), nullptr) << "it stands in the task bar";
                 window->close();
             }}});
    RunExercises(state_);
    EXPECT_TRUE(menu.isVisible());
    state_.mainMenu = nullptr;
}

TEST_F(ExerciseRunTest, TheDevelopmentEntryRunsTheCourseForOneUserOfTheFile) {
    char program[] = "tipenzo10";
    char option[] = "--exercise";
    char luis[] = "ID-20240101000002";
    char* arguments[] = {program, option, luis, nullptr};
    InTurn({{QStringLiteral("LUIS GARCIA  |  NIVEL: 4"), [](QWidget* window) {
                 EXPECT_EQ(test::VisibleTopLevels(), 1) << "no main menu";
                 PressKey(window, QChar(27));
             }}});
    EXPECT_EQ(RunProgram(3, arguments), 0);
    EXPECT_FALSE(Exists(kLockCopyName));  // an orderly end
    EXPECT_TRUE(AskedDialogs().empty());

    char nobody[] = "ID-99";
    arguments[2] = nobody;
    EXPECT_EQ(RunProgram(3, arguments), 0);
    ASSERT_EQ(AskedDialogs().size(), 1u);
    EXPECT_EQ(AskedDialogs()[0].text, QStringLiteral("No hay ningún usuario con el identificador "
                                                     "ID-99 en el archivo de usuarios."));
}

}  // namespace
}  // namespace tz
