#include "users/users_file.h"

#include <QFile>
#include <QStringDecoder>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "platform/files.h"
#include "users/user_record.h"

namespace tz {

namespace {

const QByteArray kByteOrderMark("\xEF\xBB\xBF");

QByteArray JoinLines(const QList<QByteArray>& lines) {
    QByteArray bytes;
    qsizetype size = 0;
    for (const QByteArray& line : lines) size += line.size() + 2;
    bytes.reserve(size);
    for (const QByteArray& line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    return bytes;
}

// Writes the bytes to "usuarios.tmp" and moves it over the users file. Whatever fails, no
// temporary file stays behind and the users file keeps its old content.
bool WriteThroughTemp(const QByteArray& bytes, const std::function<void()>& whileRewriting) {
    return ReplaceThroughTemp(DataPath(kUsersFileName), DataPath(kUsersTempName),
                              [&](const QString& temp) {
                                  if (!WriteAndSync(temp, bytes)) return false;
                                  if (whileRewriting) whileRewriting();
                                  return true;
                              });
}

}  // namespace

UsersFileBytes ReadUsersFile(UsersFileAccess access) {
    UsersFileBytes result;
    QFile file(DataPath(kUsersFileName));
    const QIODevice::OpenMode mode =
        access == UsersFileAccess::ReadWrite ? QIODevice::ReadWrite : QIODevice::ReadOnly;
    if (!file.open(mode)) return result;
    result.opened = true;
    result.content = file.readAll();
    // An editor may add its mark to a file that already had one: the header comes after all.
    while (result.content.startsWith(kByteOrderMark))
        result.content.remove(0, kByteOrderMark.size());
    return result;
}

QList<QByteArray> SplitByteLines(const QByteArray& content) {
    QList<QByteArray> lines;
    const qsizetype n = content.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char c = content[i];
        if (c != '\r' && c != '\n') continue;
        lines.append(content.mid(start, i - start));
        if (c == '\r' && i + 1 < n && content[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < n) lines.append(content.mid(start));
    return lines;
}

QList<QByteArray> SplitByteLinesAt(const QByteArray& content, const QByteArray& lineEnd) {
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = content.indexOf(lineEnd, start);
        if (end < 0) break;
        lines.append(content.mid(start, end - start));
        start = end + lineEnd.size();
    }
    if (start < content.size()) lines.append(content.mid(start));
    return lines;
}

QString ByteLineField(const QByteArray& line, int k) {
    // "|" never occurs inside a multi-byte UTF-8 sequence, so the bytes can be cut first.
    qsizetype start = 0;
    for (int i = 1; i < k; ++i) {
        const qsizetype bar = line.indexOf('|', start);
        if (bar < 0) return QString();
        start = bar + 1;
    }
    const qsizetype end = line.indexOf('|', start);
    return QString::fromUtf8(line.mid(start, end < 0 ? -1 : end - start));
}

namespace {

bool IsWholeNumber(const QByteArray& field) {
    const qsizetype first = field.startsWith('-') ? 1 : 0;
    if (field.size() == first) return false;
    for (qsizetype i = first; i < field.size(); ++i) {
        if (field[i] < '0' || field[i] > '9') return false;
    }
    return true;
}

}  // namespace

bool IsUserLineOfCurrentLayout(const QByteArray& line) {
    const QList<QByteArray> fields = line.split('|');
    if (fields.size() != 17) return false;
    for (int k = 2; k <= 15; ++k) {
        if (!IsWholeNumber(fields[k - 1])) return false;
    }
    // Readers of the id ignore spaces around it.
    const QByteArray id = fields[16].trimmed();
    return id.startsWith("ID-") && IsWholeNumber(id.mid(3)) && !id.mid(3).startsWith('-');
}

bool IsHealthyUsersFile(const QByteArray& content) {
    // Stateless: a character cut by the end of the file is an error, not one still to come.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8.decode(content);
    if (utf8.hasError()) return false;
    const QList<QByteArray> lines = SplitByteLines(content);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (lines[i].trimmed().isEmpty()) continue;
        if (!IsUserLineOfCurrentLayout(lines[i])) return false;
    }
    return true;
}

std::unique_ptr<FileLock> LockUsersFile(int waitMs) {
    return FileLock::Take(DataPath(kUsersLockName), waitMs);
}

WriteResult RewriteThroughTemp(UsersFileAccess access, const UsersFilePass& pass,
                               const std::function<void()>& whileRewriting) {
    const std::unique_ptr<FileLock> lock = LockUsersFile();
    if (!lock) return {WriteOutcome::Busy};
    return RewriteThroughTempLocked(access, pass, whileRewriting);
}

WriteResult RewriteThroughTempLocked(UsersFileAccess access, const UsersFilePass& pass,
                                     const std::function<void()>& whileRewriting) {
    const UsersFileBytes source = ReadUsersFile(access);
    if (!source.opened) return {WriteOutcome::Failed};
    const bool written = WriteThroughTemp(JoinLines(pass(source.content)), whileRewriting);
    return {written ? WriteOutcome::Written : WriteOutcome::Failed};
}

bool ReplaceUsersFileLocked(const QList<QByteArray>& lines) {
    return WriteThroughTemp(JoinLines(lines), {});
}

bool AppendToUsersFileLocked(const QByteArray& bytes) {
    QFile file(DataPath(kUsersFileName));
    if (!file.open(QIODevice::ReadWrite)) return false;
    // One write, so the lines go in whole or not at all.
    if (!file.seek(file.size()) || file.write(bytes) != bytes.size() || !file.flush()) {
        return false;
    }
#ifndef _WIN32
    ::fsync(file.handle());
#endif
    return true;
}

}  // namespace tz
