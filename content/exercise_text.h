#pragma once
// Turns one exercise of the loaded block into the text the pupil types: a word group repeated
// into lines, or a lesson text file (a custom document while a custom text runs) read whole.

#include <QString>

#include "content/course_data.h"

namespace tz {

// Who started an exercise run: the course from the main menu ("NO"), an exercise chosen in the
// lesson viewer ("SI") or a custom document ("TXTLARGO"). Only a custom document changes what
// text an exercise gets.
enum class ExerciseSource { Course, Manual, CustomText };

// The text of an exercise about to be typed: lines joined by CR (word exercises) or CR LF
// (lesson texts and custom documents), no line end after the last line.
struct ExerciseText {
    bool built = false;  // false when there is nothing to type
    QString text;
    // The file that could not be opened (its full path, as the system writes paths), empty when
    // the build needed no file or read its file. The run names it to the pupil instead of
    // starting an empty attempt.
    QString missingFile;
};

inline constexpr int kExerciseLineLimit = 67;  // a word line stays below this many characters
inline constexpr int kTextReadLimit = 40000;   // reading stops once the text passes this
inline const QString kQuoteMarker = QStringLiteral("|kom|");  // stands for a double quote

// The text of exercise `exercise` of the block: its word group repeated into lines, or the
// lesson text it refers to. A custom document (read from the folder of custom texts under
// `customDocumentName`) replaces whatever entry the block holds. Nothing is built when the file
// cannot be opened or the exercise lies outside the block.
ExerciseText AssembleExerciseText(const LoadedBlock& block, int exercise,
                                  ExerciseSource source = ExerciseSource::Course,
                                  const QString& customDocumentName = QString());

// The line a word group is typed as: the entry and a space repeated while the line stays below
// 67 characters, with an over-long entry cut to 67 characters and the ends trimmed.
QString WordExerciseLine(const QString& entry);

// True for an entry that refers to a lesson text: it starts with "(TEXTO=".
bool IsLessonTextRef(const QString& entry);
// The file a lesson text reference reads, relative to the program folder: "(TEXTO=5)" gives
// "textos/TEXTO_05".
QString LessonTextFileName(const QString& entry);

// The text of the lesson file the entry refers to or, for a custom text, of the custom document.
ExerciseText LoadLessonText(const QString& entry, ExerciseSource source,
                            const QString& customDocumentName);

}  // namespace tz
