#pragma once
// One attempt at an exercise: the text laid out in pages of up to seven lines, every keystroke
// judged against the character due, the counts, the clock and the figures. The session reaches
// the exercise window only through SessionDisplay and reads time from the clock in force, so a
// test can feed characters and clock values and read the counts and the drawing calls.

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QSize>
#include <QStaticText>
#include <QString>
#include <QtGlobal>
#include <memory>
#include <optional>

#include "exercise/keyboard_tables.h"
#include "exercise/keystroke_figures.h"
#include "platform/events.h"

namespace tz {

// Pixels from one line of the page to the next.
inline constexpr int TextLineHeight = 28;

// How a session ended.
enum SessionOutcome {
    kSessionCancelled = 0,
    kSessionFinished = 1,
    kSessionRestart = 9,
};

// Read by the exercise run when the outcome is kSessionFinished.
struct ExerciseResult {
    int correct = 0;
    int errors = 0;
    double errorPercentage = 0;  // of the last page's length
    qint16 speed = 0;            // correct keystrokes per minute
    qint64 elapsed = 0;          // seconds
};

// The figure displays of the exercise window.
enum class SessionField { Correct, Speed, Target, Errors, Time };

// What an event of the exercise window means to the session.
struct SessionCommand {
    enum Kind {
        None,        // not for the session
        Type,        // characters typed (Escape, character 27, cancels)
        Cancel,      // the cancel button or a close request
        Pause,       // the pause button
        Restart,     // the restart button
        HideOption,  // one of the hide check boxes changed
    };
    Kind kind = None;
    QString text;    // Type: the characters
    int option = 0;  // HideOption: the id of the check box that changed
};

// The exercise window as the session sees it. The canvas operations draw on ExerciseCanvas
// with ExerciseFont unless a test overrides them to record the calls.
class SessionDisplay {
  public:
    // Draws with `font` on a white picture of the page's size (770 x 200).
    explicit SessionDisplay(const QFont& font = QFont());
    virtual ~SessionDisplay();
    SessionDisplay(const SessionDisplay&) = delete;
    SessionDisplay& operator=(const SessionDisplay&) = delete;

    virtual void SetTitle(const QString& title) = 0;
    virtual void SetFieldText(SessionField field, const QString& text) = 0;

    // The text picture. Text is drawn with a transparent background, (x, y) its top left, one
    // character a cell of CharacterWidth() pixels, so the cells the cursor steps through hold
    // the characters drawn for them.
    virtual QSize CanvasSize() const;
    virtual void ClearCanvas();  // all white
    virtual void DrawCanvasText(int x, int y, const QString& text, const QColor& colour);
    virtual void FillCanvasBox(const QRect& box, const QColor& colour);
    virtual void DrawCanvasPicture(int x, int y, int pictureNumber);
    // Limits the drawing operations above to `area`; an empty rectangle lifts the limit.
    virtual void ClipCanvas(const QRect& area);
    // Width of "X" in the exercise font (the font is monospaced).
    virtual int CharacterWidth() const;
    // Puts the current canvas on screen.
    virtual void ShowCanvas() = 0;
    // The page as drawn so far, and the exercise font it is drawn in.
    const QImage& Canvas() const { return canvas_; }
    const QFont& Font() const { return font_; }

    virtual void FocusCanvas() = 0;
    // Makes sure the exercise window is visible.
    virtual void ShowWindow() = 0;
    // Places the markers for the character due next.
    virtual void ShowHint(const QString& ch, const KeyHint& hint) = 0;
    // Reads the changed hide box into its option and applies the options again.
    virtual void ReapplyOptions(int changedOption) = 0;
    // A Yes/No question with the exclamation icon; true for Yes.
    virtual bool AskYesNo(const QString& title, const QString& text);
    // Drops the pending window events. The default drains the program's event queue.
    virtual void DrainEvents();
    // What an event means to the session. The default takes every typed character and close
    // request; the exercise window adds its buttons and check boxes (and may ignore the events
    // of other windows).
    virtual SessionCommand Interpret(const Event& event);

  protected:
    // Height of a line of the exercise font.
    int FontHeight() const;
    QRect clip_;

  private:
    class CanvasPainter;
    QImage canvas_;
    QFont font_;
    int FontAscent() const;
    void RefreshFontMetrics() const;

    std::unique_ptr<QPainter> painter_;  // while a clip is set
    mutable QFont metricsFont_;
    mutable int characterWidth_ = 0;
    mutable int fontAscent_ = 0;
    mutable int fontHeight_ = 0;
    mutable QHash<QChar, QStaticText> glyphs_;  // laid out in the exercise font
};

class ExerciseSession {
  public:
    // `previousFinger` is the finger of the hint looked up last, kept across attempts;
    // `keyboard` the tables of the PC's keyboard, which the hints follow.
    ExerciseSession(SessionDisplay& display, int& previousFinger,
                    const KeyboardTables& keyboard = KeyboardTablesFor(kSpanishLayout));

    // Pause after each drawn keystroke and after laying out a page (1 ms); the benchmark sets
    // 0 to measure only the work.
    void SetDrawPause(int milliseconds) { drawPause_ = milliseconds; }

    // The whole attempt: Begin, then the loop over the window's events until the session ends.
    SessionOutcome Run(const QString& text, const QString& userName, int level, int speedTarget);

    // The steps the loop is made of; tests drive them directly.
    void Begin(const QString& text, const QString& userName, int level, int speedTarget);
    void Type(const QString& ch);  // one character as the keyboard produced it
    void Cancel();
    void PressPause();
    void PressRestart();
    void HideOptionChanged(int option);
    void Poll();  // every turn of the loop; refreshes the displays once a second
    // Handles one event of the window; true when it typed characters.
    bool HandleEvent(const Event& event);

    bool Ended() const { return ended_; }
    SessionOutcome Outcome() const { return outcome_; }
    // The counts, speed and time of a finished session; nothing for a cancelled or restarted one.
    std::optional<ExerciseResult> Result() const;

    // State, for the tests.
    int Correct() const { return correct_; }
    int Errors() const { return errors_; }
    double ErrorPercentage() const { return errorPercentage_; }
    qint16 Speed() const { return speed_; }
    qint64 Elapsed() const { return elapsed_; }
    bool Running() const { return running_; }
    bool ClockStarted() const { return clockStarted_; }
    const QString& PageText() const { return pageText_; }
    const QString& RemainingText() const { return remaining_; }
    int PageLength() const { return static_cast<int>(pageText_.size()); }
    bool MorePages() const { return morePages_; }
    bool Continued() const { return continued_; }
    int Index() const { return index_; }  // 1-based position of the character due
    const QString& Expected() const { return expected_; }
    // Every keystroke of the attempt so far, for the pupil's figures.
    const KeystrokeLog& Keystrokes() const { return keystrokes_; }
    QPoint Cursor() const { return QPoint(cursorX_, cursorY_); }

  private:
    void LayOutPage();
    void DrawCursor(bool visible);
    void PaintTypedCell(const QString& drawn, const QColor& colour);
    void DrawMoreMark();
    QRect MoreMarkRect() const;
    void ResumeClock();
    void ComputeFigures();
    void RefreshDisplays();
    void ShowExpectedHint();
    void End(SessionOutcome outcome);

    SessionDisplay& display_;
    const KeyboardTables& keyboard_;
    int& previousFinger_;
    int drawPause_ = 1;

    QString remaining_;
    QString pageText_;
    bool morePages_ = false;
    bool continued_ = false;
    int index_ = 1;
    QString expected_;
    KeyHint expectedHint_;
    int cursorX_ = 5;
    int cursorY_ = 5;
    int characterWidth_ = 0;
    // What the cell left of the cursor shows, when the pupil typed it on this line.
    QString previousDrawn_;
    QColor previousColour_;

    int correct_ = 0;
    int errors_ = 0;
    double errorPercentage_ = 0;
    qint16 speed_ = 0;

    // Whole seconds of the steady clock. The clock starts with the first keystroke of the
    // attempt; until then the displays stay idle.
    bool clockStarted_ = false;
    qint64 clockStart_ = 0;
    qint64 elapsed_ = 0;
    qint64 lastTick_ = 0;
    bool running_ = true;

    bool ended_ = false;
    SessionOutcome outcome_ = kSessionCancelled;

    KeystrokeLog keystrokes_;
    // Steady-clock milliseconds of the last keystroke; -1 when the next one has no gap that
    // counts (the first of the attempt, the first after a pause).
    qint64 lastKeystrokeMs_ = -1;
};

// Texts of the displays.
QString FormatErrors(int errors, double percentage);  // "3 (4.55%)"
QString FormatElapsed(qint64 seconds);                // "00:02:05"
// Correct keystrokes per minute, truncated; 0 when no time has passed.
qint16 ComputeSpeed(int correct, qint64 elapsedSeconds);

}  // namespace tz
