#include "app/InstanceChannel.h"

#include <filesystem>
#include <system_error>

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QStringList>
#include <QtEndian>

#include <unistd.h>

#include "doc/FileNames.h"

namespace {

constexpr int kWaitMs = 1000;
constexpr quint32 kMaxPathBytes = 64 * 1024;
// A message is the length of the file name, 32 bits big-endian, then its bytes.
constexpr qint64 kLengthBytes = sizeof(quint32);

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

QByteArray Message(const QByteArray& name)
{
    QByteArray message(kLengthBytes, '\0');
    qToBigEndian(static_cast<quint32>(name.size()), message.data());
    return message + name;
}

enum class Taken { Message, Incomplete, Malformed };

// Takes the next whole message off the socket. Only an absolute name means
// the same file to both programs, and no file name holds a NUL byte.
Taken TakeMessage(QLocalSocket& socket, QByteArray& name)
{
    char header[kLengthBytes];
    if (socket.peek(header, kLengthBytes) < kLengthBytes)
        return Taken::Incomplete;
    const quint32 length = qFromBigEndian<quint32>(header);
    if (length == 0 || length > kMaxPathBytes)
        return Taken::Malformed;
    if (socket.bytesAvailable() < kLengthBytes + length)
        return Taken::Incomplete;
    socket.skip(kLengthBytes);
    name = socket.read(length);
    return name.startsWith('/') && !name.contains('\0') ? Taken::Message : Taken::Malformed;
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
    if (name.isEmpty() || name.size() > qsizetype{kMaxPathBytes})
        return false;
    QLocalSocket socket;
    socket.connectToServer(Name());
    if (!socket.waitForConnected(kWaitMs))
        return false;
    socket.write(Message(name));
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
    for (QByteArray name;;) {
        const Taken taken = TakeMessage(socket, name);
        if (taken == Taken::Incomplete)
            break;
        if (taken == Taken::Malformed) {
            socket.abort();
            break;
        }
        paths << FileNameFromBytes(name);
    }
    // Opening can run a dialog's event loop, so the socket is done with first.
    for (const QString& path : paths)
        open_(path);
}
