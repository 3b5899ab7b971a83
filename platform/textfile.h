#pragma once
// UTF-8 text files: readers take CR, LF and CR LF line ends; writers write CR LF and no
// byte-order mark.

#include <QString>
#include <QStringList>

namespace tz {

// Joins the lines of messages and of texts read for typing.
inline const QString LineBreak = QStringLiteral("\r\n");

// Splits text into lines at CR, LF or CR LF. A final line end adds no empty line.
QStringList SplitLines(const QString& text);

struct TextFileLines {
    bool opened = false;
    QStringList lines;
};
// Reads a whole UTF-8 file as lines. A leading byte-order mark is skipped (a teacher may have
// saved the file with an editor that writes one).
TextFileLines ReadTextLines(const QString& path);

// How a text file to type or edit is to be read. Older Windows editors saved in the ANSI code
// page: a file that is not valid UTF-8 is taken as Windows-1252, a valid one as UTF-8.
enum class TextEncoding { Utf8, Windows1252 };
// Looks at the start of the file (far more than a text to type may hold); a missing file is
// UTF-8.
TextEncoding GuessTextEncoding(const QString& path);
// Windows-1252 bytes as text: one character a byte.
QString DecodeWindows1252(QByteArrayView bytes);
// Bytes of a file in the given encoding as text.
QString DecodeText(QByteArrayView bytes, TextEncoding encoding);

// Writes the lines, each ended by CR LF, replacing the file. The new content goes to a
// temporary file beside it that is flushed and renamed over the target, so the old file stays
// whole if anything fails. Returns false and leaves the target untouched on failure.
bool WriteTextLinesAtomically(const QString& path, const QStringList& lines);
// Writes the lines, each ended by CR LF, creating or replacing the file in place.
bool WriteTextLines(const QString& path, const QStringList& lines);
// Appends one line and CR LF, creating the file when missing.
bool AppendTextLine(const QString& path, const QString& line);

// The bytes written for the lines: UTF-8, each line ended by CR LF.
QByteArray EncodeLines(const QStringList& lines);

}  // namespace tz
