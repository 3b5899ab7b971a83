#include "users/user_record.h"

#include <algorithm>
#include <utility>

#include "platform/clock.h"

namespace tz {

namespace {

// Where field `field` of the line starts and how long it is; a start of -1 beyond the last.
// "|" never occurs inside a multi-byte UTF-8 sequence, so bytes can be cut like text.
template <typename Line>
std::pair<qsizetype, qsizetype> FieldSpan(const Line& line, UserField field) {
    qsizetype start = 0;
    for (int i = 1; i < static_cast<int>(field); ++i) {
        const qsizetype bar = line.indexOf('|', start);
        if (bar < 0) return {-1, 0};
        start = bar + 1;
    }
    const qsizetype end = line.indexOf('|', start);
    return {start, (end < 0 ? line.size() : end) - start};
}

}  // namespace

QString UserLineField(const QString& line, UserField field) {
    const auto [start, length] = FieldSpan(line, field);
    return start < 0 ? QString() : line.mid(start, length);
}

QString ByteLineField(const QByteArray& line, UserField field) {
    const auto [start, length] = FieldSpan(line, field);
    return start < 0 ? QString() : QString::fromUtf8(line.mid(start, length));
}

QString LineId(const QByteArray& line) {
    return TrimSpaces(ByteLineField(line, UserField::Id));
}

qint64 ReadNumber(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    quint64 value = 0;
    while (i < n && text[i] >= '0' && text[i] <= '9') {
        value = value * 10 + static_cast<quint64>(text[i].unicode() - '0');
        ++i;
    }
    // Negate in unsigned arithmetic: a text such as "-9223372036854775808" must wrap like any
    // other out-of-range number instead of overflowing.
    return static_cast<qint64>(negative ? 0 - value : value);
}

namespace {
std::int8_t Low8(qint64 value) {
    return static_cast<std::int8_t>(static_cast<std::uint8_t>(value & 0xFF));
}
std::int16_t Low16(qint64 value) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(value & 0xFFFF));
}
}  // namespace

UserRecord ParseUserLine(const QString& line) {
    UserRecord record;
    // As every save writes it, so that a pupil loaded and saved again is the same pupil.
    record.name = CleanUserName(UserLineField(line, UserField::Name));
    record.level = Low8(ReadNumber(UserLineField(line, UserField::Level)));
    record.block = Low8(ReadNumber(UserLineField(line, UserField::Block)));
    record.exercise = Low8(ReadNumber(UserLineField(line, UserField::Exercise)));
    record.averageSpeed = Low16(ReadNumber(UserLineField(line, UserField::AverageSpeed)));
    for (int i = 0; i < 10; ++i)
        record.history[i] = Low16(ReadNumber(UserLineField(line, ResultField(i))));
    record.mode = NormaliseMode(TrimSpaces(UserLineField(line, UserField::Mode)));
    return record;
}

QString FormatUserLine(const UserRecord& record) {
    QStringList fields;
    fields << CleanUserName(record.name) << QString::number(record.level)
           << QString::number(record.block) << QString::number(record.exercise)
           << QString::number(record.averageSpeed);
    for (const std::int16_t speed : record.history) fields << QString::number(speed);
    fields << NormaliseMode(record.mode) << record.id;
    return fields.join('|');
}

QString NormaliseMode(const QString& text) {
    static const QString modes[] = {"MUY FACIL", "FACIL", "NORMAL", "DIFICIL"};
    for (const QString& mode : modes) {
        if (text == mode) return text;
    }
    return QStringLiteral("NORMAL");
}

QString MakeDateStamp() {
    return Now().toString(QStringLiteral("yyyyMMddHHmmss"));
}

int ReadFormatVersion(const QString& firstLine) {
    const QString head = firstLine.left(22);
    const QString tail = head.right(3);
    if (tail.isEmpty()) return 0;
    const QString joined = QString(tail.front()) + tail.back();
    return static_cast<int>(ReadNumber(joined));
}

QString TrimSpaces(const QString& text) {
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text[start] == ' ') ++start;
    while (end > start && text[end - 1] == ' ') --end;
    return text.mid(start, end - start);
}

namespace {

// A character a name may not hold: it cuts the line into fields or lines, or shows nothing
// while it hides, reorders or joins what the list shows.
bool KeptOutOfNames(char32_t c) {
    if (c == u'|') return true;
    switch (QChar::category(c)) {
        case QChar::Other_Control:        // NUL, tab, CR, LF, DEL, C1
        case QChar::Other_Format:         // bidi marks, overrides, isolates, zero widths
        case QChar::Separator_Line:       // U+2028
        case QChar::Separator_Paragraph:  // U+2029
        case QChar::Other_Surrogate:      // half a character
            return true;
        default:
            return QChar::isNonCharacter(c);
    }
}

}  // namespace

QString CleanUserName(const QString& name, bool* changed) {
    QString clean;
    clean.reserve(std::min(name.size(), kUserNameMaxLength));
    for (qsizetype i = 0; i < name.size();) {
        char32_t c = name[i].unicode();
        qsizetype units = 1;
        if (name[i].isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(name[i], name[i + 1]);
            units = 2;
        }
        if (!KeptOutOfNames(c)) {
            if (clean.size() + units > kUserNameMaxLength) break;
            clean.append(name.constData() + i, units);
        }
        i += units;
    }
    if (changed) *changed = clean.size() != name.size();
    return clean;
}

}  // namespace tz
