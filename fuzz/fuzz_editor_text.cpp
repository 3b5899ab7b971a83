// A custom text opened in the custom texts editor: the file is read in pieces, its encoding
// guessed, its lines trimmed and filtered to what the keyboard can type.

#include <QString>

#include "content/editor_text.h"
#include "content/exercise_text.h"
#include "fuzz/fuzz_support.h"
#include "platform/textfile.h"
#include "users/user_record.h"

using namespace tz;

namespace {

// What the editor should show, worked out from the whole file at once.
QString ExpectedText(const QByteArray& bytes, TextEncoding encoding, const QString& allowed) {
    QString whole = DecodeText(bytes, encoding);
    if (whole.startsWith(QChar(0xFEFF))) whole.remove(0, 1);
    QStringList lines = SplitLines(whole);
    for (QString& line : lines) {
        line = TrimSpaces(line);
        line.removeIf([&allowed](QChar c) { return !allowed.contains(c); });
    }
    return lines.join('\n');
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::StartProgram();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ResetProgram();
    const QByteArray bytes = fuzz::InputBytes(data, size);
    const QString name = QStringLiteral("texto.txt");
    fuzz::WriteFolderFile(name, bytes);
    const QString path = fuzz::FolderPath(name);

    const QString text = ReadTextForEditor(path);
    const QString allowed = EditorAllowedCharacters();
    for (const QChar c : text) FUZZ_CHECK(c == '\n' || allowed.contains(c));

    // Below the reading limit nothing is cut, and reading in pieces changes nothing.
    const TextEncoding encoding = GuessTextEncoding(path);
    if (DecodeText(bytes, encoding).size() < kTextReadLimit) {
        FUZZ_CHECK(text == ExpectedText(bytes, encoding, allowed));
    } else {
        FUZZ_CHECK(text.size() <= 2 * kTextReadLimit + 1);
    }
    return 0;
}
