#include "platform/folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <optional>

#include "platform/files.h"
#include "platform/keyboard_layout.h"
#include "platform/safe_files.h"
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
constexpr qint64 kSettingsFileCap = 64 * 1024;

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

namespace {

// The value of `key` in `[section]` of a settings file, names matched without regard to case,
// surrounding blanks and quotes taken off; nothing when the file does not set it. The first
// line that sets it counts, even with an empty value.
std::optional<QString> ReadSetting(const QString& settingsFile, QLatin1String section,
                                   QLatin1String key) {
    // A settings file holds some lines: what lies past the cap is never looked at.
    const FileRead read = ReadRegularFile(settingsFile, kSettingsFileCap);
    if (!read.Ok() && read.outcome != ReadOutcome::TooLarge) return std::nullopt;
    QByteArray bytes = read.bytes;
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    // Notepad of older Windows saved in the ANSI code page.
    const QString text = DecodeText(bytes, GuessTextEncoding(read));
    QString current;
    for (const QString& rawLine : SplitLines(text)) {
        const QString line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#')) continue;
        if (line.startsWith('[') && line.endsWith(']')) {
            current = line.mid(1, line.size() - 2).trimmed();
            continue;
        }
        if (current.compare(section, Qt::CaseInsensitive) != 0) continue;
        const qsizetype equals = line.indexOf('=');
        if (equals < 0) continue;
        if (line.left(equals).trimmed().compare(key, Qt::CaseInsensitive) != 0) continue;
        QString value = line.mid(equals + 1).trimmed();
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            value = value.mid(1, value.size() - 2).trimmed();
        return value;
    }
    return std::nullopt;
}

}  // namespace

QString ReadDataFolderSetting(const QString& settingsFile) {
    const std::optional<QString> value =
        ReadSetting(settingsFile, QLatin1String("datos"), QLatin1String("carpeta"));
    if (!value || value->isEmpty()) return QString();
    return Absolute(QFileInfo(settingsFile).absolutePath(), *value);
}

QString ReadKeyboardLayoutSetting(const QString& settingsFile) {
    const std::optional<QString> value =
        ReadSetting(settingsFile, QLatin1String("teclado"), QLatin1String("distribucion"));
    if (!value) return QString();
    // Written by hand: the name with or without its tilde, in any case.
    for (const QString& known : {kLatinAmericanLayout, kSpanishLayout, QStringLiteral("espanol")}) {
        if (value->compare(known, Qt::CaseInsensitive) == 0) {
            return known == kLatinAmericanLayout ? kLatinAmericanLayout : kSpanishLayout;
        }
    }
    return QString();
}

bool FolderIsWritable(const QString& folder) {
    if (!QFileInfo(folder).isDir()) return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".tipenzo10-XXXXXX")));
    return probe.open();
}

}  // namespace tz
