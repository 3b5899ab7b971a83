#pragma once
// One queue of events for the screens not yet made Qt screens of their own. They run their own
// loops over it, waiting in Qt's event loop: WaitEvent() until something happens. Nothing polls.

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

namespace tz {

enum class EventType {
    Click,             // a button or picture button; id = the control's id
    DoubleClick,       // a row of a list; id, row
    Char,              // a typed character; code (13 Enter, 27 Escape), text
    CloseRequest,      // the window was asked to close
    SelectionChanged,  // a list or drop-down changed its current row; id, row
    CheckChanged,      // a check box of a list row changed; id, row
    EditorChanged,     // the text of an editor changed; id
};

struct Event {
    EventType type = EventType::Click;
    QPointer<QWidget> window;  // the top-level window the event belongs to
    int id = 0;
    int code = 0;
    QString text;
    int row = -1;
};

void PostEvent(const Event& event);
Event WaitEvent();
// Lets the window system do its work, then drops every queued event.
void DrainEvents();

// Scripted input for tests: when a loop would wait and the queue is empty, the next step runs
// (typically real QTest clicks and key presses on the real widgets). A loop that waits with
// the script used up fails the test instead of hanging.
void SetInputScript(std::vector<std::function<void()>> steps);
void AppendInputStep(std::function<void()> step);
bool InputScriptActive();
void ClearInputScript();

}  // namespace tz
