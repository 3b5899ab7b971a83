#pragma once
// Bringing a users file of the older layout (scrambled lines without ids) to the current one.

#include <QByteArray>
#include <QList>
#include <QString>

namespace tz {

// The key the older layout scrambled its lines with.
inline const QString kScrambleKey = QStringLiteral("qorvandel");

// Combines each UTF-16 code unit of the text with the key (XOR), cycling through the key and
// one unchanged position; a unit equal to its key character stays as it is. Applying it twice
// with the same key gives the text back.
QString ScrambleText(const QString& text, const QString& key);

// The lines of an open users file of the older layout, read one after another.
struct ScrambledLines {
    QList<QByteArray> lines;
    qsizetype next = 0;
    bool AtEnd() const { return next >= lines.size(); }
};
// The next line, unscrambled with the fixed key and without spaces at either end.
QString ReadScrambledLine(ScrambledLines& file);
// The scrambled lines of a users file of the older layout (its content without byte-order
// mark), after its plain header. Scrambling turns some characters into CR or LF, so only the
// line end of the file's own header splits them.
QList<QByteArray> OlderLayoutLines(const QByteArray& content);

// A first line that is exactly the header of an older layout, "Datos de Usuarios v2.0" to
// "v2.5".
bool IsOlderUsersHeader(const QByteArray& line);
// The copy of a users file kept before it is upgraded, in the data folder.
QString UpgradeCopyName(const QString& stamp);

// Converts a users file whose first line is an older header: the old file is kept as
// UpgradeCopyName first, then the file becomes the UsersHeader and every further non-blank line
// unscrambled (padded to 16 fields) and followed by "|ID-" + the DateStamp of this call + a
// counter from 1. Any other file is left untouched. All of it happens under the users-file
// lock. Returns the format version when it is 26 or more, otherwise 0. A missing or empty
// users file becomes a file holding only the UsersHeader.
int UpgradeUsersFile();

}  // namespace tz
