#include "platform/events.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <utility>

namespace tz {

namespace {

std::deque<Event>& Queue() {
    static std::deque<Event> queue;
    return queue;
}

struct Script {
    bool active = false;
    std::deque<std::function<void()>> steps;
};

Script& TheScript() {
    static Script script;
    return script;
}

// Runs the next scripted step; false when there is none.
bool RunScriptStep() {
    Script& script = TheScript();
    if (!script.active) return false;
    if (script.steps.empty()) {
        std::fprintf(stderr, "input script used up while the program waits for input\n");
        std::fflush(stderr);
        std::abort();
    }
    auto step = std::move(script.steps.front());
    script.steps.pop_front();
    step();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return true;
}

// Lets the window system do its work without taking events.
void PumpWindowSystem() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

QEventLoop*& WaitingLoop() {
    static QEventLoop* loop = nullptr;
    return loop;
}

// Sleeps in a Qt event loop until an event is queued. (A bare processEvents(WaitForMoreEvents)
// does not always wake for a precise timer on Windows.)
void WaitInEventLoop() {
    QEventLoop loop;
    QEventLoop* outer = std::exchange(WaitingLoop(), &loop);
    loop.exec();
    WaitingLoop() = outer;
    // A wait below this one took an event the one above waits for too.
    if (outer && !Queue().empty()) outer->quit();
}

}  // namespace

void PostEvent(const Event& event) {
    Queue().push_back(event);
    if (WaitingLoop()) WaitingLoop()->quit();
}

Event WaitEvent() {
    auto& queue = Queue();
    for (;;) {
        if (queue.empty()) PumpWindowSystem();
        if (!queue.empty()) break;
        if (RunScriptStep()) continue;
        WaitInEventLoop();
    }
    Event event = queue.front();
    queue.pop_front();
    return event;
}

void DrainEvents() {
    PumpWindowSystem();
    Queue().clear();
}

void SetInputScript(std::vector<std::function<void()>> steps) {
    Script& script = TheScript();
    script.active = true;
    script.steps.assign(std::make_move_iterator(steps.begin()),
                        std::make_move_iterator(steps.end()));
}

void AppendInputStep(std::function<void()> step) {
    Script& script = TheScript();
    script.active = true;
    script.steps.push_back(std::move(step));
}

bool InputScriptActive() {
    return TheScript().active;
}

void ClearInputScript() {
    TheScript().active = false;
    TheScript().steps.clear();
    Queue().clear();
}

}  // namespace tz
