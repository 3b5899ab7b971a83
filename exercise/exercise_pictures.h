#pragma once

#include <QImage>

#include "platform/picture_names.h"

namespace tz {

// Draws the pictures this folder's windows show (1-7, 9-12, 36; picture 8, the cancel button,
// is the main menu's quit button); a null image for other numbers.
QImage MakeExercisePicture(PictureName name);

}  // namespace tz
