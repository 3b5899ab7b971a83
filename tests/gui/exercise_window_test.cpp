// The exercise window as the pupil sees it: the markers on the keys she is to press, the page
// showing what she typed, the hide options, the header, and the attempt's loop over her real
// input and the clock.

#include <QCheckBox>
#include <QScreen>

#include "exercise/exercise_session.h"
#include "exercise/keyboard_picture.h"
#include "exercise_screens.h"
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
                                                   state_.HeaderCanvas);
        window_->ApplyOptions();
        window_->DrawHeader(true, QStringLiteral("ANA LOPEZ"), 3, 2);
        session_ = std::make_unique<ExerciseSession>(*window_, state_.previousFinger);
    }
    void TearDown() override {
        session_.reset();
        window_.reset();
        ExerciseScreenTest::TearDown();
    }

    QWidget* Window() const { return window_->Window(); }
    QWidget* Control(int id) const { return FindControl(Window(), id); }
    bool Shown(int id) const { return Control(id)->isVisible(); }
    QString Text(int id) const { return qobject_cast<QLabel*>(Control(id))->text(); }

    void Begin(const QString& text) { session_->Begin(text, QStringLiteral("ANA LOPEZ"), 3, 30); }
    // What the window queued, handed to the session as the attempt's loop hands it.
    void HandleQueued() {
        Event event;
        while (WaitEventUntil(NowMilliseconds(), &event)) {
            session_->Handle(window_->CommandFor(event));
        }
    }
    // Real keystrokes through the window.
    void Type(const QString& text) {
        for (const QChar ch : text) {
            PressKey(Window(), ch);
            HandleQueued();
        }
    }
    void Click(int id) {
        QTest::mouseClick(Control(id), Qt::LeftButton);
        HandleQueued();
    }
    // Types up to the first `ch` at or after `from` of the page.
    void TypeUpTo(QChar ch, int from = 0) {
        const int at = static_cast<int>(kPage.indexOf(ch, from));
        ASSERT_GE(at, 0);
        Type(kPage.mid(session_->Index() - 1, at - (session_->Index() - 1)));
        ASSERT_EQ(session_->Expected(), QString(ch));
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
    std::unique_ptr<ExerciseSession> session_;
    const std::vector<KeyCap> caps_ = KeyboardKeyCaps(KeyboardTablesFor(kSpanishLayout));
};

TEST_F(ExerciseWindowTest, TheWindowSpeaksSpanishAndTakesTheComposedCharacters) {
    EXPECT_FALSE(Window()->isVisible());
    EXPECT_EQ(Window()->windowTitle(), kExerciseWindowTitle);
    EXPECT_EQ(Text(kExKeyLabel), "É");
    EXPECT_EQ(Text(kExTimeDisplay), "00:00:00");
    EXPECT_EQ(Control(kExCancelButton)->toolTip(), "Cancela el ejercicio actual");
    EXPECT_EQ(Control(kExPauseButton)->toolTip(), "Pausa el Tiempo");
    EXPECT_EQ(Control(kExRestartButton)->toolTip(), "Reinicia el ejercicio");
    EXPECT_EQ(qobject_cast<QCheckBox*>(Control(kExHideKeyBox))->text(), "Ocultar Tecla a Pulsar");
    EXPECT_EQ(qobject_cast<QCheckBox*>(Control(kExHideKeyboardBox))->text(), "Ocultar Teclado");
    EXPECT_EQ(qobject_cast<QCheckBox*>(Control(kExHideFingersBox))->text(),
              "Ocultar Dedos utilizados");
    // Dead keys reach the typing target only as the input method's composed characters.
    EXPECT_TRUE(Control(kExTextPicture)->testAttribute(Qt::WA_InputMethodEnabled));
}

TEST_F(ExerciseWindowTest, MarkersSitOnTheKeysOfAShiftedCapitalAndAnAccentedVowel) {
    Begin(kPage);
    EXPECT_TRUE(Window()->isVisible());
    EXPECT_EQ(Window()->windowTitle(), "ANA LOPEZ  |  NIVEL: 3");
    EXPECT_EQ(QApplication::focusWidget(), Control(kExTextPicture));

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
    EXPECT_EQ(Text(kExKeyLabel), "á");
    EXPECT_EQ(KeyUnder(kExKeyMarker).base, "A");
    EXPECT_EQ(KeyUnder(kExModifierMarker).base, "´");
    EXPECT_EQ(OnScreen(kExKeyMarker), QColor(255, 0, 0));
    test::SaveScreen(Window(), "exercise_window_accent_a");

    // What reached the screen, keystroke by keystroke, is the page as drawn. (The offscreen
    // platform grabs only a corner of a window at other scales.)
    PumpWindowSystem();
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
    EXPECT_EQ(session_->Errors(), 0);
    EXPECT_EQ(session_->Correct(), kPage.indexOf(u'á'));
}

// Wrong keystrokes through the real window: each typed character replaces the page's in its
// cell, so the pupil reads what she typed; control keys are judged, keys without a character
// are not keystrokes.
TEST_F(ExerciseWindowTest, WrongKeystrokesReplaceThePageCharactersInTheirCells) {
    Begin(kPage);
    QWindow* handle = Window()->windowHandle();
    Type(QStringLiteral("Ho"));
    Type(QStringLiteral("a"));  // "y" due
    Type(QStringLiteral("x"));  // a space due
    Type(QStringLiteral(" "));  // "c" due: the wrong-space mark
    // Ctrl+A and Delete give characters: two more errors.
    QTest::sendKeyEvent(QTest::Click, handle, Qt::Key_A, QString(QChar(1)), Qt::ControlModifier);
    QTest::sendKeyEvent(QTest::Click, handle, Qt::Key_Delete, QString(QChar(127)), Qt::NoModifier);
    // Shift alone, Control alone and an arrow give none: nothing is judged.
    for (const Qt::Key key : {Qt::Key_Shift, Qt::Key_Control, Qt::Key_Left, Qt::Key_F5}) {
        QTest::sendKeyEvent(QTest::Click, handle, key, QString(), Qt::NoModifier);
    }
    HandleQueued();
    EXPECT_EQ(session_->Errors(), 5);
    EXPECT_EQ(session_->Correct(), 2);
    // The rest of the line right, then a wrong key where Enter is due.
    TypeUpTo(u'\r');
    const int lineEnd = session_->Index() - 1;
    Type(QStringLiteral("z"));
    EXPECT_EQ(session_->Errors(), 6);
    EXPECT_EQ(session_->Expected(), "Q");

    PumpWindowSystem();
    const QImage shown =
        Control(kExTextPicture)->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, window_->Page().Canvas().convertToFormat(QImage::Format_RGB32));
    const QImage page = test::Logical(shown);
    const int cell = window_->Page().CharacterWidth();
    const auto cellRect = [cell](int column) { return QRect(5 + column * cell, 5, cell, 22); };
    // The page's ink is grey; the judged keystrokes are red or cyan.
    const auto pageInk = [&page](const QRect& area) {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                const QColor c = page.pixelColor(x, y);
                n += c.red() < 230 && c.red() == c.green() && c.green() == c.blue();
            }
        }
        return n;
    };
    for (int column = 0; column <= lineEnd; ++column) {
        EXPECT_EQ(pageInk(cellRect(column)), 0) << "columna " << column;
    }
    // The untyped page still shows in its own ink.
    EXPECT_GT(pageInk(QRect(5, 33, 20 * cell, 22)), 50);

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
    EXPECT_FALSE(Shown(kExShiftDot));
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
    EXPECT_TRUE(Shown(kExShiftMarker));
    Click(kExHideFingersBox);
    EXPECT_FALSE(Shown(kExShiftDot));
    Click(kExHideFingersBox);
    // The next letter needs one key: the third marker goes.
    Type(QString::fromUtf8("ü"));
    EXPECT_FALSE(Shown(kExShiftMarker));
    EXPECT_FALSE(Shown(kExShiftDot));
    EXPECT_EQ(session_->Errors(), 0);
}

TEST_F(ExerciseWindowTest, HideOptionsHideWhatTheySayAndOutliveTheWindow) {
    Begin(kPage);
    TypeUpTo(u'Q');

    // Hide the key to press: no markers, the fingers still show.
    Click(kExHideKeyBox);
    EXPECT_TRUE(state_.hideOptions.HideKey);
    for (int id : {kExKeyMarker, kExModifierMarker}) EXPECT_FALSE(Shown(id)) << id;
    for (int id : {kExKeyboardPicture, kExFingerDot, kExSecondFingerDot}) EXPECT_TRUE(Shown(id));
    EXPECT_EQ(QApplication::focusWidget(), Control(kExTextPicture));
    test::SaveScreen(Window(), "exercise_window_hide_key");
    Click(kExHideKeyBox);
    EXPECT_TRUE(Shown(kExKeyMarker));
    EXPECT_TRUE(Shown(kExModifierMarker));

    // Hide the keyboard: the panel in its place and never a marker, whatever the key option.
    Click(kExHideKeyboardBox);
    EXPECT_TRUE(state_.hideOptions.HideKeyboard);
    EXPECT_FALSE(Shown(kExKeyboardPicture));
    EXPECT_TRUE(Shown(kExNoKeyboardPicture));
    Type(QStringLiteral("Quique trae el pan y yo traigo la fruta.\rMam"));
    EXPECT_EQ(session_->Expected(), "á");
    for (int id : {kExKeyMarker, kExModifierMarker}) EXPECT_FALSE(Shown(id)) << id;
    EXPECT_TRUE(Shown(kExFingerDot));
    test::SaveScreen(Window(), "exercise_window_hide_keyboard");
    // Shown again, the keyboard gets its marker on the key due at once.
    Click(kExHideKeyboardBox);
    EXPECT_TRUE(Shown(kExKeyboardPicture));
    EXPECT_TRUE(Shown(kExKeyMarker));
    EXPECT_EQ(KeyUnder(kExKeyMarker).base, "A");

    // Hide the fingers: the dots and the key label go.
    Click(kExHideFingersBox);
    EXPECT_TRUE(state_.hideOptions.HideFingers);
    for (int id : {kExFingerDot, kExSecondFingerDot, kExKeyLabel}) EXPECT_FALSE(Shown(id)) << id;
    EXPECT_TRUE(Shown(kExKeyMarker));
    test::SaveScreen(Window(), "exercise_window_hide_fingers");

    // A new window takes the options as they are.
    session_.reset();
    window_ = std::make_unique<ExerciseWindow>(state_.ExerciseFont, state_.hideOptions,
                                               state_.HeaderCanvas);
    window_->ApplyOptions();
    EXPECT_TRUE(qobject_cast<QCheckBox*>(Control(kExHideFingersBox))->isChecked());
    EXPECT_FALSE(qobject_cast<QCheckBox*>(Control(kExHideKeyBox))->isChecked());
}

TEST_F(ExerciseWindowTest, ACharacterWithoutAKeyKeepsTheFingerAndHidesTheMarkers) {
    Begin(QStringLiteral("j\tj"));
    const QPoint finger = Control(kExFingerDot)->pos();
    Type(QStringLiteral("j"));
    EXPECT_EQ(session_->Expected(), "\t");
    EXPECT_FALSE(Shown(kExKeyMarker));
    EXPECT_FALSE(Shown(kExModifierMarker));
    EXPECT_TRUE(Shown(kExFingerDot));
    EXPECT_EQ(Control(kExFingerDot)->pos(), finger);  // still the right index finger
}

TEST_F(ExerciseWindowTest, TheHeaderTellsThePupilOrThatTheExerciseWasChosenByHand) {
    const QImage course = Picture(state_.HeaderCanvas).copy();
    EXPECT_NE(course, Picture(11));  // the name and the numbers on the strip
    const int first = state_.HeaderCanvas;
    window_->DrawHeader(false, QStringLiteral("ANA LOPEZ"), 3, 2);
    EXPECT_EQ(state_.HeaderCanvas, first);  // the old copy was freed first
    EXPECT_NE(Picture(state_.HeaderCanvas), course);
    EXPECT_EQ(qobject_cast<QLabel*>(Control(kExHeaderPicture))
                  ->pixmap()
                  .toImage()
                  .convertToFormat(QImage::Format_RGB32),
              Picture(state_.HeaderCanvas).convertToFormat(QImage::Format_RGB32));

    // A text of more than one page: the mark at the bottom right tells that more follows.
    Begin(kPage + QStringLiteral("\r") + kPage);
    EXPECT_TRUE(session_->MorePages());
    TypeUpTo(u'y');
    test::SaveScreen(Window(), "exercise_window_manual_exercise");
}

// The attempt's loop: the window's events go to the session, the program wakes for the
// clock's next second only while it runs, and what was queued behind a resuming key is dropped.
TEST_F(ExerciseWindowTest, TheLoopTakesTheWindowsInputAndTheClocksSeconds) {
    QWidget other;
    AppendInputStep([&] {
        EXPECT_TRUE(Window()->isVisible());
        // A key of another window is not the session's.
        PostEvent({EventType::Char, &other, 0, 'H', QStringLiteral("H"), -1});
        PressKey(Window(), u'H');
    });
    AppendInputStep([&] { clock_.Advance(1000); });  // the clock's next second
    AppendInputStep([&] {
        EXPECT_EQ(Text(kExTimeDisplay), "00:00:01");
        EXPECT_EQ(Text(kExSpeedDisplay), "60");
        QTest::mouseClick(Control(kExPauseButton), Qt::LeftButton);
        PressKey(Window(), u'o');  // resumes, and drops what follows
        PressKey(Window(), u'y');
    });
    AppendInputStep([&] {
        EXPECT_EQ(session_->Index(), 3);
        EXPECT_EQ(session_->Correct(), 2);
        QueueAnswer(Answer::Yes);
        QTest::mouseClick(Control(kExRestartButton), Qt::LeftButton);
    });
    EXPECT_EQ(RunSession(*window_, *session_, kPage, QStringLiteral("ANA LOPEZ"), 3, 30),
              SessionOutcome::Restart);

    AppendInputStep([&] { QTest::mouseClick(Control(kExCancelButton), Qt::LeftButton); });
    EXPECT_EQ(RunSession(*window_, *session_, kPage, QStringLiteral("ANA LOPEZ"), 3, 30),
              SessionOutcome::Cancelled);
    AppendInputStep([&] { Window()->close(); });
    EXPECT_EQ(RunSession(*window_, *session_, kPage, QStringLiteral("ANA LOPEZ"), 3, 30),
              SessionOutcome::Cancelled);
}

}  // namespace
}  // namespace tz
