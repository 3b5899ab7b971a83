#pragma once

#include <QImage>

namespace tz {

// Draws the pictures this folder's windows show (13-27,37); a null image for other numbers.
QImage MakeMenuPicture(int number);

}  // namespace tz
