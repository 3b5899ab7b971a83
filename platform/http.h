#pragma once
// One plain HTTP GET whose body is read as UTF-16LE text: the online version check's fetch.

#include <QString>

namespace tz {

// A fetch that takes longer than this in total gives up.
inline constexpr int kDownloadTimeoutMs = 15000;
// A body larger than this is not a version file: the fetch gives up instead of filling memory.
inline constexpr qint64 kDownloadMaxBytes = 64 * 1024;

// Fetches the whole body of `url` with a plain GET that never answers from a cache, and returns
// its bytes read as UTF-16LE (two bytes a character, a byte-order mark kept as a character, an
// odd last byte dropped). Returns empty text on any failure: no connection, an HTTP error
// status, a body over kDownloadMaxBytes or no complete answer within the timeout.
// The program does not take user input while it waits: clicks wait until the fetch is over.
QString DownloadText(const QString& url);

// The body's bytes as DownloadText reads them: UTF-16LE, a byte-order mark kept as a
// character, an odd last byte dropped.
QString DecodeUtf16Le(const QByteArray& bytes);

// Tests shorten the timeout; 0 or less restores kDownloadTimeoutMs.
void SetDownloadTimeout(int milliseconds);

}  // namespace tz
