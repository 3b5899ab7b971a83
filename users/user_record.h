#pragma once
// One user in memory and its line in the users file.

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

namespace tz {

struct UserRecord {
    QString id;
    QString name;  // empty: no user selected
    std::int8_t level = 0;
    std::int8_t block = 0;
    std::int8_t exercise = 0;
    std::int16_t averageSpeed = 0;
    std::array<std::int16_t, 10> history{};  // oldest first, -1 empty
    QString mode;

    bool operator==(const UserRecord&) const = default;
};

// The difficulty mode in force before any user is chosen, and of a mode text not understood.
inline const QString kDefaultMode = QStringLiteral("NORMAL");

inline const QString kUsersHeader = QStringLiteral("Datos de Usuarios v2.6");
inline const QString kUsersFileName = QStringLiteral("usuarios.dat");
inline const QString kLockCopyName = QStringLiteral("~usuarios.dat");
// Where a recovery keeps the users file it replaces, in the data folder.
inline QString RecoveryCopyName(const QString& stamp) {
    return QStringLiteral("usuarios_antes_de_recuperar_") + stamp + QStringLiteral(".dat");
}
// Where a lock copy the teacher chose not to recover is kept, in the data folder.
inline QString UnusedLockCopyName(const QString& stamp) {
    return QStringLiteral("usuarios_copia_no_recuperada_") + stamp + QStringLiteral(".dat");
}

// The fields of a user line, numbered from 1 as they stand in it.
enum class UserField : int {
    Name = 1,
    Level,
    Block,
    Exercise,
    AverageSpeed,
    FirstResult,  // the ten results are fields 6 to 15, oldest first
    Mode = 16,
    Id = 17,
};
// The field of result `slot` (0 to 9).
constexpr UserField ResultField(int slot) {
    return static_cast<UserField>(static_cast<int>(UserField::FirstResult) + slot);
}
// A field of a "|"-separated line; empty beyond the last field. The same splitter serves the
// text of a line and its raw bytes (decoded from UTF-8), so both always agree.
QString UserLineField(const QString& line, UserField field);
QString ByteLineField(const QByteArray& line, UserField field);
// The id a line carries, without spaces around it.
QString LineId(const QByteArray& line);
// Leading blanks and tabs skipped, optional sign, digits up to the first other character;
// no digits give 0. Callers keep the low bits they need.
qint64 ReadNumber(const QString& text);

UserRecord ParseUserLine(const QString& line);
QString FormatUserLine(const UserRecord& record);
QString NormaliseMode(const QString& text);
QString MakeDateStamp();
int ReadFormatVersion(const QString& firstLine);
// The text without spaces at either end (tabs and other blanks stay).
QString TrimSpaces(const QString& text);
// The most characters (UTF-16 units, as the name entry counts them) a pupil's name keeps.
inline constexpr qsizetype kUserNameMaxLength = 60;
// A name as it may stand in a line and in the list: without "|", control characters (NUL, CR,
// LF, tab...), invisible format characters (bidirectional overrides and isolates, zero-width
// spaces and joiners), line separators and what is no character at all (a lone surrogate, a
// noncharacter); then cut to kUserNameMaxLength, never inside a character. `changed`, when
// given, tells whether anything was taken out. Every door a name comes in by applies it.
QString CleanUserName(const QString& name, bool* changed = nullptr);

}  // namespace tz
