// A pupil's figures file as the analysis window and the next attempt meet it: read (a damaged
// file is no figures), written back the same, and an attempt added on top (a damaged file set
// aside first, one of a later version left alone).

#include <QString>
#include <QTimeZone>

#include "content/figures_file.h"
#include "fuzz/fuzz_support.h"
#include "platform/files.h"
#include "users/file_store.h"
#include "users/user_record.h"

using namespace tz;

namespace {

const QString kId = QStringLiteral("ID-20240305083000");
const QString kFile = QStringLiteral("estadisticas/ID-20240305083000.txt");

PupilFigures OneAttempt() {
    KeystrokeLog log = {{QStringLiteral("t"), QStringLiteral("r"), 4, -1},
                        {QStringLiteral("a"), QStringLiteral("a"), 1, 150},
                        {QStringLiteral("\r"), QStringLiteral(" "), 10, 9000}};
    return FiguresOfAttempt(log, QDateTime(QDate(2024, 3, 5), QTime(8, 30), QTimeZone::utc()));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::StartProgram();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ResetProgram();
    const QByteArray bytes = fuzz::InputBytes(data, size);

    // What is read is written back to the same figures, and that again to the same bytes.
    if (const std::optional<PupilFigures> read = ParseFiguresFile(bytes)) {
        const QByteArray written = FormatFiguresFile(*read);
        const std::optional<PupilFigures> again = ParseFiguresFile(written);
        FUZZ_CHECK(again.has_value());
        FUZZ_CHECK(*again == *read);
        FUZZ_CHECK(FormatFiguresFile(*again) == written);
        for (const auto& [character, key] : read->characters) {
            FUZZ_CHECK(key.errors <= key.keystrokes && key.timed <= key.keystrokes);
            FUZZ_CHECK(key.ErrorRate() >= 0 && key.ErrorRate() <= 1);
        }
        WeakestKeys(*read, 5);
    }

    // The file in the data folder: an attempt goes on top of sound figures or starts again
    // beside damaged ones, set aside as they were; a later version's are not touched.
    fuzz::WriteFolderFile(QStringLiteral("usuarios.dat"),
                          "Datos de Usuarios v2.6\r\n"
                          "ANA|1|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-20240305083000\r\n");
    CreateFolder(fuzz::FolderPath(QStringLiteral("estadisticas")));
    fuzz::WriteFolderFile(kFile, bytes);
    FileStore store;
    const PupilFigures before = LoadPupilFigures(store, kId);
    const bool sound = ParseFiguresFile(bytes).has_value();
    if (!sound && IsOfLaterVersion(bytes)) {
        FUZZ_CHECK(!AddPupilFigures(store, kId, OneAttempt()));
        FUZZ_CHECK(fuzz::ReadFolderFile(kFile) == bytes);
        return 0;
    }
    FUZZ_CHECK(static_cast<bool>(AddPupilFigures(store, kId, OneAttempt())));
    if (!sound) {
        const QString aside = kFile + QStringLiteral(".defectuoso-") + MakeDateStamp();
        FUZZ_CHECK(fuzz::ReadFolderFile(aside) == bytes);
    }
    const std::optional<PupilFigures> after = ParseFiguresFile(fuzz::ReadFolderFile(kFile));
    FUZZ_CHECK(after.has_value());
    PupilFigures expected = before;
    AddFigures(expected, OneAttempt());
    FUZZ_CHECK(*after == expected);
    return 0;
}
