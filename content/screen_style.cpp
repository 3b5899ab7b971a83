#include "content/screen_style.h"

#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QStyleOptionButton>
#include <QStylePainter>

#include "platform/events.h"
#include "platform/fonts.h"
#include "platform/windows.h"

namespace tz {

namespace {

const QColor kInk(70, 44, 14);
const QColor kGreyedInk(160, 140, 112);

// QPushButton draws its caption on one line; this one wraps it and keeps the exact text.
class WrappingButton : public QPushButton {
  public:
    using QPushButton::QPushButton;

  protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        option.text.clear();
        painter.drawControl(QStyle::CE_PushButton, option);
        painter.setPen(isEnabled() ? kInk : kGreyedInk);
        painter.setFont(font());
        const int shift = isDown() ? 1 : 0;
        painter.drawText(rect().adjusted(5 + shift, shift, -5 + shift, shift),
                         Qt::AlignCenter | Qt::TextWordWrap, text());
    }
};

// A click on the row already selected changes no selection, yet the pupil means it as a
// choice: the list tells it as a click of its own. The row current before the press says
// whether the press changed the selection.
class ClickOnSelectedRow : public QObject {
  public:
    ClickOnSelectedRow(QListWidget* list, int id) : QObject(list), list_(list), id_(id) {
        list->viewport()->installEventFilter(this);
        connect(list, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
            if (list_->row(item) != rowAtPress_) return;
            Event click;
            click.type = EventType::Click;
            click.window = list_->window();
            click.id = id_;
            click.row = rowAtPress_;
            PostEvent(click);
        });
    }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress) rowAtPress_ = list_->currentRow();
        return false;
    }

  private:
    QListWidget* list_;
    int id_;
    int rowAtPress_ = -1;
};

}  // namespace

QLabel* AddCaption(QWidget* parent, int id, const QString& text, const QRect& geometry,
                   Qt::Alignment alignment) {
    QLabel* caption = AddLabel(parent, id, text, geometry);
    caption->setFont(MakeFont("Arial", 10, true));
    caption->setAlignment(alignment);
    caption->setStyleSheet(
        "QLabel { background-color: rgb(232, 177, 77); color: rgb(60, 34, 6);"
        " border: 1px solid rgb(150, 96, 30); padding: 0px 2px; }");
    return caption;
}

QPushButton* MakeWrappingButton(QWidget* parent, int id, const QString& text,
                                const QRect& geometry) {
    auto* button = new WrappingButton(text, parent);
    SetControlId(button, id);
    button->setGeometry(geometry);
    button->setFont(MakeFont("Arial", 10, true));
    button->setCursor(Qt::PointingHandCursor);
    button->setStyleSheet(
        "QPushButton { border: 1px solid rgb(140, 100, 50); border-radius: 5px;"
        " background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
        " stop:0 rgb(255, 242, 218), stop:1 rgb(238, 196, 132)); }"
        "QPushButton:hover { background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
        " stop:0 rgb(255, 249, 234), stop:1 rgb(248, 212, 156)); }"
        "QPushButton:pressed { background-color: rgb(226, 182, 118); }"
        "QPushButton:focus { border: 2px solid rgb(120, 72, 16); }"
        "QPushButton:disabled { border: 1px solid rgb(196, 170, 132);"
        " background-color: rgb(240, 226, 204); }");
    return button;
}

QPushButton* AddWrappingButton(QWidget* parent, int id, const QString& text,
                               const QRect& geometry) {
    QPushButton* button = MakeWrappingButton(parent, id, text, geometry);
    PostClicks(button, id);
    return button;
}

QListWidget* AddSelectionList(QWidget* parent, int id, const QRect& geometry, const QColor& base) {
    auto* list = new QListWidget(parent);
    list->setGeometry(geometry);
    SetControlId(list, id);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setFont(MakeFont("Arial", 10));
    list->setStyleSheet(
        QStringLiteral("QListWidget { background-color: rgb(%1, %2, %3); color: rgb(40, 24, 6);"
                       " border: 1px solid rgb(150, 96, 30); }"
                       "QListWidget::item { padding: 1px 3px; }"
                       "QListWidget::item:selected { background-color: rgb(190, 104, 30);"
                       " color: white; }")
            .arg(base.red())
            .arg(base.green())
            .arg(base.blue()));
    QObject::connect(list, &QListWidget::currentRowChanged, list, [list, id](int row) {
        Event changed;
        changed.type = EventType::SelectionChanged;
        changed.window = list->window();
        changed.id = id;
        changed.row = row;
        PostEvent(changed);
    });
    new ClickOnSelectedRow(list, id);
    return list;
}

}  // namespace tz
