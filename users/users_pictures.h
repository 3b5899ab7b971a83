#pragma once

#include <QImage>

namespace tz {

// Draws the pictures this folder's windows show (30-34,47-49); a null image for other numbers.
QImage MakeUsersPicture(int number);

}  // namespace tz
