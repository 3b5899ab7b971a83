#include "platform/windows.h"

#include <QDialog>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QToolButton>
#include <QWindow>

#include "platform/pictures.h"

namespace tz {

namespace {

void CentreOnScreen(QWidget* window) {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    window->move(area.x() + (area.width() - window->width()) / 2,
                 area.y() + (area.height() - window->height()) / 2);
}

class OnTopWhileShown : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type == QEvent::Show || type == QEvent::Hide) {
            SetAlwaysOnTop(static_cast<QWidget*>(watched), type == QEvent::Show);
        }
        return false;
    }
};

}  // namespace

void KeepOnTopWhileShown(QWidget* window) {
    window->installEventFilter(new OnTopWhileShown(window));
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
