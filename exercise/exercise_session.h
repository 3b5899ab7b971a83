#pragma once
// One attempt at an exercise: the text cut into pages of up to seven lines, every keystroke
// judged against the character due, the counts, the clock and the figures. Characters, the
// window's commands and the clock go in; what the pupil is to see comes out through
// SessionDisplay, which knows nothing of pixels. The session reads time from the clock in
// force, so a test can feed characters and clock values and read what it shows.

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>

#include "exercise/keyboard_tables.h"
#include "exercise/keystroke_figures.h"

namespace tz {

// How a session ended.
enum class SessionOutcome { Cancelled, Finished, Restart };

// Read by the exercise run when the outcome is Finished.
struct ExerciseResult {
    int correct = 0;
    int errors = 0;
    double errorPercentage = 0;  // of the last page's length
    qint16 speed = 0;            // correct keystrokes per minute
    qint64 elapsed = 0;          // seconds
};

// The figure displays of the exercise window.
enum class SessionField { Correct, Speed, Target, Errors, Time };

// A character cell of the page: its line (0 to 6) and its column, both from 0.
struct TextPlace {
    int line = 0;
    int column = 0;
    bool operator==(const TextPlace&) const = default;
};

// One keystroke as the session judged it.
struct JudgedKeystroke {
    TextPlace cell;  // of the character that was due
    QString typed;   // what the pupil typed, shown in the cell
    bool correct = false;
    TextPlace next;  // where the cursor goes: the next cell, or the next line after a line end
};

// What the session shows, the exercise window as the session sees it. Each call tells what
// happened; laying it out is the window's business. Shows nothing unless overridden.
class SessionDisplay {
  public:
    virtual ~SessionDisplay() = default;

    virtual void SetTitle(const QString&) {}
    virtual void SetFieldText(SessionField, const QString&) {}
    // A new page: its lines, and whether more text follows it. The cursor stands on the first
    // cell.
    virtual void ShowPage(const QStringList&, bool) {}
    // A keystroke in its cell, and the cursor in its next place.
    virtual void ShowKeystroke(const JudgedKeystroke&) {}
    // Where the character due is struck.
    virtual void ShowHint(const QString&, const KeyHint&) {}
    virtual void FocusTyping() {}
    // A Yes/No question with the exclamation icon; true for Yes.
    virtual bool AskYesNo(const QString&, const QString&) { return false; }
};

class ExerciseSession {
  public:
    // `previousFinger` is the finger of the hint looked up last, kept across attempts;
    // `keyboard` the tables of the PC's keyboard, which the hints follow.
    ExerciseSession(SessionDisplay& display, int& previousFinger,
                    const KeyboardTables& keyboard = KeyboardTablesFor(kSpanishLayout));

    void Begin(const QString& text, const QString& userName, int level, int speedTarget);
    // What the keyboard produced: one character, or the several an input method commits at
    // once, each a keystroke. Escape (character 27) cancels.
    void Type(const QString& typed);
    void Cancel();
    void PressPause();
    void PressRestart();
    // The clock: refreshes the displays when the second shown has changed.
    void Tick();
    // The steady millisecond at which the second shown changes next; nothing while the clock
    // stands (before the first keystroke, paused, ended), when only an event can change what
    // is shown.
    std::optional<qint64> NextTick() const;

    bool Ended() const { return ended_; }
    SessionOutcome Outcome() const { return outcome_; }
    // The counts, speed and time of a finished session; nothing for a cancelled or restarted one.
    std::optional<ExerciseResult> Result() const;

    // State, for the tests.
    int Correct() const { return correct_; }
    int Errors() const { return errors_; }
    bool Running() const { return running_; }
    bool ClockStarted() const { return clockStarted_; }
    const QString& PageText() const { return pageText_; }
    bool MorePages() const { return morePages_; }
    int Index() const { return index_; }  // 1-based position of the character due
    const QString& Expected() const { return expected_; }
    TextPlace Place() const { return place_; }  // of the character due
    // Every keystroke of the attempt so far, for the pupil's figures.
    const KeystrokeLog& Keystrokes() const { return keystrokes_; }

  private:
    void TypeOne(const QString& ch);
    void NextPage();
    int PageLength() const { return static_cast<int>(pageText_.size()); }
    void ShowExpectedHint();
    void ResumeClock();
    void ComputeFigures();
    void RefreshDisplays();
    void End(SessionOutcome outcome);

    SessionDisplay& display_;
    const KeyboardTables& keyboard_;
    int& previousFinger_;

    QString remaining_;
    QString pageText_;  // the page's lines joined by carriage returns
    bool morePages_ = false;
    bool continued_ = false;  // not the first page of the attempt
    int index_ = 1;
    QString expected_;
    int expectedFinger_ = kNoFinger;
    TextPlace place_;

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
    SessionOutcome outcome_ = SessionOutcome::Cancelled;

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
