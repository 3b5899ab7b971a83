#include "exercise/result_window.h"

#include <QFrame>
#include <QLabel>
#include <QPalette>
#include <QPushButton>

#include "platform/events.h"
#include "platform/fonts.h"
#include "platform/textfile.h"
#include "platform/windows.h"

namespace tz {

namespace {

const QColor kWindowBlue(0, 128, 192);
const QColor kMessageInk(198, 255, 255);

// A sunken edge shaded from the window's own blue rather than the desktop's grey.
void SetSunkenEdge(QFrame* frame) {
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setLineWidth(2);
    QPalette palette = frame->palette();
    palette.setColor(QPalette::Light, QColor(120, 196, 236));
    palette.setColor(QPalette::Midlight, QColor(64, 164, 216));
    palette.setColor(QPalette::Mid, QColor(0, 96, 150));
    palette.setColor(QPalette::Dark, QColor(0, 62, 104));
    palette.setColor(QPalette::Shadow, QColor(0, 40, 72));
    frame->setPalette(palette);
}

QPushButton* AddAnswerButton(QWidget* window, int id, const QString& text, const QRect& geometry) {
    QPushButton* button = AddButton(window, id, text, geometry);
    button->setFont(MakeFont(QStringLiteral("Arial"), 10, true));
    button->setCursor(Qt::PointingHandCursor);
    button->setStyleSheet(QStringLiteral(
        "QPushButton { color: #0b3a5c; border: 1px solid #063a60; border-radius: 6px;"
        " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:1 #cfe6f5); }"
        "QPushButton:hover { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
        " stop:0 #ffffff, stop:1 #e3f1fa); }"
        "QPushButton:pressed { background: #b4d6ec; padding-top: 2px; }"
        "QPushButton:focus { border: 2px solid #f2be54; }"));
    return button;
}

}  // namespace

ResultAnswer ShowResultWindow(const QString& message, QWidget* exerciseWindow) {
    if (exerciseWindow) exerciseWindow->hide();

    ScreenWindow* window = CreateScreenWindow(kResultWindowTitle, 719, 299, true, exerciseWindow);
    SetBackground(window, kWindowBlue);

    QLabel* picture =
        AddPicture(window, kResultPictureControl, PictureName::Result, QRect(5, 5, 250, 285));
    SetSunkenEdge(picture);
    picture->setAlignment(Qt::AlignCenter);

    QLabel* text = AddLabel(window, kResultMessageControl,
                            QStringLiteral("RESULTADO DEL EJERCICIO"), QRect(265, 5, 450, 200));
    SetSunkenEdge(text);
    SetBackground(text, kWindowBlue);
    SetTextColour(text, kMessageInk);
    text->setFont(MakeFont(QStringLiteral("Arial"), 14, true));
    text->setTextFormat(Qt::PlainText);
    text->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    text->setWordWrap(true);
    // Long lines wrap a little inside the edge instead of touching it.
    text->setMargin(5);

    QPushButton* continueButton = AddAnswerButton(
        window, kResultContinueButton, QStringLiteral("Continuar"), QRect(525, 255, 190, 40));
    AddAnswerButton(window, kResultMenuButton, QStringLiteral("Menú Principal"),
                    QRect(315, 255, 190, 40));

    // The leading line break keeps the first line of the message off the top edge.
    text->setText(LineBreak + message);

    window->show();
    BringToFront(window, false);
    continueButton->setFocus();

    ResultAnswer result = ResultAnswer::Continue;
    for (bool waiting = true; waiting;) {
        const Event event = WaitEvent();
        // Keys typed into the exercise window before it was hidden are not answers.
        if (event.window != window) continue;
        switch (event.type) {
            case EventType::Char:
                if (event.code == 27 || event.code == 13) {
                    result = ResultAnswer::Continue;
                    waiting = false;
                }
                break;
            case EventType::CloseRequest:
                waiting = false;
                break;
            case EventType::Click:
                if (event.id == kResultContinueButton) waiting = false;
                if (event.id == kResultMenuButton) {
                    result = ResultAnswer::MainMenu;
                    waiting = false;
                }
                break;
            default:
                break;
        }
    }

    DestroyWindow(window);
    return result;
}

}  // namespace tz
