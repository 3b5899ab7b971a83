#pragma once
// Typing in the real exercise window in tests: real key events sent through the window, a
// manual clock moved between the keys, and the result windows read and answered.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QWindow>
#include <functional>
#include <memory>

#include "app/picture_registry.h"
#include "content/exercise_call.h"
#include "exercise/exercise_window.h"
#include "exercise/keyboard_tables.h"
#include "exercise/result_window.h"
#include "platform/clock.h"
#include "platform/events.h"
#include "platform/fonts.h"
#include "platform/globals.h"
#include "platform/pictures.h"
#include "platform/textfile.h"
#include "platform/windows.h"
#include "support.h"
#include "users/user_record.h"

namespace tz::test {

inline QWidget* VisibleTopLevel(const QString& title) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->windowTitle() == title) return widget;
    }
    return nullptr;
}

// The exercise window, shown or not: the only top-level window with its typing target.
inline QWidget* ExerciseWindowWidget() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<ScreenWindow*>(widget) && FindControl(widget, kExTextPicture) &&
            FindControl(widget, kExHideFingersBox)) {
            return widget;
        }
    }
    return nullptr;
}

// One keystroke as the keyboard gives it, through the window system to the focused widget.
inline void PressKey(QWidget* window, QChar ch) {
    ASSERT_NE(window, nullptr);
    QWindow* handle = window->windowHandle();
    ASSERT_NE(handle, nullptr);
    if (ch == QChar(u'\r')) {
        QTest::sendKeyEvent(QTest::Click, handle, Qt::Key_Return, QStringLiteral("\r"),
                            Qt::NoModifier);
    } else if (ch == QChar(27)) {
        QTest::sendKeyEvent(QTest::Click, handle, Qt::Key_Escape, QString(ch), Qt::NoModifier);
    } else {
        QTest::sendKeyEvent(QTest::Click, handle, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

// What the result window says (without the line break the window puts before it).
inline QString ResultMessage() {
    QWidget* window = VisibleTopLevel(kResultWindowTitle);
    if (!window) return QStringLiteral("<no result window>");
    auto* label = qobject_cast<QLabel*>(FindControl(window, kResultMessageControl));
    if (!label) return QStringLiteral("<no message>");
    QString text = label->text();
    if (text.startsWith(LineBreak)) text.remove(0, LineBreak.size());
    return text;
}

inline void AnswerResult(int button) {
    QWidget* window = VisibleTopLevel(kResultWindowTitle);
    ASSERT_NE(window, nullptr) << "no result window";
    QTest::mouseClick(FindControl(window, button), Qt::LeftButton);
}

class ExerciseScreenTest : public ProgramFolderTest {
  protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        SetClock(&clock_);
        if (!PictureExists(36)) RegisterAllPictures();
        ExerciseFont = MakeFont(QStringLiteral("Courier New"), 14, true);
        ExerciseCanvas = QImage(770, 200, QImage::Format_RGB32);
        ExerciseCanvas.fill(Qt::white);
        ExerciseSource = QStringLiteral("NO");
        SpeedTargetOverride.reset();
        CurrentUser = UserRecord();
        CurrentMode = QStringLiteral("NORMAL");
        HideKey = HideKeyboard = HideFingers = false;
        SetPreviousFinger(kNoFinger);
    }
    void TearDown() override {
        HideKey = HideKeyboard = HideFingers = false;
        SpeedTargetOverride.reset();
        ExerciseSource = QStringLiteral("NO");
        CurrentUser = UserRecord();
        SetClock(nullptr);
        ProgramFolderTest::TearDown();
    }

    // Steps that type `text` into the exercise window, the first key at a whole second and
    // the last `seconds` and a half later, so the attempt lasts exactly `seconds` whole
    // seconds. `typo` turns a keystroke into a wrong one.
    void TypeSteps(
        const QString& text, qint64 seconds,
        const std::function<bool(int)>& typo = [](int) { return false; }) {
        const int keys = static_cast<int>(text.size());
        auto start = std::make_shared<qint64>(0);
        for (int k = 0; k < keys; ++k) {
            AppendInputStep([this, text, k, keys, seconds, start, typo] {
                if (k == 0) *start = (clock_.milliseconds / 1000 + 1) * 1000;
                const qint64 span = seconds * 1000 + 500;
                const qint64 at = *start + (keys > 1 ? span * k / (keys - 1) : 0);
                if (at > clock_.milliseconds) clock_.Advance(at - clock_.milliseconds);
                QChar ch = text[k];
                if (typo(k)) ch = ch == QChar(u'x') ? QChar(u'y') : QChar(u'x');
                PressKey(ExerciseWindowWidget(), ch);
            });
        }
    }

    // The users file: the header and these lines.
    void WriteUsers(const QList<QByteArray>& lines) {
        QByteArray bytes = kUsersHeader.toUtf8() + "\r\n";
        for (const QByteArray& line : lines) bytes += line + "\r\n";
        WriteBytes(kUsersFileName, bytes);
    }

    ManualClock clock_;
};

}  // namespace tz::test
