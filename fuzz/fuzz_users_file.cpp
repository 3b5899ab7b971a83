// A whole users file as start-up and the users window meet it: the upgrade of the older
// scrambled layout, the list of users, then the store's changes on what was read. Whatever the
// file holds, no pupil is lost or garbled on the way.

#include <QString>
#include <QStringList>

#include "fuzz/fuzz_support.h"
#include "users/file_store.h"
#include "users/pupil_files.h"
#include "users/user_record.h"
#include "users/user_store.h"
#include "users/users_file.h"
#include "users/users_upgrade.h"

using namespace tz;

namespace {

QByteArray Content() {
    return ReadUsersFile(UsersFileAccess::ReadOnly).content;
}

QStringList Names(const QList<QByteArray>& lines) {
    QStringList names;
    for (const QByteArray& line : lines)
        names << CleanUserName(ByteLineField(line, UserField::Name));
    return names;
}

QStringList ListedNames() {
    QStringList names;
    for (const UserRecord& pupil : ReadPupils().pupils) names << pupil.name;
    return names;
}

// The pupils a start-up must leave: those of an older file unscrambled (a blank line is
// nobody), or the user lines as they stand (a line that is not UTF-8 read as Windows-1252);
// named as every reader names them, cleaned.
QStringList PupilsAfterStartUp(QByteArray content) {
    while (content.startsWith("\xEF\xBB\xBF")) content.remove(0, 3);
    content = LinesAsUtf8(content);
    const QList<QByteArray> lines = SplitByteLines(content);
    if (lines.isEmpty() || !IsOlderUsersHeader(lines.front())) return Names(UserLinesOf(content));
    QStringList names;
    for (const QByteArray& line : OlderLayoutLines(content)) {
        QString plain = TrimSpaces(ScrambleText(QString::fromUtf8(line), kScrambleKey));
        plain.remove(u'\r');
        plain.remove(u'\n');
        if (!plain.isEmpty()) names << CleanUserName(UserLineField(plain, UserField::Name));
    }
    return names;
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
    const QByteArray input = fuzz::InputBytes(data, size);
    fuzz::WriteFolderFile(kUsersFileName, input);

    // Start-up: an older file is upgraded (its old self kept beside it), any other is left as
    // it is; either way every pupil is there, named as before. The next start changes nothing.
    const QStringList pupils = PupilsAfterStartUp(input);
    UpgradeUsersFile();
    FUZZ_CHECK(ListedNames() == pupils);
    const QByteArray started = fuzz::ReadFolderFile(kUsersFileName);
    // (A file of nothing but byte-order marks is an empty one: it just gets its header.)
    if (started != input && !QByteArray(input).replace("\xEF\xBB\xBF", "").isEmpty())
        FUZZ_CHECK(fuzz::ReadFolderFile(UpgradeCopyName(MakeDateStamp())) == input);
    UpgradeUsersFile();
    FUZZ_CHECK(fuzz::ReadFolderFile(kUsersFileName) == started);

    // The users window puts a default file in place of a missing or tiny one, then lists it.
    CreateDefaultUsersFile();
    const PupilList listed = ReadPupils();
    FUZZ_CHECK(listed.opened);
    // What the program writes into a healthy file keeps it healthy: a class's file is never
    // taken for a damaged one because of the program's own changes.
    const bool healthy = IsHealthyUsersFile(Content());
    const QList<QByteArray> users = UserLinesOf(Content());

    // The export takes every pupil of a marked id.
    const QString firstId = users.isEmpty() ? QString() : LineId(users[0]);
    QList<QByteArray> hers;
    for (const QByteArray& line : users) {
        if (LineId(line) == firstId) hers << line;
    }
    FileStore store;
    FUZZ_CHECK(PupilsOf(store, {firstId}).size() == hers.size());

    // Deleting the first user takes every line of her id and no other; her lines are kept
    // among the deleted pupils.
    if (!firstId.isEmpty()) {
        FUZZ_CHECK(DeleteUser(firstId));
        QList<QByteArray> others;
        for (const QByteArray& line : users) {
            if (LineId(line) != firstId) others << line;
        }
        FUZZ_CHECK(UserLinesOf(Content()) == others);
        FUZZ_CHECK(SplitByteLines(fuzz::ReadFolderFile(kDeletedPupilsName)) == hers);
    }

    // The last user of the file: chosen, a result entered, saved, chosen again; the others
    // keep their lines.
    const QList<QByteArray> left = UserLinesOf(Content());
    const QString lastId = left.isEmpty() ? QString() : LineId(left.back());
    if (!lastId.isEmpty()) {
        UserRecord user = Load(lastId);
        RecordResult(user.history, 180);
        FUZZ_CHECK(SaveUser(user));
        FUZZ_CHECK(Load(lastId) == user);
        FUZZ_CHECK(UserLinesOf(Content()).size() == left.size());
    }

    // A new pupil is added after whatever the file holds and can be chosen at once.
    const QString id = AppendNewUser(QStringLiteral("NUEVA ALUMNA"), 3, QStringLiteral("FACIL"));
    FUZZ_CHECK(!id.isEmpty());
    const UserRecord added = Load(id);
    FUZZ_CHECK(added.name == QStringLiteral("NUEVA ALUMNA") && added.level == 3 &&
               added.mode == QStringLiteral("FACIL"));
    const QByteArray last = fuzz::ReadFolderFile(kUsersFileName);
    UpgradeUsersFile();
    // The next start would change nothing.
    FUZZ_CHECK(fuzz::ReadFolderFile(kUsersFileName) == last);
    FUZZ_CHECK(!healthy || IsHealthyUsersFile(Content()));
    return 0;
}
