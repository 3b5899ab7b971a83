#include "content/content_pictures.h"
#include "platform/pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace tz {

namespace {

QImage TransparentIcon() {
    QImage image = NewPicture(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// Picture 51, 32 x 32: save, a blue diskette with its metal shutter and a written label.
QImage DrawSaveIcon() {
    QImage image = TransparentIcon();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    // The body, its upper right corner cut off, over a soft shadow.
    QPainterPath body;
    body.moveTo(4, 2.5);
    body.lineTo(25, 2.5);
    body.lineTo(29.5, 7);
    body.lineTo(29.5, 27.5);
    body.quadTo(29.5, 29.5, 27.5, 29.5);
    body.lineTo(4.5, 29.5);
    body.quadTo(2.5, 29.5, 2.5, 27.5);
    body.lineTo(2.5, 4.5);
    body.quadTo(2.5, 2.5, 4, 2.5);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 55));
    painter.drawPath(body.translated(0.8, 1.2));
    QLinearGradient blue(0, 2, 0, 30);
    blue.setColorAt(0, QColor(96, 160, 236));
    blue.setColorAt(1, QColor(22, 70, 158));
    painter.setBrush(blue);
    painter.setPen(QPen(QColor(14, 44, 108), 1));
    painter.drawPath(body);

    // The metal shutter with its window.
    QLinearGradient metal(9, 0, 23, 0);
    metal.setColorAt(0, QColor(236, 240, 246));
    metal.setColorAt(0.5, QColor(196, 204, 216));
    metal.setColorAt(1, QColor(150, 160, 176));
    painter.setBrush(metal);
    painter.setPen(QPen(QColor(90, 100, 120), 0.8));
    painter.drawRoundedRect(QRectF(9, 2.5, 14, 9.5), 1.2, 1.2);
    painter.setBrush(QColor(40, 56, 96));
    painter.setPen(Qt::NoPen);
    painter.drawRect(QRectF(18, 4.5, 3, 5.5));

    // The label, with two written lines.
    QLinearGradient paper(0, 16, 0, 29);
    paper.setColorAt(0, QColor(255, 255, 255));
    paper.setColorAt(1, QColor(226, 232, 240));
    painter.setBrush(paper);
    painter.setPen(QPen(QColor(14, 44, 108), 0.8));
    painter.drawRoundedRect(QRectF(6.5, 15.5, 19, 12.5), 1.5, 1.5);
    painter.setPen(QPen(QColor(200, 60, 40), 1.2));
    painter.drawLine(QPointF(9, 19), QPointF(23, 19));
    painter.setPen(QPen(QColor(110, 130, 170), 1));
    painter.drawLine(QPointF(9, 22.5), QPointF(23, 22.5));
    painter.drawLine(QPointF(9, 25.5), QPointF(19, 25.5));

    // Light along the upper edge.
    painter.setPen(QPen(QColor(255, 255, 255, 110), 1));
    painter.drawLine(QPointF(4, 3.6), QPointF(8.5, 3.6));
    painter.drawLine(QPointF(3.6, 4.5), QPointF(3.6, 14));
    return image;
}

// Picture 52, 32 x 32: delete, a red waste bin with its lid and ribs.
QImage DrawDeleteIcon() {
    QImage image = TransparentIcon();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor outline(110, 16, 10);

    QPainterPath bin;
    bin.moveTo(7, 10);
    bin.lineTo(25, 10);
    bin.lineTo(23.2, 28);
    bin.quadTo(23, 29.5, 21.5, 29.5);
    bin.lineTo(10.5, 29.5);
    bin.quadTo(9, 29.5, 8.8, 28);
    bin.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 55));
    painter.drawPath(bin.translated(0.8, 1.2));
    QLinearGradient red(7, 0, 25, 0);
    red.setColorAt(0, QColor(168, 28, 20));
    red.setColorAt(0.35, QColor(240, 98, 80));
    red.setColorAt(1, QColor(150, 22, 16));
    painter.setBrush(red);
    painter.setPen(QPen(outline, 1));
    painter.drawPath(bin);

    // The ribs of the bin.
    painter.setPen(QPen(QColor(255, 220, 210, 170), 1.4, Qt::SolidLine, Qt::RoundCap));
    for (double x : {12.0, 16.0, 20.0}) {
        painter.drawLine(QPointF(x, 13.5), QPointF(x + (x - 16) * 0.08, 26.5));
    }

    // The lid and its handle.
    QLinearGradient lid(0, 5, 0, 10);
    lid.setColorAt(0, QColor(250, 130, 110));
    lid.setColorAt(1, QColor(176, 34, 24));
    painter.setBrush(lid);
    painter.setPen(QPen(outline, 1));
    painter.drawRoundedRect(QRectF(12.5, 2.5, 7, 4), 1.5, 1.5);
    painter.drawRoundedRect(QRectF(4.5, 5.5, 23, 4.5), 2, 2);
    painter.setPen(QPen(QColor(255, 255, 255, 120), 1));
    painter.drawLine(QPointF(6.5, 6.8), QPointF(25.5, 6.8));
    return image;
}

}  // namespace

QImage MakeContentPicture(PictureName name) {
    switch (name) {
        case PictureName::SaveText:
            return DrawSaveIcon();
        case PictureName::DeleteText:
            return DrawDeleteIcon();
        default:
            return QImage();
    }
}

}  // namespace tz
