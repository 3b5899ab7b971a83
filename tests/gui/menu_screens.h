#pragma once
// What the main menu shows, for the tests that drive it.

#include <QFontMetrics>
#include <QLabel>
#include <QPainter>

#include "platform/pictures.h"
#include "platform/windows.h"

namespace tz::test {

// The status panel as it must look: picture 25 with the four labels in black and the four
// values in the light colour, in the exercise font.
inline QImage ExpectedPanel(const QFont& font, const QString& name, int level, int block,
                            int average) {
    QImage image = Picture(25).copy();
    QPainter painter(&image);
    painter.setFont(font);
    const int ascent = QFontMetrics(font).ascent();
    const QColor light(255, 237, 193);
    auto text = [&](int x, int y, const QString& words, const QColor& colour) {
        painter.setPen(colour);
        painter.drawText(x, y + ascent, words);
    };
    text(3, 1, "USUARIO:", Qt::black);
    text(94, 1, name, light);
    text(3, 31, "NIVEL:", Qt::black);
    text(73, 31, QString::number(level), light);
    text(151, 31, "BLOQUE:", Qt::black);
    text(232, 31, QString::number(block), light);
    text(3, 58, "P.P.M. de Media:", Qt::black);
    text(182, 58, QString::number(average), light);
    return image;
}

// The picture a control of the main menu shows.
inline QImage ShownPicture(QWidget* menu, int control) {
    auto* label = qobject_cast<QLabel*>(FindControl(menu, control));
    if (!label) return QImage();
    return label->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
}

}  // namespace tz::test
