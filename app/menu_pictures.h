#pragma once

#include <QImage>

#include "platform/picture_names.h"

namespace tz {

// Draws the main menu's pictures (13 to 27, 54, and 8, the small quit button it shares with
// the exercise window); a null image for other numbers.
QImage MakeMenuPicture(PictureName name);

}  // namespace tz
