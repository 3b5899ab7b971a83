#pragma once
// One plain HTTP GET whose body is read as UTF-16LE text: the online version check's fetch.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

namespace tz {

// A fetch that takes longer than this in total gives up.
inline constexpr int kDownloadTimeoutMs = 15000;
// A body larger than this is not a version file: the fetch gives up instead of filling memory.
inline constexpr qint64 kDownloadMaxBytes = 64 * 1024;

// Fetches the whole body of a URL with a plain GET that never answers from a cache, while the
// event loop goes on, and tells it once read as UTF-16LE (two bytes a character, a byte-order
// mark kept as a character, an odd last byte dropped); empty text on any failure: no
// connection, an HTTP error status, a body over kDownloadMaxBytes or no complete answer within
// the timeout. A download destroyed before the end tells nothing.
class TextDownload : public QObject {
    Q_OBJECT
  public:
    explicit TextDownload(QObject* parent = nullptr);
    ~TextDownload() override;
    // Starts the fetch; `finished` follows, from the event loop, even for a URL that is no URL.
    void Start(const QString& url);

  signals:
    void finished(const QString& text);

  private:
    void Read();
    void GiveUp();
    void End();

    std::unique_ptr<QNetworkAccessManager> manager_;
    QNetworkReply* reply_ = nullptr;
    QTimer* deadline_ = nullptr;
    QByteArray body_;
    bool failed_ = false;
};

// The body's bytes as TextDownload reads them: UTF-16LE, a byte-order mark kept as a
// character, an odd last byte dropped.
QString DecodeUtf16Le(const QByteArray& bytes);

// Tests shorten the timeout; 0 or less restores kDownloadTimeoutMs.
void SetDownloadTimeout(int milliseconds);

}  // namespace tz
