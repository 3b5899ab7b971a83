#include "exercise/exercise_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QHash>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QSet>
#include <QTimer>
#include <algorithm>
#include <limits>

#include "exercise/exercise_look.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/fonts.h"
#include "platform/pictures.h"
#include "platform/windows.h"

namespace tz {

namespace {

const QColor kBlueInk(0, 0, 255);
const QColor kRedInk(255, 0, 0);
const QColor kGreenInk(0, 128, 0);
const QColor kKeyLabelFace(108, 70, 28);
const QColor kKeyLabelInk(255, 255, 217);
const QColor kHeaderLight(255, 237, 193);

}  // namespace

// The typing target. Every character the keyboard gives it is a keystroke, in the order typed:
// key events' text (Escape, Enter, Tab and Backspace as their characters, control characters
// included) and the input method's composed characters (an accent and its vowel as one "á").
// A key's auto-repeat counts only when the key went down here: the key that opened the window
// may still be held when the window shows. It paints straight from the page: a keystroke
// repaints its cell and the cursor, not the whole page. Before the first page it shows the picture
// it was made with.
class TextPicture : public QLabel {
    Q_OBJECT
  public:
    TextPicture(QWidget* parent, const QImage& canvas) : QLabel(parent), canvas_(canvas) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_InputMethodEnabled);
        setFocusPolicy(Qt::StrongFocus);
    }
    void ShowCanvas(const QRect& changed) {
        if (!showingCanvas_) {
            showingCanvas_ = true;
            update();
        } else if (!changed.isEmpty()) {
            update(changed);
        }
    }
    // Keys held when the window shows went down elsewhere.
    void ForgetKeysDown() {
        down_.clear();
        releasedAt_.clear();
    }

  signals:
    void Typed(const QString& characters);

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        event->accept();
        // X may tell a repeat only as the key going up and down again at the same moment.
        const int key = event->key();
        const auto released = releasedAt_.constFind(key);
        const bool repeat = event->isAutoRepeat() ||
                            (released != releasedAt_.cend() && *released == event->timestamp());
        if (repeat && !down_.contains(key)) return;
        down_.insert(key);
        QString text = event->text();
        switch (event->key()) {
            case Qt::Key_Escape:
                text = QStringLiteral("\x1b");
                break;
            case Qt::Key_Return:
            case Qt::Key_Enter:
                text = QStringLiteral("\r");
                break;
            case Qt::Key_Tab:
                text = QStringLiteral("\t");
                break;
            case Qt::Key_Backspace:
                text = QStringLiteral("\b");
                break;
            default:
                break;
        }
        // Shift, Control, an arrow: no character, no keystroke.
        if (!text.isEmpty()) emit Typed(text);
    }
    void keyReleaseEvent(QKeyEvent* event) override {
        releasedAt_[event->key()] = event->timestamp();
        event->accept();
    }
    void inputMethodEvent(QInputMethodEvent* event) override {
        if (!event->commitString().isEmpty()) emit Typed(event->commitString());
        event->accept();
    }
    // Tab is a keystroke of the exercise, not a move to another control.
    bool focusNextPrevChild(bool) override { return false; }
    void paintEvent(QPaintEvent* event) override {
        if (!showingCanvas_ || canvas_.isNull()) {
            QPainter(this).fillRect(event->rect(), Qt::white);
            QLabel::paintEvent(event);
            return;
        }
        QPainter painter(this);
        const QRect area = event->rect();
        // The page is painted at the screen's pixel ratio: its part under `area` in its own
        // pixels.
        const qreal scale = canvas_.devicePixelRatio();
        painter.drawImage(QRectF(area), canvas_,
                          QRectF(area.x() * scale, area.y() * scale, area.width() * scale,
                                 area.height() * scale));
    }

  private:
    const QImage& canvas_;
    bool showingCanvas_ = false;
    QSet<int> down_;                  // keys that went down here since the window showed
    QHash<int, quint64> releasedAt_;  // when each key last went up
};

namespace {

// What a figure display shows, for a screen reader: its words and then its figure.
QString SpokenField(SessionField field) {
    switch (field) {
        case SessionField::Correct:
            return QStringLiteral("Pulsaciones correctas");
        case SessionField::Speed:
            return QStringLiteral("Pulsaciones por minuto");
        case SessionField::Target:
            return QStringLiteral("Pulsaciones por minuto a conseguir");
        case SessionField::Errors:
            return QStringLiteral("Errores");
        case SessionField::Time:
            break;
    }
    return QStringLiteral("Tiempo");
}

QLabel* AddDisplay(QWidget* window, int id, SessionField field, const QString& text,
                   const QRect& geometry, const QColor& ink) {
    QLabel* label = MakeLabel(window, id, text, geometry);
    label->setAccessibleName(SpokenField(field) + QStringLiteral(": ") + text);
    label->setFont(MakeFont(QStringLiteral("Arial"), 10, true));
    label->setAlignment(Qt::AlignCenter);
    SetBackground(label, look::kDisplayFace);
    SetTextColour(label, ink);
    return label;
}

QWidget* AddMarker(QWidget* window, int id, const QRect& geometry, const QColor& colour,
                   const QString& spoken) {
    auto* marker = new QFrame(window);
    marker->setGeometry(geometry);
    SetControlId(marker, id);
    SetBackground(marker, colour);
    marker->setAccessibleName(spoken);
    // A marker never takes a click meant for the keyboard under it.
    marker->setAttribute(Qt::WA_TransparentForMouseEvents);
    return marker;
}

// A picture that takes no clicks.
QLabel* AddDot(QWidget* window, int id, PictureName picture, const QRect& geometry,
               const QString& spoken) {
    QLabel* dot = MakePicture(window, id, picture, geometry, spoken);
    dot->setAttribute(Qt::WA_TransparentForMouseEvents);
    return dot;
}

QCheckBox* AddHideBox(QWidget* window, int id, const QString& text, int y) {
    auto* box = new QCheckBox(text, window);
    box->setGeometry(415, y, 140, 15);
    SetControlId(box, id);
    box->setFont(MakeFont(QStringLiteral("Arial"), 8, false));
    SetBackground(box, look::kDisplayFace);
    SetTextColour(box, look::kInk);
    // The typing target keeps the focus: a click on a box must not take the next keystroke.
    box->setFocusPolicy(Qt::NoFocus);
    box->setCursor(Qt::PointingHandCursor);
    return box;
}

}  // namespace

ExerciseWindow::ExerciseWindow(const QFont& font, HideOptions& options, int& headerCanvas,
                               int& previousFinger, const KeyboardTables& keyboard)
    : options_(options),
      headerCanvas_(headerCanvas),
      previousFinger_(previousFinger),
      keyboard_(keyboard),
      page_(font) {
    Build();
}

ExerciseWindow::~ExerciseWindow() = default;

void ExerciseWindow::Build() {
    // No owner: the menu is hidden meanwhile, and the window stands for the program in the
    // task bar.
    SetUpScreen(this, kExerciseWindowTitle, kExerciseWindowWidth, kExerciseWindowHeight, true);
    SetTiledBackground(this, PictureName::ExerciseBackground);

    textPicture_ = new TextPicture(this, page_.Canvas());
    textPicture_->setGeometry(kTextPictureRect);
    textPicture_->setPixmap(QPixmap::fromImage(Picture(PictureName::TextPicture)));
    textPicture_->setAlignment(Qt::AlignCenter);
    textPicture_->setAccessibleName(QStringLiteral("Texto del ejercicio"));
    SetControlId(textPicture_, kExTextPicture);
    connect(textPicture_, &TextPicture::Typed, this, [this](const QString& typed) {
        ToSession([&](ExerciseSession& s) { s.Type(typed); });
    });

    noKeyboard_ = MakePicture(this, kExNoKeyboardPicture, PictureName::NoKeyboard, kKeyboardRect,
                              QStringLiteral("Teclado oculto"));
    keyboardPicture_ = MakePicture(this, kExKeyboardPicture, PictureName::Keyboard, kKeyboardRect,
                                   QStringLiteral("Teclado"));
    hands_ = AddDot(this, kExHandsPicture, PictureName::Hands, kHandsRect,
                    QStringLiteral("Manos sobre el teclado"));

    correct_ = AddDisplay(this, kExCorrectDisplay, SessionField::Correct, QStringLiteral("0"),
                          kCorrectDisplayRect, kBlueInk);
    speed_ = AddDisplay(this, kExSpeedDisplay, SessionField::Speed, QString(), kSpeedDisplayRect,
                        kBlueInk);
    errors_ = AddDisplay(this, kExErrorsDisplay, SessionField::Errors, QStringLiteral("0 (0%)"),
                         kErrorsDisplayRect, kRedInk);
    time_ = AddDisplay(this, kExTimeDisplay, SessionField::Time, QStringLiteral("00:00:00"),
                       kTimeDisplayRect, kGreenInk);

    fingerDot_ = AddDot(this, kExFingerDot, PictureName::FingerDot, QRect(230, 455, 6, 6),
                        QStringLiteral("Dedo que pulsa la tecla"));
    secondDot_ = AddDot(this, kExSecondFingerDot, PictureName::SecondFingerDot,
                        QRect(230, 470, 6, 6), QStringLiteral("Dedo de la segunda tecla"));

    keyLabel_ = MakeLabel(this, kExKeyLabel, QStringLiteral("É"), QRect(311, 463, 17, 22));
    keyLabel_->setFont(MakeFont(QStringLiteral("Arial"), 16, true));
    keyLabel_->setAlignment(Qt::AlignCenter);
    SetBackground(keyLabel_, kKeyLabelFace);
    SetTextColour(keyLabel_, kKeyLabelInk);

    const struct {
        int id;
        PictureName picture;
        QRect geometry;
        const char* tip;
        void (ExerciseSession::*press)();
    } buttons[] = {
        {kExCancelButton, PictureName::CancelExercise, kCancelButtonRect,
         "Cancela el ejercicio actual", &ExerciseSession::Cancel},
        {kExPauseButton, PictureName::Pause, kPauseButtonRect, "Pausa el Tiempo",
         &ExerciseSession::PressPause},
        {kExRestartButton, PictureName::Restart, kRestartButtonRect, "Reinicia el ejercicio",
         &ExerciseSession::PressRestart},
    };
    for (const auto& button : buttons) {
        QAbstractButton* control = MakePictureButton(
            this, button.id, button.picture, button.geometry, QString::fromUtf8(button.tip));
        control->setFocusPolicy(Qt::NoFocus);
        connect(control, &QAbstractButton::clicked, this, [this, press = button.press] {
            ToSession([press](ExerciseSession& session) { (session.*press)(); });
        });
    }

    // The frame's look is part of the background; it must not cover the buttons inside it.
    auto* frame = new QFrame(this);
    frame->setGeometry(kOptionsFrameRect);
    frame->setFrameStyle(QFrame::NoFrame);
    frame->setAttribute(Qt::WA_TransparentForMouseEvents);
    frame->setAccessibleName(QStringLiteral("Opciones de ayuda"));
    SetControlId(frame, kExOptionsFrame);

    keyMarker_ = AddMarker(this, kExKeyMarker, QRect(20, 460, 10, 10), QColor(255, 0, 0),
                           QStringLiteral("Tecla a pulsar"));
    modifierMarker_ = AddMarker(this, kExModifierMarker, QRect(20, 480, 30, 10), QColor(0, 255, 0),
                                QStringLiteral("Segunda tecla a pulsar"));
    // The left Shift held with the accent key for the diaeresis; hidden until ü is due.
    shiftMarker_ = AddMarker(this, kExShiftMarker, QRect(20, 480, 30, 10), QColor(0, 255, 0),
                             QStringLiteral("Mayúsculas izquierda"));
    shiftMarker_->hide();
    shiftDot_ = AddDot(this, kExShiftDot, PictureName::SecondFingerDot, QRect(230, 470, 6, 6),
                       QStringLiteral("Dedo de la tecla Mayúsculas"));
    shiftDot_->hide();

    hideKeyBox_ = AddHideBox(this, kExHideKeyBox, QStringLiteral("Ocultar Tecla a Pulsar"), 465);
    hideKeyboardBox_ = AddHideBox(this, kExHideKeyboardBox, QStringLiteral("Ocultar Teclado"), 490);
    hideFingersBox_ =
        AddHideBox(this, kExHideFingersBox, QStringLiteral("Ocultar Dedos utilizados"), 515);
    for (QCheckBox* box : {hideKeyBox_, hideKeyboardBox_, hideFingersBox_}) {
        connect(box, &QAbstractButton::clicked, this, &ExerciseWindow::OptionChanged);
    }

    header_ = AddPicture(this, kExHeaderPicture,
                         headerCanvas_ > 0 ? headerCanvas_ : PictureNumber(PictureName::Header),
                         kHeaderRect);
    header_->setAccessibleName(QStringLiteral("Ejercicio"));
    target_ = AddDisplay(this, kExTargetDisplay, SessionField::Target, QStringLiteral("0"),
                         kTargetDisplayRect, kBlueInk);

    clock_ = new QTimer(this);
    clock_->setObjectName(QStringLiteral("reloj"));
    clock_->setSingleShot(true);
    clock_->setTimerType(Qt::PreciseTimer);
    connect(clock_, &QTimer::timeout, this, &ExerciseWindow::Tick);
    textPicture_->setFocus();
}

void ExerciseWindow::ApplyOptions() {
    hideKeyBox_->setChecked(options_.HideKey);
    hideKeyboardBox_->setChecked(options_.HideKeyboard);
    hideFingersBox_->setChecked(options_.HideFingers);
    if (options_.HideKeyboard) {
        keyMarker_->hide();
        modifierMarker_->hide();
        shiftMarker_->hide();
        keyboardPicture_->hide();
        noKeyboard_->show();
    } else {
        noKeyboard_->hide();
        keyboardPicture_->show();
    }
    if (options_.HideKey) {
        keyMarker_->hide();
        modifierMarker_->hide();
        shiftMarker_->hide();
    }
    if (options_.HideFingers) {
        fingerDot_->hide();
        secondDot_->hide();
        shiftDot_->hide();
        keyLabel_->hide();
    }
}

void ExerciseWindow::ShowHint(const QString& ch, const KeyHint& hint) {
    // Kept for a change of the hide options: looking it up anew would move a space to the
    // other thumb.
    hintCharacter_ = ch;
    hint_ = hint;
    // A carriage return would break the label's line: the Enter key shows its arrow.
    keyLabel_->setText(ch == QStringLiteral("\r") ? QStringLiteral("↵") : ch);
    keyLabel_->setAccessibleName(QStringLiteral("Tecla a pulsar: ") +
                                 (ch == QStringLiteral(" ")    ? QStringLiteral("espacio")
                                  : ch == QStringLiteral("\r") ? QStringLiteral("Intro")
                                                               : ch));
    keyLabel_->setVisible(!options_.HideFingers);
    const bool fingerShown = !options_.HideFingers && hint.fingerDot.has_value();
    fingerDot_->setVisible(fingerShown);
    secondDot_->setVisible(fingerShown && hint.shiftSide != kNoShift);
    shiftDot_->setVisible(fingerShown && hint.shiftDot.has_value());

    const QPoint hands = kHandsRect.topLeft();
    if (hint.fingerDot) fingerDot_->move(hands + *hint.fingerDot);
    if (hint.secondDot) secondDot_->move(hands + *hint.secondDot);
    if (hint.shiftDot) shiftDot_->move(hands + *hint.shiftDot);

    const QPoint keyboard = kKeyboardRect.topLeft();
    const bool markers = !options_.HideKeyboard && !options_.HideKey;
    if (!hint.keyPos || !markers) {
        keyMarker_->hide();
        modifierMarker_->hide();
    } else {
        keyMarker_->move(keyboard + *hint.keyPos);
        keyMarker_->show();
    }
    if (!hint.modifierBox || !markers) {
        modifierMarker_->hide();
    } else {
        const ModifierBox& box = *hint.modifierBox;
        modifierMarker_->setGeometry(keyboard.x() + box.x, keyboard.y() + box.y, box.width,
                                     modifierMarker_->height());
        modifierMarker_->show();
    }
    if (!hint.keyPos || !hint.shiftBox || !markers) {
        shiftMarker_->hide();
    } else {
        const ModifierBox& box = *hint.shiftBox;
        shiftMarker_->setGeometry(keyboard.x() + box.x, keyboard.y() + box.y, box.width,
                                  shiftMarker_->height());
        shiftMarker_->show();
    }
}

void ExerciseWindow::OptionChanged() {
    options_.HideKey = hideKeyBox_->isChecked();
    options_.HideKeyboard = hideKeyboardBox_->isChecked();
    options_.HideFingers = hideFingersBox_->isChecked();
    ApplyOptions();
    FocusTyping();
    ShowHint(hintCharacter_, hint_);
}

void ExerciseWindow::DrawHeader(bool course, const QString& name, int level, int block) {
    if (headerCanvas_ > 0) FreePicture(headerCanvas_);
    headerCanvas_ = CopyPicture(PictureName::Header);
    QImage& canvas = Picture(headerCanvas_);
    const QFont& font = page_.Font();
    if (course) {
        DrawTextOn(canvas, 8, 1, QStringLiteral("USUARIO:"), font, Qt::black);
        DrawTextOn(canvas, 100, 1, name.left(34), font, kHeaderLight);
        DrawTextOn(canvas, 500, 1, QStringLiteral("NIVEL:"), font, Qt::black);
        DrawTextOn(canvas, 570, 1, QString::number(level), font, kHeaderLight);
        DrawTextOn(canvas, 630, 1, QStringLiteral("BLOQUE:"), font, Qt::black);
        DrawTextOn(canvas, 710, 1, QString::number(block), font, kHeaderLight);
        header_->setAccessibleName(QStringLiteral("Usuario: %1. Nivel: %2. Bloque: %3")
                                       .arg(name.left(34))
                                       .arg(level)
                                       .arg(block));
    } else {
        // The light words need the dark ground: the label plates of the course header go.
        {
            QPainter painter(&canvas);
            const QRect strip(QPoint(0, 0), LogicalSize(canvas));
            QLinearGradient ground(0, 0, 0, strip.height());
            ground.setColorAt(0, look::kBandTop.lighter(108));
            ground.setColorAt(1, look::kBandBottom);
            painter.fillRect(strip.adjusted(1, 1, -1, -1), ground);
        }
        DrawTextOn(canvas, 8, 1,
                   QStringLiteral("EJERCICIO DE PRUEBA (SELECCIONADO DE FORMA MANUAL)"), font,
                   kHeaderLight);
        header_->setAccessibleName(
            QStringLiteral("Ejercicio de prueba, seleccionado de forma manual"));
    }
    header_->setPixmap(QPixmap::fromImage(canvas));
}

void ExerciseWindow::HideHelp() {
    fingerDot_->hide();
    secondDot_->hide();
    shiftDot_->hide();
    keyLabel_->hide();
    keyMarker_->hide();
    modifierMarker_->hide();
    shiftMarker_->hide();
    hands_->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ExerciseWindow::SetTitle(const QString& title) {
    setWindowTitle(title);
}

void ExerciseWindow::SetFieldText(SessionField field, const QString& text) {
    QLabel* display = time_;
    switch (field) {
        case SessionField::Correct:
            display = correct_;
            break;
        case SessionField::Speed:
            display = speed_;
            break;
        case SessionField::Target:
            display = target_;
            break;
        case SessionField::Errors:
            display = errors_;
            break;
        case SessionField::Time:
            break;
    }
    display->setText(text);
    display->setAccessibleName(SpokenField(field) + QStringLiteral(": ") + text);
}

void ExerciseWindow::ShowPage(const QStringList& lines, bool morePages) {
    page_.Show(lines, morePages);
    textPicture_->ShowCanvas(page_.TakeChanged());
}

void ExerciseWindow::ShowKeystroke(const JudgedKeystroke& keystroke) {
    page_.Draw(keystroke);
    textPicture_->ShowCanvas(page_.TakeChanged());
}

void ExerciseWindow::FocusTyping() {
    if (!textPicture_->hasFocus()) textPicture_->setFocus(Qt::OtherFocusReason);
}

bool ExerciseWindow::AskYesNo(const QString& title, const QString& text) {
    return tz::AskYesNo(title, text, DialogIcon::Exclamation);
}

void ExerciseWindow::Begin(const QString& text, const QString& userName, int level,
                           int speedTarget) {
    session_ = std::make_unique<ExerciseSession>(*this, previousFinger_, keyboard_);
    session_->Begin(text, userName, level, speedTarget);
    FocusTyping();
    FollowClock();
}

void ExerciseWindow::ToSession(const std::function<void(ExerciseSession&)>& act) {
    if (!session_ || session_->Ended()) return;
    act(*session_);
    if (!session_->Ended()) {
        FollowClock();
        return;
    }
    clock_->stop();
    // The run may begin the next attempt from here: nothing of this one is touched after.
    emit SessionEnded();
}

void ExerciseWindow::Tick() {
    ToSession([](ExerciseSession& session) { session.Tick(); });
}

void ExerciseWindow::FollowClock() {
    const std::optional<qint64> next = session_ ? session_->NextTick() : std::nullopt;
    if (!next) {
        clock_->stop();
        return;
    }
    // Keystrokes within a second leave the timer as it is.
    if (clock_->isActive() && *next == clockDue_) return;
    clockDue_ = *next;
    clock_->start(static_cast<int>(
        std::clamp<qint64>(*next - NowMilliseconds(), 0, std::numeric_limits<int>::max())));
}

void ExerciseWindow::showEvent(QShowEvent* event) {
    textPicture_->ForgetKeysDown();
    QDialog::showEvent(event);
}

void ExerciseWindow::keyPressEvent(QKeyEvent* event) {
    QCoreApplication::sendEvent(textPicture_, event);
}

void ExerciseWindow::keyReleaseEvent(QKeyEvent* event) {
    QCoreApplication::sendEvent(textPicture_, event);
}

void ExerciseWindow::closeEvent(QCloseEvent* event) {
    if (!session_ || session_->Ended()) {
        QDialog::closeEvent(event);
        return;
    }
    event->ignore();
    ToSession([](ExerciseSession& session) { session.Cancel(); });
}

}  // namespace tz

#include "exercise_window.moc"
