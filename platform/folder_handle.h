#pragma once
// The folders the program makes inside the data folder (figures, deleted pupils, custom texts),
// held open while they are used. A classmate who swaps such a folder for a link to somebody's
// home between two steps changes nothing: every file is reached through the folder that was
// opened, never through its name again. A folder made here takes the data folder's
// permissions for its group and for everyone, whatever the umask.
//
// The files inside follow the rules of platform/safe_files.h: readers take regular files only
// and stop at their cap, writers make a new file and rename it over the old one.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "platform/safe_files.h"

namespace tz {

enum class EntryKind {
    Missing,
    File,   // a regular file
    Other,  // a link, folder, socket, device or pipe: no file of ours
};

class FolderHandle {
  public:
    enum class Make { No, IfMissing };

    // The folder `name` of the data folder (matched without regard to case, as DataPath
    // does), never through a link. With Make::IfMissing it is made when missing. Null when it
    // is missing, is anything but a folder, or is not the folder this program just made.
    static std::unique_ptr<FolderHandle> InData(const QString& name, Make make);
    // The same for the folder `name` inside `parent`, an existing folder reached as named.
    static std::unique_ptr<FolderHandle> Open(const QString& parent, const QString& name,
                                              Make make);
    // A folder as named, links on the way followed: the data folder itself, which the
    // person who set the program up chose.
    static std::unique_ptr<FolderHandle> OpenAsNamed(const QString& folder);

    ~FolderHandle();
    FolderHandle(const FolderHandle&) = delete;
    FolderHandle& operator=(const FolderHandle&) = delete;

    // The path it was opened by, for messages and tests.
    const QString& Path() const { return path_; }

    // `name` is a bare file name of this folder in each of these.
    EntryKind Kind(const QString& name) const;
    FileRead Read(const QString& name, qint64 cap) const;
    // As ReplaceFileWith: afterwards it is either the old or the new file.
    bool Replace(const QString& name, const QByteArray& bytes) const;
    // Renames the entry `name` (whatever it is) to `newName` in `target` (this folder or
    // another one on the same disk), replacing a file that stands there.
    bool MoveTo(const QString& name, const FolderHandle& target, const QString& newName) const;
    // Removes a file or a link (never what it points to); folders stay.
    bool Remove(const QString& name) const;
    // Names of the regular files matching a wildcard such as "*.t10" (without regard to
    // case), sorted without regard to case.
    QStringList Files(const QString& wildcard) const;
    // Removes the temporary files that a replacement cut short left behind: regular files
    // named as Replace names them, made by this account, untouched for `olderThanSeconds`.
    // Returns how many went.
    int RemoveStaleTemporaries(qint64 olderThanSeconds) const;

  private:
    FolderHandle(const QString& path, qintptr handle) : path_(path), handle_(handle) {}
    QString path_;
    qintptr handle_;
};

// Tests run `hook` with the folder's path between every two steps of the operations above (a
// classmate may act at any of those moments); an empty function takes it away.
using FolderStepHook = std::function<void(const QString& folder)>;
void SetFolderStepHook(FolderStepHook hook);
// Runs the hook, when there is one.
void FolderStep(const QString& folder);

// The name of a new temporary file beside `target` (a name or a path): the target's name, a
// dot, eight random hexadecimal digits and ".tmp". Replace and ReplaceFileWith write there.
QString ReplacementTemporaryName(const QString& target);
// Whether a file name is one of those.
bool IsReplacementTemporary(const QString& name);

}  // namespace tz
