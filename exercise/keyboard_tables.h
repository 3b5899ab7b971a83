#pragma once
// Which finger strikes a character, where its key sits on the keyboard picture and which
// modifier key it needs. No window code: the exercise window moves its markers to the places
// computed here.

#include <QColor>
#include <QPoint>
#include <QString>
#include <QtGlobal>
#include <array>
#include <optional>

namespace tz {

// The layout whose tables are in force: the program knows the Spanish keyboard.
inline const QString KeyboardLayout = QStringLiteral("español");

// Fingers 1 to 10 from left to right across both hands; -1 is no finger.
constexpr int kNoFinger = -1;

struct KeyboardTables {
    QString layout;                        // "español" or "ingles"
    std::array<QString, 11> fingerGroups;  // 1..10: base text followed by its upper-case form
    std::array<QString, 5> keyRows;        // 1..4, from the digits row down
    QString shiftTable;
};

// Second marker on the keyboard picture (the Shift or accent key). Its height is the marker's.
struct ModifierBox {
    int x = 0;
    int y = 0;
    int width = 0;
    bool operator==(const ModifierBox&) const = default;
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

// The tables of a layout ("ingles" gives the English finger groups and Shift table; any other
// name the Spanish ones).
KeyboardTables MakeKeyboardTables(const QString& layout);

// Start-up: builds the tables in force for `layout` and the chart colours.
void BuildKeyboardTables(const QString& layout);
// The tables in force (built for KeyboardLayout on first use if start-up did not build them).
const KeyboardTables& CurrentKeyboardTables();

// The hint for one character given the finger of the previous lookup. Pure: the new finger is
// the hint's `finger`.
KeyHint LookupHint(const KeyboardTables& tables, const QString& ch, int previousFinger);

// The lookup as the exercise uses it: with the tables in force and the finger of the last
// lookup, which it then remembers. The finger lives for the whole run of the program.
KeyHint NextKeyHint(const QString& ch);
int PreviousFinger();
void SetPreviousFinger(int finger);  // tests start from a known finger

// Colours of the results chart: three schemes (0 blue, 1 red, 2 green) of eight colours, each a
// 32-bit RGB value with red in the low byte. Filled from the start; BuildKeyboardTables fills it
// again.
using ChartColourTable = std::array<std::array<quint32, 8>, 3>;
extern ChartColourTable ChartColours;
ChartColourTable MakeChartColours();
// A colour of ChartColours as a QColor; black outside the table.
QColor ChartColour(int scheme, int index);

}  // namespace tz
