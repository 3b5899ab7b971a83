#include "local_server.h"

#include <QTcpSocket>

namespace tz::test {

LocalServer::LocalServer() {
    QObject::connect(&server_, &QTcpServer::newConnection, this, [this] { Accept(); });
}

LocalServer::~LocalServer() {
    server_.close();
}

bool LocalServer::Start() {
    return server_.listen(QHostAddress::LocalHost, 0);
}

QString LocalServer::Url(const QString& path) const {
    return QString("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path);
}

void LocalServer::Serve(const QByteArray& body, int status) {
    body_ = body;
    status_ = status;
    silent_ = false;
}

void LocalServer::StaySilent() {
    silent_ = true;
}

void LocalServer::Accept() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        socket->setParent(this);
        auto received = std::make_shared<QByteArray>();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, received] {
            *received += socket->readAll();
            if (!received->contains("\r\n\r\n")) return;
            requests_.append(*received);
            received->clear();
            if (onRequest_) onRequest_();
            if (silent_) return;
            const QByteArray reason = status_ == 200 ? "OK" : "Not Found";
            QByteArray answer = "HTTP/1.1 " + QByteArray::number(status_) + " " + reason + "\r\n";
            answer += "Content-Type: application/octet-stream\r\n";
            answer += "Content-Length: " + QByteArray::number(body_.size()) + "\r\n";
            answer += "Connection: close\r\n\r\n";
            socket->write(answer + body_);
            socket->disconnectFromHost();
        });
    }
}

QString UrlWithoutServer() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return QString("http://127.0.0.1:%1/descargas/ultimaversion.dat").arg(port);
}

QByteArray Utf16Le(const QString& text) {
    QByteArray bytes;
    for (const QChar c : text) {
        bytes.append(static_cast<char>(c.unicode() & 0xFF));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    return bytes;
}

}  // namespace tz::test
