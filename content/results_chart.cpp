#include "content/results_chart.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "platform/fonts.h"
#include "platform/pictures.h"

namespace tz {

namespace {

const QColor kValueColour(5, 85, 0);

// Nearest integer, halves to even (the default rounding mode); far-off values are held to a
// range that still lies outside any picture.
int RoundHalfEven(double value) {
    return static_cast<int>(std::nearbyint(std::clamp(value, -1.0e6, 1.0e6)));
}

// A line as the desktop draws it: from the first point up to, but not including, the last.
// The chart only draws upright and level lines.
void DrawLine(QPainter& painter, int x0, int y0, int x1, int y1, const QColor& colour) {
    if (x0 == x1) {
        if (y1 > y0) painter.fillRect(x0, y0, 1, y1 - y0, colour);
        if (y1 < y0) painter.fillRect(x0, y1 + 1, 1, y0 - y1, colour);
    } else if (y0 == y1) {
        if (x1 > x0) painter.fillRect(x0, y0, x1 - x0, 1, colour);
        if (x1 < x0) painter.fillRect(x1 + 1, y0, x0 - x1, 1, colour);
    } else {
        painter.setPen(colour);
        painter.drawLine(x0, y0, x1, y1);
    }
}

// Text with its top-left corner at (x, y) and a transparent background.
void DrawChartText(QPainter& painter, int x, int y, const QString& text, const QFont& font,
                   const QColor& colour) {
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(x, y + QFontMetrics(font).ascent(), text);
}

int TextWidth(const QString& text, const QFont& font) {
    return QFontMetrics(font).horizontalAdvance(text);
}

ChartPoint PointAt(const std::vector<ChartPoint>& points, int i) {
    if (i >= 0 && i < static_cast<int>(points.size())) return points[static_cast<std::size_t>(i)];
    return ChartPoint{0, i == 0 ? QStringLiteral("Ejercicio") : QString::number(i)};
}

}  // namespace

const ChartColourTable& ChartColours() {
    static const ChartColourTable table = [] {
        constexpr int kRgb[3][8][3] = {
            {{71, 71, 108},
             {140, 140, 183},
             {49, 49, 75},
             {201, 211, 233},
             {184, 197, 226},
             {255, 255, 255},
             {0, 0, 255},
             {0, 0, 0}},
            {{108, 71, 71},
             {183, 120, 120},
             {75, 49, 49},
             {233, 211, 201},
             {226, 197, 184},
             {243, 232, 226},
             {255, 0, 0},
             {240, 0, 0}},
            {{71, 108, 71},
             {120, 183, 120},
             {49, 75, 49},
             {201, 233, 211},
             {184, 226, 197},
             {223, 242, 228},
             {49, 75, 49},
             {24, 58, 35}},
        };
        ChartColourTable colours{};
        for (int scheme = 0; scheme < 3; ++scheme) {
            for (int index = 0; index < 8; ++index) {
                const auto& c = kRgb[scheme][index];
                colours[scheme][index] = static_cast<quint32>(c[0]) |
                                         static_cast<quint32>(c[1]) << 8 |
                                         static_cast<quint32>(c[2]) << 16;
            }
        }
        return colours;
    }();
    return table;
}

QColor ChartColour(int scheme, int index) {
    if (scheme < 0 || scheme > 2 || index < 0 || index > 7) return QColor(0, 0, 0);
    const quint32 value = ChartColours()[scheme][index];
    return QColor(value & 0xff, (value >> 8) & 0xff, (value >> 16) & 0xff);
}

QColor ChartSchemeColour(int scheme, int k) {
    // Colours of a scheme: c0 bar fill, c1 bar left and top edges, c2 bar right edge, c3
    // background, c4 left strip and bands, c5 bottom strip, c6 title, c7 small texts. An unknown
    // scheme draws red.
    if (scheme < 0 || scheme > 2) scheme = 1;
    return ChartColour(scheme, std::clamp(k, 0, 7));
}

void DrawBarChart(QImage& image, const std::vector<ChartPoint>& points, int n, int x, int y,
                  int width, int height, int scheme, const QString& title) {
    if (image.isNull() || width <= 0 || height <= 0) return;
    QColor c[8];
    for (int k = 0; k < 8; ++k) c[k] = ChartSchemeColour(scheme, k);

    QPainter painter(&image);
    painter.setClipRect(QRect(x, y, width, height));
    painter.setRenderHint(QPainter::TextAntialiasing, true);

    painter.fillRect(x, y, width, height, c[3]);
    painter.fillRect(x, y, 40, height, c[4]);
    // The last band may run past the bottom edge; the clip cuts it.
    for (int b = y + 18; b <= y + height; b += 40)
        painter.fillRect(x + 41, b, width - 41, 20, c[4]);
    painter.fillRect(x, y + height - 15, width, 15, c[5]);

    // Both fonts are in use side by side while drawing.
    const QFont titleFont = MakeFont(QStringLiteral("ARIAL"), 10, true);
    const QFont smallFont = MakeFont(QStringLiteral("ARIAL"), 8);

    DrawChartText(painter, x + 40 + (width - TextWidth(title, titleFont)) / 2, y, title, titleFont,
                  c[6]);
    const QString ppm = QStringLiteral("P.P.M.");
    DrawChartText(painter, x + (40 - TextWidth(ppm, smallFont)) / 2, y + 20, ppm, smallFont, c[7]);

    const int y2 = y + 24;
    const ChartPoint scalePoint = PointAt(points, 0);
    DrawChartText(painter, x + 2, y2 + height - 39, scalePoint.label, smallFont, c[7]);

    if (n <= 0) return;
    const int h2 = height - 40;
    // A maximum of 0 or below would divide by nothing; BuildResultsChart never passes one.
    const double maximum = scalePoint.value > 0 ? scalePoint.value : 1;
    const float scale = static_cast<float>(static_cast<double>(h2 - 3) / maximum);
    const int slot = (width - 60) / n;

    for (int i = 1; i <= n; ++i) {
        const ChartPoint point = PointAt(points, i);
        const double scaled = static_cast<double>(point.value) * static_cast<double>(scale);
        const int left = x + 48 + (i - 1) * slot;
        const int right = left + slot - 3;
        const int bottom = y2 + h2;
        const int top = RoundHalfEven(static_cast<double>(y2 + h2) - scaled);

        DrawLine(painter, left, top, left, bottom, c[1]);
        DrawLine(painter, left, top, right, top, c[1]);
        DrawLine(painter, right, top, right, bottom, c[2]);
        const int fillHeight = RoundHalfEven(scaled);
        if (fillHeight > 0 && slot - 4 > 0) {
            painter.fillRect(left + 1, top + 1, slot - 4, fillHeight, c[0]);
        }

        DrawChartText(painter, left + (slot - TextWidth(point.label, smallFont)) / 2, bottom + 1,
                      point.label, smallFont, c[7]);
        const QString value = QString::number(point.value);
        DrawChartText(painter, left + (slot - TextWidth(value, smallFont)) / 2, top - 12, value,
                      smallFont, kValueColour);
    }
}

std::vector<ChartPoint> ResultsChartPoints(const std::array<std::int16_t, 10>& history) {
    std::int32_t maximum = 1;
    for (const std::int16_t speed : history) maximum = std::max<std::int32_t>(maximum, speed);
    std::vector<ChartPoint> points{ChartPoint{maximum, QStringLiteral("Ejercicio")}};
    for (int i = 1; i <= 10; ++i) {
        const std::int16_t speed = history[static_cast<std::size_t>(i - 1)];
        points.push_back(ChartPoint{std::max<std::int32_t>(speed, 0), QString::number(i)});
    }
    return points;
}

QImage DrawResultsChart(const std::array<std::int16_t, 10>& history, int width, int height) {
    // An impossible size still gets a picture, so the chart control always has one to show.
    QImage chart = NewPicture(std::max(width, 1), std::max(height, 1));
    chart.fill(Qt::white);
    DrawBarChart(chart, ResultsChartPoints(history), 10, 0, 0, width, height, 1,
                 kResultsChartTitle);
    return chart;
}

}  // namespace tz
