#include "platform/file_lock.h"

#include <QRandomGenerator>

#include "platform/clock.h"
#include "platform/safe_files.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace tz {

namespace {

constexpr int kMostRetryMs = 10;

#ifdef _WIN32
LockOutcome TryLock(qintptr handle) {
    OVERLAPPED whole{};
    if (LockFileEx(reinterpret_cast<HANDLE>(handle),
                   LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD,
                   &whole)) {
        return LockOutcome::Taken;
    }
    return GetLastError() == ERROR_LOCK_VIOLATION ? LockOutcome::Busy : LockOutcome::Denied;
}

void Close(qintptr handle) {
    OVERLAPPED whole{};
    UnlockFileEx(reinterpret_cast<HANDLE>(handle), 0, MAXDWORD, MAXDWORD, &whole);
    CloseHandle(reinterpret_cast<HANDLE>(handle));
}
#else
LockOutcome TryLock(qintptr handle) {
    if (::flock(static_cast<int>(handle), LOCK_EX | LOCK_NB) == 0) return LockOutcome::Taken;
    // A file opened for reading only cannot be locked on some network shares.
    return errno == EWOULDBLOCK || errno == EINTR ? LockOutcome::Busy : LockOutcome::Denied;
}

void Close(qintptr handle) {
    // Closing the last descriptor of the open file releases its lock.
    ::close(static_cast<int>(handle));
}
#endif

}  // namespace

std::unique_ptr<FileLock> FileLock::Take(const QString& path, int waitMs, LockOutcome* outcome) {
    LockOutcome ignored = LockOutcome::Taken;
    LockOutcome& result = outcome ? *outcome : ignored;
    result = LockOutcome::Denied;
    const qintptr handle = OpenLockFile(path);
    if (handle < 0) return nullptr;
    const qint64 deadline = NowMilliseconds() + waitMs;
    for (;;) {
        result = TryLock(handle);
        if (result == LockOutcome::Taken)
            return std::unique_ptr<FileLock>(new FileLock(path, handle));
        if (result == LockOutcome::Denied || NowMilliseconds() >= deadline) break;
        // Waiters poll at uneven times, so that programs waiting together do not keep missing
        // the lock in step; the windows stay alive meanwhile.
        WaitMs(QRandomGenerator::global()->bounded(1, kMostRetryMs + 1));
    }
    Close(handle);
    return nullptr;
}

FileLock::~FileLock() {
    Close(handle_);
}

}  // namespace tz
