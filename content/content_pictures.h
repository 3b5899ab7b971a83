#pragma once

#include <QImage>

namespace tz {

// Draws the pictures this folder's windows show (35,50-53); a null image for other numbers.
QImage MakeContentPicture(int number);

}  // namespace tz
