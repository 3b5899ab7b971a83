#pragma once
// Locks held on files that the operating system releases when the process ends, however it
// ends (a crash, a kill, a PC switched off): flock on Linux and macOS, LockFileEx on Windows.
// They work between the PCs of a lab on a shared folder as far as the file server honours
// them (SMB and NFS do).

#include <QString>
#include <memory>

namespace tz {

enum class LockOutcome {
    Taken,
    Busy,    // another program held it for the whole wait
    Denied,  // the lock file cannot be opened or locked by this account: waiting cannot help
};

class FileLock {
  public:
    // Takes the lock of the file (created when missing, with the folder's permissions),
    // waiting up to `waitMs` for it (0: one try). Null when the lock could not be had; then
    // `outcome`, when given, tells whether waiting longer could help.
    static std::unique_ptr<FileLock> Take(const QString& path, int waitMs,
                                          LockOutcome* outcome = nullptr);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    const QString& Path() const { return path_; }

  private:
    FileLock(const QString& path, qintptr handle) : path_(path), handle_(handle) {}
    QString path_;
    qintptr handle_;
};

}  // namespace tz
