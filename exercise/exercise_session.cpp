#include "exercise/exercise_session.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <limits>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/pictures.h"

namespace tz {

namespace {

constexpr int kLinesPerPage = 7;
constexpr int kTextOrigin = 5;  // x of every line and y of the first
constexpr int kIdleSleepMs = 5;
// The mark that tells more text follows.
constexpr int kMorePicture = PictureNumber(PictureName::MoreText);
const QSize kDefaultCanvasSize(770, 200);

const QColor kPageColour(20, 20, 20);
const QColor kCorrectColour(0, 206, 206);
const QColor kWrongColour(255, 0, 0);
const QColor kCursorColour(179, 30, 196);
constexpr int kCursorWidth = 9;
constexpr int kCursorHeight = 3;
constexpr int kCursorDrop = 20;  // below the top of the character cell
// Bold glyphs reach a pixel into the cells beside theirs.
constexpr int kInkOverhang = 1;

// A wrong space has nothing to show, so a mark of its own is drawn in its place.
constexpr QChar kWrongSpaceMark(0x0085);

const QString kIdleTime = QStringLiteral("TIEMPO INACTIVO");
const QChar kCarriageReturn(u'\r');
// Gaps are kept in 32 bits; anything this long is a pause anyway.
constexpr qint64 kMaxGap = 24LL * 3600 * 1000;

}  // namespace

// ---- SessionDisplay defaults -------------------------------------------------------------

SessionDisplay::SessionDisplay(const QFont& font)
    : canvas_(NewPicture(kDefaultCanvasSize)), font_(font) {
    canvas_.fill(Qt::white);
}

SessionDisplay::~SessionDisplay() = default;

QSize SessionDisplay::CanvasSize() const {
    return LogicalSize(canvas_);
}

void SessionDisplay::ClearCanvas() {
    canvas_.fill(Qt::white);
}

// The painter of a repaint limited by ClipCanvas, or one of its own for a single operation.
class SessionDisplay::CanvasPainter {
  public:
    explicit CanvasPainter(SessionDisplay& display) {
        if (display.painter_) {
            painter_ = display.painter_.get();
        } else {
            own_.emplace(&display.canvas_);
            painter_ = &*own_;
        }
    }
    QPainter* operator->() { return painter_; }

  private:
    std::optional<QPainter> own_;
    QPainter* painter_ = nullptr;
};

void SessionDisplay::DrawCanvasText(int x, int y, const QString& text, const QColor& colour) {
    // The cursor moves by the whole-pixel width of a character; the font's own advance has a
    // fraction, so a line drawn in one piece would drift away from the keystrokes drawn on it.
    const int width = CharacterWidth();
    CanvasPainter painter(*this);
    painter->setFont(font_);
    painter->setPen(colour);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QChar(u' ')) continue;
        // Each character is laid out once and kept: a keystroke draws three of them.
        QStaticText& glyph = glyphs_[text[i]];
        if (glyph.text().isEmpty()) {
            glyph.setText(QString(text[i]));
            glyph.setTextFormat(Qt::PlainText);
            glyph.prepare(QTransform(), font_);
        }
        painter->drawStaticText(x + static_cast<int>(i) * width, y, glyph);
    }
}

void SessionDisplay::FillCanvasBox(const QRect& box, const QColor& colour) {
    CanvasPainter(*this)->fillRect(box, colour);
}

void SessionDisplay::DrawCanvasPicture(int x, int y, int pictureNumber) {
    const QImage& picture = Picture(pictureNumber);
    if (picture.isNull()) return;
    CanvasPainter(*this)->drawImage(x, y, picture);
}

void SessionDisplay::ClipCanvas(const QRect& area) {
    clip_ = area;
    painter_.reset();
    if (area.isEmpty()) return;
    // One painter for the whole repaint of the area.
    painter_ = std::make_unique<QPainter>(&canvas_);
    painter_->setClipRect(area);
}

int SessionDisplay::CharacterWidth() const {
    RefreshFontMetrics();
    return characterWidth_;
}

int SessionDisplay::FontAscent() const {
    RefreshFontMetrics();
    return fontAscent_;
}

int SessionDisplay::FontHeight() const {
    RefreshFontMetrics();
    return fontHeight_;
}

void SessionDisplay::RefreshFontMetrics() const {
    if (characterWidth_ > 0 && metricsFont_ == font_) return;
    const QFontMetrics metrics(font_);
    metricsFont_ = font_;
    glyphs_.clear();
    characterWidth_ = std::clamp(metrics.horizontalAdvance(QStringLiteral("X")), 1, 255);
    fontAscent_ = metrics.ascent();
    fontHeight_ = metrics.height();
}

bool SessionDisplay::AskYesNo(const QString& title, const QString& text) {
    return tz::AskYesNo(title, text, DialogIcon::Exclamation);
}

void SessionDisplay::DrainEvents() {
    tz::DrainEvents();
}

SessionCommand SessionDisplay::Interpret(const Event& event) {
    SessionCommand command;
    if (event.type == EventType::Char) {
        command.kind = SessionCommand::Type;
        command.text = event.text;
        if (command.text.isEmpty() && event.code > 0) {
            const char32_t code = static_cast<char32_t>(event.code);
            command.text = QString::fromUcs4(&code, 1);
        }
        if (command.text.isEmpty()) command.kind = SessionCommand::None;
    } else if (event.type == EventType::CloseRequest) {
        command.kind = SessionCommand::Cancel;
    }
    return command;
}

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

SessionOutcome ExerciseSession::Run(const QString& text, const QString& userName, int level,
                                    int speedTarget) {
    Begin(text, userName, level, speedTarget);
    while (!ended_) {
        Event event;
        bool typed = false;
        if (PollEvent(&event)) typed = HandleEvent(event);
        if (ended_) break;
        if (!typed) SleepMs(kIdleSleepMs);
        Poll();
    }
    return outcome_;
}

bool ExerciseSession::HandleEvent(const Event& event) {
    if (ended_) return false;
    const SessionCommand command = display_.Interpret(event);
    switch (command.kind) {
        case SessionCommand::Type: {
            // An input method may commit several characters at once: each is a keystroke.
            const QString& text = command.text;
            for (qsizetype i = 0; i < text.size() && !ended_;) {
                const qsizetype length = (text[i].isHighSurrogate() && i + 1 < text.size() &&
                                          text[i + 1].isLowSurrogate())
                                             ? 2
                                             : 1;
                Type(text.mid(i, length));
                i += length;
            }
            return true;
        }
        case SessionCommand::Cancel:
            Cancel();
            break;
        case SessionCommand::Pause:
            PressPause();
            break;
        case SessionCommand::Restart:
            PressRestart();
            break;
        case SessionCommand::HideOption:
            HideOptionChanged(command.option);
            break;
        case SessionCommand::None:
            break;
    }
    return false;
}

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
    outcome_ = kSessionCancelled;
    keystrokes_.clear();
    keystrokes_.reserve(static_cast<std::size_t>(text.size()));
    lastKeystrokeMs_ = -1;

    display_.SetTitle(userName + QStringLiteral("  |  NIVEL: ") + QString::number(level));
    display_.SetFieldText(SessionField::Correct, QStringLiteral("0"));
    display_.SetFieldText(SessionField::Speed, QStringLiteral("0"));
    display_.SetFieldText(SessionField::Target, QString::number(speedTarget));
    display_.SetFieldText(SessionField::Errors, QStringLiteral("0 (0%)"));
    display_.SetFieldText(SessionField::Time, kIdleTime);
    display_.DrainEvents();

    continued_ = false;
    remaining_ = text;
    LayOutPage();
}

void ExerciseSession::LayOutPage() {
    display_.ClearCanvas();
    remaining_.remove(QChar(u'\n'));
    morePages_ = false;
    pageText_.clear();

    // Up to seven carriage-return-separated lines; a text with fewer carriage returns gives
    // one line more than it holds (an empty text gives one empty line).
    const qsizetype returns = remaining_.count(kCarriageReturn);
    qsizetype start = 0;
    for (qsizetype k = 0; k <= returns; ++k) {
        qsizetype end = remaining_.indexOf(kCarriageReturn, start);
        if (end < 0) end = remaining_.size();
        const QString line = remaining_.mid(start, end - start);
        display_.DrawCanvasText(kTextOrigin, kTextOrigin + TextLineHeight * static_cast<int>(k),
                                line, kPageColour);
        pageText_ += line;
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
    if (morePages_) DrawMoreMark();

    SleepMs(drawPause_);
    cursorX_ = kTextOrigin;
    cursorY_ = kTextOrigin;
    characterWidth_ = display_.CharacterWidth();
    DrawCursor(true);
    display_.ShowCanvas();
    display_.DrainEvents();
    display_.ShowWindow();
    display_.DrainEvents();

    index_ = 1;
    previousDrawn_.clear();
    expected_ = pageText_.left(1);
    ShowExpectedHint();
}

QRect ExerciseSession::MoreMarkRect() const {
    const QSize size = display_.CanvasSize();
    return QRect(QPoint(size.width() - 54, size.height() - 12), LogicalSize(Picture(kMorePicture)));
}

void ExerciseSession::DrawMoreMark() {
    const QRect mark = MoreMarkRect();
    display_.DrawCanvasPicture(mark.x(), mark.y(), kMorePicture);
}

void ExerciseSession::DrawCursor(bool visible) {
    display_.FillCanvasBox(QRect(cursorX_ + 1, cursorY_ + kCursorDrop, kCursorWidth, kCursorHeight),
                           visible ? kCursorColour : QColor(Qt::white));
}

// The typed character takes the place of the page's: the cell is painted afresh (white, the
// neighbours' strokes that reach into it, then the typed character), so no stroke of the page's
// character is left under it and the neighbours stay whole.
void ExerciseSession::PaintTypedCell(const QString& drawn, const QColor& colour) {
    // The cell holds the cursor box too, which goes with the rest.
    const QRect cell(cursorX_ - kInkOverhang, cursorY_, characterWidth_ + 2 * kInkOverhang,
                     TextLineHeight);
    display_.ClipCanvas(cell);
    display_.FillCanvasBox(cell, Qt::white);
    if (!previousDrawn_.isEmpty()) {
        display_.DrawCanvasText(cursorX_ - characterWidth_, cursorY_, previousDrawn_,
                                previousColour_);
    }
    if (expected_ != QStringLiteral("\r") && index_ < PageLength() &&
        pageText_[index_] != kCarriageReturn && pageText_[index_] != QChar(u' ')) {
        display_.DrawCanvasText(cursorX_ + characterWidth_, cursorY_, pageText_.mid(index_, 1),
                                kPageColour);
    }
    display_.DrawCanvasText(cursorX_, cursorY_, drawn, colour);
    if (morePages_ && cell.intersects(MoreMarkRect())) DrawMoreMark();
    display_.ClipCanvas(QRect());
}

void ExerciseSession::ShowExpectedHint() {
    expectedHint_ = NextKeyHint(keyboard_, expected_, previousFinger_);
    display_.ShowHint(expected_, expectedHint_);
}

void ExerciseSession::ResumeClock() {
    clockStart_ = NowSeconds() - elapsed_;
}

void ExerciseSession::Type(const QString& ch) {
    if (ended_) return;
    if (ch == QStringLiteral("\x1b")) {
        Cancel();
        return;
    }
    display_.FocusCanvas();
    if (!running_) {
        running_ = true;
        ResumeClock();
        display_.DrainEvents();
        lastKeystrokeMs_ = -1;
    }
    if (index_ == 1 && !continued_) {
        clockStarted_ = true;
        clockStart_ = NowSeconds();
        lastTick_ = clockStart_;
    }

    // Judged as typed: case and accents count. There is no correction.
    QString drawn = ch;
    QColor colour = kCorrectColour;
    if (ch == expected_) {
        ++correct_;
    } else {
        colour = kWrongColour;
        ++errors_;
        if (ch == QStringLiteral(" ")) drawn = QString(kWrongSpaceMark);
    }
    const qint64 now = NowMilliseconds();
    const qint64 gap =
        lastKeystrokeMs_ < 0 ? -1 : std::min<qint64>(now - lastKeystrokeMs_, kMaxGap);
    keystrokes_.push_back({expected_, ch, expectedHint_.finger, static_cast<qint32>(gap)});
    lastKeystrokeMs_ = now;
    PaintTypedCell(drawn, colour);

    // The cursor moves on whatever was typed; at a line end any key goes to the next line.
    if (expected_ == QStringLiteral("\r")) {
        cursorX_ = kTextOrigin;
        cursorY_ += TextLineHeight;
        previousDrawn_.clear();
    } else {
        cursorX_ += characterWidth_;
        previousDrawn_ = drawn;
        previousColour_ = colour;
    }
    ++index_;
    DrawCursor(true);
    display_.ShowCanvas();
    SleepMs(drawPause_);

    if (index_ > PageLength()) {
        if (morePages_) {
            continued_ = true;
            LayOutPage();
        } else {
            elapsed_ = NowSeconds() - clockStart_;
            ComputeFigures();
            End(kSessionFinished);
        }
        return;
    }
    expected_ = pageText_.mid(index_ - 1, 1);
    ShowExpectedHint();
}

void ExerciseSession::Cancel() {
    if (!ended_) End(kSessionCancelled);
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
        display_.DrainEvents();
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
        End(kSessionRestart);
        return;
    }
    running_ = true;
    ResumeClock();
    display_.DrainEvents();
    lastKeystrokeMs_ = -1;
}

void ExerciseSession::HideOptionChanged(int option) {
    if (ended_) return;
    display_.ReapplyOptions(option);
    // The same hint again: looking it up anew would move a space to the other thumb.
    display_.ShowHint(expected_, expectedHint_);
}

void ExerciseSession::Poll() {
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
    if (!ended_ || outcome_ != kSessionFinished) return std::nullopt;
    ExerciseResult result;
    result.correct = correct_;
    result.errors = errors_;
    result.errorPercentage = errorPercentage_;
    result.speed = speed_;
    result.elapsed = elapsed_;
    return result;
}

}  // namespace tz
