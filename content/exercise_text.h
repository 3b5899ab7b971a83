#pragma once
// Turns one exercise of the loaded block into the text the pupil types: a word group repeated
// into lines, or a lesson text file (a custom document while a custom text runs) read whole.

#include <QString>

namespace tz {

// The text of the exercise about to be typed: lines joined by CR (word exercises) or CR LF
// (lesson texts and custom documents), no line end after the last line.
extern QString ExerciseText;

// The file the last text build could not open (its full path, as the system writes paths),
// empty when the build needed no file or read its file. The exercise run names it to the pupil
// instead of starting an empty attempt.
extern QString MissingTextFile;

inline constexpr int kExerciseLineLimit = 67;  // a word line stays below this many characters
inline constexpr int kTextReadLimit = 40000;   // reading stops once the text passes this
inline const QString kQuoteMarker = QStringLiteral("|kom|");  // stands for a double quote

// Builds ExerciseText for the entry of BlockEntries at the exercise of CurrentUser (or at the
// given position). Returns false when there is nothing to type: the lesson text or custom
// document could not be opened (MissingTextFile names it) or the position lies outside the
// block (ExerciseText is then empty).
bool AssembleExerciseText();
bool AssembleExerciseText(int exercise);

// The line a word group is typed as: the entry and a space repeated while the line stays below
// 67 characters, with an over-long entry cut to 67 characters and the ends trimmed.
QString WordExerciseLine(const QString& entry);

// True for an entry that refers to a lesson text: it starts with "(TEXTO=".
bool IsLessonTextRef(const QString& entry);
// The file a lesson text reference reads, relative to the program folder: "(TEXTO=5)" gives
// "textos/TEXTO_05".
QString LessonTextFileName(const QString& entry);

// Fills ExerciseText from the lesson text the entry refers to or, while ExerciseSource is
// "TXTLARGO", from the custom document CustomDocumentName. Returns false (ExerciseText empty,
// MissingTextFile set) when the file cannot be opened.
bool LoadLessonText(const QString& entry);

}  // namespace tz
