#include "platform/escape_key.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include "platform/events.h"

namespace tz {

namespace {

class EscapeWatcher : public QObject {
  public:
    explicit EscapeWatcher(QWidget* window) : QObject(window), window_(window) {
        qApp->installEventFilter(this);
    }
    ~EscapeWatcher() override { qApp->removeEventFilter(this); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        if (static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape) return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window() != window_ || !window_->isEnabled()) return false;
        Event escape;
        escape.type = EventType::Char;
        escape.window = window_;
        escape.code = 27;
        escape.text = QString(QChar(27));
        PostEvent(escape);
        return true;
    }

  private:
    QWidget* window_;
};

}  // namespace

void PostEscapeOf(QWidget* window) {
    if (window) new EscapeWatcher(window);
}

}  // namespace tz
