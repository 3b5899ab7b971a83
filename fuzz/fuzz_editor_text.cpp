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

// What the editor should show, worked out from the whole file at once: every line trimmed of
// spaces and filtered, a line past the limit cut there, and no line after the first that takes
// the text past the limit.
QString ExpectedText(const QByteArray& bytes, TextEncoding encoding, const QString& allowed) {
    QString whole = DecodeText(bytes, encoding);
    if (whole.startsWith(QChar(0xFEFF))) whole.remove(0, 1);
    QString text;
    for (QString line : SplitLines(whole)) {
        line = TrimSpaces(line);
        line.removeIf([&allowed](QChar c) { return !allowed.contains(c); });
        text += '\n';
        text += line.left(kTextReadLimit + 1);
        if (text.size() > kTextReadLimit) break;
    }
    return text.mid(1);
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
    FUZZ_CHECK(text.size() <= 2 * kTextReadLimit + 1);
    // Reading in pieces changes nothing.
    FUZZ_CHECK(text == ExpectedText(bytes, GuessTextEncoding(ReadTextFile(path)), allowed));
    return 0;
}
