#pragma once

#include <QImage>

namespace tz {

// Draws the about box's own pictures (37, and 18 the social page button); a null image for
// other numbers.
QImage MakeAboutPicture(int number);

}  // namespace tz
