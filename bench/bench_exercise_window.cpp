// Cost of one keystroke in the real exercise window, offscreen: the key event goes in through
// the window system to the typing target, becomes a typed character, the session judges it,
// draws the cell and the cursor, places the hint's markers, and the text picture is painted
// again. The last line sums it up:
//
//   build/bench_exercise_window
//   ...
//   keystroke_us median=<x> p99=<y>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDateTime>
#include <QImage>
#include <QStringList>
#include <QTest>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "app/program_state.h"
#include "bench_support.h"
#include "exercise/exercise_session.h"
#include "exercise/exercise_window.h"
#include "platform/clock.h"
#include "platform/fonts.h"
#include "platform/windows.h"
#include "users/user_record.h"

namespace {

constexpr int kKeystrokes = 2000;
constexpr int kLineLength = 67;

// Time moves only when the pupil types (no time zone look-ups in the figure).
class TypingClock : public tz::Clock {
  public:
    qint64 milliseconds = 0;
    QDateTime Now() override { return QDateTime(); }
    qint64 Milliseconds() override { return milliseconds; }
    void Sleep(int ms) override { milliseconds += ms; }
};

// Counts the paintings of the text picture, so every measured keystroke is known to have
// reached the screen.
class PaintCounter : public QObject {
  public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

// Spanish prose with accents and capitals, in lines of at most 67 characters joined by CR LF,
// long enough for exactly 2000 keystrokes: every character and every Enter, except the Enter
// after the seventh line of a page, which is never typed.
QString LessonLikeText() {
    const QStringList words = QStringLiteral(
                                  "Quique y Mamá preparan una sopa de ajo mientras Óscar lee en "
                                  "voz alta. ¿Quién sabe escribir sin mirar el teclado? Todos "
                                  "aprendemos despacio: primero la fila del medio, después la "
                                  "de arriba y por último la de abajo. ¡Ánimo, Núñez! El "
                                  "invierno de 1987 fue muy frío; nevó en Ávila, en Soria y en "
                                  "León durante días.")
                                  .split(u' ', Qt::SkipEmptyParts);
    QStringList lines{QString()};
    int keystrokes = 0;
    for (qsizetype w = 0; keystrokes < kKeystrokes;) {
        const QString& word = words[w % words.size()];
        QString& line = lines.last();
        if (!line.isEmpty() && line.size() + 1 + word.size() > kLineLength) {
            // The Enter that ends this line is typed unless the line ends a page.
            if (lines.size() % 7 != 0) ++keystrokes;
            lines.append(QString());
            continue;
        }
        for (const QChar c : (line.isEmpty() ? word : QStringLiteral(" ") + word)) {
            if (keystrokes == kKeystrokes) break;
            lines.last() += c;
            ++keystrokes;
        }
        ++w;
    }
    return lines.join(QStringLiteral("\r\n"));
}

std::vector<double>& Samples() {
    static std::vector<double> samples;
    return samples;
}

// Processor time of this thread, which a busy machine's other work does not inflate.
double ThreadMicros() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

std::vector<double>& CpuSamples() {
    static std::vector<double> samples;
    return samples;
}

void SendKey(QWindow* window, QTest::KeyAction action, const QString& ch) {
    if (ch == QStringLiteral("\r")) {
        QTest::sendKeyEvent(action, window, Qt::Key_Return, ch, Qt::NoModifier);
    } else {
        QTest::sendKeyEvent(action, window, Qt::Key_unknown, ch, Qt::NoModifier);
    }
}

void BM_TypeIntoExerciseWindow(benchmark::State& state) {
    const QString text = LessonLikeText();
    TypingClock clock;
    tz::SetClock(&clock);
    tz::ProgramState program = tz::InitialProgramState();
    program.ExerciseFont = tz::bench::PrepareExerciseDrawing();
    program.CurrentUser.name = QStringLiteral("ANA PÉREZ");
    program.CurrentUser.level = 12;
    program.CurrentUser.block = 3;
    const tz::UserRecord& user = program.CurrentUser;
    tz::ExerciseWindow window(program.ExerciseFont, program.hideOptions, program.HeaderCanvas,
                              program.previousFinger, program.keyboard);
    window.ApplyOptions();
    window.DrawHeader(true, user.name, user.level, user.block);
    QWidget* target = tz::FindControl(&window, tz::kExTextPicture);
    PaintCounter counter;
    target->installEventFilter(&counter);
    int64_t keystrokes = 0;

    for (auto _ : state) {
        state.PauseTiming();
        window.Begin(text, user.name, user.level, 120);
        window.show();
        QCoreApplication::processEvents();
        QWindow* handle = window.windowHandle();
        const tz::ExerciseSession& session = *window.Session();
        state.ResumeTiming();

        int typed = 0;
        while (!session.Ended()) {
            // A pupil at about 400 keystrokes a minute who misses one key in fifty.
            clock.milliseconds += 150;
            const QString ch =
                (++typed % 50 == 0) ? QStringLiteral("x") : session.Expected().left(1);
            const int paintsBefore = counter.paints;
            const double cpuStart = ThreadMicros();
            const auto start = std::chrono::steady_clock::now();
            // Judged as it arrives; then the text picture is painted anew.
            SendKey(handle, QTest::Press, ch);
            QCoreApplication::processEvents();
            const auto end = std::chrono::steady_clock::now();
            CpuSamples().push_back(ThreadMicros() - cpuStart);
            if (counter.paints == paintsBefore) {
                std::fprintf(stderr, "keystroke %d did not reach the screen\n", typed);
                std::abort();
            }
            Samples().push_back(std::chrono::duration<double, std::micro>(end - start).count());
            state.PauseTiming();
            if (!session.Ended()) SendKey(handle, QTest::Release, ch);
            state.ResumeTiming();
        }
        keystrokes += typed;
    }
    tz::SetClock(nullptr);
    state.SetItemsProcessed(keystrokes);
    state.counters["keystrokes_per_attempt"] =
        static_cast<double>(keystrokes) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_TypeIntoExerciseWindow)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::vector<double>& samples = Samples();
    if (samples.empty()) return 0;
    std::vector<double>& cpu = CpuSamples();
    std::sort(cpu.begin(), cpu.end());
    std::sort(samples.begin(), samples.end());
    std::printf("keystrokes=%zu\n", samples.size());
    // The same keystrokes counted in this thread's processor time only.
    std::printf("keystroke_cpu_us median=%.1f p99=%.1f\n", cpu[cpu.size() / 2],
                cpu[cpu.size() * 99 / 100]);
    std::printf("keystroke_us median=%.1f p99=%.1f\n", samples[samples.size() / 2],
                samples[samples.size() * 99 / 100]);
    return 0;
}
