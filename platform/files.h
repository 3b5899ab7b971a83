#pragma once
// File-system operations on the program and data folders, with the results the rest of the program
// relies on: sizes with -1 for a missing file and -2 for a folder, renames that never replace,
// copies that do, and bare names matched without regard to letter case.

#include <QString>
#include <QStringList>

namespace tz {

// Two folders, each ending with '/': the program's own files (lesson texts, help), read only,
// and the data folder, where everything the program writes lives. Start-up chooses them once
// (platform/folders.h); until then both are the folder of the executable.
QString ProgramFolder();
QString DataFolder();
void SetFolders(const QString& programFolder, const QString& dataFolder);
// True once the folders were set: start-up leaves folders a test has set alone.
bool FoldersSet();
// Tests point both folders at one temporary folder; an empty text goes back to the start.
void SetProgramFolder(const QString& folder);

// DataFolder() + relative name, each part matched against existing entries without regard
// to case ("USUARIOS.DAT" reaches "usuarios.dat"). Backslashes count as separators. Parts that
// do not exist are kept as written.
QString DataPath(const QString& relativeName);
// The same inside ProgramFolder().
QString ProgramPath(const QString& relativeName);
// The same matching inside any folder.
QString ResolveInFolder(const QString& folder, const QString& relativeName);

qint64 FileSize(const QString& path);  // -1 missing, -2 folder
// Removes a file, or a link standing under the name (never what it points to); folders stay.
void RemoveFile(const QString& path);
bool RenameFile(const QString& from, const QString& to);  // fails when `to` exists
bool CreateFolder(const QString& path);
// Bare names of the files in `folder` matching a wildcard such as "*.t10" (case-insensitive),
// sorted without regard to case.
QStringList ListFiles(const QString& folder, const QString& wildcard);

}  // namespace tz
