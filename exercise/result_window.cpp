#include "exercise/result_window.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPalette>
#include <QPushButton>

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
    QPushButton* button = MakeButton(window, id, text, geometry);
    // Enter answers "Continuar" whichever button has the focus.
    button->setAutoDefault(false);
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

ResultWindow::ResultWindow(const QString& message, QWidget* owner) : QDialog(owner) {
    SetUpScreen(this, kResultWindowTitle, 719, 299, true);
    SetBackground(this, kWindowBlue);

    QLabel* picture =
        MakePicture(this, kResultPictureControl, PictureName::Result, QRect(5, 5, 250, 285),
                    QStringLiteral("Resultados: un cronómetro en marcha"));
    SetSunkenEdge(picture);
    picture->setAlignment(Qt::AlignCenter);

    QLabel* text = MakeLabel(this, kResultMessageControl, QStringLiteral("RESULTADO DEL EJERCICIO"),
                             QRect(265, 5, 450, 200));
    SetSunkenEdge(text);
    SetBackground(text, kWindowBlue);
    SetTextColour(text, kMessageInk);
    text->setFont(MakeFont(QStringLiteral("Arial"), 14, true));
    text->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    text->setWordWrap(true);
    // Long lines wrap a little inside the edge instead of touching it.
    text->setMargin(5);

    QPushButton* continueButton = AddAnswerButton(
        this, kResultContinueButton, QStringLiteral("Continuar"), QRect(525, 255, 190, 40));
    connect(continueButton, &QPushButton::clicked, this, &QDialog::accept);
    QPushButton* menuButton = AddAnswerButton(
        this, kResultMenuButton, QStringLiteral("Menú Principal"), QRect(315, 255, 190, 40));
    connect(menuButton, &QPushButton::clicked, this, [this] { done(0); });

    // The leading line break keeps the first line of the message off the top edge.
    text->setText(LineBreak + message);
    continueButton->setFocus();
}

void ResultWindow::reject() {
    accept();
}

void ResultWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

ResultAnswer ShowResultWindow(const QString& message, QWidget* exerciseWindow) {
    if (exerciseWindow) exerciseWindow->hide();
    ResultWindow window(message, exerciseWindow);
    return window.exec() == QDialog::Accepted ? ResultAnswer::Continue : ResultAnswer::MainMenu;
}

}  // namespace tz
