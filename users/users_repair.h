#pragma once
// Mending a damaged users file line by line: every pupil stays where she stands.

#include <QByteArray>
#include <QList>

namespace tz {

struct UsersFileRepair {
    QList<QByteArray> lines;  // the file to write: the header, then the pupils in their order
    qsizetype mended = 0;     // damaged lines whose pupil stays, as the program reads her
    qsizetype dropped = 0;    // damaged lines without an id: no pupil can be chosen from them
    qsizetype Damaged() const { return mended + dropped; }
};

// The users file's content (without byte-order mark, in UTF-8) with only its damaged lines
// changed: a line of the current layout stays byte for byte; a damaged one that carries an id
// is written again from what the program reads in it; one without an id is left out (the
// caller keeps the file as it was). Blank lines and extra headers go; one header comes first.
UsersFileRepair RepairUsersFile(const QByteArray& content);

}  // namespace tz
