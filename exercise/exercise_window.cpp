#include "exercise/exercise_window.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>

#include "exercise/exercise_look.h"
#include "platform/dialogs.h"
#include "platform/events.h"
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

// The text picture paints straight from the page: a keystroke repaints its cell and the cursor,
// not the whole page. Before the first page it shows the picture it was made with.
class TextPicture : public QLabel {
  public:
    TextPicture(QWidget* parent, const QImage& canvas) : QLabel(parent), canvas_(canvas) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    void ShowCanvas(const QRect& changed) {
        if (!showingCanvas_) {
            showingCanvas_ = true;
            update();
        } else if (!changed.isEmpty()) {
            update(changed);
        }
    }

  protected:
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
};

namespace {

QLabel* AddDisplay(QWidget* window, int id, const QString& text, const QRect& geometry,
                   const QColor& ink) {
    QLabel* label = AddLabel(window, id, text, geometry);
    label->setFont(MakeFont(QStringLiteral("Arial"), 10, true));
    label->setAlignment(Qt::AlignCenter);
    label->setTextFormat(Qt::PlainText);
    SetBackground(label, look::kDisplayFace);
    SetTextColour(label, ink);
    return label;
}

QWidget* AddMarker(QWidget* window, int id, const QRect& geometry, const QColor& colour) {
    auto* marker = new QFrame(window);
    marker->setGeometry(geometry);
    SetControlId(marker, id);
    SetBackground(marker, colour);
    // A marker never takes a click meant for the keyboard under it.
    marker->setAttribute(Qt::WA_TransparentForMouseEvents);
    return marker;
}

QCheckBox* AddHideBox(QWidget* window, int id, const QString& text, int y) {
    auto* box = new QCheckBox(text, window);
    box->setGeometry(415, y, 140, 15);
    box->setFont(MakeFont(QStringLiteral("Arial"), 8, false));
    SetBackground(box, look::kDisplayFace);
    SetTextColour(box, look::kInk);
    // The typing target keeps the focus: a click on a box must not take the next keystroke.
    box->setFocusPolicy(Qt::NoFocus);
    box->setCursor(Qt::PointingHandCursor);
    PostClicks(box, id);
    return box;
}

}  // namespace

ExerciseWindow::ExerciseWindow(const QFont& font, HideOptions& options, int& headerCanvas)
    : options_(options), headerCanvas_(headerCanvas), page_(font) {
    Build();
}

ExerciseWindow::~ExerciseWindow() {
    DestroyWindow(window_);
}

void ExerciseWindow::Build() {
    window_ =
        CreateScreenWindow(kExerciseWindowTitle, kExerciseWindowWidth, kExerciseWindowHeight, true);
    window_->SetKeyCapture(KeyCapture::Everything);
    SetTiledBackground(window_, PictureName::ExerciseBackground);

    // The typing target: keystrokes and the input method's composed characters reach the
    // window through it.
    textPicture_ = new TextPicture(window_, page_.Canvas());
    textPicture_->setGeometry(kTextPictureRect);
    textPicture_->setPixmap(QPixmap::fromImage(Picture(PictureName::TextPicture)));
    textPicture_->setAlignment(Qt::AlignCenter);
    SetControlId(textPicture_, kExTextPicture);
    textPicture_->setFocusPolicy(Qt::StrongFocus);
    textPicture_->setAttribute(Qt::WA_InputMethodEnabled);

    noKeyboard_ = AddPicture(window_, kExNoKeyboardPicture, PictureName::NoKeyboard, kKeyboardRect);
    keyboard_ = AddPicture(window_, kExKeyboardPicture, PictureName::Keyboard, kKeyboardRect);
    hands_ = AddPicture(window_, kExHandsPicture, PictureName::Hands, kHandsRect);
    hands_->setAttribute(Qt::WA_TransparentForMouseEvents);

    correct_ =
        AddDisplay(window_, kExCorrectDisplay, QStringLiteral("0"), kCorrectDisplayRect, kBlueInk);
    speed_ = AddDisplay(window_, kExSpeedDisplay, QString(), kSpeedDisplayRect, kBlueInk);
    errors_ = AddDisplay(window_, kExErrorsDisplay, QStringLiteral("0 (0%)"), kErrorsDisplayRect,
                         kRedInk);
    time_ = AddDisplay(window_, kExTimeDisplay, QStringLiteral("00:00:00"), kTimeDisplayRect,
                       kGreenInk);

    fingerDot_ = AddPicture(window_, kExFingerDot, PictureName::FingerDot, QRect(230, 455, 6, 6));
    secondDot_ = AddPicture(window_, kExSecondFingerDot, PictureName::SecondFingerDot,
                            QRect(230, 470, 6, 6));
    fingerDot_->setAttribute(Qt::WA_TransparentForMouseEvents);
    secondDot_->setAttribute(Qt::WA_TransparentForMouseEvents);

    keyLabel_ = AddLabel(window_, kExKeyLabel, QStringLiteral("É"), QRect(311, 463, 17, 22));
    keyLabel_->setFont(MakeFont(QStringLiteral("Arial"), 16, true));
    keyLabel_->setAlignment(Qt::AlignCenter);
    keyLabel_->setTextFormat(Qt::PlainText);
    SetBackground(keyLabel_, kKeyLabelFace);
    SetTextColour(keyLabel_, kKeyLabelInk);

    const struct {
        int id;
        PictureName picture;
        QRect geometry;
        const char* tip;
    } buttons[] = {
        {kExCancelButton, PictureName::CancelExercise, kCancelButtonRect,
         "Cancela el ejercicio actual"},
        {kExPauseButton, PictureName::Pause, kPauseButtonRect, "Pausa el Tiempo"},
        {kExRestartButton, PictureName::Restart, kRestartButtonRect, "Reinicia el ejercicio"},
    };
    for (const auto& button : buttons) {
        QAbstractButton* control = AddPictureButton(window_, button.id, button.picture,
                                                    button.geometry, QString::fromUtf8(button.tip));
        control->setFocusPolicy(Qt::NoFocus);
    }

    // The frame's look is part of the background; it must not cover the buttons inside it.
    auto* frame = new QFrame(window_);
    frame->setGeometry(kOptionsFrameRect);
    frame->setFrameStyle(QFrame::NoFrame);
    frame->setAttribute(Qt::WA_TransparentForMouseEvents);
    SetControlId(frame, kExOptionsFrame);

    keyMarker_ = AddMarker(window_, kExKeyMarker, QRect(20, 460, 10, 10), QColor(255, 0, 0));
    modifierMarker_ =
        AddMarker(window_, kExModifierMarker, QRect(20, 480, 30, 10), QColor(0, 255, 0));
    // The left Shift held with the accent key for the diaeresis; hidden until ü is due.
    shiftMarker_ = AddMarker(window_, kExShiftMarker, QRect(20, 480, 30, 10), QColor(0, 255, 0));
    shiftMarker_->hide();
    shiftDot_ =
        AddPicture(window_, kExShiftDot, PictureName::SecondFingerDot, QRect(230, 470, 6, 6));
    shiftDot_->setAttribute(Qt::WA_TransparentForMouseEvents);
    shiftDot_->hide();

    hideKeyBox_ = AddHideBox(window_, kExHideKeyBox, QStringLiteral("Ocultar Tecla a Pulsar"), 465);
    hideKeyboardBox_ =
        AddHideBox(window_, kExHideKeyboardBox, QStringLiteral("Ocultar Teclado"), 490);
    hideFingersBox_ =
        AddHideBox(window_, kExHideFingersBox, QStringLiteral("Ocultar Dedos utilizados"), 515);

    header_ = AddPicture(window_, kExHeaderPicture,
                         headerCanvas_ > 0 ? headerCanvas_ : PictureNumber(PictureName::Header),
                         kHeaderRect);
    target_ =
        AddDisplay(window_, kExTargetDisplay, QStringLiteral("0"), kTargetDisplayRect, kBlueInk);
}

void ExerciseWindow::ApplyOptions() {
    hideKeyBox_->setChecked(options_.HideKey);
    hideKeyboardBox_->setChecked(options_.HideKeyboard);
    hideFingersBox_->setChecked(options_.HideFingers);
    if (options_.HideKeyboard) {
        keyMarker_->hide();
        modifierMarker_->hide();
        shiftMarker_->hide();
        keyboard_->hide();
        noKeyboard_->show();
    } else {
        noKeyboard_->hide();
        keyboard_->show();
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

void ExerciseWindow::OptionChanged(int box) {
    switch (box) {
        case kExHideKeyBox:
            options_.HideKey = hideKeyBox_->isChecked();
            break;
        case kExHideKeyboardBox:
            options_.HideKeyboard = hideKeyboardBox_->isChecked();
            break;
        case kExHideFingersBox:
            options_.HideFingers = hideFingersBox_->isChecked();
            break;
        default:
            break;
    }
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
    window_->setWindowTitle(title);
}

void ExerciseWindow::SetFieldText(SessionField field, const QString& text) {
    switch (field) {
        case SessionField::Correct:
            correct_->setText(text);
            break;
        case SessionField::Speed:
            speed_->setText(text);
            break;
        case SessionField::Target:
            target_->setText(text);
            break;
        case SessionField::Errors:
            errors_->setText(text);
            break;
        case SessionField::Time:
            time_->setText(text);
            break;
    }
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

void ExerciseWindow::ShowWindow() {
    if (!window_->isVisible()) {
        window_->show();
        window_->raise();
        window_->activateWindow();
    }
    FocusTyping();
}

bool ExerciseWindow::AskYesNo(const QString& title, const QString& text) {
    return tz::AskYesNo(title, text, DialogIcon::Exclamation);
}

void ExerciseWindow::DrainEvents() {
    tz::DrainEvents();
}

SessionCommand ExerciseWindow::CommandFor(const Event& event) {
    SessionCommand command;
    // Keys typed into the result window or a message box are not for the session.
    if (event.window != window_) return command;
    switch (event.type) {
        case EventType::Char:
            command.text = event.text;
            if (command.text.isEmpty() && event.code > 0) {
                const char32_t code = static_cast<char32_t>(event.code);
                command.text = QString::fromUcs4(&code, 1);
            }
            if (!command.text.isEmpty()) command.kind = SessionCommand::Type;
            break;
        case EventType::CloseRequest:
            command.kind = SessionCommand::Cancel;
            break;
        case EventType::Click:
            switch (event.id) {
                case kExCancelButton:
                    command.kind = SessionCommand::Cancel;
                    break;
                case kExPauseButton:
                    command.kind = SessionCommand::Pause;
                    break;
                case kExRestartButton:
                    command.kind = SessionCommand::Restart;
                    break;
                case kExHideKeyBox:
                case kExHideKeyboardBox:
                case kExHideFingersBox:
                    OptionChanged(event.id);
                    break;
                default:
                    break;
            }
            break;
        default:
            break;
    }
    return command;
}

SessionOutcome RunSession(ExerciseWindow& window, ExerciseSession& session, const QString& text,
                          const QString& userName, int level, int speedTarget) {
    session.Begin(text, userName, level, speedTarget);
    while (!session.Ended()) {
        Event event;
        const std::optional<qint64> tick = session.NextTick();
        const bool taken = tick ? WaitEventUntil(*tick, &event) : (event = WaitEvent(), true);
        if (taken) session.Handle(window.CommandFor(event));
        session.Tick();
    }
    return session.Outcome();
}

}  // namespace tz
