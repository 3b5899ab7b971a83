#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "exercise/keyboard_tables.h"

namespace tz {
namespace {

const KeyboardTables& Spanish() {
    static const KeyboardTables tables = MakeKeyboardTables(QStringLiteral("español"));
    return tables;
}

const KeyboardTables& LatinAmerican() {
    static const KeyboardTables tables = MakeKeyboardTables(QStringLiteral("latinoamericano"));
    return tables;
}

// The dead accent key's marker: right of Ñ on the Spanish keyboard (row 3), right of P on the
// Latin American one (row 2), in the key's upper half.
constexpr ModifierBox kSpanishAccent{490, 90, 15};
constexpr ModifierBox kLatinAmericanAccent{480, 53, 15};

// Second markers as the test tables spell them: '-' none, 'L' left Shift, 'R' right Shift,
// 'A' the dead accent key, 'U' the accent key with the left Shift (the diaeresis).
std::optional<ModifierBox> BoxFor(char modifier, const ModifierBox& accent) {
    switch (modifier) {
        case 'L':
            return ModifierBox{12, 140, 30};
        case 'R':
            return ModifierBox{540, 140, 30};
        case 'A':
        case 'U':
            return accent;
        default:
            return std::nullopt;
    }
}

QPoint DotOf(int finger) {
    static const QPoint dots[] = {{},       {6, 20},  {19, 10}, {29, 6},   {43, 13}, {57, 39},
                                  {85, 39}, {99, 13}, {113, 6}, {123, 10}, {136, 20}};
    return dots[finger];
}

void ExpectHint(const KeyHint& hint, int finger, std::optional<QPoint> key, char modifier,
                const QString& what, const ModifierBox& accent = kSpanishAccent) {
    SCOPED_TRACE(what.toStdString());
    EXPECT_EQ(hint.finger, finger);
    if (finger >= 1) {
        EXPECT_EQ(hint.fingerDot, DotOf(finger));
    } else {
        EXPECT_FALSE(hint.fingerDot.has_value());
    }
    EXPECT_EQ(hint.keyPos, key);
    EXPECT_EQ(hint.modifierBox, BoxFor(modifier, accent));
    switch (modifier) {
        case 'L':
            EXPECT_EQ(hint.shiftSide, 1);
            EXPECT_EQ(hint.secondDot, QPoint(6, 20));
            break;
        case 'R':
        case 'A':
        case 'U':
            EXPECT_EQ(hint.shiftSide, 2);
            EXPECT_EQ(hint.secondDot, QPoint(136, 20));
            break;
        default:
            EXPECT_EQ(hint.shiftSide, -1);
            EXPECT_FALSE(hint.secondDot.has_value());
    }
    // Only the diaeresis holds a third key, the left Shift.
    if (modifier == 'U') {
        EXPECT_EQ(hint.shiftBox, (ModifierBox{12, 140, 30}));
        EXPECT_EQ(hint.shiftDot, QPoint(6, 20));
    } else {
        EXPECT_FALSE(hint.shiftBox.has_value());
        EXPECT_FALSE(hint.shiftDot.has_value());
    }
}

TEST(KeyboardTables, WorkedValuesOfTheSpanishLayout) {
    const auto& t = Spanish();
    ExpectHint(LookupHint(t, "a", -1), 1, QPoint(90, 100), '-', "a");
    ExpectHint(LookupHint(t, "g", -1), 4, QPoint(250, 100), '-', "g");
    ExpectHint(LookupHint(t, "h", -1), 7, QPoint(290, 100), '-', "h");
    ExpectHint(LookupHint(t, "ñ", -1), 10, QPoint(450, 100), '-', "ñ");
    ExpectHint(LookupHint(t, "ç", -1), 10, QPoint(530, 100), '-', "ç");
    ExpectHint(LookupHint(t, "\r", -1), 10, QPoint(570, 90), '-', "CR");
    ExpectHint(LookupHint(t, "á", -1), 1, QPoint(90, 100), 'A', "á");
    ExpectHint(LookupHint(t, "Q", -1), 1, QPoint(80, 63), 'R', "Q");
    ExpectHint(LookupHint(t, "N", -1), 7, QPoint(310, 138), 'L', "N");

    // The space goes to the thumb of the other hand than the previous character's.
    const int afterJ = LookupHint(t, "j", -1).finger;
    ExpectHint(LookupHint(t, " ", afterJ), 5, QPoint(265, 172), '-', "space after j");
    const int afterF = LookupHint(t, "f", -1).finger;
    ExpectHint(LookupHint(t, " ", afterF), 6, QPoint(305, 172), '-', "space after f");
    ExpectHint(LookupHint(t, " ", -1), 6, QPoint(305, 172), '-', "space first of all");
    ExpectHint(LookupHint(t, " ", 5), 5, QPoint(265, 172), '-', "space after the left thumb");
    ExpectHint(LookupHint(t, " ", 6), 5, QPoint(265, 172), '-', "space after the right thumb");
}

TEST(KeyboardTables, CharactersOutsideTheGroupsKeepThePreviousFinger) {
    const auto& t = Spanish();
    // The backslash has a row but no finger: its column comes from the finger before.
    ExpectHint(LookupHint(t, "\\", 3), 3, QPoint(65 + 2 * 40, 10), '-', "\\ after finger 3");
    ExpectHint(LookupHint(t, "\\", 1), 1, QPoint(25, 10), '-', "\\ after finger 1");
    ExpectHint(LookupHint(t, "\\", -1), -1, QPoint(65, 10), '-', "\\ with no finger");
    // A tab has neither: the previous finger, and no key place.
    ExpectHint(LookupHint(t, "\t", 8), 8, std::nullopt, '-', "tab after finger 8");
    ExpectHint(LookupHint(t, "\t", -1), -1, std::nullopt, '-', "tab with no finger");
    // Nothing is found for an empty text.
    ExpectHint(LookupHint(t, "", 4), 4, std::nullopt, '-', "empty");
    ExpectHint(LookupHint(t, "", -1), -1, std::nullopt, '-', "empty with no finger");
    // Characters typed with AltGr show only finger and key; the grave accent has no marker.
    ExpectHint(LookupHint(t, "@", -1), 2, QPoint(105, 10), '-', "@");
    ExpectHint(LookupHint(t, "`", -1), 10, QPoint(480, 63), '-', "grave");
    ExpectHint(LookupHint(t, "^", -1), 10, QPoint(480, 63), 'L', "circumflex");
    ExpectHint(LookupHint(t, "¨", -1), 10, QPoint(490, 100), 'L', "diaeresis");
}

// ü is the accent key with Shift, then U: red on U, green on the accent key and on the left
// Shift, the right little finger on the accent key and the left one on Shift.
TEST(KeyboardTables, TheDiaeresisTakesTheAccentKeyAndTheLeftShift) {
    const auto& t = Spanish();
    for (const char* ch : {"ü", "Ü"}) {
        const KeyHint hint = LookupHint(t, QString::fromUtf8(ch), -1);
        SCOPED_TRACE(ch);
        EXPECT_EQ(hint.finger, 7);
        EXPECT_EQ(hint.keyPos, QPoint(320, 63));
        EXPECT_EQ(hint.shiftSide, kRightModifier);
        EXPECT_EQ(hint.modifierBox, (ModifierBox{490, 90, 15}));
        EXPECT_EQ(hint.secondDot, QPoint(136, 20));
        EXPECT_EQ(hint.shiftBox, (ModifierBox{12, 140, 30}));
        EXPECT_EQ(hint.shiftDot, QPoint(6, 20));
    }
    // Every other character holds at most two keys.
    for (const QString& row : t.keyRows) {
        for (const QChar c : row) {
            if (c == QChar(u'ü') || c == QChar(u'Ü')) continue;
            EXPECT_FALSE(LookupHint(t, QString(c), -1).shiftBox.has_value())
                << static_cast<int>(c.unicode());
        }
    }
}

TEST(KeyboardTables, UpperCaseAccentedVowelsHaveNoModifier) {
    const auto& t = Spanish();
    ExpectHint(LookupHint(t, "Á", -1), 1, QPoint(90, 100), '-', "Á");
    ExpectHint(LookupHint(t, "É", -1), 3, QPoint(160, 63), '-', "É");
    ExpectHint(LookupHint(t, "Í", -1), 8, QPoint(360, 63), '-', "Í");
    ExpectHint(LookupHint(t, "Ó", -1), 9, QPoint(400, 63), '-', "Ó");
    ExpectHint(LookupHint(t, "Ú", -1), 7, QPoint(320, 63), '-', "Ú");
}

// Every character of the four rows, worked out by hand from the rules: the finger from its
// group, x = row base + (finger - 1) x 40 with the corrections for the keys beside the home
// columns, the marker from the Shift table. Looked up with no previous finger.
struct RowCase {
    const char16_t* ch;
    int finger;
    int x;
    char modifier;
};

void CheckRow(const QString& row, int y, const std::vector<RowCase>& cases) {
    QString covered;
    for (const RowCase& c : cases) {
        const QString ch = QString::fromUtf16(c.ch);
        covered += ch;
        ExpectHint(LookupHint(Spanish(), ch, -1), c.finger, QPoint(c.x, y), c.modifier, ch);
    }
    // The cases cover the row exactly, in order.
    EXPECT_EQ(covered, row);
}

TEST(KeyboardTables, EveryKeyOfTheFourRows) {
    const auto& rows = Spanish().keyRows;
    CheckRow(
        rows[1], 10,
        {{u"º", 1, 25, '-'},   {u"1", 1, 65, '-'},   {u"2", 2, 105, '-'},  {u"3", 3, 145, '-'},
         {u"4", 4, 185, '-'},  {u"5", 4, 225, '-'},  {u"6", 7, 265, '-'},  {u"7", 7, 305, '-'},
         {u"8", 8, 345, '-'},  {u"9", 9, 385, '-'},  {u"0", 10, 425, '-'}, {u"'", 10, 465, '-'},
         {u"¡", 10, 505, '-'}, {u"ª", 1, 25, 'R'},   {u"!", 1, 65, 'R'},   {u"\"", 2, 105, 'R'},
         {u"·", 3, 145, 'R'},  {u"$", 4, 185, 'R'},  {u"%", 4, 225, 'R'},  {u"&", 7, 265, '-'},
         {u"/", 7, 305, 'L'},  {u"(", 8, 345, 'L'},  {u")", 9, 385, 'L'},  {u"=", 10, 425, 'L'},
         {u"?", 10, 465, 'L'}, {u"¿", 10, 505, 'L'}, {u"\\", -1, 65, '-'}, {u"|", 1, 65, '-'},
         {u"@", 2, 105, '-'},  {u"#", 3, 145, '-'},  {u"~", 4, 185, '-'},  {u"¬", 7, 265, '-'}});
    CheckRow(
        rows[2], 63,
        {{u"q", 1, 80, '-'},   {u"w", 2, 120, '-'},  {u"e", 3, 160, '-'},      {u"é", 3, 160, 'A'},
         {u"r", 4, 200, '-'},  {u"t", 4, 240, '-'},  {u"y", 7, 280, '-'},      {u"u", 7, 320, '-'},
         {u"ú", 7, 320, 'A'},  {u"ü", 7, 320, 'U'},  {u"i", 8, 360, '-'},      {u"í", 8, 360, 'A'},
         {u"o", 9, 400, '-'},  {u"ó", 9, 400, 'A'},  {u"p", 10, 440, '-'},     {u"`", 10, 480, '-'},
         {u"+", 10, 520, '-'}, {u"Q", 1, 80, 'R'},   {u"W", 2, 120, 'R'},      {u"E", 3, 160, 'R'},
         {u"É", 3, 160, '-'},  {u"R", 4, 200, 'R'},  {u"T", 4, 240, 'R'},      {u"Y", 7, 280, 'L'},
         {u"U", 7, 320, 'L'},  {u"Ú", 7, 320, '-'},  {u"Ü", 7, 320, 'U'},      {u"I", 8, 360, 'L'},
         {u"Í", 8, 360, '-'},  {u"O", 9, 400, 'L'},  {u"Ó", 9, 400, '-'},      {u"P", 10, 440, 'L'},
         {u"^", 10, 480, 'L'}, {u"*", 10, 520, 'L'}, {u"\u0080", 3, 160, '-'}, {u"[", 10, 480, '-'},
         {u"]", 10, 520, '-'}});
    CheckRow(
        rows[3], 100,
        {{u"a", 1, 90, '-'},   {u"á", 1, 90, 'A'},   {u"s", 2, 130, '-'},  {u"d", 3, 170, '-'},
         {u"f", 4, 210, '-'},  {u"g", 4, 250, '-'},  {u"h", 7, 290, '-'},  {u"j", 7, 330, '-'},
         {u"k", 8, 370, '-'},  {u"l", 9, 410, '-'},  {u"ñ", 10, 450, '-'}, {u"´", 10, 490, '-'},
         {u"ç", 10, 530, '-'}, {u"A", 1, 90, 'R'},   {u"Á", 1, 90, '-'},   {u"S", 2, 130, 'R'},
         {u"D", 3, 170, 'R'},  {u"F", 4, 210, 'R'},  {u"G", 4, 250, 'R'},  {u"H", 7, 290, 'L'},
         {u"J", 7, 330, 'L'},  {u"K", 8, 370, 'L'},  {u"L", 9, 410, 'L'},  {u"Ñ", 10, 450, 'L'},
         {u"¨", 10, 490, 'L'}, {u"Ç", 10, 530, 'L'}, {u"{", 10, 490, '-'}, {u"}", 10, 530, '-'}});
    CheckRow(rows[4], 138,
             {{u"<", 1, 70, '-'},  {u"z", 1, 110, '-'}, {u"x", 2, 150, '-'},  {u"c", 3, 190, '-'},
              {u"v", 4, 230, '-'}, {u"b", 4, 270, '-'}, {u"n", 7, 310, '-'},  {u"m", 7, 350, '-'},
              {u",", 8, 390, '-'}, {u".", 9, 430, '-'}, {u"-", 10, 470, '-'}, {u">", 1, 70, 'R'},
              {u"Z", 1, 110, 'R'}, {u"X", 2, 150, 'R'}, {u"C", 3, 190, 'R'},  {u"V", 4, 230, 'R'},
              {u"B", 4, 270, 'R'}, {u"N", 7, 310, 'L'}, {u"M", 7, 350, 'L'},  {u";", 8, 390, 'L'},
              {u":", 9, 430, 'L'}, {u"_", 10, 470, 'L'}});
}

TEST(KeyboardTables, GroupsHoldTheirUpperCaseAndLookupsAreCaseSensitive) {
    const auto& t = Spanish();
    EXPECT_EQ(t.fingerGroups[2], QStringLiteral("2\"@wsx2\"@WSX"));
    EXPECT_EQ(t.fingerGroups[1], QStringLiteral("1!|ªºqaáz<>1!|ªºQAÁZ<>"));
    EXPECT_EQ(t.fingerGroups[5], QStringLiteral("  "));
    // Lengths counted from the rules, so no character is lost or merged with its neighbour.
    const int groupSizes[] = {0, 11, 6, 8, 11, 1, 1, 13, 7, 7, 23};
    for (int finger = 1; finger <= 10; ++finger) {
        EXPECT_EQ(t.fingerGroups[finger].size(), 2 * groupSizes[finger]) << finger;
    }
    EXPECT_TRUE(t.fingerGroups[3].contains(QChar(0x0080)));
    EXPECT_TRUE(t.fingerGroups[10].endsWith(QStringLiteral("\r")));
    EXPECT_EQ(t.shiftTable.size(), 52);
    EXPECT_EQ(t.shiftTable.indexOf(QStringLiteral("ª")), 26);  // position 27
    EXPECT_EQ(t.shiftTable.indexOf(QStringLiteral("¿")), 27);  // position 28
    // "q" needs no Shift, "Q" does.
    EXPECT_FALSE(LookupHint(t, "q", -1).modifierBox.has_value());
    EXPECT_TRUE(LookupHint(t, "Q", -1).modifierBox.has_value());
}

TEST(KeyboardTables, EnglishLayoutHasItsOwnGroupsAndOnlyTheRightHandShiftText) {
    const KeyboardTables t = MakeKeyboardTables(QStringLiteral("ingles"));
    EXPECT_EQ(t.layout, QStringLiteral("ingles"));
    EXPECT_EQ(t.shiftTable, QStringLiteral("¿?=)(/*^POIUYÇ¨ÑLKJH_:;MN"));
    EXPECT_EQ(t.shiftTable.size(), 25);
    EXPECT_EQ(t.fingerGroups[8], QStringLiteral("8*ik,<8*IK,<"));
    // ";" is the right little finger's in English; rows are the Spanish ones. The right-hand
    // characters now stand first in the Shift table, so they take the right-hand marker.
    ExpectHint(LookupHint(t, ";", -1), 10, QPoint(110 + 9 * 40, 138), 'R', "; in English");
    ExpectHint(LookupHint(t, "P", -1), 10, QPoint(440, 63), 'R', "P in English");
    ExpectHint(LookupHint(t, "Q", -1), 1, QPoint(80, 63), '-', "Q in English");
    // An unknown name gives the Spanish tables.
    EXPECT_EQ(MakeKeyboardTables(QStringLiteral("klingon")).fingerGroups, Spanish().fingerGroups);
}

TEST(KeyboardTables, ThePreviousFingerLivesAcrossLookups) {
    int finger = -1;
    const KeyboardTables& t = Spanish();
    EXPECT_EQ(NextKeyHint(t, " ", finger).finger, 6);  // nothing looked up yet: the right thumb
    EXPECT_EQ(NextKeyHint(t, "l", finger).finger, 9);
    EXPECT_EQ(NextKeyHint(t, " ", finger).finger, 5);  // after the right hand: the left thumb
    EXPECT_EQ(finger, 5);
    EXPECT_EQ(NextKeyHint(t, "\t", finger).finger, 5);  // kept
    EXPECT_EQ(NextKeyHint(t, "\\", finger).keyPos, QPoint(65 + 4 * 40, 10));
    EXPECT_EQ(NextKeyHint(t, "d", finger).finger, 3);
    EXPECT_EQ(finger, 3);
    // On the Latin American keyboard "@" is Alt Gr with Q: the left little finger.
    EXPECT_EQ(NextKeyHint(LatinAmerican(), "@", finger).finger, 1);
    EXPECT_EQ(NextKeyHint(LatinAmerican(), " ", finger).finger, 6);
    EXPECT_EQ(NextKeyHint(t, "@", finger).finger, 2);
}

TEST(KeyboardTables, EachLayoutIsBuiltOnceAndUnknownNamesGetTheSpanishOne) {
    EXPECT_EQ(KeyboardTablesFor(kSpanishLayout).layout, QStringLiteral("español"));
    EXPECT_EQ(KeyboardTablesFor(kLatinAmericanLayout).layout, QStringLiteral("latinoamericano"));
    EXPECT_EQ(KeyboardTablesFor(QStringLiteral("ingles")).layout, QStringLiteral("ingles"));
    EXPECT_EQ(KeyboardTablesFor(QStringLiteral("latam")).layout, QStringLiteral("español"));
    EXPECT_EQ(&KeyboardTablesFor(kLatinAmericanLayout), &KeyboardTablesFor(kLatinAmericanLayout));
    EXPECT_EQ(KeyboardTablesFor(kLatinAmericanLayout).fingerGroups, LatinAmerican().fingerGroups);
    EXPECT_EQ(KeyboardTablesFor(kSpanishLayout).shiftTable, Spanish().shiftTable);
}

// The keys the two keyboards disagree on, as a pupil at a Latin American keyboard strikes them:
// the dead accent right of P, "¿" without Shift and "¡" with it, "#" on Shift+3, "{" right of
// Ñ, and ü as the accent key with Shift, then U.
TEST(KeyboardTables, WorkedValuesOfTheLatinAmericanLayout) {
    const KeyboardTables& t = LatinAmerican();
    const ModifierBox& accent = kLatinAmericanAccent;
    ExpectHint(LookupHint(t, "á", -1), 1, QPoint(90, 100), 'A', "á", accent);
    ExpectHint(LookupHint(t, "¿", -1), 10, QPoint(505, 10), '-', "¿", accent);
    ExpectHint(LookupHint(t, "¡", -1), 10, QPoint(505, 10), 'L', "¡", accent);
    ExpectHint(LookupHint(t, "#", -1), 3, QPoint(145, 10), 'R', "#", accent);
    ExpectHint(LookupHint(t, "{", -1), 10, QPoint(490, 100), '-', "{", accent);
    ExpectHint(LookupHint(t, "ü", -1), 7, QPoint(320, 63), 'U', "ü", accent);
    // The same characters on the Spanish keyboard, as before.
    ExpectHint(LookupHint(Spanish(), "á", -1), 1, QPoint(90, 100), 'A', "á es");
    ExpectHint(LookupHint(Spanish(), "¿", -1), 10, QPoint(505, 10), 'L', "¿ es");
    ExpectHint(LookupHint(Spanish(), "¡", -1), 10, QPoint(505, 10), '-', "¡ es");
    ExpectHint(LookupHint(Spanish(), "#", -1), 3, QPoint(145, 10), '-', "# es");
    ExpectHint(LookupHint(Spanish(), "{", -1), 10, QPoint(490, 100), '-', "{ es");
    // The space and the Enter key are where they always are.
    ExpectHint(LookupHint(t, " ", 9), 5, QPoint(265, 172), '-', "space", accent);
    ExpectHint(LookupHint(t, "\r", -1), 10, QPoint(570, 90), '-', "CR", accent);
}

// Every character the Latin American keyboard prints, key by key from the number row down,
// with the finger that strikes the key, the key's place (its column by the finger, the
// neighbours of the home columns one or two places aside) and the second key: Shift of the
// other hand for the upper level, the dead accent key for the five accented vowels, nothing for
// Alt Gr. Worked out from the key caps, not from the tables.
struct KeyCase {
    const char16_t* characters;  // plain, shifted, Alt Gr (a letter key: small, accented, capitals)
    const char* modifiers;       // one a character
    int finger;
    int x;
    int y;
};

const KeyCase kLatinAmericanKeys[] = {
    {u"|°¬", "-R-", 1, 25, 10},    {u"1!", "-R", 1, 65, 10},          {u"2\"", "-R", 2, 105, 10},
    {u"3#", "-R", 3, 145, 10},     {u"4$", "-R", 4, 185, 10},         {u"5%", "-R", 4, 225, 10},
    {u"6&", "-L", 7, 265, 10},     {u"7/", "-L", 7, 305, 10},         {u"8(", "-L", 8, 345, 10},
    {u"9)", "-L", 9, 385, 10},     {u"0=", "-L", 10, 425, 10},        {u"'?\\", "-L-", 10, 465, 10},
    {u"¿¡", "-L", 10, 505, 10},    {u"qQ@", "-R-", 1, 80, 63},        {u"wW", "-R", 2, 120, 63},
    {u"eéEÉ", "-AR-", 3, 160, 63}, {u"rR", "-R", 4, 200, 63},         {u"tT", "-R", 4, 240, 63},
    {u"yY", "-L", 7, 280, 63},     {u"uúüUÚÜ", "-AUL-U", 7, 320, 63}, {u"iíIÍ", "-AL-", 8, 360, 63},
    {u"oóOÓ", "-AL-", 9, 400, 63}, {u"pP", "-L", 10, 440, 63},        {u"´¨", "-L", 10, 480, 63},
    {u"+*~", "-L-", 10, 520, 63},  {u"aáAÁ", "-AR-", 1, 90, 100},     {u"sS", "-R", 2, 130, 100},
    {u"dD", "-R", 3, 170, 100},    {u"fF", "-R", 4, 210, 100},        {u"gG", "-R", 4, 250, 100},
    {u"hH", "-L", 7, 290, 100},    {u"jJ", "-L", 7, 330, 100},        {u"kK", "-L", 8, 370, 100},
    {u"lL", "-L", 9, 410, 100},    {u"ñÑ", "-L", 10, 450, 100},       {u"{[^", "-L-", 10, 490, 100},
    {u"}]`", "-L-", 10, 530, 100}, {u"<>", "-R", 1, 70, 138},         {u"zZ", "-R", 1, 110, 138},
    {u"xX", "-R", 2, 150, 138},    {u"cC", "-R", 3, 190, 138},        {u"vV", "-R", 4, 230, 138},
    {u"bB", "-R", 4, 270, 138},    {u"nN", "-L", 7, 310, 138},        {u"mM", "-L", 7, 350, 138},
    {u",;", "-L", 8, 390, 138},    {u".:", "-L", 9, 430, 138},        {u"-_", "-L", 10, 470, 138},
};

TEST(KeyboardTables, EveryKeyOfTheLatinAmericanKeyboard) {
    const KeyboardTables& t = LatinAmerican();
    QString covered;
    for (const KeyCase& key : kLatinAmericanKeys) {
        const QString characters = QString::fromUtf16(key.characters);
        ASSERT_EQ(characters.size(), static_cast<qsizetype>(std::strlen(key.modifiers)));
        for (qsizetype i = 0; i < characters.size(); ++i) {
            covered += characters[i];
            // Looked up after a finger of either hand: only the space cares.
            for (int previous : {-1, 3, 8}) {
                ExpectHint(LookupHint(t, QString(characters[i]), previous), key.finger,
                           QPoint(key.x, key.y), key.modifiers[i], QString(characters[i]),
                           kLatinAmericanAccent);
            }
        }
    }
    // The rows hold exactly the keyboard's characters, each once.
    QString rows;
    for (int row = 1; row <= 4; ++row) rows += t.keyRows[row];
    std::sort(covered.begin(), covered.end());
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, covered);
    EXPECT_TRUE(std::adjacent_find(rows.begin(), rows.end()) == rows.end());
    // What the Spanish keyboard has and this one does not.
    for (const QChar c : QStringLiteral("ºª·çÇ€\u0080")) {
        EXPECT_FALSE(LookupHint(t, QString(c), -1).keyPos.has_value()) << int(c.unicode());
    }
}

// A text is typed as the keyboard in use can: the course's ordinals, products and cedillas on
// the Latin American keyboard, its degree sign on the Spanish one; everything else stays.
TEST(KeyboardTables, TextsTakeTheStandInsOfTheKeyboardInUse) {
    const QString course = QStringLiteral("1.º A, 2.ª fila: 3 · 4 = 12, «façade» Ç ¿Qué? ¡Sí!");
    EXPECT_EQ(TypeableText(LatinAmerican(), course),
              QStringLiteral("1.° A, 2.a fila: 3 * 4 = 12, «facade» C ¿Qué? ¡Sí!"));
    EXPECT_EQ(TypeableText(Spanish(), course), course);
    EXPECT_EQ(TypeableText(Spanish(), QStringLiteral("25 °C")), QStringLiteral("25 ºC"));
    EXPECT_EQ(TypeableText(LatinAmerican(), QStringLiteral("25 °C")), QStringLiteral("25 °C"));
    EXPECT_EQ(TypeableText(LatinAmerican(), QString()), QString());
    // Whatever one keyboard has, the other types, through its stand-in where it must.
    for (const auto& [from, to] :
         {std::pair{&Spanish(), &LatinAmerican()}, std::pair{&LatinAmerican(), &Spanish()}}) {
        for (int row = 1; row <= 4; ++row) {
            for (const QChar c : from->keyRows[row]) {
                if (c == QChar(0x80)) continue;  // stands for the euro sign, in no text
                const QString typed = TypeableText(*to, QString(c));
                EXPECT_TRUE(LookupHint(*to, typed, 1).keyPos.has_value())
                    << to->layout.toStdString() << " " << typed.toStdString();
            }
        }
    }
}

}  // namespace
}  // namespace tz
