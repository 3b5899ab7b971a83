#include "users/pupil_files.h"

#include <QSet>
#include <algorithm>

#include "platform/files.h"
#include "platform/safe_files.h"
#include "users/user_record.h"
#include "users/user_store.h"
#include "users/users_file.h"

namespace tz {

namespace {

bool IsPlainId(const QString& id) {
    if (!id.startsWith(QStringLiteral("ID-")) || id.size() <= 3 || id.size() > 40) return false;
    for (qsizetype i = 3; i < id.size(); ++i) {
        if (id[i] < u'0' || id[i] > u'9') return false;
    }
    return true;
}

QString DeletedFiguresPath(const QString& id) {
    if (!IsPlainId(id)) return QString();
    return DataPath(kDeletedFiguresFolderName + u'/' + id + QStringLiteral(".txt"));
}

}  // namespace

QString PupilFiguresName(const QString& id) {
    if (!IsPlainId(id)) return QString();
    return kFiguresFolderName + u'/' + id + QStringLiteral(".txt");
}

std::optional<QByteArray> ReadPupilFiguresFile(const QString& id) {
    const QString name = PupilFiguresName(id);
    if (name.isEmpty()) return std::nullopt;
    const FileRead read = ReadRegularFile(DataPath(name), kLargestFiguresBytes);
    if (!read.Ok()) return std::nullopt;
    return read.bytes;
}

WriteResult ChangePupilFiguresFile(const QString& id, const FiguresUpdate& update, int waitMs) {
    const QString name = PupilFiguresName(id);
    if (name.isEmpty()) return {WriteOutcome::Failed};
    const QString path = DataPath(name);
    LockOutcome locked = LockOutcome::Taken;
    const std::unique_ptr<FileLock> lock = LockUsersFile(waitMs, &locked);
    if (!lock) return {LockFailure(locked)};
    // A pupil another program deleted while she typed keeps no figures behind.
    if (!UserIdExists(id)) return {WriteOutcome::Failed};
    if (!CreateSharedFolder(DataPath(kFiguresFolderName))) return {WriteOutcome::Failed};
    const FileRead read = ReadRegularFile(path, kLargestFiguresBytes);
    if (read.outcome == ReadOutcome::Denied || read.outcome == ReadOutcome::Failed)
        return {WriteOutcome::Failed};
    // Far too large, or not a file at all (a link planted there): damaged without a look.
    FiguresStep step{FiguresStep::Verdict::Damaged, {}};
    if (read.Ok()) step = update(read.bytes);
    if (read.outcome == ReadOutcome::Missing) step = update(std::nullopt);
    if (step.verdict == FiguresStep::Verdict::Damaged) {
        // Set aside under a name of its own, never overwritten, and the figures start again.
        if (!MoveReplacing(path, path + QStringLiteral(".defectuoso-") + MakeDateStamp()))
            return {WriteOutcome::Failed};
        step = update(std::nullopt);
    }
    if (step.verdict != FiguresStep::Verdict::Write) return {WriteOutcome::Failed};
    return {ReplaceFileWith(path, step.bytes) ? WriteOutcome::Written : WriteOutcome::Failed};
}

bool KeepDeletedPupilLocked(const QList<QByteArray>& lines) {
    const QString path = DataPath(kDeletedPupilsName);
    const FileRead kept = ReadRegularFile(path, kUsersFileCap);
    // A file that is not ours (a planted link) or cannot be read is not built upon.
    if (!kept.Ok() && kept.outcome != ReadOutcome::Missing) return false;
    QByteArray bytes = kept.bytes;
    if (!bytes.isEmpty() && !bytes.endsWith('\n') && !bytes.endsWith('\r')) bytes += "\r\n";
    const qsizetype earlier = bytes.size();
    for (const QByteArray& line : lines) bytes += line + "\r\n";
    // Importing and deleting over and over must not fill it until no pupil can be deleted: the
    // oldest whole lines go, never the ones just kept.
    if (bytes.size() > kMostDeletedPupilsBytes) {
        qsizetype start = bytes.size() - kMostDeletedPupilsBytes;
        while (start < earlier && bytes[start - 1] != '\n' && bytes[start - 1] != '\r') ++start;
        if (start < earlier && bytes[start - 1] == '\r' && bytes[start] == '\n') ++start;
        bytes.remove(0, std::min(start, earlier));
    }
    return ReplaceFileWith(path, bytes);
}

void KeepDeletedFiguresLocked(const QString& id) {
    const QString name = PupilFiguresName(id);
    if (name.isEmpty()) return;
    const QString figures = DataPath(name);
    if (FileSize(figures) >= 0 && CreateSharedFolder(DataPath(kDeletedFiguresFolderName)))
        MoveReplacing(figures, DeletedFiguresPath(id));
    // Whatever could not be kept is not left to a pupil who may later get the same id.
    RemoveFile(figures);
}

void RestoreDeletedFiguresLocked(const QList<ImportedLine>& imported) {
    const FileRead kept = ReadRegularFile(DataPath(kDeletedPupilsName), kUsersFileCap);
    if (!kept.Ok()) return;
    const QList<QByteArray> keptLines = SplitByteLines(kept.bytes);
    const QSet<QByteArray> deleted(keptLines.begin(), keptLines.end());
    for (const ImportedLine& pupil : imported) {
        if (!deleted.contains(pupil.line)) continue;
        const QString from = DeletedFiguresPath(LineId(pupil.line));
        const QString to = PupilFiguresName(pupil.newId);
        if (from.isEmpty() || to.isEmpty() || FileSize(from) < 0) continue;
        if (CreateSharedFolder(DataPath(kFiguresFolderName))) MoveReplacing(from, DataPath(to));
    }
}

}  // namespace tz
