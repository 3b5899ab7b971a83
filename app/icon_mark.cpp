#include "app/icon_mark.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "app/brand.h"

namespace tz {

namespace {

// The shapes, on a 64-unit grid.
constexpr double kGrid = 64;
const QRectF kTile(2, 2, 60, 60);
constexpr double kTileRadius = 12;
const QRectF kCap(9, 8, 46, 38);
const QString kLegend = QStringLiteral("10");
constexpr double kLegendPixels = 26;
const QLineF kRule(13, 54, 51, 54);
constexpr double kRuleWidth = 4;

QColor TileTop() {
    return kBrandNavy.lighter(125);
}

// The legend as outlines, placed as QPainter::drawText centres a line in a rectangle.
QPainterPath LegendPath(const QRectF& box) {
    const QFont font = KeyCapFont(kLegendPixels);
    const QFontMetricsF metrics(font);
    const double x = box.left() + (box.width() - metrics.horizontalAdvance(kLegend)) / 2;
    const double baseline = box.top() + (box.height() - metrics.height()) / 2 + metrics.ascent();
    QPainterPath path;
    path.addText(x, baseline, font, kLegend);
    return path;
}

QString Number(double value) {
    return QString::number(value, 'g', 6);
}

QString RoundedRect(const QRectF& rect, double radius, const QString& fill) {
    return QStringLiteral(
               "  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\" "
               "ry=\"%5\" %6/>\n")
        .arg(Number(rect.x()), Number(rect.y()), Number(rect.width()), Number(rect.height()),
             Number(radius), fill);
}

QString Gradient(const QString& id, double top, double bottom, const QColor& from,
                 const QColor& to) {
    return QStringLiteral(
               "    <linearGradient id=\"%1\" x1=\"0\" y1=\"%2\" x2=\"0\" y2=\"%3\" "
               "gradientUnits=\"userSpaceOnUse\">\n"
               "      <stop offset=\"0\" stop-color=\"%4\"/>\n"
               "      <stop offset=\"1\" stop-color=\"%5\"/>\n"
               "    </linearGradient>\n")
        .arg(id, Number(top), Number(bottom), from.name(), to.name());
}

QString PathData(const QPainterPath& path) {
    QStringList parts;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element element = path.elementAt(i);
        const QString point = Number(element.x) + ' ' + Number(element.y);
        if (element.isMoveTo()) {
            if (!parts.isEmpty()) parts.append(QStringLiteral("Z"));
            parts.append('M' + point);
        } else if (element.isLineTo()) {
            parts.append('L' + point);
        } else if (element.isCurveTo() && i + 2 < path.elementCount()) {
            const QPainterPath::Element second = path.elementAt(i + 1);
            const QPainterPath::Element third = path.elementAt(i + 2);
            parts.append('C' + point + ' ' + Number(second.x) + ' ' + Number(second.y) + ' ' +
                         Number(third.x) + ' ' + Number(third.y));
            i += 2;
        }
    }
    parts.append(QStringLiteral("Z"));
    return parts.join(' ');
}

}  // namespace

QImage DrawIconMark(int pixels) {
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(pixels / kGrid, pixels / kGrid);
    QLinearGradient tile(0, kTile.top(), 0, kTile.bottom());
    tile.setColorAt(0, TileTop());
    tile.setColorAt(1, kBrandNavy);
    painter.setPen(Qt::NoPen);
    painter.setBrush(tile);
    painter.drawRoundedRect(kTile, kTileRadius, kTileRadius);
    DrawKeyCap(painter, kCap, kLegend, kBrandGold, kBrandNavy, kLegendPixels);
    painter.setPen(QPen(kBrandTerracotta, kRuleWidth, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(kRule);
    return image;
}

QByteArray IconMarkSvg() {
    const KeyCapShapes cap = KeyCapGeometry(kCap, kBrandGold);
    QString svg = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" height=\"64\" "
        "viewBox=\"0 0 64 64\">\n"
        "  <title>TIPENZO 10</title>\n"
        "  <defs>\n");
    svg += Gradient("tile", kTile.top(), kTile.bottom(), TileTop(), kBrandNavy);
    svg += Gradient("shine", cap.top.top(), cap.top.bottom(), cap.shineFrom, cap.shineTo);
    svg += QStringLiteral("  </defs>\n");
    svg += RoundedRect(kTile, kTileRadius, QStringLiteral("fill=\"url(#tile)\""));
    svg += RoundedRect(cap.shadow, cap.radius,
                       QStringLiteral("fill=\"#000000\" fill-opacity=\"%1\"")
                           .arg(Number(cap.shadowColour.alphaF())));
    svg += RoundedRect(cap.skirt, cap.radius,
                       QStringLiteral("fill=\"%1\"").arg(cap.skirtColour.name()));
    svg += RoundedRect(cap.top, cap.topRadius, QStringLiteral("fill=\"url(#shine)\""));
    svg += QStringLiteral("  <path fill=\"%1\" fill-rule=\"evenodd\" d=\"%2\"/>\n")
               .arg(kBrandNavy.name(), PathData(LegendPath(cap.top)));
    svg += QStringLiteral(
               "  <line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%4\" stroke=\"%5\" "
               "stroke-width=\"%6\" stroke-linecap=\"round\"/>\n")
               .arg(Number(kRule.x1()), Number(kRule.y1()), Number(kRule.x2()), Number(kRule.y2()),
                    kBrandTerracotta.name(), Number(kRuleWidth));
    svg += QStringLiteral("</svg>\n");
    return svg.toUtf8();
}

}  // namespace tz
