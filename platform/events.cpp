#include "platform/events.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <limits>
#include <utility>

#include "platform/clock.h"

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

QEventLoop*& WaitingLoop() {
    static QEventLoop* loop = nullptr;
    return loop;
}

// Sleeps in a Qt event loop until an event is queued or, given a timer, until it fires. (A bare
// processEvents(WaitForMoreEvents) does not always wake for a precise timer on Windows.)
void WaitInEventLoop(QTimer* timer) {
    QEventLoop loop;
    QEventLoop* outer = std::exchange(WaitingLoop(), &loop);
    if (timer) QObject::connect(timer, &QTimer::timeout, &loop, &QEventLoop::quit);
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

void PumpWindowSystem() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

Event WaitEvent() {
    auto& queue = Queue();
    for (;;) {
        if (queue.empty()) PumpWindowSystem();
        if (!queue.empty()) break;
        if (RunScriptStep()) continue;
        WaitInEventLoop(nullptr);
    }
    Event event = queue.front();
    queue.pop_front();
    return event;
}

bool WaitEventUntil(qint64 deadline, Event* event) {
    auto& queue = Queue();
    for (;;) {
        if (queue.empty()) PumpWindowSystem();
        if (!queue.empty()) break;
        const qint64 left = deadline - NowMilliseconds();
        if (left <= 0) return false;
        if (RunScriptStep()) continue;
        // One timer for the moment that matters: the program sleeps until it or an event.
        QTimer timer;
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        bool due = false;
        QObject::connect(&timer, &QTimer::timeout, [&due] { due = true; });
        timer.start(static_cast<int>(std::min<qint64>(left, std::numeric_limits<int>::max())));
        while (!due && queue.empty()) WaitInEventLoop(&timer);
        if (queue.empty()) return false;
    }
    *event = queue.front();
    queue.pop_front();
    return true;
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
