#include "platform/folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include "platform/files.h"
#include "platform/settings_file.h"
#include "platform/textfile.h"

// Set by the build from the install folders.
#ifndef TIPENZO_FILES_FROM_BIN
#define TIPENZO_FILES_FROM_BIN "../share/tipenzo10"
#endif

namespace tz {

const char* const kDataFolderVariable = "TIPENZO_DATA";

namespace {

const QString kSettingsName = QStringLiteral("tipenzo10.ini");
// Where an install puts the program's own files, seen from the executable's folder.
const QString kInstalledFolder = QStringLiteral(TIPENZO_FILES_FROM_BIN);
const QString kLessonFolder = QStringLiteral("textos");

QString Absolute(const QString& base, const QString& path) {
    return QDir::cleanPath(QDir(base).absoluteFilePath(QDir::fromNativeSeparators(path))) + '/';
}

bool HoldsLessonTexts(const QString& folder) {
    return FileSize(ResolveInFolder(folder, kLessonFolder)) == -2;
}

}  // namespace

FolderSources RunningFolderSources() {
    FolderSources sources;
    sources.executableFolder = QCoreApplication::applicationDirPath();
    sources.dataVariable = qEnvironmentVariable(kDataFolderVariable);
    sources.settingsFiles.append(sources.executableFolder + '/' + kSettingsName);
    for (const QString& folder :
         QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation)) {
        // On Windows Qt names the program's folder (and its "data") among them too: there
        // only the settings file beside the program counts.
        if (folder == sources.executableFolder ||
            folder.startsWith(sources.executableFolder + '/')) {
            continue;
        }
        sources.settingsFiles.append(folder + QStringLiteral("/tipenzo10/") + kSettingsName);
    }
    sources.userDataFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return sources;
}

FolderChoice ChooseFolders(const FolderSources& sources) {
    FolderChoice choice;
    const QString executable = Absolute(QDir::currentPath(), sources.executableFolder);
    const QString installed = Absolute(executable, kInstalledFolder);
    const bool portable = HoldsLessonTexts(executable) || !HoldsLessonTexts(installed);
    choice.programFolder = portable ? executable : installed;

    if (!sources.dataVariable.isEmpty()) {
        choice.dataFolder = Absolute(QDir::currentPath(), sources.dataVariable);
        choice.origin = DataFolderOrigin::Variable;
    } else {
        for (const QString& file : sources.settingsFiles) {
            const QString named = ReadDataFolderSetting(file);
            if (named.isEmpty()) continue;
            choice.dataFolder = named;
            choice.origin = DataFolderOrigin::SettingsFile;
            choice.settingsFile = file;
            break;
        }
    }
    // An installed program never writes among its own files, even when it could (run by an
    // administrator): only a portable one keeps its data beside it.
    if (choice.dataFolder.isEmpty() && portable && FolderIsWritable(executable)) {
        choice.dataFolder = executable;
        choice.origin = DataFolderOrigin::ProgramFolder;
    }
    if (choice.dataFolder.isEmpty()) {
        choice.origin = DataFolderOrigin::UserFolder;
        choice.dataFolder = sources.userDataFolder.isEmpty()
                                ? executable
                                : Absolute(QDir::currentPath(), sources.userDataFolder);
    }
    CreateFolder(choice.dataFolder);
    choice.dataWritable = FolderIsWritable(choice.dataFolder);
    return choice;
}

QString ReadDataFolderSetting(const QString& settingsFile) {
    const std::optional<SettingsSection> data = ReadSettingsSection(settingsFile, "datos");
    const QString value = data ? data->Value("carpeta") : QString();
    if (value.isEmpty()) return QString();
    return Absolute(QFileInfo(settingsFile).absolutePath(), value);
}

bool FolderIsWritable(const QString& folder) {
    if (!QFileInfo(folder).isDir()) return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".tipenzo10-XXXXXX")));
    return probe.open();
}

}  // namespace tz
