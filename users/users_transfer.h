#pragma once
// Carrying users from one installation to another: marked users go to a ".tpz" file, and the
// users of such a file are appended to the users file under new ids.

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

#include "users/pupil_store.h"
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
// What one import may add to the users file of every PC. A school's whole class fits; a
// classmate cannot freeze or fill it: with names cleaned and lines bounded, the pupils that
// imports bring (at most the 30001 ids they draw from) stay far below kUsersFileCap.
inline constexpr qsizetype kMostImportedPupils = 5000;
// Fields 1 to 16 of a pupil's line take some 100 bytes (a name of 60 characters, 14 numbers,
// the mode): a longer line is no pupil's.
inline constexpr qsizetype kLongestImportedLine = 512;

// The line with its name made clean (CleanUserName); nothing when no name is left. `changed`
// tells whether the name lost anything.
std::optional<QByteArray> WithCleanName(const QByteArray& line, bool* changed = nullptr);

// The user lines of an import file: lines that are not user lines of the current layout (in
// their first 17 fields), or longer than kLongestImportedLine, are counted as skipped, blank
// lines are left out alone, and a line that is not UTF-8 is read as Windows-1252. Names are
// cleaned or refused and counted. Nothing for a file that cannot be read, is larger than
// kImportFileCap, or brings more than kMostImportedPupils.
ImportLines ReadImportFile(const QString& path);

// Appends each line to the users file under a new id drawn against the ids the file holds
// inside the lock; a pupil whose line is exactly one of the deleted pupils' gets her figures
// back. Nothing is imported when the users file cannot be read or written, or another program
// held it too long.
ImportResult ImportIntoUsersFile(const ImportLines& import);
// The two together, for the users file.
ImportResult ImportUsersFrom(const QString& path);

}  // namespace tz
