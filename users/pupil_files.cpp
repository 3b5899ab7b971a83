#include "users/pupil_files.h"

#include <QSet>

#include "platform/files.h"
#include "platform/safe_files.h"
#include "users/user_record.h"
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

bool KeepDeletedPupilLocked(const QList<QByteArray>& lines) {
    const QString path = DataPath(kDeletedPupilsName);
    const FileRead kept = ReadRegularFile(path, kUsersFileCap);
    // A file that is not ours (a planted link) or cannot be read is not built upon.
    if (!kept.Ok() && kept.outcome != ReadOutcome::Missing) return false;
    QByteArray bytes = kept.bytes;
    if (!bytes.isEmpty() && !bytes.endsWith('\n') && !bytes.endsWith('\r')) bytes += "\r\n";
    for (const QByteArray& line : lines) bytes += line + "\r\n";
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
