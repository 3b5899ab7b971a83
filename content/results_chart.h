#pragma once
// The bar chart of the pupil's last ten results, shown by the main menu.

#include <QColor>
#include <QImage>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace tz {

// One point of a chart: point 0 holds the scale maximum and the label "Ejercicio", points 1..n
// the bars with their own numbers as labels.
struct ChartPoint {
    std::int32_t value = 0;
    QString label;
};

// The chart colours: three schemes (0 blue, 1 red, 2 green) of eight colours, each a 32-bit RGB
// value with red in the low byte.
using ChartColourTable = std::array<std::array<quint32, 8>, 3>;
const ChartColourTable& ChartColours();
// A colour of the table as a QColor; black outside the table.
QColor ChartColour(int scheme, int index);

// Colour k (0..7) of chart scheme 0 (blue), 1 (red) or 2 (green); another scheme number reads
// as scheme 1, the one the results chart uses.
QColor ChartSchemeColour(int scheme, int k);

inline const QString kResultsChartTitle = QStringLiteral("Resultado de los 10 últimos ejercicios");

// Draws the chart of points 0..n into `picture`, inside the area whose top-left corner is
// (x, y). A point missing from `points` draws as 0.
void DrawBarChart(QImage& picture, const std::vector<ChartPoint>& points, int n, int x, int y,
                  int width, int height, int scheme, const QString& title);

// The points of a ResultsHistory: point 0 the largest speed (at least 1) with the label
// "Ejercicio", points 1 to 10 the speeds oldest first (an empty slot as 0).
std::vector<ChartPoint> ResultsChartPoints(const std::array<std::int16_t, 10>& history);

// The chart of a ResultsHistory on a new white picture of width x height (at least 1 x 1).
QImage DrawResultsChart(const std::array<std::int16_t, 10>& history, int width, int height);

}  // namespace tz
