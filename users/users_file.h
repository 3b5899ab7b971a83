#pragma once
// Reading the users file and rewriting it safely. Every change to existing lines goes through
// "usuarios.tmp": the new content is written and flushed there, then renamed over
// "usuarios.dat" in one step, so the users file is always either the old or the new one.
// Several programs may share the file (the PCs of a lab on one folder): every change reads,
// changes and writes it while holding the lock of the users file, so what another program
// wrote in the meantime stays.

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <memory>

#include "platform/file_lock.h"

namespace tz {

// The file whose lock stands for the users file (the users file itself is replaced by every
// rewrite, so it cannot carry the lock), and how long a change waits for it.
inline const QString kUsersLockName = QStringLiteral("usuarios.lck");
inline constexpr int kUsersLockWaitMs = 10000;

// Takes the lock of the users file; null when another program held it for the whole wait (or
// the data folder cannot hold the lock file).
std::unique_ptr<FileLock> LockUsersFile(int waitMs = kUsersLockWaitMs);

// How a change of the users file went.
enum class WriteOutcome {
    Written,
    Busy,    // another program held the users file for the whole wait: nothing was changed
    Failed,  // the file could not be read or written: it is exactly as it was
};
struct WriteResult {
    WriteOutcome outcome = WriteOutcome::Failed;
    explicit operator bool() const { return outcome == WriteOutcome::Written; }
    bool Busy() const { return outcome == WriteOutcome::Busy; }
};

enum class UsersFileAccess {
    ReadWrite,  // a missing users file is created empty
    ReadOnly,   // a missing users file stops the operation
};

struct UsersFileBytes {
    bool opened = false;
    QByteArray content;  // without a leading byte-order mark
};
// Reads the whole users file. Leading UTF-8 byte-order marks (a teacher may have saved the file
// in a text editor) are skipped.
UsersFileBytes ReadUsersFile(UsersFileAccess access);

// Lines of raw bytes, split at CR, LF or CR LF; a final line end adds no empty line. Lines are
// kept as bytes so that a rewrite copies untouched lines exactly as they were.
QList<QByteArray> SplitByteLines(const QByteArray& content);
// The same, split only where `lineEnd` stands.
QList<QByteArray> SplitByteLinesAt(const QByteArray& content, const QByteArray& lineEnd);
// Field k (from 1) of a "|"-separated line, decoded from UTF-8.
QString ByteLineField(const QByteArray& line, int k);

// A line as the program writes a user: 17 fields, whole numbers (an optional "-" and digits)
// in fields 2 to 15, and an id of "ID-" and digits in field 17.
bool IsUserLineOfCurrentLayout(const QByteArray& line);
// A users file (its content without byte-order mark) that is valid UTF-8 and whose every line
// after the first (the header) is a user line of the current layout; blank lines are no harm.
bool IsHealthyUsersFile(const QByteArray& content);

// Turns the users file's content (without byte-order mark) into the lines to write.
using UsersFilePass = std::function<QList<QByteArray>(const QByteArray& content)>;

// Under the lock of the users file: opens it as `access` says, passes its content through
// `pass` into "usuarios.tmp" (flushed to disk), runs `whileRewriting` (the screens let window
// events be processed there), and renames the temporary file over the users file. When any step
// fails the users file is exactly as it was and no "usuarios.tmp" is left.
WriteResult RewriteThroughTemp(UsersFileAccess access, const UsersFilePass& pass,
                               const std::function<void()>& whileRewriting = {});
// The same for a caller that already holds the lock.
WriteResult RewriteThroughTempLocked(UsersFileAccess access, const UsersFilePass& pass,
                                     const std::function<void()>& whileRewriting = {});

// Writes the lines (each ending CR LF) as the whole users file, through "usuarios.tmp" like
// a rewrite; the caller holds the lock.
bool ReplaceUsersFileLocked(const QList<QByteArray>& lines);

// Appends the bytes to the users file in one write (a missing file is created); the caller
// holds the lock.
bool AppendToUsersFileLocked(const QByteArray& bytes);

}  // namespace tz
