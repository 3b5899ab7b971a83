#include "platform/clock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QRandomGenerator>
#include <QThread>
#include <QTimer>
#include <algorithm>

namespace tz {

namespace {

class RealClock : public Clock {
  public:
    RealClock() { timer_.start(); }
    QDateTime Now() override { return QDateTime::currentDateTime(); }
    qint64 Milliseconds() override { return timer_.elapsed(); }
    void Sleep(int milliseconds) override {
        if (milliseconds > 0) QThread::msleep(static_cast<unsigned long>(milliseconds));
    }
    void Wait(int milliseconds) override {
        if (milliseconds <= 0) return;
        // Without an application there is no event loop to wait in.
        if (!QCoreApplication::instance()) {
            Sleep(milliseconds);
            return;
        }
        QEventLoop loop;
        QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }

  private:
    QElapsedTimer timer_;
};

void CallAfter(int milliseconds, QObject* context, std::function<void()> act) {
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, context, std::move(act));
}

Clock*& InstalledClock() {
    static Clock* clock = nullptr;
    return clock;
}

std::function<double()>& RandomSource() {
    static std::function<double()> source;
    return source;
}

}  // namespace

void Clock::After(int milliseconds, QObject* context, std::function<void()> act) {
    CallAfter(std::max(milliseconds, 0), context, std::move(act));
}

void ManualClock::After(int ms, QObject* context, std::function<void()> act) {
    Advance(ms);
    CallAfter(0, context, std::move(act));
}

Clock& CurrentClock() {
    static RealClock real;
    Clock* installed = InstalledClock();
    return installed ? *installed : real;
}

void SetClock(Clock* clock) {
    InstalledClock() = clock;
}

QDateTime Now() {
    return CurrentClock().Now();
}
qint64 NowSeconds() {
    return CurrentClock().Milliseconds() / 1000;
}
qint64 NowMilliseconds() {
    return CurrentClock().Milliseconds();
}
void SleepMs(int milliseconds) {
    CurrentClock().Sleep(milliseconds);
}
void WaitMs(int milliseconds) {
    CurrentClock().Wait(milliseconds);
}
void AfterMs(int milliseconds, QObject* context, std::function<void()> act) {
    CurrentClock().After(milliseconds, context, std::move(act));
}

double RandomUnit() {
    const auto& source = RandomSource();
    if (source) return source();
    return QRandomGenerator::global()->generateDouble();
}

int RandomInt(int low, int high) {
    if (high <= low) return low;
    const double span = static_cast<double>(high) - low + 1;
    int value = low + static_cast<int>(RandomUnit() * span);
    return value > high ? high : value;
}

void SetRandomSource(std::function<double()> source) {
    RandomSource() = std::move(source);
}

}  // namespace tz
