#pragma once
// One user in memory and its line in the users file.

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
inline const QString kUsersTempName = QStringLiteral("usuarios.tmp");
inline const QString kLockCopyName = QStringLiteral("~usuarios.dat");

// Field k (from 1) of a "|"-separated line; empty beyond the last field.
QString UserLineField(const QString& line, int k);
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
// A name as it may stand in a line: without "|", CR or LF.
QString CleanUserName(const QString& name);

}  // namespace tz
