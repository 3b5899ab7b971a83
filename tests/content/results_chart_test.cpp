#include "content/results_chart.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QWidget>
#include <array>
#include <memory>

#include "platform/pictures.h"
#include "platform/windows.h"
#include "support.h"
#include "users/user_record.h"

namespace tz {
namespace {

using History = std::array<std::int16_t, 10>;

// Scheme 1 and the value colour, as the chart paints them.
const QRgb kFill = qRgb(108, 71, 71);
const QRgb kLeftTop = qRgb(183, 120, 120);
const QRgb kRight = qRgb(75, 49, 49);
const QRgb kBackground = qRgb(233, 211, 201);
const QRgb kBand = qRgb(226, 197, 184);
const QRgb kBottomStrip = qRgb(243, 232, 226);
// Text is smoothed, so its ink is told by its hue: the values are the only green on the chart,
// the title the only strong red above the bars.
bool ValueInk(QRgb p) {
    return qGreen(p) > qRed(p) + 20 && qGreen(p) > qBlue(p);
}
bool RedInk(QRgb p) {
    return qRed(p) > 200 && qGreen(p) < 150;
}
bool FillInk(QRgb p) {
    return p == (qRgb(108, 71, 71) & 0xffffff);
}

constexpr int kSlot = 38;
int Left(int bar) {
    return 48 + (bar - 1) * kSlot;
}
int Right(int bar) {
    return Left(bar) + 35;
}

class ResultsChartTest : public ::testing::Test {
  protected:
    QImage Chart(const History& history) {
        return test::Logical(DrawResultsChart(history, 440, 180));
    }

    static QRgb At(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xffffff; }

    // The first row, from the top, where the bar's left edge is painted.
    static int TopOf(const QImage& image, int bar) {
        for (int y = 0; y < 180; ++y) {
            if (At(image, Left(bar) + 10, y) == (kLeftTop & 0xffffff)) return y;
        }
        return -1;
    }

    // The box of the pixels inside `area` that pass `ink`; an empty box when there are none.
    template <typename Ink>
    static QRect InkBox(const QImage& image, Ink ink, const QRect& area) {
        QRect box;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                if (ink(At(image, x, y))) box |= QRect(x, y, 1, 1);
            }
        }
        return box;
    }

    // Pixels that differ from the plain chart background in `area` (antialiased text).
    static QRect TextBox(const QImage& image, const QRect& area) {
        QRect box;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                const QRgb p = At(image, x, y);
                if (p != (kBackground & 0xffffff) && p != (kBand & 0xffffff) &&
                    p != (kBottomStrip & 0xffffff))
                    box |= QRect(x, y, 1, 1);
            }
        }
        return box;
    }

    UserRecord saved_;
};

const History kEmpty = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
const History kFull = {52, 61, 58, 70, 75, 81, 79, 88, 95, 100};

TEST_F(ResultsChartTest, BackgroundStripsAndBandsLieWhereTheyBelong) {
    const QImage chart = Chart(kFull);
    ASSERT_EQ(chart.size(), QSize(440, 180));
    const int gap = Right(1) + 2;  // between bars 1 and 2: only the background shows

    // Left strip 0..39, then one background column, then the bands from x 41.
    EXPECT_EQ(At(chart, 0, 10), kBand & 0xffffff);
    EXPECT_EQ(At(chart, 39, 10), kBand & 0xffffff);
    EXPECT_EQ(At(chart, 40, 10), kBackground & 0xffffff);
    EXPECT_EQ(At(chart, 40, 20), kBackground & 0xffffff);
    EXPECT_EQ(At(chart, 41, 20), kBand & 0xffffff);
    EXPECT_EQ(At(chart, 439, 20), kBand & 0xffffff);

    // Bands of 20 rows every 40 rows from row 18; the background between them.
    for (const int band : {18, 58, 98, 138}) {
        EXPECT_EQ(At(chart, gap, band - 1), kBackground & 0xffffff) << band;
        EXPECT_EQ(At(chart, gap, band), kBand & 0xffffff) << band;
        EXPECT_EQ(At(chart, gap, band + 19), kBand & 0xffffff) << band;
        EXPECT_EQ(At(chart, gap, band + 20), kBackground & 0xffffff) << band;
    }
    EXPECT_EQ(At(chart, gap, 164), kBackground & 0xffffff);

    // The bottom strip covers the last 15 rows across the whole width, band 178 included.
    for (const int y : {165, 172, 179}) {
        EXPECT_EQ(At(chart, gap, y), kBottomStrip & 0xffffff) << y;
        EXPECT_EQ(At(chart, 439, y), kBottomStrip & 0xffffff) << y;
    }
}

TEST_F(ResultsChartTest, BarsStandInTheirSlotsWithTheTallestReachingRow27) {
    const QImage chart = Chart(kFull);
    for (int bar = 1; bar <= 10; ++bar) {
        SCOPED_TRACE(bar);
        const int left = Left(bar);
        const int right = Right(bar);
        const int expectedTop =
            static_cast<int>(std::nearbyint(164.0 - kFull[bar - 1] * double(137.0f / 100.0f)));
        const int top = TopOf(chart, bar);
        EXPECT_EQ(top, expectedTop);
        // Edges: left and top in c1, right in c2, the fill 34 pixels wide between them.
        EXPECT_EQ(At(chart, left, top + 5), kLeftTop & 0xffffff);
        EXPECT_EQ(At(chart, left, 163), kLeftTop & 0xffffff);
        EXPECT_EQ(At(chart, right - 1, top), kLeftTop & 0xffffff);
        EXPECT_EQ(At(chart, right, top), kRight & 0xffffff);
        EXPECT_EQ(At(chart, right, 163), kRight & 0xffffff);
        EXPECT_EQ(At(chart, left + 1, top + 1), kFill & 0xffffff);
        EXPECT_EQ(At(chart, right - 1, 164), kFill & 0xffffff);
        EXPECT_EQ(At(chart, left + 17, 164), kFill & 0xffffff);
        // Outside the bar: background or band, never bar colours.
        EXPECT_NE(At(chart, left - 1, 100), kLeftTop & 0xffffff);
        EXPECT_NE(At(chart, right + 1, 100), kRight & 0xffffff);
        EXPECT_EQ(At(chart, left + 17, 165), kBottomStrip & 0xffffff);
        EXPECT_NE(At(chart, left + 17, top - 1), kLeftTop & 0xffffff);
    }
    EXPECT_EQ(Left(1), 48);
    EXPECT_EQ(Left(10), 390);
    EXPECT_EQ(TopOf(chart, 10), 27);  // 100, the maximum
}

TEST_F(ResultsChartTest, TheMaximumAlwaysReachesTheFullHeight) {
    for (const std::int16_t maximum : {1, 2, 7, 137, 500, 32767}) {
        History history = kEmpty;
        history[3] = maximum;
        history[4] = 0;
        const QImage chart = Chart(history);
        EXPECT_EQ(TopOf(chart, 4), 27) << maximum;
        EXPECT_EQ(At(chart, Left(4) + 17, 28), kFill & 0xffffff) << maximum;
        EXPECT_EQ(TopOf(chart, 5), 164) << maximum;
    }
}

TEST_F(ResultsChartTest, ScaleIsASingleFloatAndHalvesRoundToEven) {
    // 1 of 2: 68.5 exactly, the top rounds from 95.5 to 96 and the fill from 68.5 to 68.
    History history = kEmpty;
    history[0] = 2;
    history[1] = 1;
    QImage chart = Chart(history);
    EXPECT_EQ(TopOf(chart, 2), 96);
    EXPECT_EQ(At(chart, Left(2) + 17, 97), kFill & 0xffffff);
    EXPECT_EQ(At(chart, Left(2) + 17, 164), kFill & 0xffffff);
    EXPECT_EQ(At(chart, Left(2) + 17, 165), kBottomStrip & 0xffffff);  // 68 rows, not 69

    // 3 of 6: the scale 22.833334 stored as a single makes 68.500002, so the top is 95 and the
    // fill 69 rows high; an exact scale would have given 96 and 68.
    history[0] = 6;
    history[1] = 3;
    chart = Chart(history);
    EXPECT_EQ(TopOf(chart, 2), 95);
    EXPECT_EQ(At(chart, Left(2) + 17, 96), kFill & 0xffffff);
    EXPECT_EQ(At(chart, Left(2) + 17, 164), kFill & 0xffffff);

    // Half of 100 reaches about half the height.
    history[0] = 100;
    history[1] = 50;
    chart = Chart(history);
    EXPECT_EQ(TopOf(chart, 2), 95);
}

TEST_F(ResultsChartTest, EmptyHistoryGivesFlatBarsWithZerosAbove) {
    const QImage chart = Chart(kEmpty);
    for (int bar = 1; bar <= 10; ++bar) {
        SCOPED_TRACE(bar);
        const int left = Left(bar);
        // Only the top edge, lying on the bar bottom, from the left edge up to the right one.
        for (int x = left; x < Right(bar); ++x) ASSERT_EQ(At(chart, x, 164), kLeftTop & 0xffffff);
        EXPECT_EQ(At(chart, Right(bar), 164), kBackground & 0xffffff);
        EXPECT_EQ(At(chart, left, 163), kBackground & 0xffffff);
        EXPECT_TRUE(InkBox(chart, FillInk, QRect(left, 27, kSlot, 138)).isEmpty());
        // The 0 written at 164 - 12, centred on the slot.
        const QRect zero = InkBox(chart, ValueInk, QRect(left - 5, 140, kSlot + 10, 24));
        ASSERT_FALSE(zero.isEmpty());
        EXPECT_GE(zero.top(), 152);
        EXPECT_LE(zero.bottom(), 163);
        EXPECT_NEAR(zero.center().x(), left + kSlot / 2, 2);
    }

    // Values of 0 or below read as 0 with a maximum of 1: the same picture.
    const QImage zeros = Chart({0, -1, 0, -5, 0, -32768, 0, 0, -1, 0});
    EXPECT_EQ(zeros, chart);
}

TEST_F(ResultsChartTest, ValuesStandCentredAboveTheirBarsAndLabelsBelow) {
    const QImage chart = Chart(kFull);
    int previousLabelWidth = 0;
    for (int bar = 1; bar <= 10; ++bar) {
        SCOPED_TRACE(bar);
        const int left = Left(bar);
        const int top = TopOf(chart, bar);
        const QRect value = InkBox(chart, ValueInk, QRect(left - 8, 0, kSlot + 16, 180));
        ASSERT_FALSE(value.isEmpty());
        EXPECT_GE(value.top(), top - 12);
        EXPECT_LT(value.bottom(), top);
        EXPECT_NEAR(value.center().x(), left + kSlot / 2, 3);

        // The label, the bar's number, in the bottom strip under the bar.
        const QRect label = TextBox(chart, QRect(left, 165, kSlot - 1, 15));
        ASSERT_FALSE(label.isEmpty());
        EXPECT_NEAR(label.center().x(), left + kSlot / 2, 3);
        if (bar == 10) {
            EXPECT_GT(label.width(), previousLabelWidth);  // two digits under the newest
        } else {
            previousLabelWidth = std::max(previousLabelWidth, label.width());
        }
    }

    // Title centred on 40 + width / 2 at the top; "P.P.M." in the left strip; "Ejercicio" at
    // the left of the bottom strip.
    const QRect title = InkBox(chart, RedInk, QRect(0, 0, 440, 18));
    ASSERT_FALSE(title.isEmpty());
    EXPECT_NEAR(title.center().x(), 260, 3);
    EXPECT_LE(title.top(), 4);
    const QRect ppm = TextBox(chart, QRect(0, 18, 40, 20));
    ASSERT_FALSE(ppm.isEmpty());
    EXPECT_GE(ppm.top(), 20);
    EXPECT_NEAR(ppm.center().x(), 20, 2);
    const QRect ejercicio = TextBox(chart, QRect(0, 165, 47, 15));
    ASSERT_FALSE(ejercicio.isEmpty());
    EXPECT_LE(ejercicio.left(), 4);
}

TEST_F(ResultsChartTest, AValueWiderThanItsSlotIsCentredAllTheSame) {
    QImage chart(440, 180, QImage::Format_RGB32);
    chart.fill(Qt::white);
    std::vector<ChartPoint> points(11);
    points[0] = {2000000000, QStringLiteral("Ejercicio")};
    for (int i = 1; i <= 10; ++i) points[i] = {0, QString::number(i)};
    points[5].value = 1234567890;
    DrawBarChart(chart, points, 10, 0, 0, 440, 180, 1, kResultsChartTitle);
    const QRect value = InkBox(chart, ValueInk, QRect(0, 0, 440, 140));  // above the zeros
    ASSERT_FALSE(value.isEmpty());
    EXPECT_LT(value.left(), Left(5));
    EXPECT_GT(value.right(), Right(5));
    EXPECT_NEAR(value.center().x(), Left(5) + kSlot / 2, 3);
}

TEST_F(ResultsChartTest, DrawBarChartHonoursTheAreaAndScheme) {
    QImage chart(500, 220, QImage::Format_RGB32);
    chart.fill(Qt::white);
    std::vector<ChartPoint> points(11);
    points[0] = {10, QStringLiteral("Ejercicio")};
    for (int i = 1; i <= 10; ++i) points[i] = {i, QString::number(i)};
    DrawBarChart(chart, points, 10, 30, 20, 440, 180, 2, kResultsChartTitle);
    EXPECT_EQ(At(chart, 29, 100), qRgb(255, 255, 255) & 0xffffff);  // outside the area
    EXPECT_EQ(At(chart, 30, 100), qRgb(184, 226, 197) & 0xffffff);  // green left strip
    EXPECT_EQ(At(chart, 30 + 48 + 9 * kSlot + 5, 20 + 27), qRgb(120, 183, 120) & 0xffffff);
    EXPECT_EQ(At(chart, 30 + 48 + 5, 20 + 164), qRgb(71, 108, 71) & 0xffffff);
    EXPECT_EQ(At(chart, 100, 20 + 179), qRgb(223, 242, 228) & 0xffffff);
    EXPECT_EQ(At(chart, 100, 20 + 180), qRgb(255, 255, 255) & 0xffffff);  // clipped band

    // No bars at all draws the frame of the chart and nothing else, without failing.
    DrawBarChart(chart, points, 0, 30, 20, 440, 180, 1, kResultsChartTitle);
    EXPECT_EQ(At(chart, 30, 100), kBand & 0xffffff);
}

TEST_F(ResultsChartTest, ThePointsOfAHistoryAndAPictureOfAnyAskedSize) {
    const std::vector<ChartPoint> points =
        ResultsChartPoints({64, 71, -1, -1, -1, -1, -1, -1, -1, -5});
    ASSERT_EQ(points.size(), 11u);
    EXPECT_EQ(points[0].value, 71);
    EXPECT_EQ(points[0].label, "Ejercicio");
    EXPECT_EQ(points[1].value, 64);
    EXPECT_EQ(points[3].value, 0);  // an empty slot
    EXPECT_EQ(points[10].value, 0);
    EXPECT_EQ(points[10].label, "10");
    EXPECT_EQ(ResultsChartPoints(kEmpty)[0].value, 1);  // never a maximum of 0
    EXPECT_EQ(Chart(kEmpty).size(), QSize(440, 180));
    // An impossible size still gives a picture to show.
    EXPECT_EQ(LogicalSize(DrawResultsChart(kFull, 0, -3)), QSize(1, 1));
}

TEST_F(ResultsChartTest, SavesScreens) {
    test::SaveImage(DrawResultsChart(kEmpty, 440, 180), "chart_empty");
    test::SaveImage(DrawResultsChart({64, 71, 69, 83, 90, -1, -1, -1, -1, -1}, 440, 180),
                    "chart_half");
    test::SaveImage(DrawResultsChart(kFull, 440, 180), "chart_full");
}

TEST(ResultsChart, ChartColoursKeepRedInTheLowByte) {
    EXPECT_EQ(ChartColours()[0][0], 0x6C4747u);  // (71, 71, 108)
    EXPECT_EQ(ChartColours()[1][6], 0x0000FFu);  // (255, 0, 0)
    EXPECT_EQ(ChartColours()[0][6], 0xFF0000u);  // (0, 0, 255)
    EXPECT_EQ(ChartColours()[2][7], 0x233A18u);  // (24, 58, 35)
    EXPECT_EQ(ChartColour(1, 1), QColor(183, 120, 120));
    EXPECT_EQ(ChartColour(2, 5), QColor(223, 242, 228));
    EXPECT_EQ(ChartColour(3, 0), QColor(0, 0, 0));
}

}  // namespace
}  // namespace tz
