#include "users/user_store.h"

#include <QFile>
#include <QSet>

#include "platform/clock.h"
#include "platform/files.h"
#include "users/pupil_files.h"
#include "users/user_record.h"
#include "users/users_file.h"

namespace tz {

namespace {

// Every id that stands in field 17 of a line, without spaces around it.
QSet<QString> IdsIn(const QList<QByteArray>& lines) {
    QSet<QString> ids;
    for (const QByteArray& line : lines) ids.insert(TrimSpaces(ByteLineField(line, 17)));
    return ids;
}

QString UniqueIdAmong(const QString& id, const QSet<QString>& ids) {
    if (!ids.contains(id)) return id;
    for (int counter = 1;; ++counter) {
        const QString candidate = id + QString::number(counter);
        if (!ids.contains(candidate)) return candidate;
    }
}

QList<QByteArray> ExistingLines() {
    const UsersFileBytes file = ReadUsersFile(UsersFileAccess::ReadOnly);
    return file.opened ? SplitByteLines(file.content) : QList<QByteArray>();
}

}  // namespace

bool CreateDefaultUsersFile() {
    if (FileSize(DataPath(kUsersFileName)) >= 20) return false;
    // Another program may be writing its first users file this very moment.
    const std::unique_ptr<FileLock> lock = LockUsersFile();
    if (lock && FileSize(DataPath(kUsersFileName)) < 20) {
        QString line = QStringLiteral("VANTOMERK SOFT|100|1|1|360|");
        for (int i = 0; i < 10; ++i) line += QString::number(150 + RandomInt(0, 200)) + '|';
        line += QStringLiteral("NORMAL|ID-") + MakeDateStamp();
        ReplaceUsersFileLocked({kUsersHeader.toUtf8(), line.toUtf8()});
    }
    return true;
}

std::optional<UserRecord> LoadUser(const QString& id) {
    if (id.isEmpty()) return std::nullopt;
    const UsersFileBytes file = ReadUsersFile(UsersFileAccess::ReadOnly);
    if (!file.opened) return std::nullopt;
    const QList<QByteArray> lines = SplitByteLines(file.content);
    for (qsizetype i = lines.size() - 1; i >= 1; --i) {
        if (ByteLineField(lines[i], 17) != id) continue;
        UserRecord record = ParseUserLine(QString::fromUtf8(lines[i]));
        record.id = id;
        return record;
    }
    return std::nullopt;
}

WriteResult SaveUser(UserRecord& user, const WhileRewriting& whileRewriting) {
    return RewriteThroughTemp(
        UsersFileAccess::ReadWrite,
        [&user](const QByteArray& content) {
            const QList<QByteArray> lines = SplitByteLines(content);
            QList<QByteArray> out{kUsersHeader.toUtf8()};
            for (qsizetype i = 1; i < lines.size(); ++i) {
                if (!user.id.isEmpty() && ByteLineField(lines[i], 17) == user.id) {
                    user.averageSpeed = ComputeAverageSpeed(user.history);
                    out.append(FormatUserLine(user).toUtf8());
                } else {
                    out.append(lines[i]);
                }
            }
            return out;
        },
        whileRewriting);
}

QString AppendNewUser(const QString& name, std::int8_t level, const QString& mode,
                      WriteOutcome* outcome) {
    WriteOutcome ignored = WriteOutcome::Failed;
    WriteOutcome& result = outcome ? *outcome : ignored;
    const std::unique_ptr<FileLock> lock = LockUsersFile();
    if (!lock) {
        result = WriteOutcome::Busy;
        return QString();
    }
    result = WriteOutcome::Failed;
    const UsersFileBytes file = ReadUsersFile(UsersFileAccess::ReadWrite);
    if (!file.opened) return QString();
    const QByteArray& content = file.content;

    QByteArray bytes;
    // A user written as the first line would be taken for the header and never listed.
    if (content.isEmpty()) bytes += kUsersHeader.toUtf8() + "\r\n";
    // A file edited by hand may lack its last line end; the new line must not join that line.
    else if (!content.endsWith('\r') && !content.endsWith('\n'))
        bytes += "\r\n";

    const QString id =
        UniqueIdAmong(QStringLiteral("ID-") + MakeDateStamp(), IdsIn(SplitByteLines(content)));
    const QString line = CleanUserName(name) + '|' + QString::number(level) +
                         QStringLiteral("|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|") +
                         NormaliseMode(mode) + '|' + id;
    bytes += line.toUtf8() + "\r\n";
    if (!AppendToUsersFileLocked(bytes)) return QString();
    result = WriteOutcome::Written;
    return id;
}

WriteResult DeleteUser(const QString& id, const WhileRewriting& whileRewriting) {
    // The header line has no id: an empty id would remove it.
    if (id.isEmpty()) return {WriteOutcome::Failed};
    // Her figures go with her line, under the same lock, so no other program records an
    // attempt of hers in between.
    const std::unique_ptr<FileLock> lock = LockUsersFile();
    if (!lock) return {WriteOutcome::Busy};
    const WriteResult deleted = RewriteThroughTempLocked(
        UsersFileAccess::ReadWrite,
        [&id](const QByteArray& content) {
            QList<QByteArray> out;
            const QList<QByteArray> lines = SplitByteLines(content);
            for (qsizetype i = 0; i < lines.size(); ++i) {
                // The header is no user, whatever its fields hold.
                if (i == 0 || ByteLineField(lines[i], 17) != id) out.append(lines[i]);
            }
            return out;
        },
        whileRewriting);
    if (deleted) RemovePupilFilesLocked(id);
    return deleted;
}

void RecordResult(std::array<std::int16_t, 10>& history, std::int16_t speed) {
    if (speed < 0) speed = 0;
    if (history[9] >= 0) {
        for (int i = 0; i < 9; ++i) history[i] = history[i + 1];
        history[9] = speed;
        return;
    }
    for (auto& slot : history) {
        if (slot < 0) {
            slot = speed;
            return;
        }
    }
}

std::int16_t ComputeAverageSpeed(const std::array<std::int16_t, 10>& history) {
    int sum = 0;
    int n = 0;
    for (const std::int16_t speed : history) {
        if (speed < 0) break;
        sum += speed;
        ++n;
    }
    if (n == 0 || sum == 0) return 0;
    return static_cast<std::int16_t>(sum / n);
}

UserLines ReadUserLines() {
    UserLines result;
    const UsersFileBytes file = ReadUsersFile(UsersFileAccess::ReadOnly);
    if (!file.opened) return result;
    result.opened = true;
    const QList<QByteArray> lines = SplitByteLines(file.content);
    for (qsizetype i = 1; i < lines.size(); ++i) result.lines.append(QString::fromUtf8(lines[i]));
    return result;
}

bool UserIdExists(const QString& id) {
    return IdsIn(ExistingLines()).contains(id);
}

QString MakeUniqueUserId(const QString& id) {
    return UniqueIdAmong(id, IdsIn(ExistingLines()));
}

}  // namespace tz
