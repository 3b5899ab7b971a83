#pragma once
// UTF-8 text files: readers take CR, LF and CR LF line ends; writers write CR LF and no
// byte-order mark.

#include <QString>
#include <QStringList>

#include "platform/safe_files.h"

namespace tz {

// Joins the lines of messages and of texts read for typing.
inline const QString LineBreak = QStringLiteral("\r\n");

// Splits text into lines at CR, LF or CR LF. A final line end adds no empty line.
QStringList SplitLines(const QString& text);

// How a text file to type or edit is to be read. Older Windows editors saved in the ANSI code
// page: a file that is not valid UTF-8 is taken as Windows-1252, a valid one as UTF-8.
enum class TextEncoding { Utf8, Windows1252 };
// Texts to type, edit or read settings from hold some tens of kilobytes: their readers stop
// after this many bytes.
inline constexpr qint64 kTextFileCap = 1 << 20;
// Reads a text file as a file of a shared folder is read (platform/safe_files.h), up to
// kTextFileCap bytes.
FileRead ReadTextFile(const QString& path);
// The encoding of what was read; a character cut by the cap is not counted against UTF-8.
TextEncoding GuessTextEncoding(const FileRead& read);
// Windows-1252 bytes as text: one character a byte.
QString DecodeWindows1252(QByteArrayView bytes);
// Bytes of a file in the given encoding as text.
QString DecodeText(QByteArrayView bytes, TextEncoding encoding);

// Writes the lines, each ended by CR LF, replacing the file in one step (ReplaceFileWith). Returns
// false and leaves the target untouched on failure.
bool WriteTextLinesAtomically(const QString& path, const QStringList& lines);

// The bytes written for the lines: UTF-8, each line ended by CR LF.
QByteArray EncodeLines(const QStringList& lines);

}  // namespace tz
