#include "platform/http.h"

#include <QEventLoop>
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

QString DownloadText(const QString& url) {
    const QUrl target(url);
    if (!target.isValid() || target.scheme().isEmpty()) return QString();

    QNetworkAccessManager manager;
    manager.setProxy(ProxyFor(target));
    QNetworkRequest request(target);
    // Always the server's copy: a cached version file would hide a new release.
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);

    QNetworkReply* reply = manager.get(request);
    QByteArray body;
    bool failed = false;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);

    auto giveUp = [&] {
        if (failed) return;
        failed = true;
        reply->abort();
    };
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&] {
        if (failed) return;
        body += reply->readAll();
        if (body.size() > kDownloadMaxBytes) giveUp();
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(&deadline, &QTimer::timeout, &loop, giveUp);
    deadline.start(TimeoutSetting());

    if (!reply->isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);
    deadline.stop();
    if (!failed) body += reply->readAll();
    if (reply->error() != QNetworkReply::NoError || body.size() > kDownloadMaxBytes) failed = true;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 400) failed = true;
    delete reply;
    return failed ? QString() : DecodeUtf16Le(body);
}

}  // namespace tz
