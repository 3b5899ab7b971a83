#pragma once
// Carrying users from one installation to another: marked users go to a ".tpz" file, and the
// users of such a file are appended to the users file under new ids.

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include "users/users_file.h"

namespace tz {

inline const QString kExportTitle = QStringLiteral("Exportar usuarios al siguiente archivo");
inline const QString kImportTitle = QStringLiteral("Importar usuarios desde el siguiente archivo");
inline const QString kTransferFilter = QStringLiteral("Text (*.tpz)");
inline const QString kExportProposedName = QStringLiteral("usu_tipz.tpz");

// The lines of the users file (after the header) whose id is one of `ids`, byte for byte, in
// the order of `ids`; an id that several lines carry brings all of them, once for every time
// it is listed.
QList<QByteArray> CollectUserLines(const QStringList& ids);

// The line an imported user gets: fields 1 to 16 of the read line (missing ones empty), each
// followed by "|", then the new id.
QByteArray MakeImportedLine(const QByteArray& line, const QString& id);

// A new id for an imported user, "ID-" + a number from 0 to 30000, that is not in `taken`;
// empty text when none was found (a practically full id range).
QString DrawImportId(const QSet<QString>& taken);

// Writes the lines (each ending CR LF) as the whole file, or leaves an existing one as it was.
bool WriteExportFile(const QString& path, const QList<QByteArray>& lines);

// No export of a school comes near it: a larger file is not read.
inline constexpr qint64 kImportFileCap = 4 * 1024 * 1024;

// Appends each user line of the file to the users file under a new id. Lines that are not
// user lines of the current layout (in their first 17 fields) are skipped and counted, blank
// lines are skipped alone; a line that is not UTF-8 is read as Windows-1252. Nothing is
// imported when the file or the users file cannot be read, the file is larger than
// kImportFileCap, or another program held the users file too long.
struct ImportResult {
    qsizetype imported = 0;
    qsizetype skipped = 0;
    bool tooLarge = false;
    WriteOutcome outcome = WriteOutcome::Written;
};
ImportResult ImportUsersFrom(const QString& path);

}  // namespace tz
