#include "app/StdThreadWorker.h"

#include <cerrno>

#include <sys/resource.h>
#include <unistd.h>

namespace {

// How much nicer than the window the workers run: on a machine with few
// cores a background analysis must not slow the start or a keystroke.
constexpr int kBackgroundNiceness = 5;

// Threads the calling thread starts later inherit its niceness.
void LowerThisThreadsPriority()
{
    const auto thread = static_cast<id_t>(gettid());
    errno = 0;
    const int current = getpriority(PRIO_PROCESS, thread);
    if (errno == 0)
        setpriority(PRIO_PROCESS, thread, current + kBackgroundNiceness);
}

}  // namespace

void CStdThreadWorker::Queue(std::unique_ptr<CStdSignal> request)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.push_back(std::move(request));
    }
    wake_.notify_one();
}

void CStdThreadWorker::StartThread()
{
    if (thread_.joinable())
        return;
    stop_ = false;
    thread_ = std::thread(&CStdThreadWorker::Run, this);
}

void CStdThreadWorker::Stop()
{
    if (!thread_.joinable())
        return;
    Queue(std::make_unique<CStdSignal>(CStdSignal::kTerminateId));
    stop_ = true;
    OnStopRequested();
    thread_.join();
    // Requests the thread did not take, the stop request among them, die with it.
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.clear();
}

std::unique_ptr<CStdSignal> CStdThreadWorker::Take()
{
    std::unique_lock<std::mutex> lock(mutex_);
    wake_.wait(lock, [this] { return !queue_.empty(); });
    std::unique_ptr<CStdSignal> request = std::move(queue_.front());
    queue_.pop_front();
    return request;
}

void CStdThreadWorker::Run()
{
    LowerThisThreadsPriority();
    for (;;) {
        std::unique_ptr<CStdSignal> request = Take();
        if (request->Id() == CStdSignal::kTerminateId || stop_)
            return;
        Handle(*request);
    }
}
