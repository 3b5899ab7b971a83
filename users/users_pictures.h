#pragma once

#include <QImage>

#include "platform/picture_names.h"

namespace tz {

// Draws the pictures of the users windows, 30 to 34 (the registry copies 47 to 49 from them);
// a null image for other numbers.
QImage MakeUsersPicture(PictureName name);

// The background pattern of picture 30 over any area; picture 30 is its top-left 160 x 160.
QImage DrawUsersBackground(int width, int height);

}  // namespace tz
