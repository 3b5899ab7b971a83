#pragma once
// A web server on 127.0.0.1 inside the test process, serving one canned answer to every GET.
// It answers from the same event loop the program's fetch waits in.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTcpServer>
#include <functional>

namespace tz::test {

class LocalServer : public QObject {
  public:
    LocalServer();
    ~LocalServer() override;

    // Listens on a free port of 127.0.0.1.
    bool Start();
    QString Url(const QString& path = "/descargas/ultimaversion.dat") const;

    // Every request gets this status and body.
    void Serve(const QByteArray& body, int status = 200);
    // Requests are read and never answered.
    void StaySilent();
    // Runs when a request has arrived, before it is answered (the program is mid-fetch).
    void OnRequest(std::function<void()> callback) { onRequest_ = std::move(callback); }

    // Raw text of the requests received so far.
    const QList<QByteArray>& Requests() const { return requests_; }

  private:
    void Accept();

    QTcpServer server_;
    QByteArray body_;
    int status_ = 200;
    bool silent_ = false;
    std::function<void()> onRequest_;
    QList<QByteArray> requests_;
};

// A URL on 127.0.0.1 where nothing listens.
QString UrlWithoutServer();

// Text as the maker's server stores it: UTF-16LE without a byte-order mark.
QByteArray Utf16Le(const QString& text);

}  // namespace tz::test
