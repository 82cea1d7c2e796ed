#include "app/BackgroundAnalysis.h"

#include <algorithm>
#include <thread>

#include "app/SignalEvent.h"
#include "doc/QXRDoc.h"
#include "doc/UpdateHints.h"

namespace {

// One run: its number and the job read for it on the UI thread.
class RunRequest : public CStdSignal {
public:
    RunRequest(uint64_t run, std::function<void()> job) : CStdSignal(kAnalysisRunId), run(run), job(std::move(job)) {}

    const uint64_t run;
    const std::function<void()> job;
};

// What a run sends back: its result, or how far it has come.
class RunReport : public CStdSignal {
public:
    RunReport(uint64_t run, std::function<void()> deliver)
        : CStdSignal(kAnalysisDoneId), run(run), deliver(std::move(deliver))
    {
    }

    const uint64_t run;
    const std::function<void()> deliver;
};

}  // namespace

BackgroundAnalysis::BackgroundAnalysis(CQXRDoc& document) : document_(document)
{
}

BackgroundAnalysis::~BackgroundAnalysis()
{
    document_.RemoveView(this);
    Stop();
}

unsigned BackgroundAnalysis::WorkerThreads()
{
    return std::max(1u, std::thread::hardware_concurrency() - 1);
}

void BackgroundAnalysis::Start()
{
    document_.AddView(this);
    StartThread();
    Request();
}

void BackgroundAnalysis::OnUpdate(CDocView*, int hint, QObject*)
{
    if (hint == HINT_VALUES || hint == HINT_DOCUMENT || hint == HINT_NEW_DESIGN)
        Request();
}

void BackgroundAnalysis::Request()
{
    const uint64_t run = requested_ + 1;
    Job job = Prepare(document_.model);
    const auto post = [this, run](std::function<void()> onUiThread) {
        PostSignalTo(this, std::make_unique<RunReport>(run, std::move(onUiThread)));
    };
    auto work = [this, run, job = std::move(job), post] {
        const Progress progress = [this, run, post](int done, int total) {
            post([this, run, done, total] {
                if (run == requested_)
                    ShowProgress(done, total);
            });
        };
        Delivery delivery = job(cancel_, progress);
        if (cancel_)
            return;
        post([this, run, delivery = std::move(delivery)] {
            if (run != requested_)
                return;  // the design has moved on; its own run follows
            delivered_ = run;
            delivery(document_);
        });
    };
    requested_ = run;
    cancel_ = true;  // the run in progress, if any, is stale now
    Queue(std::make_unique<RunRequest>(run, std::move(work)));
}

// On the worker thread; queued runs that a newer one replaced are skipped.
void BackgroundAnalysis::Handle(CStdSignal& request)
{
    const auto& run = static_cast<const RunRequest&>(request);
    cancel_ = false;
    if (run.run == requested_)
        run.job();
}

bool BackgroundAnalysis::event(QEvent* event)
{
    if (event->type() != CSignalEvent::EventType())
        return QObject::event(event);
    static_cast<const RunReport&>(*static_cast<CSignalEvent*>(event)->signal).deliver();
    return true;
}
