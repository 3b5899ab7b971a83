#include "users/users_file.h"

#include <QStringDecoder>

#include "platform/files.h"
#include "platform/safe_files.h"
#include "platform/textfile.h"
#include "users/user_record.h"

namespace tz {

namespace {

const QByteArray kByteOrderMark("\xEF\xBB\xBF");
const QByteArray kHeaderStart("Datos de Usuarios v");

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

bool IsWholeNumber(const QByteArray& field) {
    const qsizetype first = field.startsWith('-') ? 1 : 0;
    if (field.size() == first) return false;
    for (qsizetype i = first; i < field.size(); ++i) {
        if (field[i] < '0' || field[i] > '9') return false;
    }
    return true;
}

}  // namespace

std::unique_ptr<FileLock> LockUsersFile(int waitMs, LockOutcome* outcome) {
    return FileLock::Take(DataPath(kUsersLockName), waitMs, outcome);
}

WriteOutcome LockFailure(LockOutcome outcome) {
    return outcome == LockOutcome::Busy ? WriteOutcome::Busy : WriteOutcome::LockDenied;
}

UsersFileBytes ReadUsersFile(UsersFileAccess access) {
    UsersFileBytes result;
    const FileRead read = ReadRegularFile(DataPath(kUsersFileName), kUsersFileCap);
    result.outcome = read.outcome;
    if (read.outcome == ReadOutcome::Missing && access == UsersFileAccess::ReadWrite) {
        result.opened = true;
        return result;
    }
    if (!read.Ok()) return result;
    result.opened = true;
    result.content = read.bytes;
    // An editor may add its mark to a file that already had one: the header comes after all.
    while (result.content.startsWith(kByteOrderMark))
        result.content.remove(0, kByteOrderMark.size());
    result.content = LinesAsUtf8(result.content);
    return result;
}

QByteArray LineAsUtf8(const QByteArray& line) {
    return QByteArrayView(line).isValidUtf8() ? line : DecodeWindows1252(line).toUtf8();
}

QByteArray LinesAsUtf8(const QByteArray& content) {
    // Nearly always the whole file is UTF-8 and nothing is copied.
    if (QByteArrayView(content).isValidUtf8()) return content;
    QByteArray text;
    text.reserve(content.size() + content.size() / 8);
    qsizetype start = 0;
    for (qsizetype i = 0; i <= content.size(); ++i) {
        if (i < content.size() && content[i] != '\r' && content[i] != '\n') continue;
        text += LineAsUtf8(content.mid(start, i - start));
        if (i < content.size()) text += content[i];
        start = i + 1;
    }
    return text;
}

QString WhyUsersFileUnreadable(ReadOutcome outcome) {
    switch (outcome) {
        case ReadOutcome::Denied:
            return QStringLiteral(
                "Esta cuenta no tiene permiso para leerlo. Pida a quien administra este "
                "equipo que dé permiso de lectura y escritura sobre él.");
        case ReadOutcome::Refused:
            return QStringLiteral(
                "No es un archivo normal (es un enlace, una carpeta o un dispositivo), así que "
                "no se lee. Pida a quien administra este equipo que lo revise.");
        case ReadOutcome::TooLarge:
            return QStringLiteral(
                "Es demasiado grande para ser un archivo de usuarios (más de 64 MB): puede "
                "estar dañado. Pida a quien administra este equipo que lo revise y, si hace "
                "falta, ponga en su lugar una copia anterior.");
        default:
            return QStringLiteral(
                "El sistema no ha dejado leerlo. Compruebe que el disco o la carpeta "
                "compartida están disponibles y vuelva a abrir esta ventana.");
    }
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

bool IsHeaderLine(const QByteArray& line, qsizetype index) {
    if (!line.startsWith(kHeaderStart)) return false;
    if (index == 0) return !IsUserLineOfCurrentLayout(line);
    // Further down, "Datos de Usuarios v" and a version such as "2.6", with nothing after but
    // spaces an editor may have left: anything more is a line of someone's.
    qsizetype i = kHeaderStart.size();
    const auto digits = [&] {
        const qsizetype from = i;
        while (i < line.size() && line[i] >= '0' && line[i] <= '9') ++i;
        return i > from;
    };
    if (!digits() || i >= line.size() || line[i++] != '.' || !digits()) return false;
    while (i < line.size() && line[i] == ' ') ++i;
    return i == line.size();
}

bool IsUserLine(const QByteArray& line, qsizetype index) {
    return !line.trimmed().isEmpty() && !IsHeaderLine(line, index);
}

QList<QByteArray> UserLinesOf(const QByteArray& content) {
    QList<QByteArray> users;
    const QList<QByteArray> lines = SplitByteLines(content);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (IsUserLine(lines[i], i)) users.append(lines[i]);
    }
    return users;
}

QSet<QString> UserIdsOf(const QByteArray& content) {
    QSet<QString> ids;
    for (const QByteArray& line : UserLinesOf(content)) ids.insert(LineId(line));
    return ids;
}

bool UserIdExists(const QString& id) {
    return UserIdsOf(ReadUsersFile(UsersFileAccess::ReadOnly).content).contains(id);
}

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
    for (const QByteArray& line : UserLinesOf(content)) {
        if (!IsUserLineOfCurrentLayout(line)) return false;
    }
    return true;
}

WriteResult RewriteUsersFileLocked(UsersFileAccess access, const UsersFilePass& pass) {
    const UsersFileBytes source = ReadUsersFile(access);
    if (!source.opened) return {WriteOutcome::Failed};
    const QByteArray bytes = JoinLines(pass(source.content));
    return {ReplaceFileWith(DataPath(kUsersFileName), bytes) ? WriteOutcome::Written
                                                             : WriteOutcome::Failed};
}

bool ReplaceUsersFileLocked(const QList<QByteArray>& lines) {
    return ReplaceFileWith(DataPath(kUsersFileName), JoinLines(lines));
}

QByteArray WithLinesAppended(const QByteArray& content, const QList<QByteArray>& lines) {
    QByteArray bytes = content;
    if (content.trimmed().isEmpty()) {
        bytes = kUsersHeader.toUtf8() + "\r\n";
    } else if (!content.endsWith('\r') && !content.endsWith('\n')) {
        bytes += "\r\n";
    }
    return bytes + JoinLines(lines);
}

}  // namespace tz
