#pragma once
// What the POSIX file code of the platform layer shares between its files: reading a file once
// it is open, writing all of a buffer, the permissions of a new file. Not for use outside
// platform/.

#ifndef _WIN32

#include <sys/types.h>

#include <QByteArray>

#include "platform/safe_files.h"

namespace tz::posix {

// What a failed open of a file to read means (errno).
ReadOutcome OutcomeOfFailedOpen(int error);
// Reads the open file `fd` whole, at most `cap` bytes, when it is a regular file; closes it.
FileRead ReadOpenedFile(int fd, qint64 cap);
bool WriteAll(int fd, const QByteArray& bytes);
// Read and write for the owner; for the group and for everyone what a folder of `folderMode`
// gives them.
mode_t NewFileMode(mode_t folderMode);

}  // namespace tz::posix

#endif
