#include "app/InstanceChannel.h"

#include <filesystem>
#include <system_error>

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QStringList>

#include <unistd.h>

#include "app/InstanceMessage.h"
#include "doc/FileNames.h"

namespace {

constexpr int kWaitMs = 1000;

// The name as the file system resolves it in this process: a relative name
// gets the current folder put in front and nothing else changes, so that
// the running program opens exactly this file. Empty when there is no
// current folder.
QByteArray AbsoluteFileName(const QByteArray& name)
{
    if (name.startsWith('/'))
        return name;
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::current_path(error);
    if (error)
        return {};
    return QByteArray::fromStdString(folder.native()) + '/' + name;
}

// Takes the next whole message off the socket; the longest message is peeked at most.
qxr::TakenMessage TakeMessage(QLocalSocket& socket)
{
    const QByteArray available = socket.peek(qxr::kInstanceLengthBytes + qxr::kMaxInstanceNameBytes);
    qxr::TakenMessage taken =
        qxr::TakeInstanceMessage({available.constData(), static_cast<std::size_t>(available.size())});
    if (taken.status == qxr::TakenMessage::Status::Name)
        socket.skip(static_cast<qint64>(taken.size));
    return taken;
}

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
    const QByteArray name = AbsoluteFileName(FileNameBytes(path));
    if (name.isEmpty() || static_cast<std::size_t>(name.size()) > qxr::kMaxInstanceNameBytes)
        return false;
    QLocalSocket socket;
    socket.connectToServer(Name());
    if (!socket.waitForConnected(kWaitMs))
        return false;
    const std::string message = qxr::InstanceMessage({name.constData(), static_cast<std::size_t>(name.size())});
    socket.write(message.data(), static_cast<qint64>(message.size()));
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
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadMessages(*socket); });
    }
}

void InstanceChannel::ReadMessages(QLocalSocket& socket)
{
    QStringList paths;
    for (;;) {
        const qxr::TakenMessage taken = TakeMessage(socket);
        if (taken.status == qxr::TakenMessage::Status::Incomplete)
            break;
        if (taken.status == qxr::TakenMessage::Status::Malformed) {
            socket.abort();
            break;
        }
        paths << FileNameFromBytes(QByteArray::fromStdString(taken.name));
    }
    // Opening can run a dialog's event loop, so the socket is done with first.
    for (const QString& path : paths)
        open_(path);
}
