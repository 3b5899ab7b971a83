#include "screens.h"

#include <QAbstractEventDispatcher>
#include <QAccessible>
#include <QEvent>
#include <QTimer>

namespace tz::test {

namespace {

// Watches the application for the first show of a window of one title.
class ShowWatcher : public QObject {
  public:
    ShowWatcher(const QString& title, std::function<void(QWidget*)> act)
        : QObject(qApp), title_(title), act_(std::move(act)) {
        setObjectName(QStringLiteral("tz-show-watcher"));
        qApp->installEventFilter(this);
    }
    const QString& Title() const { return title_; }
    bool Fired() const { return fired_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() != QEvent::Show || !widget || !widget->isWindow() ||
            widget->windowTitle() != title_) {
            return false;
        }
        qApp->removeEventFilter(this);
        fired_ = true;
        // After the show, from the loop that runs the window. QTest's key and mouse functions
        // process events themselves; on Windows such a nested pass can swallow the wake-up of
        // the loop an act just ended (a dialog closed by a key), which would then wait for a
        // message that never comes: wake it again.
        QTimer::singleShot(0, widget, [widget, act = std::move(act_)] {
            act(widget);
            if (QAbstractEventDispatcher* loop = QAbstractEventDispatcher::instance()) {
                loop->wakeUp();
            }
        });
        deleteLater();
        return false;
    }

  private:
    QString title_;
    std::function<void(QWidget*)> act_;
    bool fired_ = false;
};

void CollectUnnamed(QAccessibleInterface* node, QStringList& unnamed) {
    for (int i = 0; i < node->childCount(); ++i) {
        QAccessibleInterface* child = node->child(i);
        if (!child || child->state().invisible) continue;
        const QAccessible::Role role = child->role();
        // Containers are named by what they hold.
        const bool container = role == QAccessible::Client || role == QAccessible::Pane ||
                               role == QAccessible::Grouping || role == QAccessible::Window ||
                               role == QAccessible::ScrollBar || role == QAccessible::Separator;
        if (!container && child->text(QAccessible::Name).trimmed().isEmpty()) {
            QObject* object = child->object();
            unnamed << QStringLiteral("%1 %2 %3")
                           .arg(object ? object->metaObject()->className() : "?",
                                object ? object->objectName() : QString())
                           .arg(static_cast<int>(role));
        }
        CollectUnnamed(child, unnamed);
    }
}

}  // namespace

void WhenShown(const QString& title, std::function<void(QWidget*)> act) {
    new ShowWatcher(title, std::move(act));
}

void ExpectNoWaitingActs() {
    for (auto* watcher : qApp->findChildren<QObject*>(QStringLiteral("tz-show-watcher"))) {
        auto* show = dynamic_cast<ShowWatcher*>(watcher);
        if (show && !show->Fired()) {
            ADD_FAILURE() << "no window \"" << show->Title().toStdString() << "\" was shown";
            qApp->removeEventFilter(show);
        }
        delete watcher;
    }
}

QStringList ControlsWithoutNames(QWidget* screen) {
    QStringList unnamed;
    if (QAccessibleInterface* root = QAccessible::queryAccessibleInterface(screen)) {
        CollectUnnamed(root, unnamed);
    }
    return unnamed;
}

}  // namespace tz::test
