#pragma once
// Which programs use the data folder right now. Each running program holds a mark of its own
// in the folder, a file locked for its whole run; the operating system lets go of the lock when
// the process ends, however it ends, so a mark that can be locked by another program belongs to
// a program that is gone. This works between the PCs of a lab, where a process id would not.

#include <QString>
#include <memory>

#include "platform/file_lock.h"

namespace tz {

// The marks are "~tipenzo10-<random>.vivo" files of the data folder.
inline const QString kLiveMarkPattern = QStringLiteral("~tipenzo10-*.vivo");

class ProgramPresence {
  public:
    // Puts this program's mark in the data folder; null when the folder cannot hold it. The
    // caller holds the users file's lock, so no other program looks at the marks meanwhile.
    static std::unique_ptr<ProgramPresence> Join();
    // Takes the mark away; the caller holds the users file's lock.
    ~ProgramPresence();
    ProgramPresence(const ProgramPresence&) = delete;
    ProgramPresence& operator=(const ProgramPresence&) = delete;

    const QString& MarkPath() const { return mark_->Path(); }

  private:
    explicit ProgramPresence(std::unique_ptr<FileLock> mark) : mark_(std::move(mark)) {}
    std::unique_ptr<FileLock> mark_;
};

// The other programs that use the data folder now (`self` is not counted; it may be null).
// Marks left by programs that are gone are removed on the way. The caller holds the users
// file's lock.
int OtherLivePrograms(const ProgramPresence* self);

}  // namespace tz
