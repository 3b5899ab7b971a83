#pragma once
// Small drawing helpers shared by the code that draws the program's pictures.

#include <QFont>
#include <QImage>

#include "platform/pictures.h"

namespace tz {

// "Arial" at an exact pixel size: pictures are laid out in pixels, not points.
inline QFont ArialPixels(int pixels, bool bold, bool italic = false) {
    QFont font("Arial");
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

// A picture that starts fully transparent, for buttons with rounded corners.
inline QImage TransparentImage(int width, int height) {
    QImage image = NewPicture(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

}  // namespace tz
