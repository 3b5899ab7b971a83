#pragma once
// The program's look: colours and the drawing of its logo and banner, shared by the splash,
// the main menu, the about box and the update window.

#include <QColor>
#include <QImage>

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

}  // namespace tz
