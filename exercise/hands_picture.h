#pragma once
// The two hands under the keyboard (picture 5) and the dots that mark a finger on them
// (pictures 6 and 7).

#include <QImage>
#include <QPoint>
#include <array>

#include "exercise/keyboard_tables.h"

namespace tz {

inline constexpr int kHandsPictureWidth = 147;
inline constexpr int kHandsPictureHeight = 92;
inline constexpr int kFingerDotSize = 6;

// The finger-dot place of each finger (1..10) as the lookup gives it.
std::array<QPoint, 11> FingerDotPlaces(const KeyboardTables& tables);

// Picture 5, 147 x 92: the fingertip of every finger lies under its dot (the dot's centre is
// its place plus half a dot).
QImage DrawHandsPicture(const KeyboardTables& tables);

// Pictures 6 and 7, 6 x 6: the dot of the finger that strikes the key (red) and of the finger
// that holds the Shift or accent key (green, like the modifier marker).
QImage DrawFingerDot(bool modifier);

}  // namespace tz
