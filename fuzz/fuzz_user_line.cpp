// One line of the users file, as the store and the users window read it.

#include <QString>

#include "fuzz/fuzz_support.h"
#include "users/user_record.h"
#include "users/users_file.h"

using namespace tz;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::StartProgram();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = fuzz::InputBytes(data, size);
    // The file is split at CR and LF before a line is read: a line holds neither.
    const QList<QByteArray> pieces = SplitByteLines(bytes);
    const QByteArray line = pieces.isEmpty() ? QByteArray() : pieces.front();
    const QString text = QString::fromUtf8(line);

    const UserRecord record = ParseUserLine(text);
    ReadFormatVersion(text);
    for (int k = 1; k <= 18; ++k) {
        // The store finds a user by the bytes of a field, the users window by its text: both
        // must read the same field.
        FUZZ_CHECK(ByteLineField(line, static_cast<UserField>(k)) ==
                   UserLineField(text, static_cast<UserField>(k)));
    }

    // What is saved is read back as it was saved.
    UserRecord saved = record;
    saved.id = TrimSpaces(UserLineField(text, UserField::Id));
    const QString written = FormatUserLine(saved);
    FUZZ_CHECK(SplitByteLines(written.toUtf8()).size() <= 1);
    UserRecord reread = ParseUserLine(written);
    FUZZ_CHECK(reread.name == CleanUserName(record.name));
    reread.name = record.name;
    reread.id = saved.id;
    FUZZ_CHECK(reread == saved);
    FUZZ_CHECK(UserLineField(written, UserField::Id) == saved.id);
    // With an id of its own kind, a line the program writes is one of the current layout (a
    // large file of such lines is never taken for a damaged one).
    if (saved.id.startsWith(QStringLiteral("ID-")) && saved.id.size() > 3 &&
        saved.id.mid(3).toStdString().find_first_not_of("0123456789") == std::string::npos) {
        FUZZ_CHECK(IsUserLineOfCurrentLayout(written.toUtf8()));
    }
    return 0;
}
