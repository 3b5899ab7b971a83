#pragma once
// Which finger strikes a character, where its key sits on the keyboard picture and which
// modifier key it needs. No window code: the exercise window moves its markers to the places
// computed here.

#include <QPoint>
#include <QString>
#include <QtGlobal>
#include <array>
#include <optional>
#include <utility>
#include <vector>

#include "platform/keyboard_layout.h"

namespace tz {

// The English finger groups, which share the Spanish rows; nothing chooses them.
inline const QString kEnglishLayout = QStringLiteral("ingles");

// Fingers 1 to 10 from left to right across both hands; -1 is no finger.
constexpr int kNoFinger = -1;

// Second marker on the keyboard picture (the Shift or accent key). Its height is the marker's.
struct ModifierBox {
    int x = 0;
    int y = 0;
    int width = 0;
    bool operator==(const ModifierBox&) const = default;
};

// Keys that stand one or two places away from the column their finger's number gives: the
// characters `characters` struck by `finger` lie `dx` pixels off.
struct ColumnShift {
    int finger = 0;
    QString characters;
    int dx = 0;
};

// The tables of one keyboard. Fingers belong to the physical keys, so both keyboards put the
// same finger on the same key; what a key types, and with which modifier, is the layout's.
struct KeyboardTables {
    QString layout;                        // kSpanishLayout, kLatinAmericanLayout or "ingles"
    std::array<QString, 11> fingerGroups;  // 1..10: base text followed by its upper-case form
    std::array<QString, 5> keyRows;        // 1..4, from the digits row down
    QString shiftTable;
    std::vector<ColumnShift> columnShifts;
    // The dead accent key, marked for á é í ó ú and, with Shift, for ü.
    ModifierBox accentKey;
    // What the key caps show apart, for Alt Gr; no hint marks Alt Gr itself.
    QString altGrCharacters;
    // Characters a text may hold that this keyboard has no key for, each with the character
    // it types in its place ("º" on a keyboard with "°" only).
    std::vector<std::pair<QChar, QChar>> standIns;
};

// Modifier sides.
constexpr int kNoShift = -1;
constexpr int kLeftShift = 1;      // struck by finger 1
constexpr int kRightModifier = 2;  // right Shift or the accent key, struck by finger 10

struct KeyHint {
    qint8 finger = kNoFinger;
    std::optional<QPoint> fingerDot;  // on the hands picture
    qint8 shiftSide = kNoShift;
    std::optional<QPoint> secondDot;  // finger that strikes the modifier, on the hands picture
    std::optional<QPoint> keyPos;     // on the keyboard picture
    std::optional<ModifierBox> modifierBox;
    // A third key held at the same time: the left Shift that turns the accent key into the
    // diaeresis of ü and Ü, and the finger that holds it.
    std::optional<ModifierBox> shiftBox;
    std::optional<QPoint> shiftDot;
};

// The tables of a layout (kLatinAmericanLayout the Latin American keyboard's; "ingles" the
// English finger groups and Shift table on the Spanish rows; any other name the Spanish ones).
KeyboardTables MakeKeyboardTables(const QString& layout);

// The same, built once for the whole run of the program.
const KeyboardTables& KeyboardTablesFor(const QString& layout);

// The hint for one character given the finger of the previous lookup. Pure: the new finger is
// the hint's `finger`.
KeyHint LookupHint(const KeyboardTables& tables, const QString& ch, int previousFinger);

// The lookup as the exercise uses it: with the finger of the last lookup, which it then
// updates. The finger lives for the whole run of the program (a space is struck by the thumb of
// the hand that did not strike the character before).
KeyHint NextKeyHint(const KeyboardTables& tables, const QString& ch, int& previousFinger);

// The text as this keyboard types it: every character it has no key for replaced by its
// stand-in, so that what the page shows is what the keys give.
QString TypeableText(const KeyboardTables& tables, const QString& text);

}  // namespace tz
