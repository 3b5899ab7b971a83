#pragma once
// Files of a folder that other accounts can write: a lab's shared data folder, where any
// classmate may plant a link, a device or a huge file under a name the program uses, and where
// every account must be able to change what another one made.
//
// - Readers never follow a link, take only regular files, and stop at their cap by the bytes
//   they actually read (a link to a device reports no size and never ends).
// - Writers never write into an existing file: the new content goes to a file made new under a
//   unique name beside the target, flushed to the disk and renamed over the target in one step.
// - What the program creates takes the folder's permissions for its group and for everyone
//   (a folder the group may write gives files the group may write), whatever the umask.

#include <QByteArray>
#include <QString>
#include <functional>

namespace tz {

enum class ReadOutcome {
    Read,
    Missing,
    Denied,    // no permission to read it
    Refused,   // a link, folder, device or pipe: not a file of ours
    TooLarge,  // more than the cap: `bytes` holds its first `cap` bytes
    Failed,
};

struct FileRead {
    ReadOutcome outcome = ReadOutcome::Failed;
    QByteArray bytes;
    bool Ok() const { return outcome == ReadOutcome::Read; }
};

// Reads a whole regular file, at most `cap` bytes of it.
FileRead ReadRegularFile(const QString& path, qint64 cap);

// Replaces `path` with `bytes` in one step: afterwards it is either the old or the new file,
// and no temporary file is left behind. A link standing at `path` is replaced, never followed.
bool ReplaceFileWith(const QString& path, const QByteArray& bytes);

// Whether this account may change the file in place (it exists and is writable).
bool CanWriteFile(const QString& path);
// Whether this account may put a new file in place of this one (ReplaceFileWith): not when the
// folder is "sticky" (like /tmp) and the file is another account's.
bool CanReplaceFile(const QString& path);
// A folder where only a file's owner may remove or replace it.
bool FolderIsSticky(const QString& folder);

// Opens a file to hold a lock on, creating it with the folder's permissions; never through a
// link. A file this account cannot write is opened for reading (a lock needs no more on the
// systems that allow it). -1 when it cannot be opened at all.
qintptr OpenLockFile(const QString& path);

// One rename step as the system answers it. Windows refuses to rename over a file another
// program has open without sharing deletion (an antivirus, a backup, an editor): that passes.
enum class MoveStep { Done, Shared, Failed };
using MoveOnce = std::function<MoveStep(const QString& from, const QString& to)>;
// Renames `from` over `to`, trying again for about a second while the target is shared.
bool MoveReplacing(const QString& from, const QString& to);
// Tests put a scripted rename in place of the system's (an empty function restores it).
void SetMoveOnce(MoveOnce move);
// Tests name the temporary a replacement of `path` writes first (an empty function restores
// the random names).
using TempName = std::function<QString(const QString& path)>;
void SetTempNames(TempName name);

}  // namespace tz
