#pragma once

#include <QImage>

namespace tz {

// Draws the pictures this folder's windows show (1-12,36); a null image for other numbers.
QImage MakeExercisePicture(int number);

}  // namespace tz
