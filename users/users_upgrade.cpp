#include "users/users_upgrade.h"

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

int UpgradeUsersFile(const std::function<void()>& whileRewriting) {
    const QString stamp = MakeDateStamp();
    const UsersFileBytes current = ReadUsersFile(UsersFileAccess::ReadWrite);
    if (!current.opened) return 0;
    const QList<QByteArray> firstLines = SplitByteLines(current.content.left(200));
    const QString firstLine = firstLines.isEmpty() ? QString() : QString::fromUtf8(firstLines[0]);
    const int version = ReadFormatVersion(firstLine);
    if (version >= 26) return version;

    RewriteThroughTemp(
        UsersFileAccess::ReadOnly,
        [&stamp](const QByteArray& content) {
            ScrambledLines file{SplitByteLinesAt(content, LineEndOf(content))};
            ++file.next;  // the old header
            QList<QByteArray> out{kUsersHeader.toUtf8()};
            int counter = 1;
            while (!file.AtEnd()) {
                const QString line = ReadScrambledLine(file);
                out.append((line + "|ID-" + stamp + QString::number(counter)).toUtf8());
                ++counter;
            }
            return out;
        },
        whileRewriting);
    return 0;
}

}  // namespace tz
