#include "content/exercise_text.h"

#include <QDir>
#include <QFileInfo>

#include "content/course_data.h"
#include "content/custom_documents.h"
#include "platform/files.h"
#include "platform/safe_files.h"
#include "platform/textfile.h"
#include "users/user_record.h"

namespace tz {

namespace {

const QString kLessonTextPrefix = QStringLiteral("(TEXTO=");

QString WithoutTrailingSpaces(QString text) {
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == ' ') --end;
    text.truncate(end);
    return text;
}

QString WithoutLeadingSpaces(const QString& text) {
    qsizetype start = 0;
    while (start < text.size() && text[start] == ' ') ++start;
    return text.mid(start);
}

// Reads a text file line by line (CR, LF or CR LF), handing each decoded line to `take` until
// it returns false. Lines are read from a fixed-size buffer so a huge file costs only what is
// kept; a single line that by itself runs past the read limit is ended there, as the text is
// full anyway.
template <typename Take>
bool ReadLines(const FileRead& read, Take take) {
    // A text past the cap was full long before it; its first bytes are read as ever.
    if (!read.Ok() && read.outcome != ReadOutcome::TooLarge) return false;
    const TextEncoding encoding = GuessTextEncoding(read);
    // UTF-8 needs at most four bytes a character.
    constexpr qsizetype kLongestLineBytes = 4 * (kTextReadLimit + 1);
    QByteArray line;
    bool firstLine = true;
    bool skipLineFeed = false;
    auto finish = [&]() {
        QString decoded = DecodeText(line, encoding);
        // Editors on Windows often put a byte-order mark first; it is no typable character.
        if (firstLine && decoded.startsWith(QChar(0xFEFF))) decoded.remove(0, 1);
        firstLine = false;
        line.clear();
        return take(decoded);
    };
    for (const char c : read.bytes) {
        if (skipLineFeed) {
            skipLineFeed = false;
            if (c == '\n') continue;
        }
        if (c == '\r' || c == '\n') {
            skipLineFeed = c == '\r';
            if (!finish()) return true;
        } else {
            line.append(c);
            if (line.size() >= kLongestLineBytes) {
                finish();
                return true;
            }
        }
    }
    // A final line end is optional and adds no empty line.
    if (!line.isEmpty()) finish();
    return true;
}

}  // namespace

ExerciseText AssembleExerciseText(const LoadedBlock& block, int exercise, ExerciseSource source,
                                  const QString& customDocumentName) {
    const QString entry = block.Entry(exercise);
    // A custom text replaces whatever entry the block holds.
    if (source == ExerciseSource::CustomText || IsLessonTextRef(entry)) {
        return LoadLessonText(entry, source, customDocumentName);
    }
    ExerciseText result;
    if (exercise < 1 || exercise > block.EntryCount()) return result;
    const QString line = WordExerciseLine(entry);
    QStringList lines;
    for (int i = 0; i < block.linesPerExercise; ++i) lines.append(line);
    result.text = lines.join('\r');
    result.built = true;
    return result;
}

QString WordExerciseLine(const QString& entry) {
    QString unit = entry + ' ';
    unit.replace(kQuoteMarker, QStringLiteral("\""));
    if (unit.size() > kExerciseLineLimit) {
        unit = WithoutTrailingSpaces(unit.left(kExerciseLineLimit));
    }
    QString line = unit;
    // An entry of nothing but spaces leaves an empty unit, which could never fill the line.
    while (!unit.isEmpty() && line.size() + unit.size() < kExerciseLineLimit) line += unit;
    return WithoutLeadingSpaces(WithoutTrailingSpaces(line));
}

bool IsLessonTextRef(const QString& entry) {
    return entry.startsWith(kLessonTextPrefix);
}

QString LessonTextFileName(const QString& entry) {
    // The number is the field between the first "=" and the next one (or the end).
    const qsizetype equals = entry.indexOf('=');
    QString field;
    if (equals >= 0) {
        const qsizetype next = entry.indexOf('=', equals + 1);
        field = entry.mid(equals + 1, next < 0 ? -1 : next - equals - 1);
    }
    QString number = QString::number(ReadNumber(field));
    if (number.size() == 1) number.prepend('0');
    return QStringLiteral("textos/TEXTO_") + number;
}

ExerciseText LoadLessonText(const QString& entry, ExerciseSource source,
                            const QString& customDocumentName) {
    const bool custom = source == ExerciseSource::CustomText;
    const QString path = custom ? DataPath(kCustomTextsFolder + u'/' + customDocumentName)
                                : ProgramPath(LessonTextFileName(entry));
    ExerciseText result;
    QString& text = result.text;
    const FileRead read = custom ? ReadCustomDocument(customDocumentName) : ReadTextFile(path);
    result.built = ReadLines(read, [&text](const QString& line) {
        text += WithoutTrailingSpaces(line).replace(kQuoteMarker, QStringLiteral("\""));
        text += LineBreak;
        return text.size() <= kTextReadLimit;
    });
    text.chop(LineBreak.size());
    if (!result.built) result.missingFile = QDir::toNativeSeparators(path);
    return result;
}

}  // namespace tz
