#pragma once
// Helpers of the content tests: the characters a pupil can type, and readable QStrings in
// failure messages.

#include <QString>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace tz::test {

// A space and the four key rows of the Spanish keyboard.
inline QString TypableCharacters() {
    return QStringLiteral(" ") + QString::fromUtf8("º1234567890'¡ª!\"·$%&/()=?¿\\|@#~¬") +
           QString::fromUtf8("qweértyuúüiíoóp`+QWEÉRTYUÚÜIÍOÓP^*") + QChar(0x80) + "[]" +
           QString::fromUtf8("aásdfghjklñ´çAÁSDFGHJKLÑ¨Ç{}") +
           QString::fromUtf8("<zxcvbnm,.->ZXCVBNM;:_");
}

// A character a text may hold: typable, and not the control code that stands at the euro key.
inline bool IsTypable(QChar c) {
    static const QString typable = TypableCharacters();
    return c != QChar(0x80) && typable.contains(c);
}

// A space and what the keys of a Latin American keyboard print, key by key from the number row
// down (plain, Shift, Alt Gr), with the vowels its dead keys give.
inline QString LatinAmericanTypableCharacters() {
    return QString::fromUtf8(
        " |°¬1!2\"3#4$5%6&7/8(9)0='?\\¿¡"
        "qQ@wWeEéÉrRtTyYuUúÚüÜiIíÍoOóÓpP´¨+*~"
        "aAáÁsSdDfFgGhHjJkKlLñÑ{[^}]`"
        "<>zZxXcCvVbBnNmM,;.:-_");
}

}  // namespace tz::test
