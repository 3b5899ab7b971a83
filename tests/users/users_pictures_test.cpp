#include <QPainter>

#include "app/picture_registry.h"
#include "platform/pictures.h"
#include "support.h"
#include "users/users_pictures.h"

namespace tz {
namespace {

TEST(UsersPictures, HaveTheirSizesAndRoundButtonsOnTransparentCorners) {
    EXPECT_EQ(LogicalSize(MakeUsersPicture(test::Pic(30))), QSize(160, 160));
    for (int number = 31; number <= 34; ++number) {
        const QImage button = test::Logical(MakeUsersPicture(test::Pic(number)));
        ASSERT_EQ(button.size(), QSize(40, 40)) << number;
        // The window's background shows at the corners of the round buttons.
        EXPECT_EQ(qAlpha(button.pixel(0, 0)), 0) << number;
        EXPECT_EQ(qAlpha(button.pixel(39, 0)), 0) << number;
        EXPECT_EQ(qAlpha(button.pixel(20, 20)), 255) << number;
        for (int other = 31; other < number; ++other) {
            EXPECT_NE(button, test::Logical(MakeUsersPicture(test::Pic(other))))
                << number << " and " << other;
        }
    }
    EXPECT_TRUE(MakeUsersPicture(test::Pic(29)).isNull());
    EXPECT_TRUE(MakeUsersPicture(test::Pic(47)).isNull());  // a copy the registry makes
}

TEST(UsersPictures, TheTileRepeatsWithoutASeam) {
    // The pattern drawn over four tiles' area in one go must equal picture 30 tiled: every key
    // cap and line that leaves the tile on one side comes back on the other.
    const QImage tile = MakeUsersPicture(test::Pic(30));
    EXPECT_EQ(tile, DrawUsersBackground(160, 160));
    const QImage whole = DrawUsersBackground(320, 320);
    // Tiled as the windows tile it, at the scale the pictures are painted at.
    QImage tiled = NewPicture(320, 320);
    QPainter painter(&tiled);
    painter.fillRect(QRect(0, 0, 320, 320), QBrush(tile));
    painter.end();
    ASSERT_EQ(tiled.size(), whole.size());
    int different = 0;
    for (int y = 0; y < whole.height(); ++y) {
        for (int x = 0; x < whole.width(); ++x) {
            const QRgb a = whole.pixel(x, y);
            const QRgb b = tiled.pixel(x, y);
            if (std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                    std::abs(qBlue(a) - qBlue(b)) >
                6) {
                ++different;
            }
        }
    }
    EXPECT_EQ(different, 0);
    test::SaveImage(tiled, "users_background_tiled");
}

TEST(UsersPictures, RegistryCopiesThemForTheNewUserDialog) {
    if (!PictureExists(30)) RegisterAllPictures();
    EXPECT_EQ(Picture(47), Picture(30));
    EXPECT_EQ(Picture(48), Picture(33));
    EXPECT_EQ(Picture(49), Picture(34));
    QImage strip(4 * 48 + 8, 56, QImage::Format_RGB32);
    strip.fill(QColor(238, 220, 188));
    QPainter painter(&strip);
    for (int number = 31; number <= 34; ++number) {
        painter.drawImage(8 + (number - 31) * 48, 8, Picture(number));
    }
    painter.end();
    test::SaveImage(strip, "users_buttons");
}

}  // namespace
}  // namespace tz
