#include "app/RobustnessRunner.h"

#include "app/SignalEvent.h"
#include "doc/QXRDoc.h"
#include "doc/UpdateHints.h"

namespace {

// One run of the sweep: the inputs read on the UI thread, and its number.
class SweepRequest : public CStdSignal {
public:
    SweepRequest(uint64_t run, qxr::RobustnessInputs inputs) : CStdSignal(kSweepId), run(run), inputs(std::move(inputs))
    {
    }

    const uint64_t run;
    const qxr::RobustnessInputs inputs;
};

// A finished run, on its way to the UI thread.
class SweepDone : public CStdSignal {
public:
    SweepDone(uint64_t run, std::shared_ptr<const qxr::RobustnessReport> report)
        : CStdSignal(kSweepDoneId), run(run), report(std::move(report))
    {
    }

    const uint64_t run;
    const std::shared_ptr<const qxr::RobustnessReport> report;
};

}  // namespace

RobustnessRunner::RobustnessRunner(CQXRDoc& document) : document_(document)
{
    document_.AddView(this);
    StartThread();
    Request();
}

RobustnessRunner::~RobustnessRunner()
{
    document_.RemoveView(this);
    Stop();
}

void RobustnessRunner::OnUpdate(CDocView*, int hint, QObject*)
{
    if (hint == HINT_VALUES || hint == HINT_DOCUMENT || hint == HINT_NEW_DESIGN)
        Request();
}

// Reads the inputs here, where the model lives, and hands them to the thread.
void RobustnessRunner::Request()
{
    auto request = std::make_unique<SweepRequest>(requested_ + 1, qxr::ReadRobustnessInputs(document_.model));
    requested_ = request->run;
    cancel_ = true;  // the run in progress, if any, is stale now
    Queue(std::move(request));
}

// Runs on the worker thread; queued runs that a newer one replaced are skipped.
void RobustnessRunner::Handle(CStdSignal& request)
{
    const auto& sweep = static_cast<const SweepRequest&>(request);
    cancel_ = false;
    if (sweep.run != requested_)
        return;
    qxr::RobustnessOptions options;
    options.bands = true;
    options.cancel = &cancel_;
    auto report = std::make_shared<const qxr::RobustnessReport>(qxr::AnalyseRobustness(sweep.inputs, options));
    if (cancel_)
        return;
    PostSignalTo(this, std::make_unique<SweepDone>(sweep.run, std::move(report)));
}

bool RobustnessRunner::event(QEvent* event)
{
    if (event->type() != CSignalEvent::EventType())
        return QObject::event(event);
    const auto& done = static_cast<const SweepDone&>(*static_cast<CSignalEvent*>(event)->signal);
    Deliver(done.run, done.report);
    return true;
}

void RobustnessRunner::Deliver(uint64_t run, std::shared_ptr<const qxr::RobustnessReport> report)
{
    if (run != requested_)
        return;  // the design has moved on; its own run follows
    document_.robustness = std::move(report);
    delivered_ = run;
    document_.UpdateAllViews(this, HINT_SWEEP);
}
