#pragma once

#include <QSize>

namespace tz {

// Registers the 53 pictures of the PictureTable, numbers 1 to 53 in ascending order.
void RegisterAllPictures();
// The size every picture number has; an empty size for numbers no window shows.
QSize PictureSize(int number);

}  // namespace tz
