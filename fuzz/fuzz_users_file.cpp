// A whole users file as start-up and the users window meet it: the upgrade of the older
// scrambled layout, the list of users, then the store's changes on what was read.

#include <QFile>
#include <QString>

#include "fuzz/fuzz_support.h"
#include "users/user_record.h"
#include "users/user_store.h"
#include "users/users_file.h"
#include "users/users_transfer.h"
#include "users/users_upgrade.h"

using namespace tz;

namespace {

QList<QByteArray> FileLines() {
    return SplitByteLines(ReadUsersFile(UsersFileAccess::ReadOnly).content);
}

// Whether a line after the header carries the id (as the store compares it: the bare field).
bool AnyLineCarries(const QString& id) {
    const QList<QByteArray> lines = FileLines();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (ByteLineField(lines[i], 17) == id) return true;
    }
    return false;
}

// Loads the user of this id afresh from the file, as choosing it in the users window does.
UserRecord Load(const QString& id) {
    const std::optional<UserRecord> user = LoadUser(id);
    FUZZ_CHECK(user.has_value());
    return *user;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::StartProgram();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ResetProgram();
    fuzz::WriteFolderFile(kUsersFileName, fuzz::InputBytes(data, size));

    // Start-up brings an older file to the current layout; the next start finds it current.
    UpgradeUsersFile();
    FUZZ_CHECK(UpgradeUsersFile() >= 26);
    FUZZ_CHECK(!QFile::exists(fuzz::FolderPath(kUsersTempName)));

    // The users window puts a default file in place of a missing or tiny one, then lists
    // every line after the header.
    CreateDefaultUsersFile();
    const UserLines listed = ReadUserLines();
    FUZZ_CHECK(listed.opened);
    for (const QString& line : listed.lines) {
        ParseUserLine(line);
        NormaliseMode(UserLineField(line, 16));
        TrimSpaces(UserLineField(line, 17));
    }
    const QList<QByteArray> lines = FileLines();
    // What the program writes into a healthy file keeps it healthy: a class's file is never
    // taken for a damaged one because of the program's own changes.
    const bool healthy = IsHealthyUsersFile(ReadUsersFile(UsersFileAccess::ReadOnly).content);
    FUZZ_CHECK(lines.size() == listed.lines.size() + 1 ||
               (lines.isEmpty() && listed.lines.isEmpty()));

    // The export takes every line of a marked id, byte for byte; a new id is one no line
    // carries.
    const QString firstId = lines.size() >= 2 ? ByteLineField(lines[1], 17) : QString();
    qsizetype carrying = 0;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (ByteLineField(lines[i], 17) == firstId) ++carrying;
    }
    const QList<QByteArray> exported = CollectUserLines({firstId});
    FUZZ_CHECK(exported.size() == carrying);
    for (const QByteArray& line : exported) FUZZ_CHECK(lines.contains(line));
    FUZZ_CHECK(!UserIdExists(MakeUniqueUserId(TrimSpaces(firstId))));

    // Deleting the first user leaves the header and no line of that id.
    if (!firstId.isEmpty()) {
        FUZZ_CHECK(DeleteUser(firstId));
        const QList<QByteArray> after = FileLines();
        FUZZ_CHECK(!after.isEmpty() && after.front() == lines.front());
        FUZZ_CHECK(!AnyLineCarries(firstId));
    }

    // The last user of the file: chosen, a result entered, saved, chosen again.
    const QString lastId = lines.size() >= 2 ? ByteLineField(lines.back(), 17) : QString();
    if (!lastId.isEmpty() && AnyLineCarries(lastId)) {
        UserRecord user = Load(lastId);
        RecordResult(user.history, 180);
        FUZZ_CHECK(SaveUser(user));
        FUZZ_CHECK(Load(lastId) == user);
    }

    // A new pupil is added after whatever the file holds and can be chosen at once.
    const QString id = AppendNewUser(QStringLiteral("NUEVA ALUMNA"), 3, QStringLiteral("FACIL"));
    FUZZ_CHECK(!id.isEmpty());
    FUZZ_CHECK(UserIdExists(id));
    const UserRecord added = Load(id);
    FUZZ_CHECK(added.name == QStringLiteral("NUEVA ALUMNA") && added.level == 3 &&
               added.mode == QStringLiteral("FACIL"));
    FUZZ_CHECK(UpgradeUsersFile() >= 26);
    FUZZ_CHECK(!healthy || IsHealthyUsersFile(ReadUsersFile(UsersFileAccess::ReadOnly).content));
    return 0;
}
