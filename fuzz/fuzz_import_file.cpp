// A ".tpz" file imported in the users window: each of its user lines becomes a user of the
// users file under a new id, the rest is counted and left out, and the users file stays
// healthy whatever the file held.

#include <QRegularExpression>
#include <QSet>
#include <QString>

#include "fuzz/fuzz_support.h"
#include "users/user_record.h"
#include "users/user_store.h"
#include "users/users_file.h"
#include "users/users_transfer.h"

using namespace tz;

namespace {

const QByteArray kUsers =
    "Datos de Usuarios v2.6\r\n"
    "ANA|6|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|FACIL|ID-20240101000001\r\n"
    "LUIS|1|2|3|150|150|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-17\r\n";

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::StartProgram();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ResetProgram();
    fuzz::WriteFolderFile(kUsersFileName, kUsers);
    const QByteArray bytes = fuzz::InputBytes(data, size);
    fuzz::WriteFolderFile(QStringLiteral("alumnos.tpz"), bytes);

    const ImportFile read = ReadImportFile(fuzz::FolderPath(QStringLiteral("alumnos.tpz")));
    const ImportResult result = ImportIntoUsersFile(read.pupils);
    FUZZ_CHECK(result.outcome == WriteOutcome::Written);

    // The users file keeps its lines and gains one line a user, each under an id of its own.
    const QList<QByteArray> before = SplitByteLines(kUsers);
    const QList<QByteArray> after = SplitByteLines(fuzz::ReadFolderFile(kUsersFileName));
    FUZZ_CHECK(after.mid(0, before.size()) == before);
    const QList<QByteArray> added = after.mid(before.size());
    QSet<QString> ids;
    for (const QByteArray& line : before) ids.insert(ByteLineField(line, UserField::Id));
    static const QRegularExpression idForm(QStringLiteral("^ID-[0-9]+$"));
    for (const QByteArray& line : added) {
        const QString id = ByteLineField(line, UserField::Id);
        FUZZ_CHECK(idForm.match(id).hasMatch());
        FUZZ_CHECK(!ids.contains(id));
        ids.insert(id);
        FUZZ_CHECK(ByteLineField(line, static_cast<UserField>(18)).isNull());
        // A name as every door lets it in, on a line no longer than a pupil's.
        const QString name = ByteLineField(line, UserField::Name);
        FUZZ_CHECK(!TrimSpaces(name).isEmpty() && CleanUserName(name) == name);
        FUZZ_CHECK(line.size() <= kLongestImportedLine + 1 + id.size());
    }

    // Every line with more than blanks is imported or counted as skipped, as a refused name or
    // in a file of too many pupils; the count told is the count added, and nothing damaged
    // came in.
    QByteArray content = bytes;
    if (content.startsWith("\xEF\xBB\xBF")) content.remove(0, 3);
    qsizetype lines = 0;
    for (const QByteArray& line : SplitByteLines(content)) {
        if (!line.trimmed().isEmpty()) ++lines;
    }
    FUZZ_CHECK(result.imported + read.skipped + read.namesRefused + read.overLimit == lines);
    FUZZ_CHECK(added.size() == result.imported);
    FUZZ_CHECK(IsHealthyUsersFile(fuzz::ReadFolderFile(kUsersFileName)));
    return 0;
}
