#include "app/brand.h"
#include "platform/pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace tz {

KeyCapShapes KeyCapGeometry(const QRectF& rect, const QColor& face) {
    KeyCapShapes shapes;
    shapes.shadow = rect.translated(1.5, 2.5);
    shapes.skirt = rect;
    shapes.top = rect.adjusted(3, 2, -3, -5);
    shapes.radius = 5;
    shapes.topRadius = 4;
    shapes.shadowColour = QColor(0, 0, 0, 60);
    shapes.skirtColour = face.darker(135);
    shapes.shineFrom = face.lighter(112);
    shapes.shineTo = face;
    return shapes;
}

QFont KeyCapFont(double legendPixels) {
    QFont font("Arial");
    font.setPixelSize(static_cast<int>(legendPixels));
    font.setBold(true);
    return font;
}

void DrawKeyCap(QPainter& painter, const QRectF& rect, const QString& legend, const QColor& face,
                const QColor& ink, double legendPixels) {
    const KeyCapShapes shapes = KeyCapGeometry(rect, face);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(shapes.shadowColour);
    painter.drawRoundedRect(shapes.shadow, shapes.radius, shapes.radius);
    painter.setBrush(shapes.skirtColour);
    painter.drawRoundedRect(shapes.skirt, shapes.radius, shapes.radius);
    QLinearGradient shine(shapes.top.topLeft(), shapes.top.bottomLeft());
    shine.setColorAt(0, shapes.shineFrom);
    shine.setColorAt(1, shapes.shineTo);
    painter.setBrush(shine);
    painter.drawRoundedRect(shapes.top, shapes.topRadius, shapes.topRadius);
    painter.setFont(KeyCapFont(legendPixels));
    painter.setPen(ink);
    painter.drawText(shapes.top, Qt::AlignCenter, legend);
    painter.restore();
}

QImage DrawLogo() {
    QImage image = NewPicture(306, 84);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient background(0, 0, 0, 84);
    background.setColorAt(0, kBrandNavy.lighter(125));
    background.setColorAt(1, kBrandNavy);
    painter.fillRect(QRect(0, 0, 306, 84), background);

    // The word on key caps, the last one golden: the number of the edition.
    const QString letters = "TIPENZO";
    const double cap = 30, gap = 3, x0 = 10, y0 = 12;
    for (int i = 0; i < letters.size(); ++i) {
        const QRectF rect(x0 + i * (cap + gap), y0, cap, cap + 4);
        DrawKeyCap(painter, rect, letters.mid(i, 1), kBrandCream, kBrandNavy, 18);
    }
    DrawKeyCap(painter, QRectF(x0 + 7 * (cap + gap) + 8, y0 - 4, 58, 44), "10", kBrandGold,
               kBrandNavy, 28);

    QFont tagline("Arial");
    tagline.setPixelSize(13);
    tagline.setItalic(true);
    painter.setFont(tagline);
    painter.setPen(kBrandCream);
    painter.drawText(QRectF(10, 58, 286, 20), Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromUtf8("Mecanografía con los diez dedos"));
    painter.setPen(QPen(kBrandTerracotta, 3));
    painter.drawLine(QPointF(0, 82.5), QPointF(306, 82.5));
    return image;
}

QImage DrawBanner() {
    QImage image = NewPicture(249, 56);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient background(0, 0, 249, 0);
    background.setColorAt(0, kBrandTerracotta.darker(115));
    background.setColorAt(1, kBrandTerracotta.lighter(110));
    painter.fillRect(QRect(0, 0, 249, 56), background);

    // A row of home keys with the two bumps of F and J.
    const QString home = QString::fromUtf8("ASDFJKLÑ");
    for (int i = 0; i < home.size(); ++i) {
        const QRectF key(8 + i * 19 + (i >= 4 ? 8 : 0), 31, 17, 19);
        DrawKeyCap(painter, key, home.mid(i, 1), kBrandCream, kBrandNavy, 10);
        if (i == 3 || i == 4) {
            painter.setPen(QPen(kBrandNavy, 1.2));
            painter.drawLine(QPointF(key.center().x() - 3, key.bottom() - 7),
                             QPointF(key.center().x() + 3, key.bottom() - 7));
        }
    }
    QFont title("Arial");
    title.setPixelSize(17);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(kBrandCream);
    painter.drawText(QRectF(8, 3, 233, 24), Qt::AlignLeft | Qt::AlignVCenter, "TIPENZO 10");
    QFont sub("Arial");
    sub.setPixelSize(11);
    painter.setFont(sub);
    painter.drawText(QRectF(108, 3, 133, 24), Qt::AlignRight | Qt::AlignVCenter,
                     QString::fromUtf8("curso de mecanografía"));
    painter.setPen(kBrandNavy);
    painter.setFont(title);
    painter.drawText(QRectF(178, 30, 66, 22), Qt::AlignCenter, "v2.9c");
    return image;
}

}  // namespace tz
