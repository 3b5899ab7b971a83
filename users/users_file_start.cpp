#include "users/users_file_start.h"

#include <QDateTime>
#include <QFileInfo>

#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/safe_files.h"
#include "users/live_programs.h"
#include "users/user_record.h"
#include "users/users_file.h"
#include "users/users_repair.h"
#include "users/users_upgrade.h"

namespace tz {

namespace {

// The users file a recovery replaces, kept beside it under a dated name: what it still holds
// is not lost.
bool KeepReplacedUsersFile() {
    const QString users = DataPath(kUsersFileName);
    const QString kept = DataPath(RecoveryCopyName(MakeDateStamp()));
    const FileRead current = ReadRegularFile(users, kUsersFileCap);
    if (current.outcome == ReadOutcome::Missing) return true;
    if (current.Ok()) return ReplaceFileWith(kept, current.bytes);
    // Not readable as a file of ours: set aside whole, whatever it is.
    return MoveReplacing(users, kept);
}

enum class UsersFileState { Healthy, Missing, Damaged, Unreadable };

// A file of the older layout is no damaged one: start-up brings it to the current layout.
bool IsOlderLayout(const QByteArray& content) {
    const QList<QByteArray> first = SplitByteLines(content.left(200));
    return !first.isEmpty() && IsOlderUsersHeader(first.front());
}

UsersFileState StateOfUsersFile() {
    const UsersFileBytes file = ReadUsersFile(UsersFileAccess::ReadOnly);
    if (!file.opened) {
        switch (file.outcome) {
            case ReadOutcome::Missing:
                return UsersFileState::Missing;
            case ReadOutcome::TooLarge:
            case ReadOutcome::Refused:
                return UsersFileState::Damaged;
            default:
                return UsersFileState::Unreadable;
        }
    }
    if (IsOlderLayout(file.content)) return UsersFileState::Healthy;
    // Every save writes at least the header: an emptied file was damaged from outside.
    if (file.content.trimmed().isEmpty() || !IsHealthyUsersFile(file.content))
        return UsersFileState::Damaged;
    return UsersFileState::Healthy;
}

// "04/03/2024 a las 17:45", when the file was last written.
QString WrittenOn(const QString& path) {
    const QDateTime when = QFileInfo(path).lastModified();
    return when.toString(QStringLiteral("dd/MM/yyyy")) + QStringLiteral(" a las ") +
           when.toString(QStringLiteral("HH:mm"));
}

// Every save replaces the users file whole, so a lock copy is never newer than the file: it is
// offered back only when the users file is missing or damaged. Neither answer loses a file.
void OfferRecovery() {
    const QString copyPath = DataPath(kLockCopyName);
    // Only a lock copy of ours counts: a link planted under its name is no copy of anything.
    const FileRead copy = ReadRegularFile(copyPath, kUsersFileCap);
    const UsersFileState state = StateOfUsersFile();
    bool placed = true;
    if (copy.Ok() && copy.bytes.size() > 2 &&
        (state == UsersFileState::Missing || state == UsersFileState::Damaged)) {
        const QString users = DataPath(kUsersFileName);
        const QString text =
            QString::fromUtf8(
                "ATENCIÓN!\n\nLa última vez que se ejecutó TIPENZO10 no se cerró correctamente."
                "\n\n") +
            (state == UsersFileState::Missing
                 ? QString::fromUtf8("No se encuentra el archivo de usuarios.")
                 : QString::fromUtf8("El archivo de usuarios, guardado el ") + WrittenOn(users) +
                       QString::fromUtf8(", está dañado.")) +
            QString::fromUtf8("\nLa copia de seguridad es del ") + WrittenOn(copyPath) +
            QString::fromUtf8(
                ": lo que se guardó después no está en ella.\n\nSi la recupera, el archivo "
                "de ahora se guarda aparte; si no, se guarda aparte la copia.\n\n"
                "¿Desea Recuperarlo?");
        if (AskYesNo("TIPENZO10 INFORMACION", text, DialogIcon::Exclamation, DefaultButton::No)) {
            // The lock copy takes the users file's place in one step, once the file it
            // replaces is safe.
            placed = KeepReplacedUsersFile() && ReplaceFileWith(users, copy.bytes);
        } else {
            placed = ReplaceFileWith(DataPath(UnusedLockCopyName(MakeDateStamp())), copy.bytes);
        }
    }
    if (placed) RemoveFile(copyPath);
}

const QString kSetAsideName = QStringLiteral("USUARIOS.SEG");

// Where a damaged users file is kept as it was: "USUARIOS.SEG", or a dated name beside it when
// an earlier one is there.
QString FreeSetAsideName() {
    if (FileSize(DataPath(kSetAsideName)) == -1) return kSetAsideName;
    return QStringLiteral("USUARIOS_") + MakeDateStamp() + QStringLiteral(".SEG");
}

// Keeps the file as it was under `setAside`, then writes it mended; told when it cannot.
void RepairDamagedUsersFile(const UsersFileRepair& repair, const QString& setAside) {
    const FileRead original = ReadRegularFile(DataPath(kUsersFileName), kUsersFileCap);
    if (original.Ok() && FileSize(DataPath(setAside)) == -1 &&
        ReplaceFileWith(DataPath(setAside), original.bytes) &&
        ReplaceUsersFileLocked(repair.lines)) {
        return;
    }
    Tell("ATENCION",
         QString::fromUtf8("No se pudo arreglar el archivo de usuarios: la carpeta de datos no "
                           "deja escribir en ella. El programa sigue con el archivo tal como "
                           "está; pida a quien administra este equipo que lo revise."),
         DialogIcon::Exclamation);
}

// False when the user chose to end the program.
bool CheckUsersFileSize() {
    if (FileSize(DataPath(kUsersFileName)) <= 10000) return true;
    // A large users file is a class's, not a damaged one, as long as every line is a user's.
    const UsersFileBytes file = ReadUsersFile(UsersFileAccess::ReadOnly);
    if (!file.opened || IsOlderLayout(file.content) || IsHealthyUsersFile(file.content))
        return true;
    const UsersFileRepair repair = RepairUsersFile(file.content);
    const QString setAside = FreeSetAsideName();
    const QString text =
        QString::fromUtf8("Es posible que el archivo USUARIOS.DAT esté dañado\n\n") +
        QString::fromUtf8(
            "¿Quiere arreglar este problema?\n(Se guardará una copia de dicho archivo como ") +
        setAside + QStringLiteral(" y se arreglarán solo ") +
        (repair.Damaged() == 1 ? QStringLiteral("la línea dañada")
                               : QStringLiteral("las ") + QString::number(repair.Damaged()) +
                                     QString::fromUtf8(" líneas dañadas")) +
        QString::fromUtf8("; los demás usuarios se quedan como están)\n") +
        QString::fromUtf8(
            "Si ya tenía algún usuario con el curso empezado, puede enviarnos el "
            "archivo generado ") +
        setAside + QStringLiteral(" a: ") + kSupportEmail + QStringLiteral("\n\n");
    // Enter keeps the file as it is.
    if (AskYesNo("ATENCION", text, DialogIcon::None, DefaultButton::No)) {
        RepairDamagedUsersFile(repair, setAside);
        return true;
    }
    return AskYesNo(QString::fromUtf8("ATENCIÓN"),
                    QString::fromUtf8("Si continúa, puede que la aplicación se bloquee\n\n"
                                      "¿Continuar?"));
}

// The users file's lock for the checks. Another program holding it is in the middle of a save
// or of its own checks: the checks wait for it, saying so once, and no longer than a save
// would. A lock this account cannot take was told about when the folders were settled.
std::unique_ptr<FileLock> LockForChecks() {
    LockOutcome outcome = LockOutcome::Taken;
    std::unique_ptr<FileLock> lock = LockUsersFile(kUsersLockWaitMs, &outcome);
    if (lock || outcome == LockOutcome::Denied) return lock;
    Tell(QStringLiteral("TIPENZO 10 INFORMACION"),
         QStringLiteral("Otro programa está usando el archivo de usuarios.\n\n"
                        "TIPENZO 10 empezará en cuanto termine."),
         DialogIcon::Information);
    return LockUsersFile(kUsersLockWaitMs);
}

}  // namespace

bool CheckUsersFileAtStart(std::unique_ptr<ProgramPresence>& presence) {
    // No other program starts or ends while the checks run.
    const std::unique_ptr<FileLock> lock = LockForChecks();
    presence = ProgramPresence::Join();
    // A lock copy left while other programs run is theirs, and the users file theirs too. A
    // program that could not take the lock changes nothing of them either: another one is busy
    // with the file, or this account cannot change it.
    if (!lock || OtherLivePrograms(presence.get()) > 0) return true;
    OfferRecovery();
    if (!CheckUsersFileSize()) {
        presence.reset();
        return false;
    }
    const FileRead users = ReadRegularFile(DataPath(kUsersFileName), kUsersFileCap);
    if (users.Ok()) ReplaceFileWith(DataPath(kLockCopyName), users.bytes);
    return true;
}

void LeaveUsersFile(std::unique_ptr<ProgramPresence>& presence) {
    LockOutcome outcome = LockOutcome::Taken;
    std::unique_ptr<FileLock> lock = LockUsersFile(kUsersLockWaitMs, &outcome);
    const bool busy = outcome == LockOutcome::Busy;
    presence.reset();
    // A program that held the users file all the while is alive: the lock copy is its.
    if (!busy && OtherLivePrograms(nullptr) == 0) RemoveFile(DataPath(kLockCopyName));
}

}  // namespace tz
