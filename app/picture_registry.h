#pragma once
// The picture table: every picture the windows show, by name, with its number, size, the code
// that paints it and the picture it is a copy of.

#include <QImage>
#include <QSize>
#include <optional>
#include <vector>

#include "platform/picture_names.h"

namespace tz {

struct PictureEntry {
    PictureName name;  // its number is the name's
    QSize size;
    // Paints the picture (given its name); none for a copy.
    QImage (*paint)(PictureName) = nullptr;
    // The picture this one is registered from, as a copy.
    std::optional<PictureName> copyOf;
};

// The whole table, in ascending numbers. Numbers 26, 28, 29 and 41 to 43 are shown by no
// window and are not in it.
const std::vector<PictureEntry>& PictureTable();

// Registers the pictures of the table, numbers 1 to 53 in ascending order.
void RegisterAllPictures();
// The size a picture number has; an empty size for numbers no window shows.
QSize PictureSize(int number);

}  // namespace tz
