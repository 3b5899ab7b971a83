// Dead keys under a real X display with the Spanish layout: the accent and the vowel reach
// the exercise as one "á", the diaeresis (Shift with the accent key) and the u as one "ü". Under
// the Latin American layout the program takes that keyboard from X and a sample is typed with
// its own keys. The tests start their own Xvfb and run themselves again on it (the other tests
// stay on the offscreen platform); without Xvfb, xdotool or setxkbmap they skip.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <memory>
#include <utility>

#include "exercise/exercise_pictures.h"
#include "exercise_screens.h"
#include "platform/keyboard_layout.h"

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
            // Without -noreset the server starts afresh whenever its last client leaves, and
            // the layout setxkbmap set is gone before the test connects.
            server.start(xvfb,
                         {name, "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"});
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

// The window shown and active with an attempt at `text`, its typing target focused.
void ShowForTyping(ExerciseWindow& window, const QString& text) {
    window.ApplyOptions();
    window.Begin(text, QStringLiteral("ANA"), 1, 25);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window, 10000));
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window, 10000));
    ASSERT_EQ(QApplication::focusWidget(), FindControl(&window, kExTextPicture));
}

// What reached the session, keystroke by keystroke.
QStringList TypedIn(const ExerciseWindow& window) {
    QStringList typed;
    for (const Keystroke& keystroke : window.Session()->Keystrokes()) typed << keystroke.typed;
    return typed;
}

// The half that runs on the X display: the real exercise window waits for "áü", xdotool types
// the dead keys and the vowels, and the session sees what arrives.
void TypeDeadKeyOnTheDisplay() {
    ManualClock clock;
    SetClock(&clock);
    RegisterAllPictures();
    ProgramState state = InitialProgramState();
    state.ExerciseFont = MakeFont(QStringLiteral("Courier New"), 14, true);

    ExerciseWindow window(state.ExerciseFont, state.hideOptions, state.HeaderCanvas,
                          state.previousFinger, state.keyboard);
    ShowForTyping(window, QStringLiteral("áü"));

    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"),
                  {"key", "--delay", "60", "dead_acute", "a", "dead_diaeresis", "u"});
    ASSERT_TRUE(xdotool.waitForStarted(5000));
    EXPECT_TRUE(QTest::qWaitFor([&window] { return window.Session()->Ended(); }, 10000));
    xdotool.waitForFinished(5000);
    QTest::qWait(200);  // whatever else might still arrive would show here too
    EXPECT_EQ(TypedIn(window), (QStringList{QStringLiteral("á"), QStringLiteral("ü")}));
    EXPECT_EQ(window.Session()->Correct(), 2);
    SetClock(nullptr);
}

// One keystroke of the Latin American sample: the character it gives, the keys xdotool presses
// for it (letters and the space by name; the other keys by their keycode, since X also gives
// some of their characters on other keys with Alt Gr: 10 is the key of 1, 12 that of 3, 20 the
// key right of 0, 21 the next one, 34 the dead accent right of P, 47 Ñ, 48 the key right of Ñ,
// 51 the one beside Enter), with Shift where the key cap asks for it, and
// where the markers stand meanwhile on the keyboard picture: the key, the second key ('-' none,
// 'L' left Shift, 'R' right Shift, 'A' the dead accent right of P, 'U' that key with the left
// Shift).
struct SampleKey {
    const char16_t* ch;
    QStringList keys;
    QPoint key;
    char modifier;
};

QRect MarkerOnKeyboard(QWidget* window, int id) {
    QWidget* marker = FindControl(window, id);
    if (!marker || marker->isHidden()) return QRect();
    return marker->geometry().translated(-kKeyboardRect.topLeft());
}

// The half that runs on the X display set to "latam": the program takes the keyboard from X,
// shows its markers on the Latin American keys, and xdotool strikes those keys one character
// after another.
void TypeLatinAmericanSampleOnTheDisplay() {
    ManualClock clock;
    SetClock(&clock);
    RegisterAllPictures();
    ProgramState state = InitialProgramState();
    // As start-up does, with no settings file anywhere.
    ASSERT_EQ(SystemKeyboardLayout(), kLatinAmericanLayout);
    ASSERT_EQ(RunningKeyboardLayout(), kLatinAmericanLayout);
    state.keyboard = MakeKeyboardTables(RunningKeyboardLayout());
    RegisterKeyboardPictures(state.keyboard);
    state.ExerciseFont = MakeFont(QStringLiteral("Courier New"), 14, true);

    const QPoint accent(480, 53);
    const SampleKey sample[] = {
        {u"¿", {"21"}, {505, 10}, '-'},       {u"Q", {"shift+q"}, {80, 63}, 'R'},
        {u"u", {"u"}, {320, 63}, '-'},        {u"é", {"34", "e"}, {160, 63}, 'A'},
        {u" ", {"space"}, {305, 172}, '-'},   {u"a", {"a"}, {90, 100}, '-'},
        {u"ñ", {"47"}, {450, 100}, '-'},      {u"o", {"o"}, {400, 63}, '-'},
        {u"?", {"shift+20"}, {465, 10}, 'L'}, {u" ", {"space"}, {265, 172}, '-'},
        {u"¡", {"shift+21"}, {505, 10}, 'L'}, {u"P", {"shift+p"}, {440, 63}, 'L'},
        {u"i", {"i"}, {360, 63}, '-'},        {u"n", {"n"}, {310, 138}, '-'},
        {u"g", {"g"}, {250, 100}, '-'},       {u"ü", {"shift+34", "u"}, {320, 63}, 'U'},
        {u"i", {"i"}, {360, 63}, '-'},        {u"n", {"n"}, {310, 138}, '-'},
        {u"o", {"o"}, {400, 63}, '-'},        {u"!", {"shift+10"}, {65, 10}, 'R'},
        {u" ", {"space"}, {305, 172}, '-'},   {u"#", {"shift+12"}, {145, 10}, 'R'},
        {u"1", {"10"}, {65, 10}, '-'},        {u" ", {"space"}, {305, 172}, '-'},
        {u"{", {"48"}, {490, 100}, '-'},      {u"a", {"a"}, {90, 100}, '-'},
        {u"}", {"51"}, {530, 100}, '-'},
    };
    QString text;
    for (const SampleKey& key : sample) text += QString::fromUtf16(key.ch);
    ASSERT_EQ(text, QStringLiteral("¿Qué año? ¡Pingüino! #1 {a}"));

    ExerciseWindow window(state.ExerciseFont, state.hideOptions, state.HeaderCanvas,
                          state.previousFinger, state.keyboard);
    ShowForTyping(window, text);
    const ExerciseSession& session = *window.Session();
    int index = 1;
    for (const SampleKey& key : sample) {
        const QString ch = QString::fromUtf16(key.ch);
        SCOPED_TRACE(ch.toStdString());
        ASSERT_EQ(session.Expected(), ch);
        EXPECT_EQ(MarkerOnKeyboard(&window, kExKeyMarker).topLeft(), key.key);
        const QRect modifier = MarkerOnKeyboard(&window, kExModifierMarker);
        const QRect shift = MarkerOnKeyboard(&window, kExShiftMarker);
        switch (key.modifier) {
            case 'L':
                EXPECT_EQ(modifier, QRect(12, 140, 30, 10));
                break;
            case 'R':
                EXPECT_EQ(modifier, QRect(540, 140, 30, 10));
                break;
            case 'A':
            case 'U':
                EXPECT_EQ(modifier, QRect(accent, QSize(15, 10)));
                break;
            default:
                EXPECT_TRUE(modifier.isNull());
        }
        EXPECT_EQ(shift, key.modifier == 'U' ? QRect(12, 140, 30, 10) : QRect());

        QProcess xdotool;
        xdotool.start(QStringLiteral("xdotool"), QStringList{"key", "--delay", "40"} + key.keys);
        ASSERT_TRUE(xdotool.waitForStarted(5000));
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return session.Index() != index || session.Ended(); }, 10000));
        xdotool.waitForFinished(5000);
        ++index;
    }
    QTest::qWait(200);  // whatever else might still arrive would show here too
    QStringList expected;
    for (const QChar c : text) expected.append(QString(c));
    EXPECT_EQ(TypedIn(window), expected);
    EXPECT_TRUE(session.Ended());
    EXPECT_EQ(session.Correct(), text.size());
    RegisterKeyboardPictures(KeyboardTablesFor(kSpanishLayout));
    SetClock(nullptr);
}

// On the same display, a lab's settings file that names the Spanish keyboard goes over X.
void ReadTheSettingsFileOnTheDisplay() {
    EXPECT_EQ(SystemKeyboardLayout(), kLatinAmericanLayout);
    EXPECT_EQ(RunningKeyboardLayout(), kSpanishLayout);
}

// Starts Xvfb with the layout. False when it cannot: `skip` says why where this machine lacks
// the tools; a server that does not come up is a failure.
bool StartDisplay(VirtualDisplay& display, const QString& layout, QString* skip) {
    for (const char* tool : {"Xvfb", "xdotool", "setxkbmap"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) {
            *skip = QStringLiteral(
                "needs Xvfb, xdotool and setxkbmap (packages xvfb, xdotool, "
                "x11-xkb-utils)");
            return false;
        }
    }
    if (!QFile::exists(QStringLiteral("/usr/share/X11/locale/compose.dir"))) {
        *skip = QStringLiteral("needs the X compose tables (/usr/share/X11/locale)");
        return false;
    }
    if (!display.Start(QStandardPaths::findExecutable(QStringLiteral("Xvfb")))) {
        ADD_FAILURE() << "Xvfb did not start";
        return false;
    }
    QProcess setxkbmap;
    setxkbmap.start(QStringLiteral("setxkbmap"), {"-display", display.name, layout});
    const bool set = setxkbmap.waitForFinished(10000) && setxkbmap.exitCode() == 0;
    EXPECT_TRUE(set) << setxkbmap.readAllStandardError().toStdString();
    return set;
}

// Runs this test program again on the display, for one test, with the variables given, and
// checks that it passed.
void RunOnTheDisplay(const VirtualDisplay& display, const QString& test,
                     const QList<std::pair<QString, QString>>& variables = {}) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display.name);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    // The composing is the platform's: Qt's own compose input method, in a UTF-8 locale.
    environment.insert(QStringLiteral("QT_IM_MODULE"), QStringLiteral("compose"));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    environment.insert(QString::fromLatin1(kChildVariable), QStringLiteral("1"));
    for (const auto& [name, value] : variables) environment.insert(name, value);
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=DeadKeys.") + test});
    ASSERT_TRUE(child.waitForStarted(10000));
    ASSERT_TRUE(child.waitForFinished(120000)) << "the run on the X display did not end";
    const QString output = QString::fromLocal8Bit(child.readAll());
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 1 test"))) << output.toStdString();
}

TEST(DeadKeys, AccentThenVowelArriveAsOneCharacterUnderARealXDisplay) {
    if (qEnvironmentVariable(kChildVariable) == QStringLiteral("1")) {
        TypeDeadKeyOnTheDisplay();
        return;
    }
    VirtualDisplay display;
    QString skip;
    if (!StartDisplay(display, QStringLiteral("es"), &skip)) {
        if (!skip.isEmpty()) GTEST_SKIP() << skip.toStdString();
        return;
    }
    RunOnTheDisplay(display,
                    QStringLiteral("AccentThenVowelArriveAsOneCharacterUnderARealXDisplay"));
}

// Under X with the layout "latam" and no settings file the program takes the Latin American
// keyboard; a pupil types the sample with its own keys (the dead accent right of P, "¿" without
// Shift, "#" on Shift+3, "{" right of Ñ, ü as Shift with the accent key) and makes no error.
TEST(DeadKeys, TheLatinAmericanKeyboardOfARealXDisplay) {
    if (qEnvironmentVariable(kChildVariable) == QStringLiteral("1")) {
        if (qEnvironmentVariableIsSet("TIPENZO_DEAD_KEY_SETTINGS")) {
            ReadTheSettingsFileOnTheDisplay();
        } else {
            TypeLatinAmericanSampleOnTheDisplay();
        }
        return;
    }
    VirtualDisplay display;
    QString skip;
    if (!StartDisplay(display, QStringLiteral("latam"), &skip)) {
        if (!skip.isEmpty()) GTEST_SKIP() << skip.toStdString();
        return;
    }
    // No settings file where the program looks: only X speaks.
    QTemporaryDir config;
    ASSERT_TRUE(config.isValid());
    const QString home = config.filePath(QStringLiteral("home"));
    const QString system = config.filePath(QStringLiteral("xdg"));
    const QList<std::pair<QString, QString>> folders = {{"XDG_CONFIG_HOME", home},
                                                        {"XDG_CONFIG_DIRS", system}};
    RunOnTheDisplay(display, QStringLiteral("TheLatinAmericanKeyboardOfARealXDisplay"), folders);

    // A lab whose keyboards are Spanish, though X says otherwise.
    ASSERT_TRUE(QDir().mkpath(system + QStringLiteral("/tipenzo10")));
    QFile settings(system + QStringLiteral("/tipenzo10/tipenzo10.ini"));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("[teclado]\r\ndistribucion=español\r\n");
    settings.close();
    RunOnTheDisplay(
        display, QStringLiteral("TheLatinAmericanKeyboardOfARealXDisplay"),
        folders + QList<std::pair<QString, QString>>{{"TIPENZO_DEAD_KEY_SETTINGS", "1"}});
}

}  // namespace
}  // namespace tz
