#pragma once
// Carrying users from one installation to another: marked users go to a ".tpz" file, and the
// users of such a file are appended to the users file under new ids.

#include <QByteArray>
#include <QList>
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

// A new id for an imported user, "ID-" + a number from 0 to 30000, that stands neither in the
// users file nor in `taken`; empty text when none was found (a practically full id range).
QString DrawImportId(const QStringList& taken);

// Writes the lines (each ending CR LF) as the whole file, or leaves an existing one as it was.
bool WriteExportFile(const QString& path, const QList<QByteArray>& lines);

// Appends each user of the file to the users file under a new id: the number appended (0 when
// the file or the users file cannot be opened, or another program held it too long).
struct ImportResult {
    qsizetype imported = 0;
    WriteOutcome outcome = WriteOutcome::Written;
};
ImportResult ImportUsersFrom(const QString& path);

}  // namespace tz
