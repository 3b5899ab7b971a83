// "tipenzo10.ini" as a school writes it by hand (in any editor, any encoding): the data folder,
// the keyboard layout and the server it names, or none.

#include <QDir>
#include <QString>

#include "fuzz/fuzz_support.h"
#include "platform/folders.h"
#include "platform/keyboard_layout.h"
#include "users/server_settings.h"

using namespace tz;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::StartProgram();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ResetProgram();
    const QByteArray bytes = fuzz::InputBytes(data, size);
    const QString name = QStringLiteral("tipenzo10.ini");
    fuzz::WriteFolderFile(name, bytes);
    const QString named = ReadDataFolderSetting(fuzz::FolderPath(name));
    // A folder named is absolute and ends with its separator, as the program joins names to it.
    if (!named.isEmpty()) {
        FUZZ_CHECK(QDir::isAbsolutePath(named));
        FUZZ_CHECK(named.endsWith(u'/'));
    }
    // A layout named is one the program knows.
    const QString layout = ReadKeyboardLayoutSetting(fuzz::FolderPath(name));
    FUZZ_CHECK(layout.isEmpty() || layout == kSpanishLayout || layout == kLatinAmericanLayout);
    // A server with an address, a database, a user and a port, or the reason why not.
    if (const std::optional<SettingsSection> section =
            FindServerSection({fuzz::FolderPath(name)})) {
        QString problem;
        const std::optional<ServerSettings> server = ServerSettingsFrom(*section, &problem);
        FUZZ_CHECK(server ? !server->address.isEmpty() && !server->database.isEmpty() &&
                                !server->user.isEmpty() && server->port > 0 && server->port < 65536
                          : !problem.isEmpty());
        // A root certificate to verify the server with is named whole, and only then.
        if (server) {
            FUZZ_CHECK((server->ssl == ServerSettings::Ssl::Verify) ==
                       QDir::isAbsolutePath(server->rootCertificate));
        }
    }
    // An editor's byte-order mark changes nothing.
    if (!bytes.startsWith("\xEF\xBB\xBF")) {
        fuzz::WriteFolderFile(name, "\xEF\xBB\xBF" + bytes);
        FUZZ_CHECK(ReadDataFolderSetting(fuzz::FolderPath(name)) == named);
        FUZZ_CHECK(ReadKeyboardLayoutSetting(fuzz::FolderPath(name)) == layout);
    }
    return 0;
}
