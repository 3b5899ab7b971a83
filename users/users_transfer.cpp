#include "users/users_transfer.h"

#include <QFileInfo>
#include <QSaveFile>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/safe_files.h"
#include "users/pupil_files.h"
#include "users/user_record.h"
#include "users/user_store.h"
#include "users/users_file.h"

namespace tz {

namespace {

const QByteArray kByteOrderMark("\xEF\xBB\xBF");

// Enough draws to find a free id unless nearly all 30001 are taken; the import stops there
// rather than loop for ever.
constexpr int kMaxIdDraws = 1000;

// The first `count` fields of a line, without the rest.
QByteArray FirstFields(const QByteArray& line, int count) {
    qsizetype end = -1;
    for (int i = 0; i < count; ++i) {
        end = line.indexOf('|', end + 1);
        if (end < 0) return line;
    }
    return line.left(end);
}

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

QList<QByteArray> CollectUserLines(const QStringList& ids) {
    QList<QByteArray> collected;
    const UsersFileBytes file = ReadUsersFile(UsersFileAccess::ReadOnly);
    if (!file.opened) return collected;
    const QList<QByteArray> lines = UserLinesOf(file.content);
    for (const QString& id : ids) {
        for (const QByteArray& line : lines) {
            if (ByteLineField(line, UserField::Id) == id) collected.append(line);
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

QString DrawImportId(const QSet<QString>& taken) {
    for (int draw = 0; draw < kMaxIdDraws; ++draw) {
        const QString id = QStringLiteral("ID-") + QString::number(RandomInt(0, 30000));
        if (!taken.contains(id)) return id;
    }
    return QString();
}

std::optional<QByteArray> WithCleanName(const QByteArray& line, bool* changed) {
    bool cleaned = false;
    const QString name = CleanUserName(ByteLineField(line, UserField::Name), &cleaned);
    if (changed) *changed = cleaned;
    if (TrimSpaces(name).isEmpty()) return std::nullopt;
    if (!cleaned) return line;
    const qsizetype bar = line.indexOf('|');
    return name.toUtf8() + (bar < 0 ? QByteArray() : line.mid(bar));
}

ImportLines ReadImportFile(const QString& path) {
    ImportLines import;
    const FileRead source = ReadRegularFile(path, kImportFileCap);
    import.read = source.outcome;
    if (source.outcome == ReadOutcome::TooLarge) import.tooLarge = true;
    if (!source.Ok()) return import;
    QByteArray content = source.bytes;
    if (content.startsWith(kByteOrderMark)) content.remove(0, kByteOrderMark.size());
    for (const QByteArray& line : SplitByteLines(content)) {
        // A blank line (often one left at the end by an editor) is no user.
        if (line.trimmed().isEmpty()) continue;
        // A line written by hand in an older editor's code page comes in as the text it shows.
        const QByteArray utf8 = LineAsUtf8(line);
        // Anything else that is not a whole user line would enter the class damaged.
        if (!IsUserLineOfCurrentLayout(FirstFields(utf8, 17))) {
            ++import.skipped;
            continue;
        }
        bool changed = false;
        const std::optional<QByteArray> clean = WithCleanName(utf8, &changed);
        if (!clean) {
            ++import.namesRefused;
            continue;
        }
        import.namesCleaned += changed;
        if (FirstFields(*clean, 16).size() > kLongestImportedLine) {
            ++import.skipped;
            continue;
        }
        import.lines.append(*clean);
    }
    if (import.lines.size() > kMostImportedPupils) {
        import.overLimit = import.lines.size();
        import.lines.clear();
    }
    return import;
}

ImportResult ImportIntoUsersFile(const ImportLines& import) {
    ImportResult result;
    result.skipped = import.skipped;
    result.tooLarge = import.tooLarge;
    if (import.tooLarge) {
        result.outcome = WriteOutcome::Failed;
        return result;
    }
    // The ids are drawn against the users file as it stands inside the lock.
    LockOutcome locked = LockOutcome::Taken;
    const std::unique_ptr<FileLock> lock = LockUsersFile(kUsersLockWaitMs, &locked);
    if (!lock) {
        result.outcome = LockFailure(locked);
        return result;
    }
    const UsersFileBytes users = ReadUsersFile(UsersFileAccess::ReadWrite);
    if (!users.opened) {
        result.outcome = WriteOutcome::Failed;
        return result;
    }
    // Nor a deleted pupil's: her kept figures would be overwritten when the new one goes.
    QSet<QString> taken = DeletedPupilIds();
    for (const QByteArray& line : UserLinesOf(users.content)) taken.insert(LineId(line));
    QList<ImportedLine> imported;
    QList<QByteArray> newLines;
    for (const QByteArray& line : import.lines) {
        const std::optional<QByteArray> clean = WithCleanName(line);
        if (!clean) continue;
        const QString id = DrawImportId(taken);
        if (id.isEmpty()) break;
        taken.insert(id);
        imported.append({line, id});
        newLines.append(MakeImportedLine(*clean, id));
    }
    if (newLines.isEmpty()) return result;
    if (!ReplaceFileWith(DataPath(kUsersFileName), WithLinesAppended(users.content, newLines))) {
        result.outcome = WriteOutcome::Failed;
        return result;
    }
    RestoreDeletedFiguresLocked(imported);
    result.imported = newLines.size();
    return result;
}

ImportResult ImportUsersFrom(const QString& path) {
    return ImportIntoUsersFile(ReadImportFile(path));
}

}  // namespace tz
