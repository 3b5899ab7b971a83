#include "exercise/result_picture.h"
#include "platform/pictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

namespace tz {

namespace {

constexpr int kWidth = 250;
constexpr int kHeight = 285;

const QColor kNavy(10, 44, 78);
const QColor kGold(242, 190, 84);
const QColor kDeepGold(196, 138, 38);
const QColor kCream(252, 247, 236);
const QColor kTerracotta(208, 96, 72);

QFont SansFont(int pixels, bool bold) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

void DrawBackground(QPainter& p) {
    QLinearGradient sky(0, 0, 0, kHeight);
    sky.setColorAt(0.0, QColor(8, 70, 122));
    sky.setColorAt(0.55, QColor(0, 118, 182));
    sky.setColorAt(1.0, QColor(36, 150, 206));
    p.fillRect(0, 0, kWidth, kHeight, sky);

    // Soft light behind the stopwatch.
    QRadialGradient glow(QPointF(125, 142), 120);
    glow.setColorAt(0.0, QColor(255, 255, 255, 70));
    glow.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillRect(0, 0, kWidth, kHeight, glow);

    // Faint rows of keys along the bottom, like a keyboard seen from above.
    p.setPen(Qt::NoPen);
    for (int row = 0; row < 3; ++row) {
        const int y = 226 + row * 19;
        const int offset = row * 8 - 14;
        for (int x = offset; x < kWidth; x += 26) {
            p.setBrush(QColor(255, 255, 255, 22 + row * 6));
            p.drawRoundedRect(QRectF(x, y, 22, 15), 3, 3);
        }
    }
}

void DrawHeading(QPainter& p) {
    p.setFont(SansFont(22, true));
    p.setPen(QColor(0, 30, 60, 110));
    p.drawText(QRect(1, 15, kWidth, 30), Qt::AlignHCenter | Qt::AlignVCenter,
               QStringLiteral("RESULTADOS"));
    p.setPen(Qt::white);
    p.drawText(QRect(0, 14, kWidth, 30), Qt::AlignHCenter | Qt::AlignVCenter,
               QStringLiteral("RESULTADOS"));
    p.setPen(Qt::NoPen);
    p.setBrush(kGold);
    p.drawRoundedRect(QRectF(85, 47, 80, 4), 2, 2);
}

// Motion streaks on the left: the watch is running.
void DrawStreaks(QPainter& p) {
    p.setPen(QPen(QColor(255, 255, 255, 120), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(18, 116), QPointF(48, 116));
    p.drawLine(QPointF(10, 138), QPointF(52, 138));
    p.drawLine(QPointF(22, 160), QPointF(50, 160));
}

void DrawStopwatch(QPainter& p) {
    const QPointF centre(128, 142);
    const double outer = 66;

    // Crown and side button.
    p.setPen(QPen(kNavy, 2));
    p.setBrush(kGold);
    p.drawRoundedRect(QRectF(centre.x() - 11, centre.y() - outer - 18, 22, 12), 3, 3);
    p.setBrush(kDeepGold);
    p.drawRect(QRectF(centre.x() - 5, centre.y() - outer - 7, 10, 8));
    p.save();
    p.translate(centre);
    p.rotate(45);
    p.setBrush(kGold);
    p.drawRoundedRect(QRectF(-6, -outer - 12, 12, 10), 2, 2);
    p.restore();

    // Shadow, bezel and face.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 30, 60, 80));
    p.drawEllipse(centre + QPointF(3, 5), outer, outer);
    QLinearGradient bezel(centre.x(), centre.y() - outer, centre.x(), centre.y() + outer);
    bezel.setColorAt(0.0, QColor(255, 222, 140));
    bezel.setColorAt(1.0, kDeepGold);
    p.setBrush(bezel);
    p.setPen(QPen(kNavy, 2));
    p.drawEllipse(centre, outer, outer);
    QRadialGradient face(centre - QPointF(18, 22), outer * 1.3);
    face.setColorAt(0.0, Qt::white);
    face.setColorAt(1.0, QColor(230, 238, 245));
    p.setBrush(face);
    p.setPen(QPen(QColor(150, 110, 40), 1.5));
    p.drawEllipse(centre, outer - 8, outer - 8);

    // The part of the minute already gone, tinted.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 128, 192, 45));
    const double dial = outer - 12;
    p.drawPie(QRectF(centre.x() - dial, centre.y() - dial, dial * 2, dial * 2), 90 * 16, -125 * 16);

    // Ticks: long every five seconds.
    p.save();
    p.translate(centre);
    for (int tick = 0; tick < 60; ++tick) {
        const bool major = tick % 5 == 0;
        p.setPen(QPen(kNavy, major ? 2.5 : 1, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(0, -(outer - 12)), QPointF(0, -(outer - (major ? 21 : 16))));
        p.rotate(6);
    }
    p.restore();

    p.setFont(SansFont(11, true));
    p.setPen(kNavy);
    p.drawText(QRectF(centre.x() - 20, centre.y() + 14, 40, 14), Qt::AlignCenter,
               QStringLiteral("p.p.m."));

    // The hand, at about twenty seconds.
    p.save();
    p.translate(centre);
    p.rotate(125);
    p.setPen(QPen(kTerracotta, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(0, 10), QPointF(0, -(outer - 20)));
    p.restore();
    p.setPen(QPen(kNavy, 1.5));
    p.setBrush(kTerracotta);
    p.drawEllipse(centre, 6, 6);
    p.setBrush(kGold);
    p.setPen(Qt::NoPen);
    p.drawEllipse(centre, 2.5, 2.5);
}

void DrawRibbon(QPainter& p) {
    const QRectF band(26, 236, 198, 30);
    QPainterPath ribbon;
    ribbon.addRoundedRect(band, 8, 8);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 30, 60, 90));
    p.drawPath(ribbon.translated(2, 3));
    QLinearGradient fill(band.topLeft(), band.bottomLeft());
    fill.setColorAt(0.0, kCream);
    fill.setColorAt(1.0, QColor(236, 226, 206));
    p.setBrush(fill);
    p.setPen(QPen(kDeepGold, 1.5));
    p.drawPath(ribbon);
    p.setFont(SansFont(14, true));
    p.setPen(kNavy);
    p.drawText(band, Qt::AlignCenter, QStringLiteral("TIPENZO 10"));
}

}  // namespace

QImage DrawResultPicture() {
    QImage image = NewPicture(kWidth, kHeight);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    DrawBackground(p);
    DrawHeading(p);
    DrawStreaks(p);
    DrawStopwatch(p);
    DrawRibbon(p);
    return image;
}

}  // namespace tz
