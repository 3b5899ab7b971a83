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

}  // namespace tz::test
