// The keystrokes of a pupil through the real program: the main menu, the course run and the
// exercise window.

#include <QDir>
#include <QTimer>

#include "app/main_menu.h"
#include "content/course_data.h"
#include "content/exercise_text.h"
#include "content/figures_file.h"
#include "exercise_screens.h"
#include "platform/pictures.h"

namespace tz {
namespace {

using test::AnswerResult;
using test::PressKey;
using test::ResultMessage;

using KeystrokeTest = test::ExerciseScreenTest;

// Runs the acts one after another, each from the event loop once the one before has returned
// (so it holds whether keys reach the window at once or queued).
void OneByOne(std::shared_ptr<std::vector<std::function<void()>>> acts, std::size_t next = 0) {
    if (next == acts->size()) return;
    (*acts)[next]();
    QTimer::singleShot(0, qApp, [acts, next] { OneByOne(acts, next + 1); });
}

// Every keystroke the pupil makes is judged, in the order she made it, and no other: not the "r"
// that started the exercise in the main menu, not two keys that come together at a page turn,
// not the keys typed as the clock resumes after a pause.
TEST_F(KeystrokeTest, EveryKeystrokeIsJudgedInOrderAndNoneIsAdded) {
    // Level 12, block 4 is a lesson text: here one of nine lines without an "r", two pages.
    const QStringList lines = {"mi casa es azul y la tuya es blanca",
                               "el sol sale a las siete",
                               "la luna sale de noche muy callada",
                               "los gatos juegan en el patio",
                               "mi tio Pablo cocina sopa de ajo",
                               "la sopa esta muy caliente",
                               "come la sopa poco a poco",
                               "Quique lava los platos",
                               "y Ana los seca con un pano"};
    ASSERT_TRUE(IsLessonTextRef(LoadBlock(12, 4).Entry(1)));
    QDir(Path("")).mkpath("textos");
    WriteBytes(LessonTextFileName(LoadBlock(12, 4).Entry(1)), lines.join("\r\n").toUtf8());
    WriteUsers({"EVA PAZ|12|4|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-20240101000009"});
    const QString keys = lines.mid(0, 7).join(u'\r') + lines.mid(7).join(u'\r');
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
        EXPECT_EQ(qobject_cast<QLabel*>(FindControl(window, kExKeyLabel))->text(),
                  keys.mid(typed, 1))
            << story;
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
            type(turn - 1, turn + 1);  // together: the last key of the page, the first of the next
        },
        [&] {
            due(turn + 1, "both keys at the page turn");
            type(turn + 1, resume);
            pause();
            clock_.Advance(30000);
        },
        [&] { type(resume, resume + 2); },  // the first resumes the clock
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
            for (int tries = 0; tries < 20 && window->isVisible(); ++tries) {
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
    state_.HeaderCanvas = CopyPicture(PictureName::Header);
    MainMenu menu(state_);
    menu.show();
    CurrentUser.id = QStringLiteral("ID-20240101000009");
    LoadCurrentUser();
    test::WhenShown(QStringLiteral("EVA PAZ  |  NIVEL: 12"), [&](QWidget* shown) {
        window = shown;
        OneByOne(acts);
    });
    QTest::simulateEvent(menu.windowHandle(), true, Qt::Key_R, Qt::NoModifier, QStringLiteral("r"),
                         false);

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
