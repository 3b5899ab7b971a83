#include "platform/windows.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextEdit>
#include <QToolButton>
#include <QWindow>

#include "platform/clock.h"
#include "platform/events.h"
#include "platform/pictures.h"

namespace tz {

namespace {

bool IsTextEntry(const QObject* object) {
    if (auto* line = qobject_cast<const QLineEdit*>(object)) return !line->isReadOnly();
    if (auto* text = qobject_cast<const QTextEdit*>(object)) return !text->isReadOnly();
    if (auto* plain = qobject_cast<const QPlainTextEdit*>(object)) return !plain->isReadOnly();
    return false;
}

bool BelongsTo(QObject* object, QWidget* window) {
    auto* widget = qobject_cast<QWidget*>(object);
    return widget && widget->window() == window;
}

}  // namespace

ScreenWindow::ScreenWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
    qApp->installEventFilter(this);
}

ScreenWindow::~ScreenWindow() {
    qApp->removeEventFilter(this);
}

void ScreenWindow::CloseForGood() {
    closing_ = true;
    close();
}

void ScreenWindow::closeEvent(QCloseEvent* event) {
    if (closing_) {
        event->accept();
        return;
    }
    event->ignore();
    Event close;
    close.type = EventType::CloseRequest;
    close.window = this;
    PostEvent(close);
}

bool ScreenWindow::eventFilter(QObject* watched, QEvent* event) {
    if (capture_ == KeyCapture::None || !BelongsTo(watched, this) || !isEnabled()) return false;
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    int code = 0;
    QString text = key->text();
    switch (key->key()) {
        case Qt::Key_Escape:
            code = 27;
            text = QString(QChar(27));
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            code = 13;
            text = QString(QChar(13));
            break;
        case Qt::Key_Tab:
            code = 9;
            text = QString(QChar(9));
            break;
        case Qt::Key_Backspace:
            code = 8;
            text = QString(QChar(8));
            break;
        default:
            // A key that gives no character (Shift, Control, an arrow) and control characters
            // (Ctrl+letter, Delete) are nothing to the screens.
            if (text.isEmpty() || text[0].unicode() < 32 || text[0].unicode() == 127) return false;
            code = text[0].unicode();
    }
    if (code == 9 || code == 32 || code == 8) return false;
    if (code != 13 && code != 27 && IsTextEntry(watched)) return false;
    if (code != 13 && code != 27 && (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    for (const QChar c : text) {
        Event typed;
        typed.type = EventType::Char;
        typed.window = this;
        typed.code = c.unicode();
        typed.text = QString(c);
        PostEvent(typed);
    }
    return true;
}

ScreenWindow* CreateScreenWindow(const QString& title, int width, int height, bool frameless,
                                 QWidget* owner) {
    auto* window = new ScreenWindow(owner);
    Qt::WindowFlags flags = Qt::Window;
    if (frameless) {
        flags |= Qt::FramelessWindowHint;
    } else {
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    }
    window->setWindowFlags(flags);
    window->setWindowTitle(title);
    window->setFixedSize(width, height);
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    CentreOnScreen(window);
    return window;
}

void CentreOnScreen(QWidget* window) {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    window->move(area.x() + (area.width() - window->width()) / 2,
                 area.y() + (area.height() - window->height()) / 2);
}

void SetAlwaysOnTop(QWidget* window, bool onTop) {
    if (!window) return;
    Qt::WindowFlags flags = window->windowFlags();
    if (flags.testFlag(Qt::WindowStaysOnTopHint) == onTop) return;
    flags.setFlag(Qt::WindowStaysOnTopHint, onTop);
    // QWidget::setWindowFlag would re-create the native window (it flashes, its task bar
    // button goes and comes back): the flag goes to the native window the widget keeps, and
    // the widget is told without touching the window system.
    if (QWindow* handle = window->windowHandle()) handle->setFlags(flags);
    window->overrideWindowFlags(flags);
}

void BringToFront(QWidget* window, bool quick) {
    if (!window) return;
    for (int i = 0; i < 2; ++i) {
        SetAlwaysOnTop(window, true);
        SetAlwaysOnTop(window, false);
    }
    window->raise();
    window->activateWindow();
    WaitMs(10);
    DrainEvents();
    if (!quick) {
        SetAlwaysOnTop(window, false);
        SetAlwaysOnTop(window, false);
        WaitMs(10);
    }
}

void DestroyWindow(QWidget* window) {
    if (!window) return;
    if (auto* screen = qobject_cast<ScreenWindow*>(window)) screen->CloseForGood();
    window->hide();
    delete window;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void SetControlId(QWidget* control, int id) {
    control->setObjectName(QString::number(id));
}

int ControlId(const QObject* control) {
    bool number = false;
    const int id = control->objectName().toInt(&number);
    return number ? id : 0;
}

QWidget* FindControl(QWidget* window, int id) {
    if (!window) return nullptr;
    return window->findChild<QWidget*>(QString::number(id));
}

void PostClicks(QAbstractButton* button, int id) {
    SetControlId(button, id);
    QObject::connect(button, &QAbstractButton::clicked, button, [button, id] {
        Event click;
        click.type = EventType::Click;
        click.window = button->window();
        click.id = id;
        PostEvent(click);
    });
}

QPushButton* AddButton(QWidget* parent, int id, const QString& text, const QRect& geometry) {
    QPushButton* button = MakeButton(parent, id, text, geometry);
    PostClicks(button, id);
    return button;
}

QAbstractButton* AddPictureButton(QWidget* parent, int id, PictureName picture,
                                  const QRect& geometry, const QString& tooltip) {
    QAbstractButton* button = MakePictureButton(parent, id, picture, geometry, tooltip);
    PostClicks(button, id);
    return button;
}

void SetUpScreen(QWidget* screen, const QString& title, int width, int height, bool frameless) {
    Qt::WindowFlags flags = qobject_cast<QDialog*>(screen) ? Qt::Dialog : Qt::Window;
    if (frameless) {
        flags |= Qt::FramelessWindowHint;
    } else {
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    }
    screen->setWindowFlags(flags);
    screen->setWindowTitle(title);
    screen->setAccessibleName(title);
    screen->setFixedSize(width, height);
    CentreOnScreen(screen);
}

QPushButton* MakeButton(QWidget* parent, int id, const QString& text, const QRect& geometry) {
    auto* button = new QPushButton(text, parent);
    button->setGeometry(geometry);
    SetControlId(button, id);
    return button;
}

QAbstractButton* MakePictureButton(QWidget* parent, int id, PictureName picture,
                                   const QRect& geometry, const QString& tooltip,
                                   const QString& spoken) {
    auto* button = new QToolButton(parent);
    button->setGeometry(geometry);
    const QImage& image = Picture(picture);
    button->setIcon(QIcon(QPixmap::fromImage(image)));
    button->setIconSize(image.isNull() ? geometry.size() : LogicalSize(image));
    button->setAutoRaise(true);
    button->setStyleSheet(
        "QToolButton { border: none; padding: 0px; background: transparent; }"
        "QToolButton:pressed { padding-left: 1px; padding-top: 1px; }");
    button->setCursor(Qt::PointingHandCursor);
    if (!tooltip.isEmpty()) button->setToolTip(tooltip);
    button->setAccessibleName(spoken.isEmpty() ? tooltip : spoken);
    SetControlId(button, id);
    return button;
}

QLabel* AddPicture(QWidget* parent, int id, PictureName picture, const QRect& geometry) {
    return AddPicture(parent, id, PictureNumber(picture), geometry);
}

QLabel* AddPicture(QWidget* parent, int id, int picture, const QRect& geometry) {
    auto* label = new QLabel(parent);
    label->setGeometry(geometry);
    label->setPixmap(QPixmap::fromImage(Picture(picture)));
    SetControlId(label, id);
    return label;
}

QLabel* MakePicture(QWidget* parent, int id, PictureName picture, const QRect& geometry,
                    const QString& spoken) {
    QLabel* label = AddPicture(parent, id, picture, geometry);
    label->setAccessibleName(spoken);
    return label;
}

QLabel* MakeLabel(QWidget* parent, int id, const QString& text, const QRect& geometry,
                  const QString& spoken) {
    QLabel* label = AddLabel(parent, id, text, geometry);
    if (!spoken.isEmpty()) label->setAccessibleName(spoken);
    return label;
}

QLabel* AddLabel(QWidget* parent, int id, const QString& text, const QRect& geometry) {
    auto* label = new QLabel(parent);
    // Labels show names and texts from outside (a pupil's name, the server's version): never
    // read as markup.
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setGeometry(geometry);
    SetControlId(label, id);
    return label;
}

void SetBackground(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void SetTiledBackground(QWidget* widget, PictureName picture) {
    QPalette palette = widget->palette();
    palette.setBrush(QPalette::Window, QBrush(QPixmap::fromImage(Picture(picture))));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void SetTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    palette.setColor(QPalette::ButtonText, colour);
    widget->setPalette(palette);
}

}  // namespace tz
