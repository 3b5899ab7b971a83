#pragma once
// Reading the users file and rewriting it safely. Every change goes through a new file made
// beside "usuarios.dat" under a unique name, flushed to the disk and renamed over it in one step,
// so the users file is always either the old or the new one, and a link a classmate planted is
// never written through. Several programs may share the file (the PCs of a lab on one folder):
// every change reads, changes and writes it while holding the lock of the users file, so what
// another program wrote in the meantime stays.
//
// A line is a user's wherever it stands; the header is told by what it says, not by being
// first, and blank lines are nobody.

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>
#include <functional>
#include <memory>

#include "platform/file_lock.h"
#include "platform/safe_files.h"

namespace tz {

// The file whose lock stands for the users file (the users file itself is replaced by every
// rewrite, so it cannot carry the lock), and how long a change waits for it.
inline const QString kUsersLockName = QStringLiteral("usuarios.lck");
inline constexpr int kUsersLockWaitMs = 10000;
// Far more than any school's users (a line takes some 80 bytes): a larger file is a planted or
// damaged one, and is neither read nor rewritten.
inline constexpr qint64 kUsersFileCap = 64LL * 1024 * 1024;

// Takes the lock of the users file; null when another program held it for the whole wait or
// this account cannot lock it (`outcome` tells which).
std::unique_ptr<FileLock> LockUsersFile(int waitMs = kUsersLockWaitMs,
                                        LockOutcome* outcome = nullptr);

// How a change of the users file went.
enum class WriteOutcome {
    Written,
    Busy,        // another program held the users file for the whole wait: nothing was changed
    Failed,      // the file could not be read or written: it is exactly as it was
    UserGone,    // the pupil is no longer there (another program deleted her): nothing changed
    LockDenied,  // this account cannot use the lock file of the users file: nothing changed
};
struct WriteResult {
    WriteResult(WriteOutcome result = WriteOutcome::Failed, const QString& why = QString())
        : outcome(result), reason(why) {}
    WriteOutcome outcome;
    // Why it failed, for the pupil, when the store knows better than its usual words.
    QString reason;
    explicit operator bool() const { return outcome == WriteOutcome::Written; }
    bool Busy() const { return outcome == WriteOutcome::Busy; }
};
// What a change that could not take the lock reports.
WriteOutcome LockFailure(LockOutcome outcome);

enum class UsersFileAccess {
    ReadWrite,  // a missing users file reads as an empty one
    ReadOnly,   // a missing users file stops the operation
};

struct UsersFileBytes {
    bool opened = false;
    QByteArray content;  // without a leading byte-order mark, every line in UTF-8
    ReadOutcome outcome = ReadOutcome::Failed;  // why it was not opened
};
// Reads the whole users file, never through a link and never past kUsersFileCap. Leading
// UTF-8 byte-order marks (a teacher may have saved the file in a text editor) are skipped, and
// a line that is not UTF-8 (saved by an older editor) is read as Windows-1252.
UsersFileBytes ReadUsersFile(UsersFileAccess access);
// A line as text in UTF-8: itself when it is UTF-8, otherwise read as Windows-1252.
QByteArray LineAsUtf8(const QByteArray& line);
// The same for every line of a file's content; the line ends stay as they were.
QByteArray LinesAsUtf8(const QByteArray& content);
// Why a file the pupils are kept in could not be read, and what to do, for a message.
QString WhyUsersFileUnreadable(ReadOutcome outcome);

// Lines of raw bytes, split at CR, LF or CR LF; a final line end adds no empty line. Lines are
// kept as bytes so that a rewrite copies untouched lines exactly as they were.
QList<QByteArray> SplitByteLines(const QByteArray& content);
// The same, split only where `lineEnd` stands.
QList<QByteArray> SplitByteLinesAt(const QByteArray& content, const QByteArray& lineEnd);

// A header line of any version: "Datos de Usuarios v2.6" (spaces after it allowed) wherever
// it stands; as the first line (`index` 0), anything that begins so and is not a whole user
// line, as the program always read its first line.
bool IsHeaderLine(const QByteArray& line, qsizetype index);
// A line that stands for a user: neither blank nor a header.
bool IsUserLine(const QByteArray& line, qsizetype index);
// The user lines of a users file's content, in their order.
QList<QByteArray> UserLinesOf(const QByteArray& content);
// Every id that stands in field 17 of a user line of the content, without spaces around it.
QSet<QString> UserIdsOf(const QByteArray& content);
// Whether a line of the users file as it stands carries this id.
bool UserIdExists(const QString& id);

// A line as the program writes a user: 17 fields, whole numbers (an optional "-" and digits)
// in fields 2 to 15, and an id of "ID-" and digits in field 17.
bool IsUserLineOfCurrentLayout(const QByteArray& line);
// A users file (its content without byte-order mark) that is valid UTF-8 and whose every user
// line is of the current layout.
bool IsHealthyUsersFile(const QByteArray& content);

// Turns the users file's content (without byte-order mark) into the lines to write.
using UsersFilePass = std::function<QList<QByteArray>(const QByteArray& content)>;

// Reads the users file as `access` says, passes its content through `pass` and puts the new
// file in place; the caller holds the lock. When any step fails the users file is exactly as
// it was.
WriteResult RewriteUsersFileLocked(UsersFileAccess access, const UsersFilePass& pass);

// Writes the lines (each ending CR LF) as the whole users file; the caller holds the lock.
bool ReplaceUsersFileLocked(const QList<QByteArray>& lines);

// The users file `content` with `lines` added at its end: a file without lines gets the
// header first (a user on the first line would pass for the header in older programs), and
// a last line without its line end gets one, so that no two users share a line.
QByteArray WithLinesAppended(const QByteArray& content, const QList<QByteArray>& lines);

}  // namespace tz
