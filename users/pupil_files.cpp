#include "users/pupil_files.h"

#include <QSet>
#include <algorithm>

#include "platform/files.h"
#include "platform/folder_handle.h"
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

// "ID-....txt", her figures file's name in either folder; empty for an id that is no plain id.
QString FiguresFileName(const QString& id) {
    return IsPlainId(id) ? id + QStringLiteral(".txt") : QString();
}

using Make = FolderHandle::Make;

}  // namespace

QString PupilFiguresName(const QString& id) {
    if (!IsPlainId(id)) return QString();
    return kFiguresFolderName + u'/' + FiguresFileName(id);
}

std::optional<QByteArray> ReadPupilFiguresFile(const QString& id) {
    const QString name = FiguresFileName(id);
    if (name.isEmpty()) return std::nullopt;
    const std::unique_ptr<FolderHandle> folder = FolderHandle::InData(kFiguresFolderName, Make::No);
    if (!folder) return std::nullopt;
    const FileRead read = folder->Read(name, kLargestFiguresBytes);
    if (!read.Ok()) return std::nullopt;
    return read.bytes;
}

QHash<QString, QByteArray> ReadEveryFiguresFile() {
    QHash<QString, QByteArray> figures;
    const std::unique_ptr<FolderHandle> folder = FolderHandle::InData(kFiguresFolderName, Make::No);
    if (!folder) return figures;
    for (const QString& name : folder->Files(QStringLiteral("ID-*.txt"))) {
        const QString id = name.chopped(4);
        if (!IsPlainId(id)) continue;
        const FileRead read = folder->Read(name, kLargestFiguresBytes);
        if (read.Ok()) figures.insert(id, read.bytes);
    }
    return figures;
}

WriteResult ChangePupilFiguresFile(const QString& id, const FiguresUpdate& update, int waitMs) {
    const QString name = FiguresFileName(id);
    if (name.isEmpty()) return {WriteOutcome::Failed};
    LockOutcome locked = LockOutcome::Taken;
    const std::unique_ptr<FileLock> lock = LockUsersFile(waitMs, &locked);
    if (!lock) return {LockFailure(locked)};
    // A pupil another program deleted while she typed keeps no figures behind.
    if (!UserIdExists(id)) return {WriteOutcome::UserGone};
    const std::unique_ptr<FolderHandle> folder =
        FolderHandle::InData(kFiguresFolderName, Make::IfMissing);
    if (!folder) return {WriteOutcome::Failed};
    const FileRead read = folder->Read(name, kLargestFiguresBytes);
    if (read.outcome == ReadOutcome::Denied || read.outcome == ReadOutcome::Failed)
        return {WriteOutcome::Failed};
    // Far too large, or not a file at all (a link or socket planted there): damaged without a
    // look.
    FiguresStep step{FiguresStep::Verdict::Damaged, {}};
    if (read.Ok()) step = update(read.bytes);
    if (read.outcome == ReadOutcome::Missing) step = update(std::nullopt);
    if (step.verdict == FiguresStep::Verdict::Damaged) {
        // Set aside under a name of its own, never overwritten, and the figures start again.
        if (!folder->MoveTo(name, *folder, name + QStringLiteral(".defectuoso-") + MakeDateStamp()))
            return {WriteOutcome::Failed};
        step = update(std::nullopt);
    }
    if (step.verdict != FiguresStep::Verdict::Write) return {WriteOutcome::Failed};
    return {folder->Replace(name, step.bytes) ? WriteOutcome::Written : WriteOutcome::Failed};
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

DeletedFigures::DeletedFigures(const QString& id) : name_(FiguresFileName(id)) {
    if (name_.isEmpty()) return;
    from_ = FolderHandle::InData(kFiguresFolderName, Make::No);
    kind_ = from_ ? from_->Kind(name_) : EntryKind::Missing;
    if (kind_ == EntryKind::File)
        to_ = FolderHandle::InData(kDeletedFiguresFolderName, Make::IfMissing);
}

bool DeletedFigures::CanBeKept() const {
    return kind_ != EntryKind::File || to_;
}

bool DeletedFigures::Keep() {
    // Anything but a file of figures (a link, a socket) is nobody's figures and goes.
    if (kind_ == EntryKind::Other) from_->Remove(name_);
    if (kind_ != EntryKind::File) return true;
    moved_ = to_ && from_->MoveTo(name_, *to_, name_);
    return moved_;
}

void DeletedFigures::PutBack() {
    if (moved_) moved_ = !to_->MoveTo(name_, *from_, name_);
}

QString DeletedFigures::WhyNot() {
    return QStringLiteral(
               "sus estadísticas no se podrían guardar entre los usuarios borrados, "
               "porque «") +
           kDeletedFiguresFolderName +
           QStringLiteral(
               "» en la carpeta de datos no es una carpeta que este programa pueda "
               "usar. Pida a quien administra este equipo que lo revise.");
}

QSet<QString> DeletedPupilIds() {
    QSet<QString> ids;
    const FileRead kept = ReadRegularFile(DataPath(kDeletedPupilsName), kUsersFileCap);
    for (const QByteArray& line : SplitByteLines(kept.bytes)) {
        if (!line.trimmed().isEmpty()) ids.insert(LineId(line));
    }
    // Figures kept without their line (a deletion of an older version) count as well.
    if (const std::unique_ptr<FolderHandle> folder =
            FolderHandle::InData(kDeletedFiguresFolderName, Make::No)) {
        for (const QString& name : folder->Files(QStringLiteral("ID-*.txt")))
            ids.insert(name.chopped(4));
    }
    return ids;
}

void RestoreDeletedFiguresLocked(const QList<ImportedPupil>& imported) {
    const FileRead kept = ReadRegularFile(DataPath(kDeletedPupilsName), kUsersFileCap);
    if (!kept.Ok()) return;
    // Pupils compare as the program writes them: a line edited by hand with spaces around its
    // mode is the same pupil.
    QSet<QString> deleted;
    for (const QByteArray& line : SplitByteLines(kept.bytes)) {
        UserRecord pupil = ParseUserLine(QString::fromUtf8(LineAsUtf8(line)));
        pupil.id = LineId(line);
        deleted.insert(FormatUserLine(pupil));
    }
    const std::unique_ptr<FolderHandle> from =
        FolderHandle::InData(kDeletedFiguresFolderName, Make::No);
    if (!from) return;
    std::unique_ptr<FolderHandle> to;
    for (const ImportedPupil& pupil : imported) {
        if (!deleted.contains(FormatUserLine(pupil.brought))) continue;
        const QString oldName = FiguresFileName(pupil.brought.id);
        const QString newName = FiguresFileName(pupil.newId);
        if (oldName.isEmpty() || newName.isEmpty() || from->Kind(oldName) != EntryKind::File)
            continue;
        if (!to) to = FolderHandle::InData(kFiguresFolderName, Make::IfMissing);
        if (to) from->MoveTo(oldName, *to, newName);
    }
}

}  // namespace tz
