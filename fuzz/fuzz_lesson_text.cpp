// A lesson text or a custom document as the exercise reads it to be typed: the file's encoding
// guessed, its lines read one by one with any line end, trailing spaces dropped, the quote
// marker turned into a quote, and reading stopped once the text is full.

#include <QString>
#include <QStringList>

#include "content/exercise_text.h"
#include "fuzz/fuzz_support.h"
#include "platform/files.h"
#include "platform/textfile.h"

using namespace tz;

namespace {

// What the exercise should type, worked out from the whole file at once (lines here are short
// enough never to be cut on their own). Each line is decoded on its own, as a line is the unit
// the exercise reads.
QString ExpectedText(const QByteArray& bytes) {
    const TextEncoding encoding = GuessTextEncoding(FileRead{ReadOutcome::Read, bytes});
    QString text;
    bool first = true;
    for (const QString& raw : SplitLines(QString::fromLatin1(bytes))) {
        QString line = DecodeText(raw.toLatin1(), encoding);
        if (first && line.startsWith(QChar(0xFEFF))) line.remove(0, 1);
        first = false;
        while (line.endsWith(u' ')) line.chop(1);
        text += line.replace(kQuoteMarker, QStringLiteral("\"")) + LineBreak;
        if (text.size() > kTextReadLimit) break;
    }
    text.chop(LineBreak.size());
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::StartProgram();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ResetProgram();
    const QByteArray bytes = fuzz::InputBytes(data, size);
    CreateFolder(fuzz::FolderPath(QStringLiteral("textos")));
    CreateFolder(fuzz::FolderPath(QStringLiteral("TXTPERSONALIZADOS")));
    fuzz::WriteFolderFile(QStringLiteral("textos/TEXTO_07"), bytes);
    fuzz::WriteFolderFile(QStringLiteral("TXTPERSONALIZADOS/mio.t10"), bytes);

    const ExerciseText lesson =
        LoadLessonText(QStringLiteral("(TEXTO=7)"), ExerciseSource::Course, QString());
    const ExerciseText custom =
        LoadLessonText(QString(), ExerciseSource::CustomText, QStringLiteral("mio.t10"));
    FUZZ_CHECK(lesson.built && custom.built);
    FUZZ_CHECK(lesson.text == custom.text);
    // Lines end CR LF and nowhere else.
    const QString& text = lesson.text;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n') FUZZ_CHECK(i > 0 && text[i - 1] == u'\r');
        if (text[i] == u'\r') FUZZ_CHECK(i + 1 < text.size() && text[i + 1] == u'\n');
    }
    FUZZ_CHECK(text == ExpectedText(bytes));
    return 0;
}
