#include "app/icon_mark.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <cmath>

#include "app/brand.h"
#include "support.h"

namespace tz {
namespace {

// How far a pixel is from a colour, summed over red, green and blue.
int Distance(QRgb pixel, const QColor& colour) {
    return std::abs(qRed(pixel) - colour.red()) + std::abs(qGreen(pixel) - colour.green()) +
           std::abs(qBlue(pixel) - colour.blue());
}

int PixelsNear(const QImage& image, const QColor& colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            count += qAlpha(pixel) == 255 && Distance(pixel, colour) < 40;
        }
    }
    return count;
}

TEST(IconMark, EverySizeIsSquareWithClearCornersAndTheBrandColours) {
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        const QImage icon = DrawIconMark(size).convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(icon.size(), QSize(size, size));
        EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(icon.pixel(size - 1, size - 1)), 0);
        EXPECT_EQ(qAlpha(icon.pixel(size / 2, size / 2)), 255);
        // The golden cap covers the middle, the navy tile the edge, the rule the bottom.
        EXPECT_GT(PixelsNear(icon, kBrandGold), size * size / 10);
        EXPECT_GT(PixelsNear(icon, kBrandNavy), size * size / 16);
        EXPECT_GT(PixelsNear(icon, kBrandTerracotta), size / 2);
        EXPECT_LT(Distance(icon.pixel(size / 2, size * 54 / 64), kBrandTerracotta), 60);
    }
    test::SaveImage(DrawIconMark(256), "icon");
}

TEST(IconMark, TheSvgIsWellFormedAndDrawsTheSamePicture) {
    const QByteArray svg = IconMarkSvg();
    QXmlStreamReader reader(svg);
    QStringList elements;
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement) {
            elements.append(reader.name().toString());
            if (reader.name() == QLatin1String("svg")) {
                EXPECT_EQ(reader.attributes().value("viewBox"), QLatin1String("0 0 64 64"));
            }
            if (reader.name() == QLatin1String("path")) {
                EXPECT_GT(reader.attributes().value("d").size(), 100);
            }
        }
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    EXPECT_EQ(elements.count("rect"), 4);
    EXPECT_EQ(elements.count("path"), 1);
    EXPECT_EQ(elements.count("line"), 1);
    EXPECT_FALSE(svg.contains("<text"));  // outlines: no font needed where it is shown

    // Drawn by an SVG renderer, it matches the pictures pixel for pixel, give or take the
    // smoothing of edges.
    const QString renderer = QStandardPaths::findExecutable("rsvg-convert");
    if (renderer.isEmpty()) GTEST_SKIP() << "needs rsvg-convert (package librsvg2-bin)";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile file(dir.filePath("icon.svg"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(svg);
    file.close();
    QProcess render;
    render.start(renderer,
                 {"-w", "256", "-h", "256", "-o", dir.filePath("icon.png"), file.fileName()});
    ASSERT_TRUE(render.waitForFinished(30000));
    ASSERT_EQ(render.exitCode(), 0) << render.readAllStandardError().toStdString();
    const QImage drawn = QImage(dir.filePath("icon.png")).convertToFormat(QImage::Format_ARGB32);
    const QImage painted = DrawIconMark(256).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(drawn.size(), painted.size());
    int far = 0;
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const QRgb a = drawn.pixel(x, y);
            const QRgb b = painted.pixel(x, y);
            far += std::abs(qAlpha(a) - qAlpha(b)) > 64 || Distance(a, QColor(b)) > 60;
        }
    }
    EXPECT_LT(far, 256 * 256 / 100) << far << " pixels differ";
}

}  // namespace
}  // namespace tz
