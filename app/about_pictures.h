#pragma once

#include <QImage>

#include "platform/picture_names.h"

namespace tz {

// Draws the about box's own pictures (37, and 18 the social page button); a null image for
// other numbers.
QImage MakeAboutPicture(PictureName name);

}  // namespace tz
