#include "users/user_store.h"

#include <QFile>
#include <QSet>

#include "platform/clock.h"
#include "platform/events.h"
#include "platform/files.h"
#include "users/user_record.h"
#include "users/users_file.h"

#ifndef _WIN32
#include <unistd.h>
#endif

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

void CreateDefaultUsersFile() {
    if (FileSize(DataPath(kUsersFileName)) >= 20) return;
    QString line = QStringLiteral("VANTOMERK SOFT|100|1|1|360|");
    for (int i = 0; i < 10; ++i) line += QString::number(150 + RandomInt(0, 200)) + '|';
    line += QStringLiteral("NORMAL|ID-") + MakeDateStamp();
    ReplaceUsersFile({kUsersHeader.toUtf8(), line.toUtf8()});
    SleepMs(100);
    DrainEvents();
    SleepMs(100);
}

void LoadCurrentUser() {
    const QString& id = CurrentUser.id;
    if (id.isEmpty()) return;
    const UsersFileBytes file = ReadUsersFile(UsersFileAccess::ReadOnly);
    if (!file.opened) return;
    const QList<QByteArray> lines = SplitByteLines(file.content);
    for (qsizetype i = lines.size() - 1; i >= 1; --i) {
        if (ByteLineField(lines[i], 17) != id) continue;
        UserRecord record = ParseUserLine(QString::fromUtf8(lines[i]));
        record.id = id;
        CurrentUser = record;
        CurrentMode = record.mode;
        return;
    }
}

bool SaveCurrentUser() {
    return RewriteThroughTemp(UsersFileAccess::ReadWrite, [](const QByteArray& content) {
        const QList<QByteArray> lines = SplitByteLines(content);
        QList<QByteArray> out{kUsersHeader.toUtf8()};
        const QString& id = CurrentUser.id;
        for (qsizetype i = 1; i < lines.size(); ++i) {
            if (!id.isEmpty() && ByteLineField(lines[i], 17) == id) {
                CurrentUser.averageSpeed = ComputeAverageSpeed(CurrentUser.history);
                out.append(FormatUserLine(CurrentUser).toUtf8());
            } else {
                out.append(lines[i]);
            }
        }
        return out;
    });
}

QString AppendNewUser(const QString& name, std::int8_t level) {
    QFile file(DataPath(kUsersFileName));
    if (!file.open(QIODevice::ReadWrite)) return QString();
    QByteArray content = file.readAll();
    if (content.startsWith("\xEF\xBB\xBF")) content.remove(0, 3);

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
                         NormaliseMode(CurrentMode) + '|' + id;
    bytes += line.toUtf8() + "\r\n";

    // One write, so the line goes in whole or not at all.
    if (!file.seek(file.size()) || file.write(bytes) != bytes.size() || !file.flush()) {
        return QString();
    }
#ifndef _WIN32
    ::fsync(file.handle());
#endif
    return id;
}

bool DeleteUser(const QString& id) {
    // The header line has no id: an empty id would remove it.
    if (id.isEmpty()) return false;
    return RewriteThroughTemp(UsersFileAccess::ReadWrite, [&id](const QByteArray& content) {
        QList<QByteArray> out;
        const QList<QByteArray> lines = SplitByteLines(content);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            // The header is no user, whatever its fields hold.
            if (i == 0 || ByteLineField(lines[i], 17) != id) out.append(lines[i]);
        }
        return out;
    });
}

void RecordResult(std::int16_t speed) {
    if (speed < 0) speed = 0;
    auto& history = CurrentUser.history;
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
