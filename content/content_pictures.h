#pragma once

#include <QImage>

#include "platform/picture_names.h"

namespace tz {

// Draws the pictures this folder's windows show (51, 52; 35, 50 and 53 are copies of the
// users window's pictures); a null image for other numbers.
QImage MakeContentPicture(PictureName name);

}  // namespace tz
