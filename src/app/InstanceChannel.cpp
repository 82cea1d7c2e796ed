#include "app/InstanceChannel.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include <unistd.h>

namespace {

constexpr int kWaitMs = 1000;
constexpr qint64 kMaxPathBytes = 64 * 1024;

}  // namespace

QString InstanceChannel::Name()
{
    // The user's runtime folder keeps the channel private to the user and the session.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        return QStringLiteral("qxr-%1").arg(getuid());
    return QDir(runtime).filePath(QStringLiteral("qxr-instance"));
}

bool InstanceChannel::SendToRunningInstance(const QString& path)
{
    QLocalSocket socket;
    socket.connectToServer(Name());
    if (!socket.waitForConnected(kWaitMs))
        return false;
    socket.write(QFileInfo(path).absoluteFilePath().toUtf8() + '\n');
    return socket.waitForBytesWritten(kWaitMs);
}

InstanceChannel::InstanceChannel(std::function<void(const QString&)> open, QObject* parent)
    : QObject(parent), open_(std::move(open)), server_(new QLocalServer(this))
{
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(Name())) {
        // A socket left behind by a program that ended without closing it.
        QLocalServer::removeServer(Name());
        server_->listen(Name());
    }
    connect(server_, &QLocalServer::newConnection, this, &InstanceChannel::Receive);
}

void InstanceChannel::Receive()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->bytesAvailable() > kMaxPathBytes) {
                socket->abort();
                return;
            }
            while (socket->canReadLine()) {
                const QString path = QString::fromUtf8(socket->readLine()).trimmed();
                if (!path.isEmpty())
                    open_(path);
            }
        });
    }
}
