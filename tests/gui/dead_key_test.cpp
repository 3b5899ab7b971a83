// Dead keys under a real X display with the Spanish layout: the accent and the vowel reach
// the exercise as one "á", the diaeresis (Shift with the accent key) and the u as one "ü". The test
// starts its own Xvfb and runs itself again on it (the other tests stay on the offscreen platform);
// without Xvfb, xdotool or setxkbmap it skips.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <memory>

#include "exercise_screens.h"

namespace tz {
namespace {

const char* const kChildVariable = "TIPENZO_DEAD_KEY_CHILD";

bool DisplayFree(int number) {
    return !QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)) &&
           !QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number));
}

// An Xvfb of our own, stopped when the test ends.
struct VirtualDisplay {
    QProcess server;
    QString name;

    bool Start(const QString& xvfb) {
        for (int number = 91; number < 140; ++number) {
            if (!DisplayFree(number)) continue;
            name = QStringLiteral(":%1").arg(number);
            server.start(xvfb, {name, "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
            if (!server.waitForStarted(5000)) return false;
            QElapsedTimer waited;
            waited.start();
            while (waited.elapsed() < 10000 && server.state() == QProcess::Running) {
                if (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number))) return true;
                QThread::msleep(50);
            }
            // Taken by someone else meanwhile, or slow to come: try the next number.
            Stop();
        }
        return false;
    }
    void Stop() {
        if (server.state() == QProcess::NotRunning) return;
        server.terminate();
        if (!server.waitForFinished(5000)) server.kill();
        server.waitForFinished(2000);
    }
    ~VirtualDisplay() { Stop(); }
};

// The half that runs on the X display: the real exercise window waits for "áü", xdotool types
// the dead keys and the vowels, and the session sees what arrives.
void TypeDeadKeyOnTheDisplay() {
    ManualClock clock;
    SetClock(&clock);
    RegisterAllPictures();
    ProgramState state = InitialProgramState();
    state.ExerciseFont = MakeFont(QStringLiteral("Courier New"), 14, true);

    ExerciseWindow window(state.ExerciseFont, state.hideOptions, state.HeaderCanvas);
    window.ApplyOptions();
    ExerciseSession session(window, state.previousFinger);
    session.Begin(QStringLiteral("áü"), QStringLiteral("ANA"), 1, 25);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.Window(), 10000));
    window.Window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.Window(), 10000));
    ASSERT_EQ(QApplication::focusWidget(), FindControl(window.Window(), kExTextPicture));

    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"),
                  {"key", "--delay", "60", "dead_acute", "a", "dead_diaeresis", "u"});
    ASSERT_TRUE(xdotool.waitForStarted(5000));
    QStringList typed;
    QElapsedTimer waited;
    waited.start();
    // The loop of an attempt, bounded: the keys come from another program.
    const auto takeFor = [&typed, &session, &window](int milliseconds) {
        Event event;
        if (!WaitEventUntil(NowMilliseconds() + milliseconds, &event)) return;
        if (event.type == EventType::Char) typed.append(event.text);
        session.Handle(window.CommandFor(event));
    };
    while (!session.Ended() && waited.elapsed() < 10000) takeFor(100);
    xdotool.waitForFinished(5000);
    // Whatever else might still arrive would show here too.
    for (int i = 0; i < 5; ++i) takeFor(40);
    EXPECT_EQ(typed, (QStringList{QStringLiteral("á"), QStringLiteral("ü")}));
    EXPECT_TRUE(session.Ended());
    EXPECT_EQ(session.Correct(), 2);
    EXPECT_EQ(session.Errors(), 0);
    SetClock(nullptr);
}

TEST(DeadKeys, AccentThenVowelArriveAsOneCharacterUnderARealXDisplay) {
    if (qEnvironmentVariable(kChildVariable) == QStringLiteral("1")) {
        TypeDeadKeyOnTheDisplay();
        return;
    }
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    const QString setxkbmap = QStandardPaths::findExecutable(QStringLiteral("setxkbmap"));
    if (xvfb.isEmpty() || xdotool.isEmpty() || setxkbmap.isEmpty()) {
        GTEST_SKIP() << "needs Xvfb, xdotool and setxkbmap (packages xvfb, xdotool, "
                        "x11-xkb-utils)";
    }
    if (!QFile::exists(QStringLiteral("/usr/share/X11/locale/compose.dir"))) {
        GTEST_SKIP() << "needs the X compose tables (/usr/share/X11/locale)";
    }

    VirtualDisplay display;
    ASSERT_TRUE(display.Start(xvfb)) << "Xvfb did not start";
    QProcess layout;
    layout.start(setxkbmap, {"-display", display.name, "es"});
    ASSERT_TRUE(layout.waitForFinished(10000));
    ASSERT_EQ(layout.exitCode(), 0) << layout.readAllStandardError().toStdString();

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display.name);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    // The composing is the platform's: Qt's own compose input method, in a UTF-8 locale.
    environment.insert(QStringLiteral("QT_IM_MODULE"), QStringLiteral("compose"));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    environment.insert(QString::fromLatin1(kChildVariable), QStringLiteral("1"));
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=DeadKeys.*")});
    ASSERT_TRUE(child.waitForStarted(10000));
    ASSERT_TRUE(child.waitForFinished(60000)) << "the run on the X display did not end";
    const QString output = QString::fromLocal8Bit(child.readAll());
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 1 test"))) << output.toStdString();
}

}  // namespace
}  // namespace tz
