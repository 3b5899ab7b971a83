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
#include <utility>
#include <vector>

#include "app/picture_registry.h"
#include "app/program_state.h"
#include "exercise/exercise_window.h"
#include "exercise/result_window.h"
#include "platform/clock.h"
#include "platform/fonts.h"
#include "platform/pictures.h"
#include "platform/textfile.h"
#include "platform/windows.h"
#include "program_test.h"
#include "screens.h"
#include "users/user_record.h"
#include "users/user_store.h"

namespace tz::test {

// The exercise window, shown or not.
inline QWidget* ExerciseWindowWidget() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<ExerciseWindow*>(widget)) return widget;
    }
    return nullptr;
}

// One keystroke as the keyboard gives it, through the window system to the focused widget.
inline void PressKey(QWidget* window, QChar ch) {
    ASSERT_NE(window, nullptr);
    QWindow* handle = window->windowHandle();
    ASSERT_NE(handle, nullptr);
    const Qt::Key key = ch == QChar(u'\r') ? Qt::Key_Return
                        : ch == QChar(27)  ? Qt::Key_Escape
                                           : Qt::Key_unknown;
    QTest::sendKeyEvent(QTest::Click, handle, key, QString(ch), Qt::NoModifier);
}

// What the result window says (without the line break the window puts before it).
inline QString ResultMessage() {
    auto* label = qobject_cast<QLabel*>(
        FindControl(VisibleWindow(kResultWindowTitle), kResultMessageControl));
    if (!label) return QStringLiteral("<no result window>");
    QString text = label->text();
    if (text.startsWith(LineBreak)) text.remove(0, LineBreak.size());
    return text;
}

inline void AnswerResult(int button) {
    QWidget* window = VisibleWindow(kResultWindowTitle);
    ASSERT_NE(window, nullptr) << "no result window";
    QTest::mouseClick(FindControl(window, button), Qt::LeftButton);
}

// Acts on windows as they show, one after another: each act gets the next window shown with
// its title after the act before.
using WindowAct = std::pair<QString, std::function<void(QWidget*)>>;
inline void InTurn(std::vector<WindowAct> acts) {
    if (acts.empty()) return;
    auto rest = std::make_shared<std::vector<WindowAct>>(acts.begin() + 1, acts.end());
    WhenShown(acts.front().first, [act = acts.front().second, rest](QWidget* window) {
        InTurn(*rest);
        act(window);
    });
}

class ExerciseScreenTest : public ProgramStateTest {
  protected:
    void SetUp() override {
        ProgramStateTest::SetUp();
        SetClock(&clock_);
        if (!PictureExists(36)) RegisterAllPictures();
        state_.ExerciseFont = MakeFont(QStringLiteral("Courier New"), 14, true);
    }
    void TearDown() override {
        SetClock(nullptr);
        ProgramStateTest::TearDown();
    }

    // The pupil of the users file with this id, loaded as the users window does.
    void LoadCurrentUser() {
        if (const std::optional<UserRecord> user = LoadUser(CurrentUser.id)) {
            CurrentUser = *user;
            CurrentMode = user->mode;
        }
    }

    // Types `text` into the exercise window, the first key at a whole second and the last
    // `seconds` and a half later: the attempt lasts `seconds` whole seconds. `typo` errs.
    void TypeAll(
        QWidget* window, const QString& text, qint64 seconds,
        const std::function<bool(int)>& typo = [](int) { return false; }) {
        const qint64 start = (clock_.milliseconds / 1000 + 1) * 1000;
        const qint64 keys = text.size();
        for (int k = 0; k < keys; ++k) {
            const qint64 at = start + (keys > 1 ? (seconds * 1000 + 500) * k / (keys - 1) : 0);
            if (at > clock_.milliseconds) clock_.Advance(at - clock_.milliseconds);
            const QChar ch = text[k];
            PressKey(window, typo(k) ? (ch == u'x' ? QChar(u'y') : QChar(u'x')) : ch);
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
