// The exercise window as the pupil sees it: the markers on the keys she is to press, the page
// showing what she typed, the hide options, the header, her keys handed to the session in the
// order typed, and the clock.

#include <QCheckBox>
#include <QInputMethodEvent>
#include <QScreen>
#include <QSignalSpy>
#include <QTimer>

#include "exercise/exercise_session.h"
#include "exercise/keyboard_picture.h"
#include "exercise_screens.h"
#include "menu_screens.h"
#include "platform/dialogs.h"

namespace tz {
namespace {

using test::PressKey;

// A page with a capital at the start of its second line and an accented vowel in its third.
const QString kPage = QStringLiteral(
    "Hoy comemos en casa de la abuela Rosa.\r"
    "Quique trae el pan y yo traigo la fruta.\r"
    "Mamá prepara una sopa de ajo y un flan.\r"
    "Por la tarde vamos todos al parque.\r"
    "Allí jugamos a la pelota hasta la noche.");

class ExerciseWindowTest : public test::ExerciseScreenTest {
  protected:
    void SetUp() override {
        ExerciseScreenTest::SetUp();
        window_ = std::make_unique<ExerciseWindow>(state_.ExerciseFont, state_.hideOptions,
                                                   state_.HeaderCanvas, state_.previousFinger,
                                                   state_.keyboard);
        window_->ApplyOptions();
        window_->DrawHeader(true, QStringLiteral("ANA LOPEZ"), 3, 2);
    }
    void TearDown() override {
        window_.reset();
        ExerciseScreenTest::TearDown();
    }

    QWidget* Window() const { return window_.get(); }
    QWidget* Control(int id) const { return FindControl(Window(), id); }
    bool Shown(int id) const { return Control(id)->isVisible(); }
    QString Text(int id) const { return qobject_cast<QLabel*>(Control(id))->text(); }
    const ExerciseSession& Session() const { return *window_->Session(); }
    QTimer* Clock() const { return Window()->findChild<QTimer*>(QStringLiteral("reloj")); }

    // An attempt at `text`, in the window shown (as the run's exec() shows it).
    void Begin(const QString& text) {
        window_->Begin(text, QStringLiteral("ANA LOPEZ"), 3, 30);
        window_->show();
        window_->activateWindow();
    }
    // Real keystrokes through the window.
    void Type(const QString& text) {
        for (const QChar ch : text) PressKey(Window(), ch);
    }
    void Click(int id) { QTest::mouseClick(Control(id), Qt::LeftButton); }
    // Types up to the first `ch` at or after the character due.
    void TypeUpTo(QChar ch) {
        const int done = Session().Index() - 1;
        const int at = static_cast<int>(kPage.indexOf(ch, done));
        ASSERT_GE(at, 0);
        Type(kPage.mid(done, at - done));
        ASSERT_EQ(Session().Expected(), QString(ch));
    }

    // The key of the keyboard picture under the whole of a marker, as the pupil sees it; no
    // key when it stands on none.
    KeyCap KeyUnder(int marker) const {
        const QRect place = Control(marker)->geometry().translated(-kKeyboardRect.topLeft());
        for (const KeyCap& cap : caps_) {
            QRect area = cap.rect;
            if (cap.name == QStringLiteral("Intro")) area = area.united(area.translated(-10, 0));
            if (area.contains(place)) return cap;
        }
        return KeyCap();
    }
    QColor OnScreen(int id) const {
        return test::Shot(Window()).pixelColor(Control(id)->geometry().center());
    }

    std::unique_ptr<ExerciseWindow> window_;
    const std::vector<KeyCap> caps_ = KeyboardKeyCaps(KeyboardTablesFor(kSpanishLayout));
};

TEST_F(ExerciseWindowTest, ShowsThePageWithTheTypingTargetFocusedAndEveryControlNamed) {
    EXPECT_FALSE(Window()->isVisible());
    EXPECT_EQ(Window()->windowTitle(), kExerciseWindowTitle);
    Begin(kPage);
    EXPECT_EQ(Window()->windowTitle(), "ANA LOPEZ  |  NIVEL: 3");
    EXPECT_EQ(Window()->focusWidget(), Control(kExTextPicture));
    // Dead keys reach the typing target only as the input method's composed characters.
    EXPECT_TRUE(Control(kExTextPicture)->testAttribute(Qt::WA_InputMethodEnabled));
    const QStringList unnamed = test::ControlsWithoutNames(Window());
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(", ").toStdString();
    EXPECT_EQ(Control(kExKeyLabel)->accessibleName(), "Tecla a pulsar: H");
    test::SaveScreen(Window(), "exercise_window");
}

TEST_F(ExerciseWindowTest, MarkersSitOnTheKeysOfAShiftedCapitalAndAnAccentedVowel) {
    Begin(kPage);
    // "Q": red on Q, green on the right Shift.
    TypeUpTo(u'Q');
    EXPECT_EQ(Text(kExKeyLabel), "Q");
    for (int id : {kExKeyMarker, kExModifierMarker, kExFingerDot, kExSecondFingerDot, kExKeyLabel})
        EXPECT_TRUE(Shown(id)) << id;
    EXPECT_EQ(KeyUnder(kExKeyMarker).base, "Q");
    EXPECT_EQ(KeyUnder(kExModifierMarker).name, "⇧");
    EXPECT_GT(KeyUnder(kExModifierMarker).rect.left(), 300);  // the right one
    EXPECT_EQ(OnScreen(kExKeyMarker), QColor(255, 0, 0));
    EXPECT_EQ(OnScreen(kExModifierMarker), QColor(0, 255, 0));
    test::SaveScreen(Window(), "exercise_window_shift_q");

    // "á": red on A, green on the accent key.
    TypeUpTo(u'á');
    EXPECT_EQ(KeyUnder(kExKeyMarker).base, "A");
    EXPECT_EQ(KeyUnder(kExModifierMarker).base, "´");
    test::SaveScreen(Window(), "exercise_window_accent_a");

    // What reached the screen, keystroke by keystroke, is the page as drawn. (The offscreen
    // platform grabs only a corner of a window at other scales.)
    QCoreApplication::processEvents();
    if (Window()->devicePixelRatio() == 1) {
        const QImage onScreen =
            Window()
                ->screen()
                ->grabWindow(Window()->winId(), kTextPictureRect.x(), kTextPictureRect.y(),
                             kTextPictureRect.width(), kTextPictureRect.height())
                .toImage()
                .convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(onScreen, window_->Page().Canvas().convertToFormat(QImage::Format_RGB32));
    }
    EXPECT_EQ(Session().Errors(), 0);
}

// Wrong keystrokes through the real window: each typed character replaces the page's in its
// cell, so the pupil reads what she typed.
TEST_F(ExerciseWindowTest, WrongKeystrokesReplaceThePageCharactersInTheirCells) {
    Begin(kPage);
    Type(QStringLiteral("Hoax "));  // "a" where "y" is due, "x" on a space, a space on "c"
    EXPECT_EQ(Session().Errors(), 3);
    TypeUpTo(u'\r');
    const int lineEnd = Session().Index() - 1;
    Type(QStringLiteral("z"));  // where Enter is due
    EXPECT_EQ(Session().Errors(), 4);
    EXPECT_EQ(Session().Expected(), "Q");

    QCoreApplication::processEvents();
    const QImage shown =
        Control(kExTextPicture)->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, window_->Page().Canvas().convertToFormat(QImage::Format_RGB32));
    const QImage page = test::Logical(shown);
    const int cell = window_->Page().CharacterWidth();
    const auto cellRect = [cell](int column) { return QRect(5 + column * cell, 5, cell, 22); };
    // The wrong space shows U+0085 alone, and the wrong "a" a whole red "a", each exactly as
    // drawn by itself on white.
    const auto alone = [&](int column, const QString& ch) {
        QImage picture = NewPicture(LogicalSize(shown));
        picture.fill(Qt::white);
        DrawTextOn(picture, 5 + column * cell, 5, ch, window_->Page().Font(), QColor(255, 0, 0));
        return test::Logical(picture).copy(cellRect(column));
    };
    EXPECT_EQ(page.copy(cellRect(4)), alone(4, QString(QChar(0x0085))));
    EXPECT_EQ(page.copy(cellRect(2)), alone(2, QStringLiteral("a")));
    // The wrong key at the line end stands after the line, in red.
    int red = 0;
    for (int x = cellRect(lineEnd).left(); x <= cellRect(lineEnd).right(); ++x) {
        for (int y = 5; y < 27; ++y) red += page.pixelColor(x, y) == QColor(255, 0, 0);
    }
    EXPECT_GT(red, 5);
    test::SaveScreen(Window(), "exercise_window_wrong_keys");
    const int scale = qRound(shown.devicePixelRatio());
    test::SaveImage(shown.copy(0, 0, 480 * scale, 60 * scale).scaled(1920, 240),
                    "exercise_page_wrong_keys_x4");
}

// ü: red on U, green on the accent key and on the left Shift, and a third finger dot.
TEST_F(ExerciseWindowTest, TheDiaeresisShowsTheAccentKeyAndTheLeftShift) {
    Begin(QString::fromUtf8("El pingüino"));
    EXPECT_FALSE(Shown(kExShiftMarker));
    Type(QStringLiteral("El ping"));
    for (int id : {kExKeyMarker, kExModifierMarker, kExShiftMarker, kExFingerDot,
                   kExSecondFingerDot, kExShiftDot}) {
        EXPECT_TRUE(Shown(id)) << id;
    }
    EXPECT_EQ(KeyUnder(kExKeyMarker).base, "U");
    EXPECT_EQ(KeyUnder(kExModifierMarker).base, QString::fromUtf8("´"));
    EXPECT_EQ(KeyUnder(kExShiftMarker).name, QString::fromUtf8("⇧"));
    EXPECT_LT(KeyUnder(kExShiftMarker).rect.left(), 100);  // the left one
    EXPECT_EQ(OnScreen(kExShiftMarker), QColor(0, 255, 0));
    test::SaveScreen(Window(), "exercise_window_diaeresis_u");

    // Hiding the key or the fingers hides the third marker and dot as well.
    Click(kExHideKeyBox);
    EXPECT_FALSE(Shown(kExShiftMarker));
    Click(kExHideKeyBox);
    Click(kExHideFingersBox);
    EXPECT_TRUE(Shown(kExShiftMarker));
    EXPECT_FALSE(Shown(kExShiftDot));
    Click(kExHideFingersBox);
    // The next letter needs one key: the third marker goes.
    Type(QString::fromUtf8("ü"));
    EXPECT_FALSE(Shown(kExShiftMarker));
    EXPECT_FALSE(Shown(kExShiftDot));
    EXPECT_EQ(Session().Errors(), 0);
}

TEST_F(ExerciseWindowTest, HideOptionsHideWhatTheySayAndOutliveTheWindow) {
    Begin(kPage);
    TypeUpTo(u'Q');

    // Hide the key to press: no markers, the fingers still show, the typing keeps the focus.
    Click(kExHideKeyBox);
    EXPECT_TRUE(state_.hideOptions.HideKey);
    for (int id : {kExKeyMarker, kExModifierMarker}) EXPECT_FALSE(Shown(id)) << id;
    for (int id : {kExKeyboardPicture, kExFingerDot, kExSecondFingerDot}) EXPECT_TRUE(Shown(id));
    EXPECT_EQ(QApplication::focusWidget(), Control(kExTextPicture));
    test::SaveScreen(Window(), "exercise_window_hide_key");
    Click(kExHideKeyBox);
    EXPECT_TRUE(Shown(kExKeyMarker));

    // Hide the keyboard: the panel in its place and never a marker, whatever the key option.
    Click(kExHideKeyboardBox);
    EXPECT_FALSE(Shown(kExKeyboardPicture));
    EXPECT_TRUE(Shown(kExNoKeyboardPicture));
    TypeUpTo(u'á');
    for (int id : {kExKeyMarker, kExModifierMarker}) EXPECT_FALSE(Shown(id)) << id;
    EXPECT_TRUE(Shown(kExFingerDot));
    test::SaveScreen(Window(), "exercise_window_hide_keyboard");
    // Shown again, the keyboard gets its marker on the key due at once.
    Click(kExHideKeyboardBox);
    EXPECT_TRUE(Shown(kExKeyMarker));
    EXPECT_EQ(KeyUnder(kExKeyMarker).base, "A");

    // Hide the fingers: the dots and the key label go.
    Click(kExHideFingersBox);
    for (int id : {kExFingerDot, kExSecondFingerDot, kExKeyLabel}) EXPECT_FALSE(Shown(id)) << id;
    EXPECT_TRUE(Shown(kExKeyMarker));
    test::SaveScreen(Window(), "exercise_window_hide_fingers");

    // A new window takes the options as they are.
    window_ = std::make_unique<ExerciseWindow>(state_.ExerciseFont, state_.hideOptions,
                                               state_.HeaderCanvas, state_.previousFinger,
                                               state_.keyboard);
    window_->ApplyOptions();
    EXPECT_TRUE(qobject_cast<QCheckBox*>(Control(kExHideFingersBox))->isChecked());
}

TEST_F(ExerciseWindowTest, TheHeaderTellsThePupilOrThatTheExerciseWasChosenByHand) {
    const QImage course = Picture(state_.HeaderCanvas).copy();
    EXPECT_NE(course, Picture(11));  // the name and the numbers on the strip
    const int first = state_.HeaderCanvas;
    window_->DrawHeader(false, QStringLiteral("ANA LOPEZ"), 3, 2);
    EXPECT_EQ(state_.HeaderCanvas, first);  // the old copy was freed first
    EXPECT_NE(Picture(state_.HeaderCanvas), course);
    EXPECT_EQ(test::ShownPicture(Window(), kExHeaderPicture),
              Picture(state_.HeaderCanvas).convertToFormat(QImage::Format_RGB32));

    // A text of more than one page: the mark at the bottom right tells that more follows.
    Begin(kPage + QStringLiteral("\r") + kPage);
    EXPECT_TRUE(Session().MorePages());
    TypeUpTo(u'y');
    test::SaveScreen(Window(), "exercise_window_manual_exercise");
}

// What the keyboard gives the typing target reaches the session at once, in the order typed:
// an input method's composed character, Tab and control characters as keystrokes, keys without
// a character as nothing. A key that went down in another window, or before the window last
// showed, is not the pupil's here, even as the keyboard repeats it (Qt tells so, or X by a
// release and a press at one moment).
TEST_F(ExerciseWindowTest, EveryCharacterTypedHereIsAKeystrokeInTheOrderTyped) {
    Begin(QStringLiteral("ánnb\tc"));
    QWidget* target = Control(kExTextPicture);
    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("á"));
    QCoreApplication::sendEvent(target, &composed);
    const auto key = [target](QEvent::Type type, Qt::Key code, bool repeat, quint64 at) {
        QKeyEvent event(type, code, Qt::NoModifier, QKeySequence(code).toString().toLower(),
                        repeat);
        event.setTimestamp(at);
        QCoreApplication::sendEvent(target, &event);
    };
    key(QEvent::KeyPress, Qt::Key_R, true, 1);  // held in the main menu, repeated
    key(QEvent::KeyRelease, Qt::Key_R, false, 2);
    key(QEvent::KeyPress, Qt::Key_R, false, 2);
    key(QEvent::KeyPress, Qt::Key_N, false, 3);  // pressed here and repeated: two
    key(QEvent::KeyPress, Qt::Key_N, true, 4);
    // Shown again for the next attempt, a key still held from before is not typed again.
    Window()->hide();
    Window()->show();
    Window()->activateWindow();
    key(QEvent::KeyPress, Qt::Key_N, true, 5);
    QWindow* handle = Window()->windowHandle();
    for (const Qt::Key key : {Qt::Key_Shift, Qt::Key_Left, Qt::Key_F5}) {
        QTest::sendKeyEvent(QTest::Click, handle, key, QString(), Qt::NoModifier);
    }
    const QPoint finger = Control(kExFingerDot)->pos();
    QTest::sendKeyEvent(QTest::Click, handle, Qt::Key_A, QString(QChar(1)), Qt::ControlModifier);
    // A tab has no key place: no markers, the finger of the key before.
    EXPECT_FALSE(Shown(kExKeyMarker) || Shown(kExModifierMarker));
    EXPECT_EQ(Control(kExFingerDot)->pos(), finger);
    QTest::sendKeyEvent(QTest::Click, handle, Qt::Key_Tab, QStringLiteral("\t"), Qt::NoModifier);
    EXPECT_EQ(QApplication::focusWidget(), target) << "Tab is typed, the focus stays";
    QWidget other;  // a key of another window
    QTest::keyClick(&other, Qt::Key_C);

    std::vector<std::pair<QString, QString>> judged;
    for (const Keystroke& keystroke : Session().Keystrokes()) {
        judged.emplace_back(keystroke.expected, keystroke.typed);
    }
    EXPECT_EQ(judged, (std::vector<std::pair<QString, QString>>{
                          {"á", "á"}, {"n", "n"}, {"n", "n"}, {"b", "\x01"}, {"\t", "\t"}}));
}

// The clock wakes the window only while the session's clock runs; Escape, a close request and
// the buttons end the attempt with what they mean.
TEST_F(ExerciseWindowTest, TheClockRunsWithTheSessionAndTheButtonsEndTheAttempt) {
    QSignalSpy ended(window_.get(), &ExerciseWindow::SessionEnded);
    Begin(kPage);
    EXPECT_FALSE(Clock()->isActive()) << "nothing to show before the first key";
    clock_.Advance(400);
    Type(QStringLiteral("H"));
    ASSERT_TRUE(Clock()->isActive());
    EXPECT_NEAR(Clock()->remainingTime(), 600, 100) << "the next second of the clock";
    clock_.Advance(1000);
    Clock()->start(0);  // its second is due
    QCoreApplication::processEvents();
    EXPECT_EQ(Text(kExTimeDisplay), "00:00:01");
    EXPECT_EQ(Text(kExSpeedDisplay), "60");
    EXPECT_EQ(Control(kExTimeDisplay)->accessibleName(), "Tiempo: 00:00:01");
    Click(kExPauseButton);
    EXPECT_FALSE(Clock()->isActive());
    EXPECT_EQ(Text(kExTimeDisplay), "TIEMPO INACTIVO");
    Type(QStringLiteral("o"));  // resumes
    EXPECT_TRUE(Clock()->isActive());
    QueueAnswer(Answer::No);
    Click(kExRestartButton);
    EXPECT_TRUE(Clock()->isActive());
    EXPECT_EQ(ended.count(), 0);

    const struct {
        std::function<void()> act;
        SessionOutcome outcome;
    } endings[] = {
        {[this] { PressKey(Window(), QChar(27)); }, SessionOutcome::Cancelled},
        {[this] { Click(kExCancelButton); }, SessionOutcome::Cancelled},
        {[this] { Window()->close(); }, SessionOutcome::Cancelled},
        {[this] {
             QueueAnswer(Answer::Yes);
             Click(kExRestartButton);
         },
         SessionOutcome::Restart},
    };
    for (const auto& ending : endings) {
        ended.clear();
        Begin(kPage);
        Type(QStringLiteral("Ho"));
        ending.act();
        EXPECT_EQ(ended.count(), 1);
        EXPECT_EQ(Session().Outcome(), ending.outcome);
        EXPECT_TRUE(Window()->isVisible()) << "the run decides what comes next";
        EXPECT_FALSE(Clock()->isActive());
    }
}

}  // namespace
}  // namespace tz
