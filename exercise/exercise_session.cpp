#include "exercise/exercise_session.h"

#include <algorithm>
#include <limits>

#include "platform/clock.h"

namespace tz {

namespace {

constexpr int kLinesPerPage = 7;
const QString kIdleTime = QStringLiteral("TIEMPO INACTIVO");
const QChar kCarriageReturn(u'\r');
const QString kLineEnd = QStringLiteral("\r");
const QString kEscape = QStringLiteral("\x1b");
// Gaps are kept in 32 bits; anything this long is a pause anyway.
constexpr qint64 kMaxGap = 24LL * 3600 * 1000;

}  // namespace

// ---- Figures -----------------------------------------------------------------------------

QString FormatErrors(int errors, double percentage) {
    return QString::number(errors) + QStringLiteral(" (") + QString::number(percentage, 'f', 2) +
           QStringLiteral("%)");
}

QString FormatElapsed(qint64 seconds) {
    // The time of day of a date-time value of `seconds`: hours wrap at 24.
    if (seconds < 0) seconds = 0;
    const auto two = [](qint64 value) {
        return QStringLiteral("%1").arg(value, 2, 10, QChar(u'0'));
    };
    return two(seconds / 3600 % 24) + u':' + two(seconds / 60 % 60) + u':' + two(seconds % 60);
}

qint16 ComputeSpeed(int correct, qint64 elapsedSeconds) {
    if (elapsedSeconds <= 0) return 0;
    // A page typed in a second or two could give more than 16 bits hold: keep the largest.
    const qint64 speed = static_cast<qint64>(correct) * 60 / elapsedSeconds;
    return static_cast<qint16>(std::clamp<qint64>(speed, std::numeric_limits<qint16>::min(),
                                                  std::numeric_limits<qint16>::max()));
}

// ---- ExerciseSession ---------------------------------------------------------------------

ExerciseSession::ExerciseSession(SessionDisplay& display, int& previousFinger,
                                 const KeyboardTables& keyboard)
    : display_(display), keyboard_(keyboard), previousFinger_(previousFinger) {}

void ExerciseSession::Begin(const QString& text, const QString& userName, int level,
                            int speedTarget) {
    correct_ = 0;
    errors_ = 0;
    errorPercentage_ = 0;
    speed_ = 0;
    running_ = true;
    // A new attempt never counts from the time of the one before.
    clockStarted_ = false;
    clockStart_ = 0;
    elapsed_ = 0;
    lastTick_ = 0;
    ended_ = false;
    outcome_ = SessionOutcome::Cancelled;
    keystrokes_.clear();
    keystrokes_.reserve(static_cast<std::size_t>(text.size()));
    lastKeystrokeMs_ = -1;

    display_.SetTitle(userName + QStringLiteral("  |  NIVEL: ") + QString::number(level));
    display_.SetFieldText(SessionField::Correct, QStringLiteral("0"));
    display_.SetFieldText(SessionField::Speed, QStringLiteral("0"));
    display_.SetFieldText(SessionField::Target, QString::number(speedTarget));
    display_.SetFieldText(SessionField::Errors, QStringLiteral("0 (0%)"));
    display_.SetFieldText(SessionField::Time, kIdleTime);

    continued_ = false;
    remaining_ = text;
    NextPage();
}

void ExerciseSession::NextPage() {
    remaining_.remove(QChar(u'\n'));
    morePages_ = false;
    pageText_.clear();

    // Up to seven carriage-return-separated lines; a text with fewer carriage returns gives
    // one line more than it holds (an empty text gives one empty line).
    QStringList lines;
    const qsizetype returns = remaining_.count(kCarriageReturn);
    qsizetype start = 0;
    for (qsizetype k = 0; k <= returns; ++k) {
        qsizetype end = remaining_.indexOf(kCarriageReturn, start);
        if (end < 0) end = remaining_.size();
        lines.append(remaining_.mid(start, end - start));
        pageText_ += lines.last();
        pageText_ += kCarriageReturn;
        start = end + 1;
        if (k == kLinesPerPage - 1) {
            morePages_ = true;
            break;
        }
    }
    // The lines taken and the carriage return after each leave the text; the page does not
    // end with one, so the return that ends the last line of a full page is never typed.
    remaining_ = remaining_.mid(pageText_.size());
    pageText_.chop(1);
    if (remaining_.isEmpty()) morePages_ = false;

    place_ = TextPlace();
    display_.ShowPage(lines, morePages_);

    index_ = 1;
    expected_ = pageText_.left(1);
    ShowExpectedHint();
}

void ExerciseSession::ShowExpectedHint() {
    const KeyHint hint = NextKeyHint(keyboard_, expected_, previousFinger_);
    expectedFinger_ = hint.finger;
    display_.ShowHint(expected_, hint);
}

void ExerciseSession::ResumeClock() {
    clockStart_ = NowSeconds() - elapsed_;
}

void ExerciseSession::Type(const QString& typed) {
    for (qsizetype i = 0; i < typed.size() && !ended_;) {
        const qsizetype length =
            (typed[i].isHighSurrogate() && i + 1 < typed.size() && typed[i + 1].isLowSurrogate())
                ? 2
                : 1;
        TypeOne(typed.mid(i, length));
        i += length;
    }
}

void ExerciseSession::TypeOne(const QString& ch) {
    if (ch == kEscape) {
        Cancel();
        return;
    }
    display_.FocusTyping();
    if (!running_) {
        running_ = true;
        ResumeClock();
        lastKeystrokeMs_ = -1;
    }
    if (index_ == 1 && !continued_) {
        clockStarted_ = true;
        clockStart_ = NowSeconds();
        lastTick_ = clockStart_;
    }

    // Judged as typed: case and accents count. There is no correction.
    JudgedKeystroke judged;
    judged.cell = place_;
    judged.typed = ch;
    judged.correct = ch == expected_;
    if (judged.correct) {
        ++correct_;
    } else {
        ++errors_;
    }
    const qint64 now = NowMilliseconds();
    const qint64 gap =
        lastKeystrokeMs_ < 0 ? -1 : std::min<qint64>(now - lastKeystrokeMs_, kMaxGap);
    keystrokes_.push_back(
        {expected_, ch, static_cast<qint8>(expectedFinger_), static_cast<qint32>(gap)});
    lastKeystrokeMs_ = now;

    // The cursor moves on whatever was typed; at a line end any key goes to the next line.
    if (expected_ == kLineEnd) {
        place_ = TextPlace{place_.line + 1, 0};
    } else {
        ++place_.column;
    }
    judged.next = place_;
    ++index_;
    display_.ShowKeystroke(judged);

    if (index_ > PageLength()) {
        if (morePages_) {
            continued_ = true;
            NextPage();
        } else {
            elapsed_ = NowSeconds() - clockStart_;
            ComputeFigures();
            End(SessionOutcome::Finished);
        }
        return;
    }
    expected_ = pageText_.mid(index_ - 1, 1);
    ShowExpectedHint();
}

void ExerciseSession::Cancel() {
    if (!ended_) End(SessionOutcome::Cancelled);
}

void ExerciseSession::PressPause() {
    if (ended_) return;
    lastKeystrokeMs_ = -1;
    if (running_) {
        running_ = false;
        display_.SetFieldText(SessionField::Time, kIdleTime);
    } else if (index_ != 1) {
        // On the first character of a page only typing resumes.
        running_ = true;
        ResumeClock();
    }
}

void ExerciseSession::PressRestart() {
    if (ended_) return;
    running_ = false;
    display_.SetFieldText(SessionField::Time, kIdleTime);
    const bool restart = display_.AskYesNo(
        QStringLiteral("Reiniciar el ejercicio"),
        QStringLiteral("¿Seguro que quiere volver a empezar\nel ejercicio desde el principio?"));
    if (restart) {
        End(SessionOutcome::Restart);
        return;
    }
    running_ = true;
    ResumeClock();
    lastKeystrokeMs_ = -1;
}

std::optional<qint64> ExerciseSession::NextTick() const {
    if (ended_ || !clockStarted_ || !running_) return std::nullopt;
    return (lastTick_ + 1) * 1000;
}

void ExerciseSession::Tick() {
    if (ended_ || !clockStarted_ || !running_) return;
    const qint64 now = NowSeconds();
    if (now - lastTick_ <= 0) return;
    lastTick_ = now;
    elapsed_ = now - clockStart_;
    ComputeFigures();
    RefreshDisplays();
}

void ExerciseSession::ComputeFigures() {
    if (errors_ > 0) {
        // An empty page has no characters to relate the errors to: all keystrokes were wrong.
        errorPercentage_ = PageLength() > 0 ? errors_ * 100.0 / PageLength() : 100.0;
    }
    speed_ = ComputeSpeed(correct_, elapsed_);
}

void ExerciseSession::RefreshDisplays() {
    display_.SetFieldText(SessionField::Correct, QString::number(correct_));
    display_.SetFieldText(SessionField::Speed, QString::number(speed_));
    display_.SetFieldText(SessionField::Errors, FormatErrors(errors_, errorPercentage_));
    display_.SetFieldText(SessionField::Time, FormatElapsed(elapsed_));
}

void ExerciseSession::End(SessionOutcome outcome) {
    ended_ = true;
    outcome_ = outcome;
}

std::optional<ExerciseResult> ExerciseSession::Result() const {
    if (!ended_ || outcome_ != SessionOutcome::Finished) return std::nullopt;
    ExerciseResult result;
    result.correct = correct_;
    result.errors = errors_;
    result.errorPercentage = errorPercentage_;
    result.speed = speed_;
    result.elapsed = elapsed_;
    return result;
}

}  // namespace tz
