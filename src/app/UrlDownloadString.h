#pragma once

#include <functional>
#include <mutex>

#include <QString>

#include "app/StdThreadWorker.h"

class QEventLoop;

// Fetches a text document on its own thread and posts the result as a
// CSigDownloadDone. http, https and file addresses are served.
class CUrlDownloadString : public CStdThreadWorker {
public:
    // Delivers a result to the UI thread; false when nobody can take it.
    using Poster = std::function<bool(CStdSignal*)>;
    // Turns the fetched text into the result, on the fetch thread, so that
    // costly work stays off the UI thread.
    using Preparer = std::function<QString(const QString&)>;

    static constexpr int kTimeoutMs = 15000;
    static constexpr qint64 kMaxBytes = 1024 * 1024;

    // Without a preparer the result is the fetched text.
    explicit CUrlDownloadString(Poster poster, Preparer prepare = {});
    ~CUrlDownloadString() override;

    // Queues one fetch of the address and starts the thread.
    void Start(const QString& address);

    // The text of the document, lines ended by "\n"; empty when the download
    // fails, times out, grows beyond kMaxBytes or is stopped.
    QString Fetch(const QString& address);

protected:
    void Handle(CStdSignal& request) override;
    void OnStopRequested() override;

private:
    Poster poster_;
    Preparer prepare_;
    std::mutex loopMutex_;
    QEventLoop* activeLoop_ = nullptr;  // the running download's loop, ended by a stop
};
