#pragma once
// The bar chart of the pupil's last ten results, shown by the main menu.

#include <QColor>
#include <QString>
#include <cstdint>
#include <vector>

namespace tz {

// One point of a chart: point 0 holds the scale maximum and the label "Ejercicio", points 1..n
// the bars with their own numbers as labels.
struct ChartPoint {
    std::int32_t value = 0;
    QString label;
};

// The points DrawBarChart draws; BuildResultsChart fills them from the CurrentUser.
extern std::vector<ChartPoint> ChartPoints;

// Colour k (0..7) of chart scheme 0 (blue), 1 (red) or 2 (green); another scheme number reads
// as scheme 1, the one the results chart uses.
QColor ChartSchemeColour(int scheme, int k);

inline const QString kResultsChartTitle = QStringLiteral("Resultado de los 10 últimos ejercicios");
inline constexpr int kMainMenuChartControl = 39;

// Draws the chart of ChartPoints 0..n into the picture numbered `picture`, inside the area
// whose top-left corner is (x, y).
void DrawBarChart(int picture, int n, int x, int y, int width, int height, int scheme,
                  const QString& title);

// Redraws the chart of the CurrentUser's history into a new picture of width x height (the
// previous chart picture is freed first) and shows it in the main menu's chart control.
void BuildResultsChart(int width, int height);

// The picture number of the chart drawn last; 0 before the first drawing.
int ResultsChartPicture();
// Frees the chart picture, at the end of the program.
void ReleaseResultsChart();

}  // namespace tz
