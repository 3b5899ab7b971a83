// Cost of one keystroke in the exercise session: judgement, hint lookup, the keystroke logged
// for the pupil's figures, drawing of the cell and the cursor on the real ExerciseCanvas with the
// real exercise font, the new page when one is due, and the clock's tick. A second benchmark times
// the counting of an attempt's keystrokes into the figures that follows it.
//
//   build/bench_session [--benchmark_repetitions=5]

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDateTime>
#include <QImage>
#include <QStringList>
#include <algorithm>
#include <chrono>
#include <vector>

#include "bench_support.h"
#include "exercise/exercise_page.h"
#include "exercise/exercise_session.h"
#include "exercise/keystroke_figures.h"
#include "platform/clock.h"
#include "platform/fonts.h"

namespace {

constexpr int kTextLength = 40000;
constexpr int kLineLength = 67;

// The exercise window without a window: the page is drawn for real, the rest goes nowhere.
class PageOnlyDisplay : public tz::SessionDisplay {
  public:
    explicit PageOnlyDisplay(const QFont& font) : page(font) {}
    void ShowPage(const QStringList& lines, bool more) override { page.Show(lines, more); }
    void ShowKeystroke(const tz::JudgedKeystroke& keystroke) override { page.Draw(keystroke); }
    tz::ExercisePage page;
};

// Time moves only when the pupil types. (ManualClock also moves a local date-time, whose time
// zone look-ups would cost more than the keystroke itself.)
class TypingClock : public tz::Clock {
  public:
    qint64 milliseconds = 0;
    QDateTime Now() override { return QDateTime(); }
    qint64 Milliseconds() override { return milliseconds; }
    void Sleep(int ms) override { milliseconds += ms; }
};

// Spanish prose wrapped into lines of at most 67 characters, CR LF between lines, cut to the
// exact length.
QString LessonLikeText() {
    const QString prose = QStringLiteral(
        "El viejo faro de la costa guardaba historias que nadie había escrito. Cada noche, "
        "cuando el mar se volvía oscuro, la señora Núñez subía los ciento doce escalones "
        "con una lámpara de aceite y un cuaderno pequeño. ¿Quién le enseñó a escribir tan "
        "rápido? Nadie lo sabía: ella decía que bastaba con mirar el papel, respirar "
        "despacio y dejar que los dedos encontraran solos su camino sobre las teclas. "
        "Los niños del pueblo, curiosos, le preguntaban por qué apuntaba el color del "
        "cielo, el número de barcos y la dirección del viento; ella sonreía y respondía "
        "que un día alguien querría saber cómo fue el invierno de 1987. ¡Qué razón tenía! ");
    QStringList lines;
    QString line;
    int length = 0;
    while (length < kTextLength) {
        for (const QString& word : prose.split(u' ', Qt::SkipEmptyParts)) {
            if (!line.isEmpty() && line.size() + 1 + word.size() > kLineLength) {
                lines << line;
                length += static_cast<int>(line.size()) + 2;
                line.clear();
            }
            if (!line.isEmpty()) line += u' ';
            line += word;
        }
    }
    lines << line;
    return lines.join(QStringLiteral("\r\n")).left(kTextLength);
}

void BM_TypeLessonText(benchmark::State& state) {
    const QString text = LessonLikeText();
    TypingClock clock;
    tz::SetClock(&clock);
    PageOnlyDisplay display(tz::bench::PrepareExerciseDrawing());
    int finger = tz::kNoFinger;
    std::vector<double> micros;
    micros.reserve(kTextLength);
    int64_t keystrokes = 0;

    for (auto _ : state) {
        state.PauseTiming();
        tz::ExerciseSession session(display, finger);
        session.Begin(text, QStringLiteral("ANA PÉREZ"), 12, 120);
        state.ResumeTiming();

        int typed = 0;
        while (!session.Ended()) {
            // A pupil at about 400 keystrokes a minute who misses one key in fifty.
            clock.milliseconds += 150;
            const QString ch = (++typed % 50 == 0) ? QStringLiteral("x") : session.Expected();
            const auto start = std::chrono::steady_clock::now();
            session.Type(ch);
            session.Tick();
            const auto end = std::chrono::steady_clock::now();
            micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
        }
        keystrokes += typed;
        benchmark::DoNotOptimize(display.page.Canvas().constBits());
    }
    tz::SetClock(nullptr);

    std::sort(micros.begin(), micros.end());
    state.SetItemsProcessed(keystrokes);
    state.counters["keystrokes_per_attempt"] =
        static_cast<double>(keystrokes) / static_cast<double>(state.iterations());
    state.counters["median_us"] = micros[micros.size() / 2];
    state.counters["p99_us"] = micros[micros.size() * 99 / 100];
}
BENCHMARK(BM_TypeLessonText)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// What the end of an attempt adds for the pupil's figures, per keystroke of the attempt: its
// keystrokes counted by character, finger and confusion, then added to running figures.
void BM_CountAttemptFigures(benchmark::State& state) {
    const QString text = LessonLikeText();
    tz::KeystrokeLog log;
    log.reserve(static_cast<std::size_t>(text.size()));
    int finger = tz::kNoFinger;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QString due = text.mid(i, 1);
        const QString typed = i % 50 == 0 ? QStringLiteral("x") : due;
        log.push_back(
            {due, typed,
             tz::NextKeyHint(tz::KeyboardTablesFor(tz::kSpanishLayout), due, finger).finger, 150});
    }
    tz::PupilFigures running;
    const QDateTime when(QDate(2024, 3, 5), QTime(8, 30));
    for (auto _ : state) {
        tz::AddFigures(running, tz::FiguresOfAttempt(log, when));
        benchmark::DoNotOptimize(running.characters.size());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(log.size()));
}
BENCHMARK(BM_CountAttemptFigures)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
