#include "app/about_pictures.h"

#include "app/brand.h"
#include "platform/drawing.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace tz {

namespace {

const QColor& kTerracotta = kBrandTerracotta;
const QColor& kNavy = kBrandNavy;
const QColor& kCream = kBrandCream;
const QColor kSocialBlue(59, 89, 152);

// A faint row of key caps, the motif of the program's pictures.
void DrawKeyRow(QPainter& painter, double y, double left, double right, const QColor& colour) {
    painter.setPen(QPen(colour, 1));
    painter.setBrush(Qt::NoBrush);
    for (double x = left; x + 14 <= right; x += 17) {
        painter.drawRoundedRect(QRectF(x, y, 14, 12), 2.5, 2.5);
    }
}

// Picture 37, 257 x 335: the background of the about box. The controls lie on it at fixed
// places, so the drawing leaves their spots plain and labels them.
QImage DrawAboutBackground() {
    QImage image = NewPicture(257, 335);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient paper(0, 0, 0, 335);
    paper.setColorAt(0, kCream);
    paper.setColorAt(1, QColor(241, 226, 205));
    painter.fillRect(QRect(0, 0, 257, 335), paper);

    // The window has no border of its own.
    painter.setPen(QPen(kNavy, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(1, 1, 255, 333));
    painter.setPen(QPen(kTerracotta, 1));
    painter.drawRoundedRect(QRectF(2.5, 2.5, 252, 330), 4, 4);

    // Between the banner and the logo.
    painter.setFont(ArialPixels(14, true));
    painter.setPen(kNavy);
    painter.drawText(QRectF(4, 62, 249, 26), Qt::AlignCenter, "Acerca de TIPENZO 10");
    painter.setPen(QPen(kTerracotta, 1.5));
    painter.drawLine(QPointF(40, 86.5), QPointF(217, 86.5));

    // The caption of the version box at (219, 179).
    painter.setFont(ArialPixels(12, true));
    painter.setPen(kNavy);
    painter.drawText(QRectF(128, 178, 87, 16), Qt::AlignRight | Qt::AlignVCenter,
                     QString::fromUtf8("Versión"));
    painter.setPen(QPen(QColor(120, 92, 5), 1));
    painter.drawRect(QRectF(217.5, 177.5, 34, 17));
    painter.setFont(ArialPixels(10, false, true));
    painter.setPen(QColor(110, 100, 95));
    painter.drawText(QRectF(128, 197, 122, 30), Qt::AlignRight | Qt::AlignTop | Qt::TextWordWrap,
                     QString::fromUtf8("Curso de mecanografía\ncon los diez dedos"));

    // Who makes it.
    painter.setPen(QPen(kTerracotta, 1));
    painter.drawLine(QPointF(12, 237.5), QPointF(245, 237.5));
    painter.setFont(ArialPixels(11, false));
    painter.setPen(kNavy);
    painter.drawText(QRectF(12, 241, 233, 16), Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromUtf8("Programa educativo para escuelas y familias."));
    painter.drawText(QRectF(12, 256, 233, 16), Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromUtf8("© 2023 Tipenzo Software Educativo"));

    DrawKeyRow(painter, 278, 12, 196, QColor(214, 190, 170));
    painter.setFont(ArialPixels(11, true));
    painter.setPen(kTerracotta.darker(130));
    painter.drawText(QRectF(12, 293, 185, 15), Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromUtf8("Visite nuestra web:"));
    return image;
}

// Picture 18, 97 x 40: the social page button, a rounded blue button with a raised thumb.
QImage DrawSocialButton() {
    // Transparent corners: the button sits on the about box and on the main menu.
    QImage image = NewPicture(97, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    const QRectF face(1.5, 1.5, 94, 37);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 50));
    painter.drawRoundedRect(face.translated(0, 1.5), 8, 8);
    QLinearGradient fill(0, 0, 0, 40);
    fill.setColorAt(0, kSocialBlue.lighter(135));
    fill.setColorAt(1, kSocialBlue);
    painter.setBrush(fill);
    painter.setPen(QPen(kSocialBlue.darker(130), 1));
    painter.drawRoundedRect(face, 8, 8);

    // The thumb: cuff, fist and the raised thumb.
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(QRectF(8, 18, 5, 14), 1.5, 1.5);
    painter.drawRoundedRect(QRectF(14, 17, 14, 15), 3, 3);
    QPainterPath thumb;
    thumb.moveTo(15, 18);
    thumb.lineTo(18.5, 9);
    thumb.quadTo(20.5, 5.5, 22.5, 8);
    thumb.lineTo(22, 17.5);
    thumb.closeSubpath();
    painter.drawPath(thumb);
    painter.setPen(QPen(kSocialBlue, 1));
    for (double y : {21.5, 25.0, 28.5}) painter.drawLine(QPointF(21, y), QPointF(28, y));

    painter.setFont(ArialPixels(13, true));
    painter.setPen(Qt::white);
    painter.drawText(QRectF(31, 4, 62, 32), Qt::AlignCenter, "Me Gusta");
    return image;
}

}  // namespace

QImage MakeAboutPicture(PictureName name) {
    switch (name) {
        case PictureName::SocialButton:
            return DrawSocialButton();
        case PictureName::AboutBackground:
            return DrawAboutBackground();
        default:
            return QImage();
    }
}

}  // namespace tz
