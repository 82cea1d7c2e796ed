#pragma once

#include <functional>

#include <QObject>
#include <QString>

class QLocalServer;

// Lets a second start of the program hand its design file to the one
// already running, as a file manager does when a design is opened.
class InstanceChannel : public QObject {
    Q_OBJECT

public:
    // The channel's name, one per user.
    static QString Name();

    // True when a running program took the path.
    static bool SendToRunningInstance(const QString& path);

    // Listens for paths from later starts and hands each to open.
    InstanceChannel(std::function<void(const QString&)> open, QObject* parent = nullptr);

private:
    void Receive();

    std::function<void(const QString&)> open_;
    QLocalServer* server_;
};
