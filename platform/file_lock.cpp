#include "platform/file_lock.h"

#include <QFile>
#include <QRandomGenerator>

#include "platform/clock.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace tz {

namespace {

constexpr int kMostRetryMs = 10;

#ifdef _WIN32
qintptr OpenForLock(const QString& path) {
    const HANDLE handle =
        CreateFileW(reinterpret_cast<LPCWSTR>(path.utf16()), GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL, nullptr);
    return handle == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<qintptr>(handle);
}

bool TryLock(qintptr handle) {
    OVERLAPPED whole{};
    return LockFileEx(reinterpret_cast<HANDLE>(handle),
                      LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD,
                      &whole) != 0;
}

void Close(qintptr handle) {
    OVERLAPPED whole{};
    UnlockFileEx(reinterpret_cast<HANDLE>(handle), 0, MAXDWORD, MAXDWORD, &whole);
    CloseHandle(reinterpret_cast<HANDLE>(handle));
}
#else
qintptr OpenForLock(const QString& path) {
    return ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
}

bool TryLock(qintptr handle) {
    return ::flock(static_cast<int>(handle), LOCK_EX | LOCK_NB) == 0;
}

void Close(qintptr handle) {
    // Closing the last descriptor of the open file releases its lock.
    ::close(static_cast<int>(handle));
}
#endif

}  // namespace

std::unique_ptr<FileLock> FileLock::Take(const QString& path, int waitMs) {
    const qintptr handle = OpenForLock(path);
    if (handle < 0) return nullptr;
    const qint64 deadline = NowMilliseconds() + waitMs;
    for (;;) {
        if (TryLock(handle)) return std::unique_ptr<FileLock>(new FileLock(path, handle));
        if (NowMilliseconds() >= deadline) break;
        // Waiters poll at uneven times, so that programs waiting together do not keep missing
        // the lock in step.
        SleepMs(QRandomGenerator::global()->bounded(1, kMostRetryMs + 1));
    }
    Close(handle);
    return nullptr;
}

FileLock::~FileLock() {
    Close(handle_);
}

}  // namespace tz
