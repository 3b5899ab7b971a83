#pragma once
// The text of the custom texts editor as it comes from a file, and the names a document may
// be saved under. No window code.

#include <QString>

#include "platform/safe_files.h"

namespace tz {

// The characters a custom text may hold: a space and the four key rows of every keyboard the
// program knows (a shared data folder serves PCs of either keyboard; each types what its own
// lacks as its stand-in), less the control code that stands at the euro key: nothing else can
// be typed from a key of an on-screen keyboard.
QString EditorAllowedCharacters();

// The text LoadIntoEditor shows for a file: its lines (ended by CR LF, LF or CR) with the
// spaces at both ends removed and every character outside the allowed set dropped, joined by
// '\n'. Reading stops after the first line that takes the text past 40000 characters. A file
// that cannot be read gives an empty text.
QString ReadTextForEditor(const QString& path);
// The same for what was read of a file.
QString ReadTextForEditor(const FileRead& read);

// False for a name that could write outside the custom texts folder or that Windows refuses:
// a path separator, "..", a character Windows does not allow in file names, a control
// character, or a device name such as "CON".
bool IsValidDocumentName(const QString& name);

}  // namespace tz
