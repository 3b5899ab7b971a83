#include "users/users_upgrade.h"

#include "platform/files.h"
#include "platform/safe_files.h"
#include "users/user_record.h"
#include "users/users_file.h"

namespace tz {

namespace {

// The line end the file was written with, as its plain (unscrambled) header line shows.
// Scrambling turns some characters into CR or LF (a "|" under the key's "q" becomes CR, under
// its "v" LF), so a scrambled line may hold either one on its own: only the file's own line
// end may split the lines, or most users of an older file would be cut in pieces.
QByteArray LineEndOf(const QByteArray& content) {
    for (qsizetype i = 0; i < content.size(); ++i) {
        if (content[i] == '\n') return "\n";
        if (content[i] == '\r') {
            return i + 1 < content.size() && content[i + 1] == '\n' ? QByteArray("\r\n")
                                                                    : QByteArray("\r");
        }
    }
    return "\r\n";
}

}  // namespace

QList<QByteArray> OlderLayoutLines(const QByteArray& content) {
    QList<QByteArray> lines = SplitByteLinesAt(content, LineEndOf(content));
    if (!lines.isEmpty()) lines.removeFirst();
    return lines;
}

QString ScrambleText(const QString& text, const QString& key) {
    QString result;
    result.reserve(text.size());
    qsizetype j = 0;
    for (const QChar c : text) {
        const char16_t x = c.unicode();
        const char16_t k = j < key.size() ? key[j].unicode() : char16_t(0);
        result.append(x == k ? c : QChar(static_cast<char16_t>(x ^ k)));
        ++j;
        if (j > key.size()) j = 0;
    }
    return result;
}

QString ReadScrambledLine(ScrambledLines& file) {
    if (file.AtEnd()) return QString();
    const QByteArray line = file.lines[file.next++];
    return TrimSpaces(ScrambleText(QString::fromUtf8(line), kScrambleKey));
}

bool IsOlderUsersHeader(const QByteArray& line) {
    static const QByteArray start("Datos de Usuarios v2.");
    return line.size() == start.size() + 1 && line.startsWith(start) && line.back() >= '0' &&
           line.back() <= '5';
}

QString UpgradeCopyName(const QString& stamp) {
    return QStringLiteral("usuarios_antes_de_v2.6_") + stamp + QStringLiteral(".dat");
}

int UpgradeUsersFile() {
    const QString stamp = MakeDateStamp();
    // Read, decided and written under the lock: two programs starting together upgrade once.
    const std::unique_ptr<FileLock> lock = LockUsersFile();
    if (!lock) return 0;
    const UsersFileBytes current = ReadUsersFile(UsersFileAccess::ReadWrite);
    if (!current.opened) return 0;
    if (current.content.isEmpty()) {
        ReplaceUsersFileLocked({kUsersHeader.toUtf8()});
        return 0;
    }
    const QList<QByteArray> firstLines = SplitByteLines(current.content.left(200));
    const QByteArray firstLine = firstLines.isEmpty() ? QByteArray() : firstLines[0];
    const int version = ReadFormatVersion(QString::fromUtf8(firstLine));
    if (version >= 26) return version;
    // Only an older header says the lines are scrambled; any other first line (a blank line
    // an editor left, a pupil where the header was lost) is no reason to touch the file.
    if (!IsOlderUsersHeader(firstLine)) return 0;
    // The file as it was, kept beside it before anything changes.
    const FileRead old = ReadRegularFile(DataPath(kUsersFileName), kUsersFileCap);
    if (!old.Ok() || !ReplaceFileWith(DataPath(UpgradeCopyName(stamp)), old.bytes)) return 0;

    RewriteUsersFileLocked(UsersFileAccess::ReadOnly, [&stamp](const QByteArray& content) {
        ScrambledLines file{OlderLayoutLines(content)};
        QList<QByteArray> out{kUsersHeader.toUtf8()};
        int counter = 1;
        while (!file.AtEnd()) {
            QString line = ReadScrambledLine(file);
            // A line end inside a line would cut its pupil in two.
            line.remove(u'\r');
            line.remove(u'\n');
            // A blank line was nobody; a short line gets its missing fields, so that its id
            // stands in field 17 where every reader looks for it.
            if (line.isEmpty()) continue;
            const qsizetype fields = line.count(u'|') + 1;
            if (fields < 16) line += QString(16 - fields, u'|');
            out.append((line + "|ID-" + stamp + QString::number(counter)).toUtf8());
            ++counter;
        }
        return out;
    });
    return 0;
}

}  // namespace tz
