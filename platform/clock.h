#pragma once
// Time and chance, replaceable in tests.

#include <QDateTime>
#include <functional>

class QObject;

namespace tz {

class Clock {
  public:
    virtual ~Clock() = default;
    // Local date and time, whole seconds.
    virtual QDateTime Now() = 0;
    // A steady count of milliseconds, for measuring elapsed time.
    virtual qint64 Milliseconds() = 0;
    virtual void Sleep(int milliseconds) = 0;
    // Lets the time pass in Qt's event loop: windows repaint and input is queued meanwhile. A
    // clock of a test moves on at once.
    virtual void Wait(int milliseconds) { Sleep(milliseconds); }
    // Calls `act` from the event loop once `milliseconds` have passed (a timer: nothing waits),
    // unless `context` is gone by then. A clock of a test moves on at once and calls it at the
    // loop's next turn.
    virtual void After(int milliseconds, QObject* context, std::function<void()> act);
};

// The clock in force; the real one unless a test installed another.
Clock& CurrentClock();
// Installs a clock (nullptr restores the real one). The caller keeps ownership.
void SetClock(Clock* clock);

QDateTime Now();
qint64 NowSeconds();  // seconds of the steady clock
qint64 NowMilliseconds();
void SleepMs(int milliseconds);
// A pause of the main thread that keeps the windows alive: a timer, not a sleep.
void WaitMs(int milliseconds);
// `act` from the event loop once `milliseconds` have passed on the clock in force.
void AfterMs(int milliseconds, QObject* context, std::function<void()> act);

// Uniform random number in [0, 1).
double RandomUnit();
// Uniform whole number from low to high, both included.
int RandomInt(int low, int high);
// Installs a source of uniform numbers in [0, 1) (an empty function restores the real one).
void SetRandomSource(std::function<double()> source);

// A clock that moves only when told; tests use it to feed time.
class ManualClock : public Clock {
  public:
    QDateTime now = QDateTime(QDate(2024, 3, 5), QTime(8, 30, 0));
    qint64 milliseconds = 0;
    QDateTime Now() override { return now; }
    qint64 Milliseconds() override { return milliseconds; }
    void Sleep(int ms) override { Advance(ms); }
    void After(int ms, QObject* context, std::function<void()> act) override;
    void Advance(qint64 ms) {
        milliseconds += ms;
        now = now.addMSecs(ms);
    }
};

}  // namespace tz
