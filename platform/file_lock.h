#pragma once
// Locks held on files that the operating system releases when the process ends, however it
// ends (a crash, a kill, a PC switched off): flock on Linux and macOS, LockFileEx on Windows.
// They work between the PCs of a lab on a shared folder as far as the file server honours
// them (SMB and NFS do).

#include <QString>
#include <memory>

namespace tz {

class FileLock {
  public:
    // Takes the lock of the file (created when missing), waiting up to `waitMs` for it (0: one
    // try). Null when the lock could not be had in that time or the file cannot be opened.
    static std::unique_ptr<FileLock> Take(const QString& path, int waitMs);
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
