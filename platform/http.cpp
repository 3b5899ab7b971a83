#include "platform/http.h"

#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace tz {

namespace {

int& TimeoutSetting() {
    static int timeout = kDownloadTimeoutMs;
    return timeout;
}

bool IsLoopback(const QUrl& url) {
    const QString host = url.host();
    if (host.compare("localhost", Qt::CaseInsensitive) == 0) return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

// The desktop's proxy for this URL, as a browser would use it; never one for this machine.
QNetworkProxy ProxyFor(const QUrl& url) {
    if (IsLoopback(url)) return QNetworkProxy(QNetworkProxy::NoProxy);
    const QList<QNetworkProxy> proxies =
        QNetworkProxyFactory::systemProxyForQuery(QNetworkProxyQuery(url));
    return proxies.isEmpty() ? QNetworkProxy(QNetworkProxy::NoProxy) : proxies.first();
}

}  // namespace

QString DecodeUtf16Le(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size() / 2);
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        const auto low = static_cast<unsigned char>(bytes[i]);
        const auto high = static_cast<unsigned char>(bytes[i + 1]);
        text.append(QChar(static_cast<char16_t>(low | (high << 8))));
    }
    return text;
}

void SetDownloadTimeout(int milliseconds) {
    TimeoutSetting() = milliseconds > 0 ? milliseconds : kDownloadTimeoutMs;
}

TextDownload::TextDownload(QObject* parent) : QObject(parent) {}

TextDownload::~TextDownload() {
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
        delete reply_;
    }
}

void TextDownload::Start(const QString& url) {
    const QUrl target(url);
    if (!target.isValid() || target.scheme().isEmpty()) {
        QTimer::singleShot(0, this, [this] { emit finished(QString()); });
        return;
    }
    manager_ = std::make_unique<QNetworkAccessManager>();
    manager_->setProxy(ProxyFor(target));
    QNetworkRequest request(target);
    // Always the server's copy: a cached version file would hide a new release.
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);

    body_.clear();
    failed_ = false;
    reply_ = manager_->get(request);
    deadline_ = new QTimer(this);
    deadline_->setSingleShot(true);
    deadline_->setTimerType(Qt::PreciseTimer);
    connect(reply_, &QNetworkReply::readyRead, this, &TextDownload::Read);
    connect(reply_, &QNetworkReply::finished, this, &TextDownload::End);
    connect(deadline_, &QTimer::timeout, this, &TextDownload::GiveUp);
    deadline_->start(TimeoutSetting());
}

void TextDownload::Read() {
    if (failed_) return;
    body_ += reply_->readAll();
    if (body_.size() > kDownloadMaxBytes) GiveUp();
}

void TextDownload::GiveUp() {
    if (failed_) return;
    failed_ = true;
    // The reply finishes at once, aborted.
    reply_->abort();
}

void TextDownload::End() {
    deadline_->stop();
    if (!failed_) body_ += reply_->readAll();
    bool failed =
        failed_ || reply_->error() != QNetworkReply::NoError || body_.size() > kDownloadMaxBytes;
    const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 400) failed = true;
    reply_->disconnect(this);
    reply_->deleteLater();
    reply_ = nullptr;
    emit finished(failed ? QString() : DecodeUtf16Le(body_));
}

}  // namespace tz
