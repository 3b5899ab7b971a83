#include "platform/files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tz {

namespace {
struct Folders {
    QString program;
    QString data;
};
Folders& ChosenFolders() {
    static Folders folders;
    return folders;
}
QString WithSlash(QString folder) {
    if (folder.isEmpty()) folder = QCoreApplication::applicationDirPath();
    if (!folder.endsWith('/')) folder += '/';
    return folder;
}
}  // namespace

QString ProgramFolder() {
    return WithSlash(ChosenFolders().program);
}

QString DataFolder() {
    return WithSlash(ChosenFolders().data);
}

void SetFolders(const QString& programFolder, const QString& dataFolder) {
    ChosenFolders() = {programFolder, dataFolder};
}

bool FoldersSet() {
    return !ChosenFolders().program.isEmpty() || !ChosenFolders().data.isEmpty();
}

void SetProgramFolder(const QString& folder) {
    SetFolders(folder, folder);
}

QString ResolveInFolder(const QString& folder, const QString& relativeName) {
    QString path = folder;
    if (!path.endsWith('/')) path += '/';
    QString name = relativeName;
    name.replace('\\', '/');
    const QStringList parts = name.split('/', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString& part = parts[i];
        QString found = part;
        if (part != "." && part != ".." && !QFileInfo::exists(path + part)) {
            const QStringList entries =
                QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
            for (const QString& entry : entries) {
                if (entry.compare(part, Qt::CaseInsensitive) == 0) {
                    found = entry;
                    break;
                }
            }
        }
        path += found;
        if (i + 1 < parts.size()) path += '/';
    }
    return path;
}

QString DataPath(const QString& relativeName) {
    return ResolveInFolder(DataFolder(), relativeName);
}

QString ProgramPath(const QString& relativeName) {
    return ResolveInFolder(ProgramFolder(), relativeName);
}

qint64 FileSize(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) return -1;
    if (info.isDir()) return -2;
    return info.size();
}

void RemoveFile(const QString& path) {
    const QFileInfo info(path);
    if (info.isSymLink() || (info.exists() && !info.isDir())) QFile::remove(path);
}

bool RenameFile(const QString& from, const QString& to) {
    if (QFileInfo::exists(to) || !QFileInfo(from).isFile()) return false;
    return QFile::rename(from, to);
}

bool CreateFolder(const QString& path) {
    return QDir().mkpath(path);
}

QStringList ListFiles(const QString& folder, const QString& wildcard) {
    QDir dir(folder);
    QStringList names =
        dir.entryList(QStringList{wildcard}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    return names;
}

}  // namespace tz
