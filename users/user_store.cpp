#include "users/user_store.h"

#include <QSet>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/safe_files.h"
#include "users/pupil_files.h"
#include "users/user_record.h"
#include "users/users_file.h"

namespace tz {

namespace {

// Spaces around an id in a line edited by hand are no part of it, as the list shows it.
bool CarriesId(const QByteArray& line, qsizetype index, const QString& id) {
    return IsUserLine(line, index) && LineId(line) == id;
}

// The pupil of a user line, with the id it carries.
UserRecord PupilOfLine(const QByteArray& line) {
    UserRecord pupil = ParseUserLine(QString::fromUtf8(line));
    pupil.id = LineId(line);
    return pupil;
}

// Offers ids against those of the file and of the deleted pupils: a deleted pupil's kept
// figures would one day meet a new pupil's under her old id.
ClaimId AgainstTaken(QSet<QString>& taken) {
    return [&taken](const QString& id) {
        if (taken.contains(id)) return IdClaim::Taken;
        taken.insert(id);
        return IdClaim::Given;
    };
}

}  // namespace

void CreateDefaultUsersFile() {
    if (FileSize(DataPath(kUsersFileName)) >= 20) return;
    // Another program may be writing its first users file this very moment: the size counts
    // as it stands once the lock is held. Only a missing file or a tiny one of ours is
    // replaced: one that cannot be read (a link, no permission) may hold a class.
    const std::unique_ptr<FileLock> lock = LockUsersFile();
    const FileRead tiny = ReadRegularFile(DataPath(kUsersFileName), 20);
    if (lock && (tiny.outcome == ReadOutcome::Missing || (tiny.Ok() && tiny.bytes.size() < 20))) {
        QString line = QStringLiteral("VANTOMERK SOFT|100|1|1|360|");
        for (int i = 0; i < 10; ++i) line += QString::number(150 + RandomInt(0, 200)) + '|';
        line += QStringLiteral("NORMAL|ID-") + MakeDateStamp();
        ReplaceUsersFileLocked({kUsersHeader.toUtf8(), line.toUtf8()});
    }
}

PupilList ReadPupils() {
    PupilList result;
    const UsersFileBytes file = ReadUsersFile(UsersFileAccess::ReadOnly);
    if (!file.opened) {
        result.problem = WhyUsersFileUnreadable(file.outcome);
        return result;
    }
    result.opened = true;
    for (const QByteArray& line : UserLinesOf(file.content))
        result.pupils.append(PupilOfLine(line));
    return result;
}

std::optional<UserRecord> LoadUser(const QString& id) {
    if (id.isEmpty()) return std::nullopt;
    const UsersFileBytes file = ReadUsersFile(UsersFileAccess::ReadOnly);
    if (!file.opened) return std::nullopt;
    const QList<QByteArray> lines = SplitByteLines(file.content);
    for (qsizetype i = lines.size() - 1; i >= 0; --i) {
        if (CarriesId(lines[i], i, id)) return PupilOfLine(lines[i]);
    }
    return std::nullopt;
}

WriteResult SaveUser(UserRecord& user) {
    LockOutcome locked = LockOutcome::Taken;
    const std::unique_ptr<FileLock> lock = LockUsersFile(kUsersLockWaitMs, &locked);
    if (!lock) return {LockFailure(locked)};
    const UsersFileBytes file = ReadUsersFile(UsersFileAccess::ReadWrite);
    if (!file.opened) return {WriteOutcome::Failed};
    // One header, on top; every other line stays where it stands.
    QList<QByteArray> out{kUsersHeader.toUtf8()};
    bool found = false;
    const QList<QByteArray> lines = SplitByteLines(file.content);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (IsHeaderLine(lines[i], i)) continue;
        if (!user.id.isEmpty() && CarriesId(lines[i], i, user.id)) {
            found = true;
            user.averageSpeed = ComputeAverageSpeed(user.history);
            out.append(FormatUserLine(user).toUtf8());
        } else {
            out.append(lines[i]);
        }
    }
    // Another program deleted her meanwhile: her pass has nowhere to go, and saying it was
    // saved would lose it without a word.
    if (!found) return {WriteOutcome::UserGone};
    return {ReplaceUsersFileLocked(out) ? WriteOutcome::Written : WriteOutcome::Failed};
}

QString AppendNewUser(const QString& name, std::int8_t level, const QString& mode,
                      WriteOutcome* outcome) {
    WriteOutcome ignored = WriteOutcome::Failed;
    WriteOutcome& result = outcome ? *outcome : ignored;
    result = WriteOutcome::Failed;
    const QString clean = CleanUserName(name);
    if (TrimSpaces(clean).isEmpty()) return QString();
    LockOutcome locked = LockOutcome::Taken;
    const std::unique_ptr<FileLock> lock = LockUsersFile(kUsersLockWaitMs, &locked);
    if (!lock) {
        result = LockFailure(locked);
        return QString();
    }
    result = WriteOutcome::Failed;
    const UsersFileBytes file = ReadUsersFile(UsersFileAccess::ReadWrite);
    if (!file.opened) return QString();
    QSet<QString> taken = UserIdsOf(file.content) + DeletedPupilIds();
    const QString id = GiveNewPupilId(AgainstTaken(taken));
    const QString line = clean + '|' + QString::number(level) +
                         QStringLiteral("|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|") +
                         NormaliseMode(mode) + '|' + id;
    if (!ReplaceFileWith(DataPath(kUsersFileName),
                         WithLinesAppended(file.content, {line.toUtf8()})))
        return QString();
    result = WriteOutcome::Written;
    return id;
}

WriteResult DeleteUser(const QString& id) {
    if (id.isEmpty()) return {WriteOutcome::Failed};
    // Her figures go with her line, under the same lock, so no other program records an
    // attempt of hers in between.
    LockOutcome locked = LockOutcome::Taken;
    const std::unique_ptr<FileLock> lock = LockUsersFile(kUsersLockWaitMs, &locked);
    if (!lock) return {LockFailure(locked)};
    const UsersFileBytes file = ReadUsersFile(UsersFileAccess::ReadOnly);
    if (!file.opened) return {WriteOutcome::Failed};
    QList<QByteArray> kept;
    QList<QByteArray> deleted;
    const QList<QByteArray> lines = SplitByteLines(file.content);
    for (qsizetype i = 0; i < lines.size(); ++i)
        (CarriesId(lines[i], i, id) ? deleted : kept).append(lines[i]);
    if (deleted.isEmpty()) return {WriteOutcome::Written};
    // A file without its header gets one: the line that comes first once hers is gone must not
    // be taken for a header because of where it then stands.
    if (!IsHeaderLine(lines.front(), 0)) kept.prepend(kUsersHeader.toUtf8());
    // Her figures and her line are kept among the deleted pupils before her line leaves the
    // users file: a pupil deleted by mistake (or by a classmate) can be brought back, and
    // when they cannot be kept she stays.
    DeletedFigures figures(id);
    if (!figures.CanBeKept() || !figures.Keep())
        return {WriteOutcome::Failed, DeletedFigures::WhyNot()};
    if (!KeepDeletedPupilLocked(deleted)) {
        figures.PutBack();
        return {WriteOutcome::Failed};
    }
    if (!ReplaceUsersFileLocked(kept)) {
        figures.PutBack();
        return {WriteOutcome::Failed};
    }
    return {WriteOutcome::Written};
}

ImportResult ImportIntoUsersFile(const QList<UserRecord>& pupils) {
    ImportResult result;
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
    QSet<QString> taken = UserIdsOf(users.content) + DeletedPupilIds();
    QList<ImportedPupil> imported;
    QList<QByteArray> newLines;
    for (const UserRecord& pupil : pupils) {
        UserRecord added = pupil;
        added.name = CleanUserName(pupil.name);
        if (TrimSpaces(added.name).isEmpty()) continue;
        added.id = GiveImportedPupilId(AgainstTaken(taken));
        if (added.id.isEmpty()) break;
        imported.append({pupil, added.id});
        newLines.append(FormatUserLine(added).toUtf8());
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

void RecordResult(std::array<std::int16_t, 10>& history, std::int16_t speed) {
    if (speed < 0) speed = 0;
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

}  // namespace tz
