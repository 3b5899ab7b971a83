#pragma once
// The on-screen keyboard (picture 4), with the key caps of the layout in use. Every key with a
// character is placed where the hint lookup puts that character, so the red marker of a hint
// always lands on its key; both layouts have the same keys in the same places.

#include <QImage>
#include <QRect>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "exercise/keyboard_tables.h"

namespace tz {

inline constexpr int kKeyboardPictureWidth = 599;
inline constexpr int kKeyboardPictureHeight = 202;

struct KeyCap {
    QRect rect;       // on the keyboard picture (the Enter key: its lower part)
    QString base;     // legend of the key struck alone ("Q" on a letter key)
    QString shifted;  // legend with Shift
    QString altGr;    // legend with Alt Gr
    QString name;     // keys without a character: "Tab", "Intro", ...
    int finger = 0;   // the finger that strikes it (colour of its zone), 0 for none
    QString types;    // every character of the key rows this key types
};

// The keys of the keyboard picture: the character keys found through the lookup of every
// character of the four key rows, then the named keys around them.
std::vector<KeyCap> KeyboardKeyCaps(const KeyboardTables& tables);

// Picture 4, 599 x 202.
QImage DrawKeyboardPicture(const KeyboardTables& tables);
// The same keyboard with the faces `faceOf` gives (nothing: the usual face), for pictures that
// colour the keys by what the pupil does on them.
using KeyFace = std::function<std::optional<QColor>(const KeyCap&)>;
QImage DrawKeyboardPicture(const KeyboardTables& tables, const KeyFace& faceOf);

// Soft colour of a finger's zone (1..10), shared by the keyboard and the hands.
QColor FingerZoneColour(int finger);

}  // namespace tz
