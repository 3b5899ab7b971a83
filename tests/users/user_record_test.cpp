#include "users/user_record.h"
#include "platform/clock.h"
#include "support.h"

namespace tz {
namespace {

TEST(UserRecord, FormatVersionComesFromTheHeadersLastThreeCharacters) {
    EXPECT_EQ(ReadFormatVersion("Datos de Usuarios v2.6"), 26);
    EXPECT_EQ(ReadFormatVersion("Datos de Usuarios v2.5"), 25);
    EXPECT_EQ(ReadFormatVersion("abc"), 0);
    EXPECT_EQ(ReadFormatVersion(""), 0);
    // Only the first 22 characters count.
    EXPECT_EQ(ReadFormatVersion("Datos de Usuarios v2.6 y algo más"), 26);
    // A byte-order mark in front shifts the window: the reader of the file must skip it.
    EXPECT_NE(ReadFormatVersion(QString(QChar(0xFEFF)) + "Datos de Usuarios v2.6"), 26);
}

TEST(UserRecord, ParsingFollowsTheFieldRules) {
    const UserRecord ana =
        ParseUserLine("ANA|6|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|FACIL|ID-20240305090507");
    EXPECT_EQ(ana.name, "ANA");
    EXPECT_EQ(ana.level, 6);
    EXPECT_EQ(ana.block, 1);
    EXPECT_EQ(ana.exercise, 1);
    EXPECT_EQ(ana.averageSpeed, 0);
    for (const auto speed : ana.history) EXPECT_EQ(speed, -1);
    EXPECT_EQ(ana.mode, "FACIL");
    EXPECT_TRUE(ana.id.isEmpty()) << "the id is never taken from the line";

    // The mode is trimmed of spaces only and compared exactly.
    EXPECT_EQ(ParseUserLine("X|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1| FACIL |ID-1").mode, "FACIL");
    EXPECT_EQ(ParseUserLine("X|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|Facil|ID-1").mode, "NORMAL");
    EXPECT_EQ(ParseUserLine("X|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|\tFACIL|ID-1").mode, "NORMAL");
    EXPECT_EQ(ParseUserLine("X|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|MUY FACIL").mode, "MUY FACIL");

    // Names are kept exactly, spaces included.
    EXPECT_EQ(ParseUserLine(" ana pérez |1").name, QString::fromUtf8(" ana pérez "));
}

TEST(UserRecord, NumbersWrapToTheFieldWidthAndNeverFail) {
    const UserRecord wide = ParseUserLine("X|300|-129|  +7|70000|abc|\t-12x|+|40000");
    EXPECT_EQ(wide.level, 44);           // low 8 bits of 300
    EXPECT_EQ(wide.block, 127);          // -129 wraps
    EXPECT_EQ(wide.exercise, 7);         // blanks and "+" skipped
    EXPECT_EQ(wide.averageSpeed, 4464);  // 70000 - 65536
    EXPECT_EQ(wide.history[0], 0);       // no digits
    EXPECT_EQ(wide.history[1], -12);
    EXPECT_EQ(wide.history[2], 0);
    EXPECT_EQ(wide.history[3], 40000 - 65536);

    // Texts far beyond 64 bits wrap as well (no overflow trap under the sanitizers).
    EXPECT_EQ(ReadNumber("-9223372036854775808"), std::numeric_limits<qint64>::min());
    EXPECT_EQ(ReadNumber("18446744073709551617"), 1);
    EXPECT_EQ(ParseUserLine("X|99999999999999999999999999").level,
              static_cast<std::int8_t>(ReadNumber("99999999999999999999999999") & 0xFF));

    // A short line reads zeros, "NORMAL" and an empty name beyond its end.
    const UserRecord shortLine = ParseUserLine("SOLO|5");
    EXPECT_EQ(shortLine.level, 5);
    EXPECT_EQ(shortLine.block, 0);
    for (const auto speed : shortLine.history) EXPECT_EQ(speed, 0);
    EXPECT_EQ(shortLine.mode, "NORMAL");
}

TEST(UserRecord, FormattingWritesSeventeenFieldsWithACleanNameAndMode) {
    UserRecord record;
    record.id = "ID-20240305090507";
    record.name = QString::fromUtf8("ANA PÉREZ");
    record.level = -3;
    record.block = 2;
    record.exercise = 4;
    record.averageSpeed = 215;
    record.history = {200, 230, -1, -1, -1, -1, -1, -1, -1, -1};
    record.mode = "DIFICIL";
    const QString line = FormatUserLine(record);
    EXPECT_EQ(line, QString::fromUtf8("ANA PÉREZ|-3|2|4|215|200|230|-1|-1|-1|-1|-1|-1|-1|-1|"
                                      "DIFICIL|ID-20240305090507"));
    UserRecord back = ParseUserLine(line);
    back.id = record.id;
    EXPECT_EQ(back, record);

    // An unknown mode is written as "NORMAL"; the record keeps its own.
    record.mode = "facil";
    EXPECT_TRUE(FormatUserLine(record).endsWith("|NORMAL|ID-20240305090507"));
    EXPECT_EQ(record.mode, "facil");

    // "|", CR and LF would shift or split the fields: they are dropped from the name.
    record.name = "JUAN|7\r\nLOPEZ\rX\nY";
    const QString cleaned = FormatUserLine(record);
    EXPECT_TRUE(cleaned.startsWith("JUAN7LOPEZXY|-3|2|4|")) << cleaned.toStdString();
    EXPECT_EQ(cleaned.count('|'), 16);
    EXPECT_EQ(UserLineField(cleaned, UserField::Id), "ID-20240305090507");
}

// What no name may carry: characters that hide, reorder or cut what the list shows, or that
// the file cannot hold; and more than 60 characters.
TEST(UserRecord, NamesLoseInvisibleAndControlCharactersAndStopAtSixty) {
    const QString pair = QString::fromUtf8("\xF0\x9D\x90\x80");  // one character, two units
    const struct {
        QString name;
        QString clean;
    } cases[] = {
        {QString::fromUtf8("ANA PÉREZ ÑÚÑEZ"), QString::fromUtf8("ANA PÉREZ ÑÚÑEZ")},
        {QStringLiteral("AN") + QChar(0) + "A\tB\x7F" + QChar(0x85), "ANAB"},
        {QStringLiteral("EVA ") + QChar(0x202E) + "ZEMOG" + QChar(0x202C), "EVA ZEMOG"},
        {QChar(0x2067) + QStringLiteral("LUIS") + QChar(0x2069) + QChar(0x200F), "LUIS"},
        {QStringLiteral("P") + QChar(0x200B) + "E" + QChar(0x200D) + "P" + QChar(0xFEFF) +
             QChar(0x2060) + "E" + QChar(0x2028),
         "PEPE"},
        {QStringLiteral("RO") + QChar(0xD800) + "SA" + QChar(0xDC00) + QChar(0xFFFF), "ROSA"},
        {QString(70, 'M'), QString(60, 'M')},
        {QString(59, 'M') + pair, QString(59, 'M')},
        {QString(58, 'M') + pair + "X", QString(58, 'M') + pair},
    };
    for (const auto& c : cases) {
        bool changed = false;
        EXPECT_EQ(CleanUserName(c.name, &changed), c.clean) << c.name.toStdString();
        EXPECT_EQ(changed, c.name != c.clean) << c.name.toStdString();
    }
}

TEST(UserRecord, DateStampIsFourteenDigitsOfLocalTime) {
    ManualClock clock;
    clock.now = QDateTime(QDate(2024, 3, 5), QTime(9, 5, 7));
    SetClock(&clock);
    EXPECT_EQ("ID-" + MakeDateStamp(), "ID-20240305090507");
    clock.now = QDateTime(QDate(2031, 12, 31), QTime(23, 59, 59));
    EXPECT_EQ(MakeDateStamp(), "20311231235959");
    SetClock(nullptr);
}

}  // namespace
}  // namespace tz
