#pragma once
// Where the program's own files and its data live, chosen once at start-up.
//
// A program folder that holds the lesson texts is a portable program: its data stay beside it
// while that folder can be written. An installed program reads its own files from
// <prefix>/share/tipenzo10 (found from the executable, so a moved prefix still works). Data
// that cannot stay beside the program go to the user's application data folder. A school
// points every PC at one shared data folder with a settings file "tipenzo10.ini":
//
//     [datos]
//     carpeta=/srv/tipenzo10
//
// (a relative path counts from the settings file's folder), and the environment variable
// TIPENZO_DATA names a data folder over everything else.

#include <QString>
#include <QStringList>

namespace tz {

extern const char* const kDataFolderVariable;  // "TIPENZO_DATA"

// What the choice looks at.
struct FolderSources {
    QString executableFolder;
    QString dataVariable;       // the value of TIPENZO_DATA
    QStringList settingsFiles;  // looked at in this order; the first naming a folder counts
    QString userDataFolder;     // the platform's per-user application data folder
};

enum class DataFolderOrigin { Variable, SettingsFile, ProgramFolder, UserFolder };

struct FolderChoice {
    QString programFolder;  // ends with '/'
    QString dataFolder;     // ends with '/'
    DataFolderOrigin origin = DataFolderOrigin::ProgramFolder;
    QString settingsFile;  // the file that named the data folder, if one did
    bool dataWritable = false;
};

// The sources of the running program: the executable's folder, TIPENZO_DATA, the settings
// file beside the executable and then those of the configuration folders (per user first,
// then system-wide: ~/.config/tipenzo10/tipenzo10.ini, /etc/xdg/tipenzo10/tipenzo10.ini on
// Linux), and the application data folder.
FolderSources RunningFolderSources();

// Chooses both folders and creates the data folder when it is missing.
FolderChoice ChooseFolders(const FolderSources& sources);

// The data folder named in a settings file ("carpeta" in the section "[datos]", names matched
// without regard to case), as an absolute path; empty when the file names none.
QString ReadDataFolderSetting(const QString& settingsFile);

// Whether a new file can be made in the folder (tried, not guessed from permission bits).
bool FolderIsWritable(const QString& folder);

}  // namespace tz
