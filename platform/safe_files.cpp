#include "platform/safe_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "platform/clock.h"
#include "platform/folder_handle.h"
#include "platform/posix_files.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace tz {

namespace {

// How long a rename waits for another program to let go of the target, and how often it looks.
constexpr int kShareWaitMs = 1000;
constexpr int kShareStepMs = 50;
constexpr qint64 kReadChunk = 64 * 1024;
constexpr int kTempNameTries = 16;

MoveOnce& InstalledMove() {
    static MoveOnce move;
    return move;
}

TempName& InstalledTempName() {
    static TempName name;
    return name;
}

QString TempNameBeside(const QString& path) {
    if (InstalledTempName()) return InstalledTempName()(path);
    return ReplacementTemporaryName(path);
}

#ifdef _WIN32

const wchar_t* Wide(const QString& path) {
    return reinterpret_cast<const wchar_t*>(path.utf16());
}

MoveStep SystemMove(const QString& from, const QString& to) {
    const QString target = QDir::toNativeSeparators(to);
    if (MoveFileExW(Wide(QDir::toNativeSeparators(from)), Wide(target),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return MoveStep::Done;
    }
    switch (GetLastError()) {
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_ACCESS_DENIED:  // what a target open without delete sharing gives
            return MoveStep::Shared;
        default:
            return MoveStep::Failed;
    }
}

bool IsOurKindOfFile(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle, &info)) return false;
    if (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY))
        return false;
    return GetFileType(handle) == FILE_TYPE_DISK;
}

#else

MoveStep SystemMove(const QString& from, const QString& to) {
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0
               ? MoveStep::Done
               : MoveStep::Failed;
}

mode_t NewFileMode(const QString& folder) {
    struct stat info {};
    if (::stat(QFile::encodeName(folder).constData(), &info) != 0) return 0644;
    return posix::NewFileMode(info.st_mode);
}

void SyncFolder(const QString& folder) {
    // The rename itself reaches the disk only with its folder.
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

#endif

}  // namespace

void SetMoveOnce(MoveOnce move) {
    InstalledMove() = std::move(move);
}

void SetTempNames(TempName name) {
    InstalledTempName() = std::move(name);
}

bool MoveReplacing(const QString& from, const QString& to) {
    const MoveOnce& installed = InstalledMove();
    const qint64 deadline = NowMilliseconds() + kShareWaitMs;
    for (;;) {
        const MoveStep step = installed ? installed(from, to) : SystemMove(from, to);
        if (step == MoveStep::Done) return true;
        if (step == MoveStep::Failed || NowMilliseconds() >= deadline) return false;
        WaitMs(kShareStepMs);
    }
}

#ifdef _WIN32

FileRead ReadRegularFile(const QString& path, qint64 cap) {
    FileRead result;
    const HANDLE handle =
        CreateFileW(Wide(QDir::toNativeSeparators(path)), GENERIC_READ,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        result.outcome = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                             ? ReadOutcome::Missing
                         : error == ERROR_ACCESS_DENIED ? ReadOutcome::Denied
                                                        : ReadOutcome::Failed;
        return result;
    }
    if (!IsOurKindOfFile(handle)) {
        CloseHandle(handle);
        result.outcome = ReadOutcome::Refused;
        return result;
    }
    result.outcome = ReadOutcome::Read;
    QByteArray chunk(kReadChunk, Qt::Uninitialized);
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(handle, chunk.data(), static_cast<DWORD>(chunk.size()), &n, nullptr)) {
            result.outcome = ReadOutcome::Failed;
            break;
        }
        if (n == 0) break;
        result.bytes.append(chunk.constData(), n);
        if (result.bytes.size() > cap) {
            result.bytes.truncate(cap);
            result.outcome = ReadOutcome::TooLarge;
            break;
        }
    }
    CloseHandle(handle);
    return result;
}

bool ReplaceFileWith(const QString& path, const QByteArray& bytes) {
    QString temp;
    HANDLE handle = INVALID_HANDLE_VALUE;
    for (int i = 0; i < kTempNameTries && handle == INVALID_HANDLE_VALUE; ++i) {
        temp = TempNameBeside(path);
        handle = CreateFileW(Wide(QDir::toNativeSeparators(temp)), GENERIC_WRITE, 0, nullptr,
                             CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    if (handle == INVALID_HANDLE_VALUE) return false;
    bool written = true;
    qint64 done = 0;
    while (written && done < bytes.size()) {
        DWORD n = 0;
        const DWORD want = static_cast<DWORD>(std::min<qint64>(bytes.size() - done, 1 << 20));
        written = WriteFile(handle, bytes.constData() + done, want, &n, nullptr) && n > 0;
        done += n;
    }
    written = written && FlushFileBuffers(handle);
    CloseHandle(handle);
    if (!written || !MoveReplacing(temp, path)) {
        DeleteFileW(Wide(QDir::toNativeSeparators(temp)));
        return false;
    }
    return true;
}

bool CanWriteFile(const QString& path) {
    const HANDLE handle =
        CreateFileW(Wide(QDir::toNativeSeparators(path)), GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    CloseHandle(handle);
    return true;
}

bool CanReplaceFile(const QString&) {
    return true;
}

bool FolderIsSticky(const QString&) {
    return false;
}

qintptr OpenLockFile(const QString& path) {
    const auto open = [&](DWORD access) {
        return CreateFileW(Wide(QDir::toNativeSeparators(path)), access,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                           nullptr);
    };
    HANDLE handle = open(GENERIC_READ | GENERIC_WRITE);
    if (handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED)
        handle = open(GENERIC_READ);
    if (handle == INVALID_HANDLE_VALUE) return -1;
    if (!IsOurKindOfFile(handle)) {
        CloseHandle(handle);
        return -1;
    }
    return reinterpret_cast<qintptr>(handle);
}

#else

FileRead ReadRegularFile(const QString& path, qint64 cap) {
    // Not blocking: a pipe planted under the name would otherwise wait for a writer for ever.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return {posix::OutcomeOfFailedOpen(errno), {}};
    return posix::ReadOpenedFile(fd, cap);
}

bool ReplaceFileWith(const QString& path, const QByteArray& bytes) {
    const QString folder = QFileInfo(path).absolutePath();
    QString temp;
    int fd = -1;
    for (int i = 0; i < kTempNameTries && fd < 0; ++i) {
        temp = TempNameBeside(path);
        fd = ::open(QFile::encodeName(temp).constData(),
                    O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;
    const bool written =
        posix::WriteAll(fd, bytes) && ::fchmod(fd, NewFileMode(folder)) == 0 && ::fsync(fd) == 0;
    ::close(fd);
    if (!written || !MoveReplacing(temp, path)) {
        ::unlink(QFile::encodeName(temp).constData());
        return false;
    }
    SyncFolder(folder);
    return true;
}

bool CanWriteFile(const QString& path) {
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

bool CanReplaceFile(const QString& path) {
    struct stat file {};
    struct stat folder {};
    if (::lstat(QFile::encodeName(path).constData(), &file) != 0) return true;
    const QString parent = QFileInfo(path).absolutePath();
    if (::stat(QFile::encodeName(parent).constData(), &folder) != 0) return false;
    if (!(folder.st_mode & S_ISVTX)) return true;
    const uid_t self = ::geteuid();
    return self == 0 || file.st_uid == self || folder.st_uid == self;
}

bool FolderIsSticky(const QString& folder) {
    struct stat info {};
    return ::stat(QFile::encodeName(folder).constData(), &info) == 0 && (info.st_mode & S_ISVTX);
}

qintptr OpenLockFile(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::fchmod(fd, NewFileMode(QFileInfo(path).absolutePath()));
        return fd;
    }
    if (errno != EEXIST) return -1;
    const int flags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    fd = ::open(name.constData(), O_RDWR | flags);
    if (fd < 0 && errno == EACCES) fd = ::open(name.constData(), O_RDONLY | flags);
    if (fd < 0) return -1;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

namespace posix {

ReadOutcome OutcomeOfFailedOpen(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return ReadOutcome::Missing;
        case EACCES:
        case EPERM:
            return ReadOutcome::Denied;
        case ELOOP:  // a link
        case ENXIO:  // a socket
            return ReadOutcome::Refused;
        default:
            return ReadOutcome::Failed;
    }
}

FileRead ReadOpenedFile(int fd, qint64 cap) {
    FileRead result;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        result.outcome = ReadOutcome::Refused;
        return result;
    }
    result.outcome = ReadOutcome::Read;
    // The size is a hint only: the file may grow while it is read.
    result.bytes.reserve(static_cast<qsizetype>(std::min<qint64>(info.st_size, cap) + 1));
    QByteArray chunk(kReadChunk, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = ::read(fd, chunk.data(), static_cast<size_t>(chunk.size()));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            result.outcome = ReadOutcome::Failed;
            break;
        }
        if (n == 0) break;
        result.bytes.append(chunk.constData(), n);
        if (result.bytes.size() > cap) {
            result.bytes.truncate(static_cast<qsizetype>(cap));
            result.outcome = ReadOutcome::TooLarge;
            break;
        }
    }
    ::close(fd);
    return result;
}

bool WriteAll(int fd, const QByteArray& bytes) {
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += n;
    }
    return true;
}

mode_t NewFileMode(mode_t folderMode) {
    return static_cast<mode_t>(0600 | (folderMode & 0066));
}

}  // namespace posix

#endif

}  // namespace tz
