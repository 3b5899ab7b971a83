#pragma once
// Reading the users file and rewriting it safely. Every change to existing lines goes through
// "usuarios.tmp": the new content is written and flushed there, then renamed over
// "usuarios.dat" in one step, so the users file is always either the old or the new one.

#include <QByteArray>
#include <QList>
#include <functional>

namespace tz {

enum class UsersFileAccess {
    ReadWrite,  // a missing users file is created empty
    ReadOnly,   // a missing users file stops the operation
};

struct UsersFileBytes {
    bool opened = false;
    QByteArray content;  // without a leading byte-order mark
};
// Reads the whole users file. One leading UTF-8 byte-order mark (a teacher may have saved the
// file in a text editor) is skipped.
UsersFileBytes ReadUsersFile(UsersFileAccess access);

// Lines of raw bytes, split at CR, LF or CR LF; a final line end adds no empty line. Lines are
// kept as bytes so that a rewrite copies untouched lines exactly as they were.
QList<QByteArray> SplitByteLines(const QByteArray& content);
// The same, split only where `lineEnd` stands.
QList<QByteArray> SplitByteLinesAt(const QByteArray& content, const QByteArray& lineEnd);
// Field k (from 1) of a "|"-separated line, decoded from UTF-8.
QString ByteLineField(const QByteArray& line, int k);

// Turns the users file's content (without byte-order mark) into the lines to write.
using UsersFilePass = std::function<QList<QByteArray>(const QByteArray& content)>;

// Opens the users file as `access` says, passes its content through `pass` into
// "usuarios.tmp" (flushed to disk), runs `whileRewriting` (the screens let window events be
// processed there), and renames the temporary file over the users file. Returns false when any
// step fails; the users file is then exactly as it was and no "usuarios.tmp" is left.
bool RewriteThroughTemp(UsersFileAccess access, const UsersFilePass& pass,
                        const std::function<void()>& whileRewriting = {});

// Writes the lines (each ending CR LF) as the whole users file, through "usuarios.tmp" like
// a rewrite.
bool ReplaceUsersFile(const QList<QByteArray>& lines);

}  // namespace tz
