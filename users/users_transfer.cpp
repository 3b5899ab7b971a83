#include "users/users_transfer.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "platform/clock.h"
#include "platform/files.h"
#include "users/user_record.h"
#include "users/user_store.h"
#include "users/users_file.h"

namespace tz {

namespace {

const QByteArray kByteOrderMark("\xEF\xBB\xBF");

// Enough draws to find a free id unless nearly all 30001 are taken; the import stops there
// rather than loop for ever.
constexpr int kMaxIdDraws = 1000;

QByteArray JoinWithLineEnds(const QList<QByteArray>& lines) {
    QByteArray bytes;
    for (const QByteArray& line : lines) bytes += line + "\r\n";
    return bytes;
}

}  // namespace

bool WriteExportFile(const QString& path, const QList<QByteArray>& lines) {
    const QByteArray bytes = JoinWithLineEnds(lines);
    QSaveFile file(path);
    // Some removable drives refuse the temporary file beside the target.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

namespace {

// Appends the lines to the users file in one write. A missing or empty users file gets the
// header first (otherwise the first imported user would be read as the header and vanish),
// and a last line without its line end gets one, so no two users share a line. The caller
// holds the lock.
bool AppendToUsersFile(const QList<QByteArray>& lines) {
    const UsersFileBytes file = ReadUsersFile(UsersFileAccess::ReadWrite);
    if (!file.opened) return false;
    QByteArray bytes;
    if (file.content.isEmpty()) {
        bytes += kUsersHeader.toUtf8() + "\r\n";
    } else if (!file.content.endsWith('\r') && !file.content.endsWith('\n')) {
        bytes += "\r\n";
    }
    bytes += JoinWithLineEnds(lines);
    return AppendToUsersFileLocked(bytes);
}

}  // namespace

QList<QByteArray> CollectUserLines(const QStringList& ids) {
    QList<QByteArray> collected;
    const UsersFileBytes file = ReadUsersFile(UsersFileAccess::ReadOnly);
    if (!file.opened) return collected;
    const QList<QByteArray> lines = SplitByteLines(file.content);
    for (const QString& id : ids) {
        for (qsizetype i = 1; i < lines.size(); ++i) {
            if (ByteLineField(lines[i], 17) == id) collected.append(lines[i]);
        }
    }
    return collected;
}

QByteArray MakeImportedLine(const QByteArray& line, const QString& id) {
    const QList<QByteArray> fields = line.split('|');
    QByteArray result;
    for (int k = 0; k < 16; ++k) {
        if (k < fields.size()) result += fields[k];
        result += '|';
    }
    return result + id.toUtf8();
}

QString DrawImportId(const QStringList& taken) {
    for (int draw = 0; draw < kMaxIdDraws; ++draw) {
        const QString id = QStringLiteral("ID-") + QString::number(RandomInt(0, 30000));
        if (!taken.contains(id) && !UserIdExists(id)) return id;
    }
    return QString();
}

ImportResult ImportUsersFrom(const QString& path) {
    QByteArray content;
    QFile source(path);
    if (source.open(QIODevice::ReadOnly)) content = source.readAll();
    if (content.startsWith(kByteOrderMark)) content.remove(0, kByteOrderMark.size());
    // The ids are drawn against the users file as it stands inside the lock.
    const std::unique_ptr<FileLock> lock = LockUsersFile();
    if (!lock) return {0, WriteOutcome::Busy};
    QList<QByteArray> newLines;
    QStringList drawn;
    for (const QByteArray& line : SplitByteLines(content)) {
        // A blank line (often one left at the end by an editor) is no user.
        if (line.trimmed().isEmpty()) continue;
        const QString id = DrawImportId(drawn);
        if (id.isEmpty()) break;
        drawn.append(id);
        newLines.append(MakeImportedLine(line, id));
    }
    if (newLines.isEmpty()) return {0, WriteOutcome::Written};
    if (!AppendToUsersFile(newLines)) return {0, WriteOutcome::Failed};
    return {newLines.size(), WriteOutcome::Written};
}

}  // namespace tz
