#pragma once
// The program's look: colours and the drawing of its logo and banner, shared by the splash,
// the main menu, the about box and the update window.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRectF>

namespace tz {

inline const QColor kBrandTerracotta(208, 134, 108);
inline const QColor kBrandNavy(34, 45, 74);
inline const QColor kBrandCream(250, 243, 232);
inline const QColor kBrandGold(242, 190, 84);

// Picture 17: 306 x 84.
QImage DrawLogo();
// Picture 24: 249 x 56.
QImage DrawBanner();
// A key cap with a legend, as on the pictures of the brand.
void DrawKeyCap(class QPainter& painter, const QRectF& rect, const QString& legend,
                const QColor& face, const QColor& ink, double legendPixels);

// The shapes of that key cap, bottom to top (the icon's vector version draws the same):
// a shadow, the skirt, and the top with a shine from `shineFrom` down to the face colour.
struct KeyCapShapes {
    QRectF shadow, skirt, top;
    double radius = 0, topRadius = 0;
    QColor shadowColour, skirtColour, shineFrom, shineTo;
};
KeyCapShapes KeyCapGeometry(const QRectF& rect, const QColor& face);
QFont KeyCapFont(double legendPixels);

}  // namespace tz
