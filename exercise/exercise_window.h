#pragma once
// The window the pupil types in: the page of text, the header strip, the on-screen keyboard
// with its markers, the hands with the finger dots, the live figures, the cancel, pause and
// restart buttons and the three hide options. The exercise run opens it once per run; every
// attempt's session shows itself in it through SessionDisplay.

#include <QDialog>
#include <QRect>
#include <QString>
#include <functional>
#include <memory>

#include "exercise/exercise_page.h"
#include "exercise/exercise_session.h"

class QCheckBox;
class QLabel;
class QTimer;

namespace tz {

class TextPicture;

// Control ids, in creation order.
enum ExerciseControl {
    kExTextPicture = 1,
    kExNoKeyboardPicture = 2,
    kExKeyboardPicture = 3,
    kExHandsPicture = 4,
    kExCorrectDisplay = 5,
    kExSpeedDisplay = 6,
    kExErrorsDisplay = 7,
    kExTimeDisplay = 8,
    kExFingerDot = 9,
    kExSecondFingerDot = 10,
    kExKeyLabel = 11,
    kExCancelButton = 12,
    kExPauseButton = 13,
    kExRestartButton = 14,
    kExOptionsFrame = 15,
    kExKeyMarker = 16,
    kExModifierMarker = 17,
    kExHideKeyBox = 18,
    kExHideKeyboardBox = 19,
    kExHideFingersBox = 20,
    kExHeaderPicture = 21,
    kExTargetDisplay = 22,
    // The left Shift of the diaeresis (ü, Ü) and the finger that holds it.
    kExShiftMarker = 23,
    kExShiftDot = 24,
};

inline const QString kExerciseWindowTitle = QStringLiteral("VELT-TIPENZO");
inline constexpr int kExerciseWindowWidth = 800;
inline constexpr int kExerciseWindowHeight = 550;

// Places on the window that its background picture is drawn around.
inline constexpr QRect kTextPictureRect(15, 38, 770, 200);
inline constexpr QRect kKeyboardRect(15, 245, 599, 202);
inline constexpr QRect kHandsRect(245, 450, 147, 92);
inline constexpr QRect kCorrectDisplayRect(635, 272, 140, 15);
inline constexpr QRect kSpeedDisplayRect(630, 320, 50, 15);
inline constexpr QRect kErrorsDisplayRect(635, 368, 141, 18);
inline constexpr QRect kTimeDisplayRect(635, 420, 140, 15);
inline constexpr QRect kTargetDisplayRect(710, 321, 65, 15);
inline constexpr QRect kHeaderRect(10, 5, 740, 23);
inline constexpr QRect kCancelButtonRect(772, 5, 21, 21);
inline constexpr QRect kPauseButtonRect(625, 465, 40, 40);
inline constexpr QRect kRestartButtonRect(745, 465, 40, 40);
inline constexpr QRect kOptionsFrameRect(405, 450, 385, 90);

// The hide options: false at start-up, kept for the whole run of the program, never saved.
struct HideOptions {
    bool HideKey = false;
    bool HideKeyboard = false;
    bool HideFingers = false;
    bool operator==(const HideOptions&) const = default;
};

// Shown modal with exec() for as long as an attempt runs; the exercise run begins each attempt
// in it and hears from SessionEnded how it ended. Keystrokes come from the typing target's own
// key and input-method events, in the order typed, and go straight to the session; the clock
// is a timer that runs only while the session's clock runs.
class ExerciseWindow : public QDialog, public SessionDisplay {
    Q_OBJECT
  public:
    // Hidden, centred, every control in place. The page is drawn in `font`; `options` are the
    // hide options in force, which the check boxes change; `headerCanvas` is the picture
    // number of the header strip's work copy; `previousFinger` and `keyboard` are the
    // sessions' (the finger of the hint looked up last, the PC's keyboard).
    ExerciseWindow(const QFont& font, HideOptions& options, int& headerCanvas, int& previousFinger,
                   const KeyboardTables& keyboard);
    ~ExerciseWindow() override;

    const ExercisePage& Page() const { return page_; }

    // The check boxes from the options, and what they hide.
    void ApplyOptions();
    // The header strip on a fresh HeaderCanvas: the pupil's name, level and block for a course
    // exercise, otherwise the words of an exercise chosen by hand.
    void DrawHeader(bool course, const QString& name, int level, int block);
    // Before a run and at each new level: no dots, no key label, no markers, and the hands
    // take no clicks.
    void HideHelp();

    // A new attempt at `text`, its first page shown, waiting for the first keystroke.
    void Begin(const QString& text, const QString& userName, int level, int speedTarget);
    // The attempt begun last; null before the first.
    const ExerciseSession* Session() const { return session_.get(); }

    // SessionDisplay.
    void SetTitle(const QString& title) override;
    void SetFieldText(SessionField field, const QString& text) override;
    void ShowPage(const QStringList& lines, bool morePages) override;
    void ShowKeystroke(const JudgedKeystroke& keystroke) override;
    void ShowHint(const QString& ch, const KeyHint& hint) override;
    void FocusTyping() override;
    bool AskYesNo(const QString& title, const QString& text) override;

  signals:
    // The attempt ended: finished, cancelled or to be restarted (Session() tells which).
    void SessionEnded();

  public slots:
    // The clock's next second: the figures shown move on.
    void Tick();

  protected:
    // Keys held down as the window shows went down in another window.
    void showEvent(QShowEvent* event) override;
    // Keys that reach the window itself go to the typing target: Escape cancels the attempt
    // there instead of closing the window.
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    // A close request cancels the attempt.
    void closeEvent(QCloseEvent* event) override;

  private:
    void Build();
    void OptionChanged();
    // Hands the session what the pupil did, then follows what became of it.
    void ToSession(const std::function<void(ExerciseSession&)>& act);
    // The timer set for the session's next second, or stopped while its clock stands.
    void FollowClock();

    HideOptions& options_;
    int& headerCanvas_;
    int& previousFinger_;
    const KeyboardTables& keyboard_;
    ExercisePage page_;
    std::unique_ptr<ExerciseSession> session_;
    QTimer* clock_ = nullptr;
    qint64 clockDue_ = 0;  // the steady millisecond the timer was set for
    QString hintCharacter_;
    KeyHint hint_;
    TextPicture* textPicture_ = nullptr;
    QLabel* noKeyboard_ = nullptr;
    QLabel* keyboardPicture_ = nullptr;
    QLabel* hands_ = nullptr;
    QLabel* correct_ = nullptr;
    QLabel* speed_ = nullptr;
    QLabel* errors_ = nullptr;
    QLabel* time_ = nullptr;
    QLabel* fingerDot_ = nullptr;
    QLabel* secondDot_ = nullptr;
    QLabel* keyLabel_ = nullptr;
    QWidget* keyMarker_ = nullptr;
    QWidget* modifierMarker_ = nullptr;
    QWidget* shiftMarker_ = nullptr;
    QLabel* shiftDot_ = nullptr;
    QCheckBox* hideKeyBox_ = nullptr;
    QCheckBox* hideKeyboardBox_ = nullptr;
    QCheckBox* hideFingersBox_ = nullptr;
    QLabel* header_ = nullptr;
    QLabel* target_ = nullptr;
};

}  // namespace tz
