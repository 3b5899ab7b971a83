#include "exercise/keyboard_tables.h"

namespace tz {

namespace {

// Finger groups of the Spanish keyboard, lower-case forms only. U+0080 stands where the euro
// sign is on the key of the "e".
const std::array<QString, 11> kSpanishGroups = {
    QString(),
    QStringLiteral("1!|ªºqaáz<>"),
    QStringLiteral("2\"@wsx"),
    QStringLiteral("3·#eé\u0080dc"),
    QStringLiteral("4$~rfv5%tgb"),
    QStringLiteral(" "),
    QStringLiteral(" "),
    QStringLiteral("6&¬yhn7/uúüjm"),
    QStringLiteral("8(iík,;"),
    QStringLiteral("9)oól.:"),
    QStringLiteral("0=pñÑ-_'?^`[´¨{¡¿+*]ç}\r"),
};

const std::array<QString, 11> kEnglishGroups = {
    QString(),
    QStringLiteral("1!`~qaz"),
    QStringLiteral("2@wsx"),
    QStringLiteral("3#edc"),
    QStringLiteral("4$rfv5%tgb"),
    QStringLiteral(" "),
    QStringLiteral(" "),
    QStringLiteral("6^yhn7&ujm"),
    QStringLiteral("8*ik,<"),
    QStringLiteral("9(ol.>"),
    QStringLiteral("0)p;:/?-_[{'\"/?=+]}\\|\r"),
};

// The rows of the Spanish keyboard, which the English groups share.
const std::array<QString, 5> kSpanishRows = {
    QString(),
    QStringLiteral("º1234567890'¡ª!\"·$%&/()=?¿\\|@#~¬"),
    QStringLiteral("qweértyuúüiíoóp`+QWEÉRTYUÚÜIÍOÓP^*\u0080[]"),
    QStringLiteral("aásdfghjklñ´çAÁSDFGHJKLÑ¨Ç{}"),
    QStringLiteral("<zxcvbnm,.->ZXCVBNM;:_"),
};

// Characters of the left hand that need the right Shift (or, for the five lower-case accented
// vowels, the dead accent key), then those of the right hand that need the left Shift.
const QString kLeftHandShifted = QStringLiteral("áéíóú!\"·$%QWERTASDFGZXCVB>ª");
const QString kRightHandShifted = QStringLiteral("¿?=)(/*^POIUYÇ¨ÑLKJH_:;MN");

const std::vector<ColumnShift> kSpanishColumnShifts = {
    {4, QStringLiteral("5%tTgGbB"), 40},  {7, QStringLiteral("6&¬yYhHnN"), -40},
    {1, QStringLiteral("ºª\\<>"), -40},   {10, QStringLiteral("'?`^[´¨{"), 40},
    {10, QStringLiteral("¡¿+*]çÇ}"), 80},
};

// The Latin American keyboard (ISO, 105 keys) as its key caps print it: "| ° ¬" left of 1,
// "' ? \" and "¿ ¡" right of 0, the dead ´ and ¨ right of P, "+ * ~" after it, "{ [ ^"
// right of Ñ, "} ] `" beside Enter, "@" with Alt Gr on Q. The same finger strikes the same key
// as on the Spanish keyboard.
const std::array<QString, 11> kLatinAmericanGroups = {
    QString(),
    QStringLiteral("1!|°¬qaáz<>@"),
    QStringLiteral("2\"wsx"),
    QStringLiteral("3#eédc"),
    QStringLiteral("4$rfv5%tgb"),
    QStringLiteral(" "),
    QStringLiteral(" "),
    QStringLiteral("6&yhn7/uúüjm"),
    QStringLiteral("8(iík,;"),
    QStringLiteral("9)oól.:"),
    QStringLiteral("0=pñ-_'?\\¿¡´¨+*~{[^}]`\r"),
};

// Each row: the keys' own characters, then their shifted ones, then those of Alt Gr.
const std::array<QString, 5> kLatinAmericanRows = {
    QString(),
    QStringLiteral("|1234567890'¿°!\"#$%&/()=?¡¬\\"),
    QStringLiteral("qweértyuúüiíoóp´+QWEÉRTYUÚÜIÍOÓP¨*@~"),
    QStringLiteral("aásdfghjklñ{}AÁSDFGHJKLÑ[]^`"),
    QStringLiteral("<zxcvbnm,.->ZXCVBNM;:_"),
};

// As long as the Spanish left-hand text, so the right hand's characters start at the same
// position of the Shift table.
const QString kLatinAmericanLeftHandShifted = QStringLiteral("áéíóú!\"#$%°QWERTASDFGZXCVB>");
const QString kLatinAmericanRightHandShifted = QStringLiteral("¡?=)(/&*¨POIUYÑLKJH[]_:;MN");

const std::vector<ColumnShift> kLatinAmericanColumnShifts = {
    {4, QStringLiteral("5%tTgGbB"), 40},  {7, QStringLiteral("6&yYhHnN"), -40},
    {1, QStringLiteral("|°¬<>"), -40},    {10, QStringLiteral("'?\\´¨{[^"), 40},
    {10, QStringLiteral("¿¡+*~}]`"), 80},
};

struct Place {
    int x;
    int y;
};
constexpr std::array<Place, 5> kRowBase = {{{0, 0}, {65, 10}, {80, 63}, {90, 100}, {110, 138}}};
constexpr Place kSpaceBar = {105, 172};
constexpr Place kEnterKey = {210, 90};
constexpr int kKeyPitch = 40;

constexpr std::array<Place, 11> kFingerDots = {{{0, 0},
                                                {6, 20},
                                                {19, 10},
                                                {29, 6},
                                                {43, 13},
                                                {57, 39},
                                                {85, 39},
                                                {99, 13},
                                                {113, 6},
                                                {123, 10},
                                                {136, 20}}};
constexpr QPoint kLeftShiftDot(6, 20);
constexpr QPoint kRightModifierDot(136, 20);
constexpr int kModifierBoxY = 140;
constexpr int kModifierBoxWidth = 30;
constexpr int kLeftShiftX = 12;
constexpr int kRightShiftX = 540;
// The dead accent key: right of Ñ on the Spanish keyboard, right of P on the Latin American
// one; the marker stands above the key's own.
constexpr ModifierBox kSpanishAccentKey = {490, 90, 15};
constexpr ModifierBox kLatinAmericanAccentKey = {480, 53, 15};
constexpr int kShiftTableRightHandStart = 28;  // 1-based position of the right-hand text
const QString kDiaeresisVowels = QStringLiteral("üÜ");

// A one-character search; an empty text is found nowhere.
bool Holds(const QString& set, const QString& ch) {
    return !ch.isEmpty() && set.contains(ch);
}

QString WithUpperCase(const QString& base) {
    QString upper = base;
    for (QChar& c : upper) c = c.toUpper();
    return base + upper;
}

int ColumnCorrection(const KeyboardTables& tables, int finger, const QString& ch) {
    for (const ColumnShift& shift : tables.columnShifts) {
        if (shift.finger == finger && Holds(shift.characters, ch)) return shift.dx;
    }
    return 0;
}

}  // namespace

KeyboardTables MakeKeyboardTables(const QString& layout) {
    KeyboardTables tables;
    const std::array<QString, 11>* groups = &kSpanishGroups;
    if (layout == kLatinAmericanLayout) {
        tables.layout = kLatinAmericanLayout;
        groups = &kLatinAmericanGroups;
        tables.keyRows = kLatinAmericanRows;
        tables.shiftTable = kLatinAmericanLeftHandShifted + kLatinAmericanRightHandShifted;
        tables.columnShifts = kLatinAmericanColumnShifts;
        tables.accentKey = kLatinAmericanAccentKey;
        tables.altGrCharacters = QStringLiteral("@\\¬~^`");
        // Ordinals take the degree sign, the feminine one its plain letter ("1.a"); the centred
        // dot of a product the asterisk; the cedilla its plain letter.
        tables.standIns = {{u'º', u'°'}, {u'ª', u'a'}, {u'·', u'*'}, {u'ç', u'c'}, {u'Ç', u'C'}};
    } else {
        const bool english = layout == kEnglishLayout;
        tables.layout = english ? kEnglishLayout : kSpanishLayout;
        if (english) groups = &kEnglishGroups;
        tables.keyRows = kSpanishRows;
        tables.shiftTable = english ? kRightHandShifted : kLeftHandShifted + kRightHandShifted;
        tables.columnShifts = kSpanishColumnShifts;
        tables.accentKey = kSpanishAccentKey;
        // U+0080 stands for the euro sign.
        tables.altGrCharacters = QStringLiteral("\\|@#~\u0080¬[]{}");
        tables.standIns = {{u'°', u'º'}};
    }
    for (int finger = 1; finger <= 10; ++finger) {
        tables.fingerGroups[finger] = WithUpperCase((*groups)[finger]);
    }
    return tables;
}

const KeyboardTables& KeyboardTablesFor(const QString& layout) {
    static const KeyboardTables spanish = MakeKeyboardTables(kSpanishLayout);
    static const KeyboardTables latinAmerican = MakeKeyboardTables(kLatinAmericanLayout);
    static const KeyboardTables english = MakeKeyboardTables(kEnglishLayout);
    if (layout == kLatinAmericanLayout) return latinAmerican;
    if (layout == kEnglishLayout) return english;
    return spanish;
}

KeyHint LookupHint(const KeyboardTables& tables, const QString& ch, int previousFinger) {
    KeyHint hint;

    // Finger: the first group holding the character. The space stands in both thumbs' groups:
    // after the left hand (or nothing yet) the right thumb strikes it, and the other way round.
    int finger = previousFinger;
    for (int group = 1; group <= 10; ++group) {
        if (Holds(tables.fingerGroups[group], ch)) {
            finger = (group == 5 && previousFinger < 5) ? 6 : group;
            break;
        }
    }
    if (finger >= 1 && finger <= 10) {
        hint.finger = static_cast<qint8>(finger);
        hint.fingerDot = QPoint(kFingerDots[finger].x, kFingerDots[finger].y);
    } else {
        finger = kNoFinger;
    }

    // Modifier.
    const int position = ch.isEmpty() ? 0 : static_cast<int>(tables.shiftTable.indexOf(ch)) + 1;
    if (position > 0 && position < kShiftTableRightHandStart) {
        hint.shiftSide = kRightModifier;
        hint.secondDot = kRightModifierDot;
    } else if (position >= kShiftTableRightHandStart) {
        hint.shiftSide = kLeftShift;
        hint.secondDot = kLeftShiftDot;
    }

    // Key place: the row gives the base, the finger the column.
    std::optional<Place> base;
    for (int row = 1; row <= 4 && !base; ++row) {
        if (Holds(tables.keyRows[row], ch)) base = kRowBase[row];
    }
    if (!base && ch == QStringLiteral(" ")) base = kSpaceBar;
    if (!base && ch == QStringLiteral("\r")) base = kEnterKey;
    if (base) {
        int x = base->x;
        if (finger != kNoFinger)
            x += (finger - 1) * kKeyPitch + ColumnCorrection(tables, finger, ch);
        hint.keyPos = QPoint(x, base->y);
    }

    // The diaeresis is the accent key with Shift, so ü and Ü take both: the accent key struck
    // by the right little finger, the left Shift held by the left one.
    if (Holds(kDiaeresisVowels, ch)) {
        hint.shiftSide = kRightModifier;
        hint.secondDot = kRightModifierDot;
        hint.shiftBox = ModifierBox{kLeftShiftX, kModifierBoxY, kModifierBoxWidth};
        hint.shiftDot = kLeftShiftDot;
    }

    // Second marker: the left Shift, the right Shift or the dead accent key.
    if (hint.shiftSide == kLeftShift) {
        hint.modifierBox = ModifierBox{kLeftShiftX, kModifierBoxY, kModifierBoxWidth};
    } else if (hint.shiftSide == kRightModifier) {
        if (Holds(QStringLiteral("áéíóúÁÉÍÓÚ") + kDiaeresisVowels, ch)) {
            hint.modifierBox = tables.accentKey;
        } else {
            hint.modifierBox = ModifierBox{kRightShiftX, kModifierBoxY, kModifierBoxWidth};
        }
    }
    return hint;
}

KeyHint NextKeyHint(const KeyboardTables& tables, const QString& ch, int& previousFinger) {
    const KeyHint hint = LookupHint(tables, ch, previousFinger);
    previousFinger = hint.finger;
    return hint;
}

QString TypeableText(const KeyboardTables& tables, const QString& text) {
    QString typed = text;
    for (const auto& [missing, standIn] : tables.standIns) typed.replace(missing, standIn);
    return typed;
}

}  // namespace tz
