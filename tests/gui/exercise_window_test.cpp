// The exercise window itself: its controls, the markers placed by real keystrokes, the hide
// options, the header, and pictures of it for the eye.

#include <QCheckBox>
#include <QFrame>
#include <QScreen>

#include "content/course_data.h"
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
        CurrentUser.name = QStringLiteral("ANA LOPEZ");
        CurrentUser.level = 3;
        CurrentUser.block = 2;
        window_ = std::make_unique<ExerciseWindow>(state_.ExerciseFont, state_.hideOptions,
                                                   state_.HeaderCanvas);
        window_->ApplyOptions();
        window_->DrawHeader(true, CurrentUser.name, CurrentUser.level, CurrentUser.block);
        session_ = std::make_unique<ExerciseSession>(*window_, state_.previousFinger);
        session_->SetDrawPause(0);
    }
    void TearDown() override {
        session_.reset();
        window_.reset();
        ExerciseScreenTest::TearDown();
    }

    QWidget* Window() const { return window_->Window(); }
    QWidget* Control(int id) const { return FindControl(Window(), id); }

    // Real keystrokes through the window; the session takes what the window turned them into.
    void Type(const QString& text) {
        for (const QChar ch : text) {
            PressKey(Window(), ch);
            Event event;
            while (PollEvent(&event)) session_->HandleEvent(event);
        }
    }
    void Click(int id) {
        QTest::mouseClick(Control(id), Qt::LeftButton);
        Event event;
        while (PollEvent(&event)) session_->HandleEvent(event);
    }

    // Types up to the first `ch` at or after `from` of the page.
    void TypeUpTo(QChar ch, int from = 0) {
        const int at = static_cast<int>(kPage.indexOf(ch, from));
        ASSERT_GE(at, 0);
        Type(kPage.mid(session_->Index() - 1, at - (session_->Index() - 1)));
        ASSERT_EQ(session_->Expected(), QString(ch));
    }

    // The place of a control relative to the keyboard or hands picture.
    QRect OnKeyboard(int id) const {
        return Control(id)->geometry().translated(-kKeyboardRect.topLeft());
    }
    QPoint OnHands(int id) const { return Control(id)->pos() - kHandsRect.topLeft(); }
    bool Shown(int id) const { return Control(id)->isVisible(); }

    // The key of the keyboard picture that holds the whole of a marker.
    const KeyCap* KeyUnder(const QRect& marker) const {
        for (const KeyCap& cap : caps_) {
            QRect area = cap.rect;
            if (cap.name == QStringLiteral("Intro")) area = area.united(area.translated(-10, 0));
            if (area.contains(marker)) return &cap;
        }
        return nullptr;
    }

    std::unique_ptr<ExerciseWindow> window_;
    std::unique_ptr<ExerciseSession> session_;
    const std::vector<KeyCap> caps_ = KeyboardKeyCaps(KeyboardTablesFor(kSpanishLayout));
};

TEST_F(ExerciseWindowTest, EveryControlStandsInItsPlace) {
    EXPECT_FALSE(Window()->isVisible());
    EXPECT_EQ(Window()->windowTitle(), kExerciseWindowTitle);
    EXPECT_EQ(Window()->size(), QSize(800, 550));
    EXPECT_TRUE(Window()->windowFlags().testFlag(Qt::FramelessWindowHint));
    const struct {
        int id;
        QRect geometry;
    } places[] = {
        {kExTextPicture, {15, 38, 770, 200}},      {kExNoKeyboardPicture, {15, 245, 599, 202}},
        {kExKeyboardPicture, {15, 245, 599, 202}}, {kExHandsPicture, {245, 450, 147, 92}},
        {kExCorrectDisplay, {635, 272, 140, 15}},  {kExSpeedDisplay, {630, 320, 50, 15}},
        {kExErrorsDisplay, {635, 368, 141, 18}},   {kExTimeDisplay, {635, 420, 140, 15}},
        {kExFingerDot, {230, 455, 6, 6}},          {kExSecondFingerDot, {230, 470, 6, 6}},
        {kExKeyLabel, {311, 463, 17, 22}},         {kExCancelButton, {772, 5, 21, 21}},
        {kExPauseButton, {625, 465, 40, 40}},      {kExRestartButton, {745, 465, 40, 40}},
        {kExOptionsFrame, {405, 450, 385, 90}},    {kExKeyMarker, {20, 460, 10, 10}},
        {kExModifierMarker, {20, 480, 30, 10}},    {kExHideKeyBox, {415, 465, 140, 15}},
        {kExHideKeyboardBox, {415, 490, 140, 15}}, {kExHideFingersBox, {415, 515, 140, 15}},
        {kExHeaderPicture, {10, 5, 740, 23}},      {kExTargetDisplay, {710, 321, 65, 15}},
    };
    for (const auto& place : places) {
        ASSERT_NE(Control(place.id), nullptr) << place.id;
        EXPECT_EQ(Control(place.id)->geometry(), place.geometry) << place.id;
    }
    const struct {
        int id;
        const char* text;
        QColor ink;
    } displays[] = {
        {kExCorrectDisplay, "0", QColor(0, 0, 255)},
        {kExSpeedDisplay, "", QColor(0, 0, 255)},
        {kExErrorsDisplay, "0 (0%)", QColor(255, 0, 0)},
        {kExTimeDisplay, "00:00:00", QColor(0, 128, 0)},
        {kExTargetDisplay, "0", QColor(0, 0, 255)},
        {kExKeyLabel, "É", QColor(255, 255, 217)},
    };
    for (const auto& display : displays) {
        auto* label = qobject_cast<QLabel*>(Control(display.id));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), QString::fromUtf8(display.text));
        EXPECT_EQ(label->palette().color(QPalette::WindowText), display.ink);
        EXPECT_EQ(label->font().family(), "Arial");
        EXPECT_TRUE(label->font().bold());
        EXPECT_EQ(label->palette().color(QPalette::Window),
                  display.id == kExKeyLabel ? QColor(108, 70, 28) : QColor(253, 230, 196));
    }
    EXPECT_EQ(Control(kExCancelButton)->toolTip(), "Cancela el ejercicio actual");
    EXPECT_EQ(Control(kExPauseButton)->toolTip(), "Pausa el Tiempo");
    EXPECT_EQ(Control(kExRestartButton)->toolTip(), "Reinicia el ejercicio");
    EXPECT_EQ(qobject_cast<QCheckBox*>(Control(kExHideKeyBox))->text(), "Ocultar Tecla a Pulsar");
    EXPECT_EQ(qobject_cast<QCheckBox*>(Control(kExHideKeyboardBox))->text(), "Ocultar Teclado");
    EXPECT_EQ(qobject_cast<QCheckBox*>(Control(kExHideFingersBox))->text(),
              "Ocultar Dedos utilizados");
    EXPECT_EQ(Control(kExKeyMarker)->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(Control(kExModifierMarker)->palette().color(QPalette::Window), QColor(0, 255, 0));
    // The typing target takes the keyboard and the input method's composed characters.
    EXPECT_TRUE(Control(kExTextPicture)->testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_EQ(Control(kExTextPicture)->focusPolicy(), Qt::StrongFocus);
    // Every control fits in the window.
    for (QWidget* child : Window()->findChildren<QWidget*>()) {
        if (!ControlId(child)) continue;
        EXPECT_TRUE(Window()->rect().contains(child->geometry())) << ControlId(child);
    }
}

TEST_F(ExerciseWindowTest, MarkersSitOnTheKeysOfAShiftedCapitalAndAnAccentedVowel) {
    session_->Begin(kPage, CurrentUser.name, CurrentUser.level, 30);
    EXPECT_TRUE(Window()->isVisible());
    EXPECT_EQ(Window()->windowTitle(), "ANA LOPEZ  |  NIVEL: 3");
    EXPECT_EQ(QApplication::focusWidget(), Control(kExTextPicture));

    // "Q": the little finger on Q, the right Shift held by the right little finger.
    TypeUpTo(u'Q');
    EXPECT_EQ(qobject_cast<QLabel*>(Control(kExKeyLabel))->text(), "Q");
    EXPECT_EQ(OnKeyboard(kExKeyMarker), QRect(80, 63, 10, 10));
    EXPECT_EQ(OnKeyboard(kExModifierMarker), QRect(540, 140, 30, 10));
    EXPECT_EQ(OnHands(kExFingerDot), QPoint(6, 20));
    EXPECT_EQ(OnHands(kExSecondFingerDot), QPoint(136, 20));
    for (int id : {kExKeyMarker, kExModifierMarker, kExFingerDot, kExSecondFingerDot, kExKeyLabel})
        EXPECT_TRUE(Shown(id)) << id;
    const KeyCap* key = KeyUnder(OnKeyboard(kExKeyMarker));
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->base, "Q");
    const KeyCap* shift = KeyUnder(OnKeyboard(kExModifierMarker));
    ASSERT_NE(shift, nullptr);
    EXPECT_EQ(shift->name, "⇧");
    EXPECT_GT(shift->rect.left(), 300);  // the right one
    // On screen the marker covers its key: red where the key is.
    QImage shot = test::Shot(Window());
    EXPECT_EQ(shot.pixelColor(Control(kExKeyMarker)->geometry().center()), QColor(255, 0, 0));
    EXPECT_EQ(shot.pixelColor(Control(kExModifierMarker)->geometry().center()), QColor(0, 255, 0));
    test::SaveScreen(Window(), "exercise_window_shift_q");

    // "á": the left little finger on A, the accent key struck first by the right little one.
    TypeUpTo(u'á');
    EXPECT_EQ(qobject_cast<QLabel*>(Control(kExKeyLabel))->text(), "á");
    EXPECT_EQ(OnKeyboard(kExKeyMarker), QRect(90, 100, 10, 10));
    EXPECT_EQ(OnKeyboard(kExModifierMarker), QRect(490, 90, 15, 10));
    EXPECT_EQ(OnHands(kExFingerDot), QPoint(6, 20));
    EXPECT_EQ(OnHands(kExSecondFingerDot), QPoint(136, 20));
    key = KeyUnder(OnKeyboard(kExKeyMarker));
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->base, "A");
    const KeyCap* accent = KeyUnder(OnKeyboard(kExModifierMarker));
    ASSERT_NE(accent, nullptr);
    EXPECT_EQ(accent->base, "´");
    shot = test::Shot(Window());
    EXPECT_EQ(shot.pixelColor(Control(kExKeyMarker)->geometry().center()), QColor(255, 0, 0));
    test::SaveScreen(Window(), "exercise_window_accent_a");

    // What reached the screen, keystroke by keystroke, is the canvas the session drew. (The
    // offscreen platform grabs only a corner of a window at other scales.)
    PumpWindowSystem();
    if (Window()->devicePixelRatio() == 1) {
        const QImage onScreen =
            Window()
                ->screen()
                ->grabWindow(Window()->winId(), kTextPictureRect.x(), kTextPictureRect.y(),
                             kTextPictureRect.width(), kTextPictureRect.height())
                .toImage()
                .convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(onScreen, window_->Canvas().convertToFormat(QImage::Format_RGB32));
    }

    // The counts so far: every keystroke was right.
    EXPECT_EQ(session_->Errors(), 0);
    EXPECT_EQ(session_->Correct(), kPage.indexOf(u'á'));
}

// Wrong keystrokes through the real window: each typed character replaces the page's in its
// cell, so the pupil reads what she typed; control keys are judged, keys without a character
// are not keystrokes.
TEST_F(ExerciseWindowTest, WrongKeystrokesReplaceThePageCharactersInTheirCells) {
    session_->Begin(kPage, CurrentUser.name, CurrentUser.level, 30);
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
    Event event;
    while (PollEvent(&event)) session_->HandleEvent(event);
    EXPECT_EQ(session_->Errors(), 5);
    EXPECT_EQ(session_->Correct(), 2);
    EXPECT_EQ(session_->Index(), 8);
    // The rest of the line right, then a wrong key where Enter is due.
    TypeUpTo(u'\r');
    const int lineEnd = session_->Index() - 1;
    Type(QStringLiteral("z"));
    EXPECT_EQ(session_->Errors(), 6);
    EXPECT_EQ(session_->Expected(), "Q");

    PumpWindowSystem();
    const QImage shown =
        Control(kExTextPicture)->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, window_->Canvas().convertToFormat(QImage::Format_RGB32));
    const QImage page = test::Logical(shown);
    const int cell = window_->CharacterWidth();
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

    // The wrong space shows U+0085 alone, exactly as drawn by itself on white.
    QImage alone = NewPicture(LogicalSize(shown));
    alone.fill(Qt::white);
    DrawTextOn(alone, 5 + 4 * cell, 5, QString(QChar(0x0085)), window_->Font(), QColor(255, 0, 0));
    EXPECT_EQ(page.copy(cellRect(4)), test::Logical(alone).copy(cellRect(4)));
    // The wrong "a" is red and whole: it equals an "a" drawn alone in red.
    alone.fill(Qt::white);
    DrawTextOn(alone, 5 + 2 * cell, 5, QStringLiteral("a"), window_->Font(), QColor(255, 0, 0));
    EXPECT_EQ(page.copy(cellRect(2)), test::Logical(alone).copy(cellRect(2)));
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

// ü: red on U, green on the accent key and on the left Shift; dots on the right index, the
// right little finger and the left little finger.
TEST_F(ExerciseWindowTest, TheDiaeresisShowsTheAccentKeyAndTheLeftShift) {
    session_->Begin(QString::fromUtf8("El pingüino"), CurrentUser.name, CurrentUser.level, 30);
    EXPECT_FALSE(Shown(kExShiftMarker));
    EXPECT_FALSE(Shown(kExShiftDot));
    Type(QStringLiteral("El ping"));
    ASSERT_EQ(session_->Expected(), QString::fromUtf8("ü"));
    for (int id : {kExKeyMarker, kExModifierMarker, kExShiftMarker, kExFingerDot,
                   kExSecondFingerDot, kExShiftDot}) {
        EXPECT_TRUE(Shown(id)) << id;
    }
    const KeyCap* key = KeyUnder(OnKeyboard(kExKeyMarker));
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->base, "U");
    const KeyCap* accent = KeyUnder(OnKeyboard(kExModifierMarker));
    ASSERT_NE(accent, nullptr);
    EXPECT_EQ(accent->base, QString::fromUtf8("´"));
    const KeyCap* shift = KeyUnder(OnKeyboard(kExShiftMarker));
    ASSERT_NE(shift, nullptr);
    EXPECT_EQ(shift->name, QString::fromUtf8("⇧"));
    EXPECT_LT(shift->rect.left(), 100);  // the left one
    EXPECT_EQ(OnHands(kExFingerDot), QPoint(99, 13));
    EXPECT_EQ(OnHands(kExSecondFingerDot), QPoint(136, 20));
    EXPECT_EQ(OnHands(kExShiftDot), QPoint(6, 20));
    const QImage shot = test::Shot(Window());
    EXPECT_EQ(shot.pixelColor(Control(kExShiftMarker)->geometry().center()), QColor(0, 255, 0));
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
    session_->Begin(kPage, CurrentUser.name, CurrentUser.level, 30);
    TypeUpTo(u'Q');

    // Hide the key to press: no markers, the fingers still show.
    Click(kExHideKeyBox);
    EXPECT_TRUE(state_.hideOptions.HideKey);
    EXPECT_FALSE(Shown(kExKeyMarker));
    EXPECT_FALSE(Shown(kExModifierMarker));
    EXPECT_TRUE(Shown(kExKeyboardPicture));
    EXPECT_TRUE(Shown(kExFingerDot));
    EXPECT_TRUE(Shown(kExSecondFingerDot));
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
    EXPECT_FALSE(Shown(kExKeyMarker));
    Type(QStringLiteral("Quique trae el pan y yo traigo la fruta.\rMam"));
    EXPECT_EQ(session_->Expected(), "á");
    EXPECT_FALSE(Shown(kExKeyMarker));
    EXPECT_FALSE(Shown(kExModifierMarker));
    EXPECT_TRUE(Shown(kExFingerDot));
    test::SaveScreen(Window(), "exercise_window_hide_keyboard");
    Click(kExHideKeyboardBox);
    EXPECT_TRUE(Shown(kExKeyboardPicture));
    EXPECT_EQ(OnKeyboard(kExKeyMarker), QRect(90, 100, 10, 10));
    EXPECT_TRUE(Shown(kExKeyMarker));

    // Hide the fingers: the dots and the key label go.
    Click(kExHideFingersBox);
    EXPECT_TRUE(state_.hideOptions.HideFingers);
    EXPECT_FALSE(Shown(kExFingerDot));
    EXPECT_FALSE(Shown(kExSecondFingerDot));
    EXPECT_FALSE(Shown(kExKeyLabel));
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
    session_->Begin(QStringLiteral("j\tj"), CurrentUser.name, CurrentUser.level, 30);
    Type(QStringLiteral("j"));
    EXPECT_EQ(session_->Expected(), "\t");
    EXPECT_FALSE(Shown(kExKeyMarker));
    EXPECT_FALSE(Shown(kExModifierMarker));
    EXPECT_TRUE(Shown(kExFingerDot));
    EXPECT_EQ(OnHands(kExFingerDot), QPoint(99, 13));  // still the right index finger
}

TEST_F(ExerciseWindowTest, TheHeaderTellsTheUserOrThatTheExerciseWasChosenByHand) {
    window_->DrawHeader(true, CurrentUser.name, CurrentUser.level, CurrentUser.block);
    const int first = state_.HeaderCanvas;
    ASSERT_GT(first, 0);
    auto* header = qobject_cast<QLabel*>(Control(kExHeaderPicture));
    EXPECT_EQ(header->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
              Picture(state_.HeaderCanvas).convertToFormat(QImage::Format_RGB32));
    // Light words where the name and the numbers go.
    const QImage course = Picture(state_.HeaderCanvas).copy();
    EXPECT_NE(course, Picture(11));

    window_->DrawHeader(false, CurrentUser.name, CurrentUser.level, CurrentUser.block);
    EXPECT_EQ(state_.HeaderCanvas, first);  // the old copy was freed first
    EXPECT_NE(Picture(state_.HeaderCanvas), course);

    // A text of more than one page: the mark at the bottom right tells that more follows.
    session_->Begin(kPage + QStringLiteral("\r") + kPage, CurrentUser.name, CurrentUser.level, 30);
    EXPECT_TRUE(session_->MorePages());
    TypeUpTo(u'y');
    test::SaveScreen(Window(), "exercise_window_manual_exercise");
}

TEST_F(ExerciseWindowTest, ButtonsReachTheSession) {
    session_->Begin(kPage, CurrentUser.name, CurrentUser.level, 30);
    Type(QStringLiteral("Hoy"));
    Click(kExPauseButton);
    EXPECT_FALSE(session_->Running());
    QueueAnswer(Answer::Yes);
    Click(kExRestartButton);
    EXPECT_EQ(session_->Outcome(), kSessionRestart);

    session_->Begin(kPage, CurrentUser.name, CurrentUser.level, 30);
    Click(kExCancelButton);
    EXPECT_TRUE(session_->Ended());
    EXPECT_EQ(session_->Outcome(), kSessionCancelled);

    // Keys typed into another window are not the session's.
    session_->Begin(kPage, CurrentUser.name, CurrentUser.level, 30);
    QWidget other;
    Event typed;
    typed.type = EventType::Char;
    typed.window = &other;
    typed.code = 'H';
    typed.text = QStringLiteral("H");
    EXPECT_FALSE(session_->HandleEvent(typed));
    EXPECT_EQ(session_->Index(), 1);
}

}  // namespace
}  // namespace tz
