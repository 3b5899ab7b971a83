#include "content/screen_style.h"

#include <QLabel>
#include <QStyleOptionButton>
#include <QStylePainter>

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

SelectionList::SelectionList(QWidget* parent, int id, const QRect& geometry, const QString& spoken,
                             const QColor& base)
    : QListWidget(parent) {
    setGeometry(geometry);
    SetControlId(this, id);
    setAccessibleName(spoken);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setFont(MakeFont("Arial", 10));
    setStyleSheet(
        QStringLiteral("QListWidget { background-color: rgb(%1, %2, %3); color: rgb(40, 24, 6);"
                       " border: 1px solid rgb(150, 96, 30); }"
                       "QListWidget::item { padding: 1px 3px; }"
                       "QListWidget::item:selected { background-color: rgb(190, 104, 30);"
                       " color: white; }")
            .arg(base.red())
            .arg(base.green())
            .arg(base.blue()));
    connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) emit rowChosen(row);
    });
    connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (row(item) == rowAtPress_) emit rowChosen(rowAtPress_);
    });
}

void SelectionList::mousePressEvent(QMouseEvent* event) {
    // The row current before the press says whether the press changed the selection.
    rowAtPress_ = currentRow();
    QListWidget::mousePressEvent(event);
}

}  // namespace tz
