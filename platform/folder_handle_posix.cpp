// Folder handles on Linux and macOS: an open descriptor of the folder, and every file reached
// relative to it (openat, renameat, fstatat, unlinkat).

#ifndef _WIN32

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <ctime>

#include "platform/folder_handle.h"
#include "platform/posix_files.h"

namespace tz {

namespace {

constexpr int kTemporaryNameTries = 16;

int Fd(qintptr handle) {
    return static_cast<int>(handle);
}

QByteArray Native(const QString& name) {
    return QFile::encodeName(name);
}

// A bare name: nothing that would reach outside the folder.
bool IsBareName(const QString& name) {
    return !name.isEmpty() && name != u'.' && name != QStringLiteral("..") &&
           !name.contains(u'/') && !name.contains(QChar(0));
}

bool Stat(int folder, const QString& name, struct stat* info) {
    return ::fstatat(folder, Native(name).constData(), info, AT_SYMLINK_NOFOLLOW) == 0;
}

// The entries of the folder, links and all, without "." and "..".
QStringList Entries(int folder) {
    QStringList names;
    const int fd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return names;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return names;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (name != u'.' && name != QStringLiteral("..")) names << name;
    }
    ::closedir(dir);
    return names;
}

}  // namespace

std::unique_ptr<FolderHandle> FolderHandle::OpenAsNamed(const QString& folder) {
    const int fd = ::open(Native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    return std::unique_ptr<FolderHandle>(new FolderHandle(folder, fd));
}

std::unique_ptr<FolderHandle> FolderHandle::Open(const QString& parent, const QString& name,
                                                 Make make) {
    if (!IsBareName(name)) return nullptr;
    const std::unique_ptr<FolderHandle> outer = OpenAsNamed(parent);
    if (!outer) return nullptr;
    const int parentFd = Fd(outer->handle_);
    QString path = parent;
    if (!path.endsWith(u'/')) path += u'/';
    path += name;
    bool made = false;
    if (make == Make::IfMissing) {
        made = ::mkdirat(parentFd, Native(name).constData(), 0700) == 0;
        if (!made && errno != EEXIST) return nullptr;
        FolderStep(path);
    }
    // Never through a link: whatever stands under the name now is what the handle holds.
    const int fd = ::openat(parentFd, Native(name).constData(),
                            O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return nullptr;
    std::unique_ptr<FolderHandle> folder(new FolderHandle(path, fd));
    FolderStep(path);
    struct stat own {};
    struct stat outerInfo {};
    if (::fstat(fd, &own) != 0 || ::fstat(parentFd, &outerInfo) != 0) return nullptr;
    const bool ours = own.st_uid == ::geteuid();
    // A folder made a moment ago that is not this account's was put there by someone else.
    if (made && !ours) return nullptr;
    // Ours, it gets what the data folder gives the group and everyone (one an older version
    // made with the umask too); another account's is left as it is.
    const mode_t wanted = (own.st_mode & 07777) | 0700 | (outerInfo.st_mode & (0077 | S_ISGID));
    if (ours && wanted != (own.st_mode & 07777)) {
        if (::fchmod(fd, wanted) != 0 && made) return nullptr;
        FolderStep(path);
    }
    return folder;
}

FolderHandle::~FolderHandle() {
    ::close(Fd(handle_));
}

EntryKind FolderHandle::Kind(const QString& name) const {
    FolderStep(path_);
    struct stat info {};
    if (!IsBareName(name) || !Stat(Fd(handle_), name, &info)) return EntryKind::Missing;
    return S_ISREG(info.st_mode) ? EntryKind::File : EntryKind::Other;
}

FileRead FolderHandle::Read(const QString& name, qint64 cap) const {
    if (!IsBareName(name)) return {ReadOutcome::Missing, {}};
    FolderStep(path_);
    // Not blocking: a pipe planted under the name would otherwise wait for a writer for ever.
    const int fd = ::openat(Fd(handle_), Native(name).constData(),
                            O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return {posix::OutcomeOfFailedOpen(errno), {}};
    return posix::ReadOpenedFile(fd, cap);
}

bool FolderHandle::Replace(const QString& name, const QByteArray& bytes) const {
    if (!IsBareName(name)) return false;
    const int folder = Fd(handle_);
    FolderStep(path_);
    QByteArray temp;
    int fd = -1;
    for (int i = 0; i < kTemporaryNameTries && fd < 0; ++i) {
        temp = Native(ReplacementTemporaryName(name));
        fd = ::openat(folder, temp.constData(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;
    struct stat info {};
    const bool written = posix::WriteAll(fd, bytes) && ::fstat(folder, &info) == 0 &&
                         ::fchmod(fd, posix::NewFileMode(info.st_mode)) == 0 && ::fsync(fd) == 0;
    ::close(fd);
    FolderStep(path_);
    if (!written || ::renameat(folder, temp.constData(), folder, Native(name).constData()) != 0) {
        ::unlinkat(folder, temp.constData(), 0);
        return false;
    }
    // The rename itself reaches the disk only with its folder.
    ::fsync(folder);
    return true;
}

bool FolderHandle::MoveTo(const QString& name, const FolderHandle& target,
                          const QString& newName) const {
    if (!IsBareName(name) || !IsBareName(newName)) return false;
    FolderStep(path_);
    if (::renameat(Fd(handle_), Native(name).constData(), Fd(target.handle_),
                   Native(newName).constData()) != 0) {
        return false;
    }
    ::fsync(Fd(target.handle_));
    if (target.handle_ != handle_) ::fsync(Fd(handle_));
    return true;
}

bool FolderHandle::Remove(const QString& name) const {
    if (!IsBareName(name)) return false;
    FolderStep(path_);
    return ::unlinkat(Fd(handle_), Native(name).constData(), 0) == 0;
}

QStringList FolderHandle::Files(const QString& wildcard) const {
    const QRegularExpression pattern(QRegularExpression::wildcardToRegularExpression(wildcard),
                                     QRegularExpression::CaseInsensitiveOption);
    QStringList names;
    for (const QString& name : Entries(Fd(handle_))) {
        struct stat info {};
        if (pattern.match(name).hasMatch() && Stat(Fd(handle_), name, &info) &&
            S_ISREG(info.st_mode)) {
            names << name;
        }
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

int FolderHandle::RemoveStaleTemporaries(qint64 olderThanSeconds) const {
    const std::time_t before = std::time(nullptr) - static_cast<std::time_t>(olderThanSeconds);
    int removed = 0;
    for (const QString& name : Entries(Fd(handle_))) {
        struct stat info {};
        if (!IsReplacementTemporary(name) || !Stat(Fd(handle_), name, &info)) continue;
        if (!S_ISREG(info.st_mode) || info.st_uid != ::geteuid() || info.st_mtime > before)
            continue;
        if (::unlinkat(Fd(handle_), Native(name).constData(), 0) == 0) ++removed;
    }
    return removed;
}

}  // namespace tz

#endif
