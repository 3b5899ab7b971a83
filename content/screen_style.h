#pragma once
// The look the lesson viewer and the custom texts window share: orange captions with a border,
// warm push buttons whose caption may take several lines, and lists in the same colours.

#include <QColor>
#include <QListWidget>
#include <QPushButton>
#include <QRect>
#include <QString>

class QLabel;
class QWidget;

namespace tz {

inline const QColor kCaptionBackground(232, 177, 77);

// A caption: "Arial" 10 points bold on the caption colour, with a border.
QLabel* AddCaption(QWidget* parent, int id, const QString& text, const QRect& geometry,
                   Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);

// A push button in "Arial" 10 points bold whose caption wraps onto several lines when it does
// not fit on one; its clicks are the screen's to connect.
QPushButton* MakeWrappingButton(QWidget* parent, int id, const QString& text,
                                const QRect& geometry);

// A single-selection list whose rowChosen tells every choice of a row: its current row changed
// by mouse or keyboard, or a click fell on the row already selected (the pupil means it as a
// choice all the same). Rows changed with its signals blocked choose nothing.
class SelectionList : public QListWidget {
    Q_OBJECT
  public:
    // `base` is its background; `spoken` its accessible name.
    SelectionList(QWidget* parent, int id, const QRect& geometry, const QString& spoken,
                  const QColor& base = QColor(255, 255, 255));

  signals:
    void rowChosen(int row);

  protected:
    void mousePressEvent(QMouseEvent* event) override;

  private:
    int rowAtPress_ = -1;
};

}  // namespace tz
