#pragma once

#include <functional>

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

// Lets a second start of the program hand its design file to the one
// already running, as a file manager does when a design is opened.
class InstanceChannel : public QObject {
    Q_OBJECT

public:
    // The channel's name, one per user.
    static QString Name();

    // True when a running program took the path. The message carries the
    // exact bytes of the absolute name, resolved in this process.
    static bool SendToRunningInstance(const QString& path);

    // Listens for paths from later starts and hands each to open; a
    // malformed message ends its connection and is ignored.
    InstanceChannel(std::function<void(const QString&)> open, QObject* parent = nullptr);

private:
    void Receive();
    void ReadMessages(QLocalSocket& socket);

    std::function<void(const QString&)> open_;
    QLocalServer* server_;
};
