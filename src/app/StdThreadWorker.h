#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "app/StdSignal.h"

// A worker thread that handles queued requests one at a time until it
// takes a stop request.
class CStdThreadWorker {
public:
    // A derived worker calls Stop in its own destructor, while its overrides still exist.
    virtual ~CStdThreadWorker() = default;

    void Queue(std::unique_ptr<CStdSignal> request);
    void StartThread();
    // Queues the stop request, tells the current request to give up and
    // waits for the thread to end.
    void Stop();
    bool IsRunning() const { return thread_.joinable(); }

protected:
    virtual void Handle(CStdSignal& request) = 0;
    // Called on the stopping thread, so that a long request can end early.
    virtual void OnStopRequested() {}
    bool StopRequested() const { return stop_; }

private:
    void Run();
    std::unique_ptr<CStdSignal> Take();

    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::unique_ptr<CStdSignal>> queue_;
    std::atomic<bool> stop_{false};
};
