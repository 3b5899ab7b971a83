#pragma once
// The look the lesson viewer and the custom texts window share: orange captions with a border,
// warm push buttons whose caption may take several lines, and lists in the same colours.

#include <QColor>
#include <QPushButton>
#include <QRect>
#include <QString>

class QLabel;
class QListWidget;
class QWidget;

namespace tz {

inline const QColor kCaptionBackground(232, 177, 77);

// A caption: "Arial" 10 points bold on the caption colour, with a border.
QLabel* AddCaption(QWidget* parent, int id, const QString& text, const QRect& geometry,
                   Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);

// A push button in "Arial" 10 points bold whose caption wraps onto several lines when it does
// not fit on one; Add posts Click(id), Make leaves its clicks to the screen's slots.
QPushButton* MakeWrappingButton(QWidget* parent, int id, const QString& text,
                                const QRect& geometry);
QPushButton* AddWrappingButton(QWidget* parent, int id, const QString& text, const QRect& geometry);

// A single-selection list that posts SelectionChanged(id, row) when its current row changes
// by mouse or keyboard, and Click(id, row) when a click falls on the row already selected;
// `base` is its background.
QListWidget* AddSelectionList(QWidget* parent, int id, const QRect& geometry,
                              const QColor& base = QColor(255, 255, 255));

}  // namespace tz
