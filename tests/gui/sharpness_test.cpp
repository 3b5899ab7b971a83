// Pictures on a screen at 200 %: painted with twice the pixels, their text as sharp as Qt's own.

#include <QLabel>
#include <QPainter>

#include "app/picture_registry.h"
#include "platform/drawing.h"
#include "platform/pictures.h"
#include "support.h"

namespace tz {
namespace {

// How soft text edges are: the pixels between paper and ink for each pixel of ink. A sharp
// rendering at twice the pixels has fewer of them than one stretched from a smaller picture.
double Softness(const QImage& image) {
    int ink = 0;
    int between = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int grey = qGray(image.pixel(x, y));
            ink += grey < 128;
            between += grey > 32 && grey < 224;
        }
    }
    return ink == 0 ? 1e9 : double(between) / ink;
}

const QString kText = QString::fromUtf8("Mecanografía: pulsa la Ñ y el 7");

// The text as the program draws it into a picture.
QImage TextPicture(const QFont& font) {
    QImage picture = NewPicture(320, 30);
    picture.fill(Qt::white);
    DrawTextOn(picture, 4, 4, kText, font, Qt::black);
    return picture;
}

class SharpnessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        saved_ = PictureScale();
        SetPictureScale(2);
        FreeAllPictures();
    }
    void TearDown() override {
        SetPictureScale(saved_);
        FreeAllPictures();
        RegisterAllPictures();
    }
    qreal saved_ = 1;
};

TEST_F(SharpnessTest, EveryPictureHasTwiceItsPixelsInEachDirection) {
    RegisterAllPictures();
    for (const PictureEntry& entry : PictureTable()) {
        const QImage& picture = Picture(entry.name);
        SCOPED_TRACE(PictureNumber(entry.name));
        EXPECT_EQ(picture.size(), entry.size * 2);
        EXPECT_EQ(picture.devicePixelRatio(), 2);
        EXPECT_EQ(LogicalSize(picture), entry.size);
    }
    // The work pictures the windows make are painted at the same scale.
    const int empty = CreateEmptyPicture(770, 200);
    EXPECT_EQ(Picture(empty).size(), QSize(1540, 400));
    EXPECT_EQ(LogicalSize(ScaledPicture(Picture(PictureName::Logo), 249, 85)), QSize(249, 85));
    EXPECT_EQ(ScaledPicture(Picture(PictureName::Logo), 249, 85).size(), QSize(498, 170));
}

TEST_F(SharpnessTest, TextInAPictureIsAsSharpAsInAQtLabel) {
    const QFont font = ArialPixels(15, true);
    const QImage picture = TextPicture(font);
    ASSERT_EQ(picture.size(), QSize(640, 60));

    // The same words in a label, rendered by Qt at twice the pixels.
    QLabel label(kText);
    label.setFont(font);
    label.setStyleSheet(QStringLiteral("background: white; color: black;"));
    label.setContentsMargins(4, 4, 0, 0);
    label.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label.resize(320, 30);
    QImage shown(640, 60, QImage::Format_RGB32);
    shown.setDevicePixelRatio(2);
    shown.fill(Qt::white);
    label.render(&shown);

    // What a picture painted at one pixel per logical pixel looks like stretched to the screen.
    SetPictureScale(1);
    const QImage stretched =
        TextPicture(font).scaled(640, 60, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);

    const double sharp = Softness(shown);
    std::printf("softness of the text: picture %.3f, label %.3f, stretched %.3f\n",
                Softness(picture), sharp, Softness(stretched));
    test::SaveImage(picture, "sharpness_picture_x2");
    test::SaveImage(shown, "sharpness_label_x2");
    test::SaveImage(stretched, "sharpness_stretched_x2");
    EXPECT_LT(Softness(picture), sharp * 1.2) << Softness(picture) << " against " << sharp;
    // The measure tells a stretched picture from a sharp one.
    EXPECT_GT(Softness(stretched), sharp * 1.5) << Softness(stretched) << " against " << sharp;
}

}  // namespace
}  // namespace tz
