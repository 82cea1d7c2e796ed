#pragma once

#include <QByteArray>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

// A loopback HTTP server for the download tests: answers every request with
// one fixed body, or, when stalled, accepts and never answers.
class LocalHttpServer : public QObject {
public:
    explicit LocalHttpServer(QByteArray body, bool stalled = false) : body_(std::move(body)), stalled_(stalled)
    {
        server_.listen(QHostAddress::LocalHost);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                ++connections_;
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Answer(socket); });
            }
        });
    }

    QUrl Url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/info.html").arg(server_.serverPort())); }
    int Connections() const { return connections_; }

private:
    void Answer(QTcpSocket* socket)
    {
        socket->readAll();
        if (stalled_)
            return;
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\nContent-Length: " +
                      QByteArray::number(body_.size()) + "\r\n\r\n" + body_);
        socket->disconnectFromHost();
    }

    QTcpServer server_;
    QByteArray body_;
    bool stalled_;
    int connections_ = 0;
};
