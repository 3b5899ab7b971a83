#pragma once
// The file that carries users from one installation to another (".tpz"): one pupil a line in
// the users file's layout, no header. The export writes the marked pupils to one; the import
// reads the pupils of one, and the store adds them under new ids.

#include <QList>
#include <QString>

#include "platform/safe_files.h"
#include "users/user_record.h"

namespace tz {

inline const QString kExportTitle = QStringLiteral("Exportar usuarios al siguiente archivo");
inline const QString kImportTitle = QStringLiteral("Importar usuarios desde el siguiente archivo");
inline const QString kTransferFilter = QStringLiteral("Text (*.tpz)");
inline const QString kExportProposedName = QStringLiteral("usu_tipz.tpz");

// Writes one line a pupil (each ending CR LF) as the whole file, or leaves an existing one as
// it was.
bool WriteExportFile(const QString& path, const QList<UserRecord>& pupils);

// No export of a school comes near it: a larger file is not read.
inline constexpr qint64 kImportFileCap = 4 * 1024 * 1024;
// What one import may add to the users file of every PC. A school's whole class fits; a
// classmate cannot freeze or fill it: with names cleaned and lines bounded, the pupils that
// imports bring (at most the 30001 ids they draw from) stay far below the users file's cap.
inline constexpr qsizetype kMostImportedPupils = 5000;
// Fields 1 to 16 of a pupil's line take some 100 bytes (a name of 60 characters, 14 numbers,
// the mode): a longer line is no pupil's.
inline constexpr qsizetype kLongestImportedLine = 512;

// The pupils an import file brings, each with the id she had there, and what it held besides.
struct ImportFile {
    ReadOutcome read = ReadOutcome::Read;  // how reading the file went
    QList<UserRecord> pupils;
    qsizetype skipped = 0;       // lines with more than blanks that are no pupil's
    qsizetype namesCleaned = 0;  // names that lost characters (CleanUserName)
    qsizetype namesRefused = 0;  // pupils left out because nothing of their name was left
    qsizetype overLimit = 0;     // the pupils of a file that brings too many (none imported)
};

// The pupils of an import file: lines that are not user lines of the current layout (in their
// first 17 fields), or longer than kLongestImportedLine, are counted as skipped, blank lines
// are left out alone, and a line that is not UTF-8 is read as Windows-1252. Names are cleaned
// or refused and counted. Nobody for a file that cannot be read, is larger than
// kImportFileCap, or brings more than kMostImportedPupils.
ImportFile ReadImportFile(const QString& path);

}  // namespace tz
