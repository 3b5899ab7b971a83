#pragma once
// Bringing a users file of the older layout (scrambled lines without ids) to the current one.

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>

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

// Converts a users file whose header gives a version below 2.6: the UsersHeader, then every
// further line unscrambled and followed by "|ID-" + the DateStamp of this call + a counter
// from 1. Returns the format version when it is 26 or more (the file is then untouched),
// otherwise 0. A missing users file becomes a file holding only the UsersHeader.
// `whileRewriting` runs between writing the converted file and putting it in place.
int UpgradeUsersFile(const std::function<void()>& whileRewriting = {});

}  // namespace tz
