#pragma once

#include <QImage>

#include "exercise/keyboard_tables.h"
#include "platform/picture_names.h"

namespace tz {

// Draws the pictures this folder's windows show (1-7, 9-12, 36; picture 8, the cancel button,
// is the main menu's quit button); a null image for other numbers. The keyboard and the hands
// are the Spanish keyboard's until RegisterKeyboardPictures names the PC's.
QImage MakeExercisePicture(PictureName name);

// Pictures 4 and 5, the on-screen keyboard and the hands, drawn from now on for `tables`.
void RegisterKeyboardPictures(const KeyboardTables& tables);

}  // namespace tz
