#include "app/RobustnessRunner.h"

#include <QMetaObject>

#include "doc/QXRDoc.h"
#include "doc/UpdateHints.h"

RobustnessRunner::RobustnessRunner(CQXRDoc& document) : document_(document)
{
    document_.AddView(this);
    thread_ = std::thread([this] { Work(); });
    Request();
}

RobustnessRunner::~RobustnessRunner()
{
    document_.RemoveView(this);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        cancel_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void RobustnessRunner::OnUpdate(CDocView*, int hint, QObject*)
{
    if (hint == HINT_VALUES || hint == HINT_DOCUMENT || hint == HINT_NEW_DESIGN)
        Request();
}

// Reads the inputs here, where the model lives, and hands them to the thread.
void RobustnessRunner::Request()
{
    qxr::RobustnessInputs inputs = qxr::ReadRobustnessInputs(document_.model);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        pending_ = std::move(inputs);
        pendingRun_ = ++requested_;
        cancel_ = true;  // the run in progress, if any, is stale now
    }
    wake_.notify_one();
}

void RobustnessRunner::Work()
{
    for (;;) {
        qxr::RobustnessInputs inputs;
        uint64_t run = 0;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || pending_.has_value(); });
            if (stopping_)
                return;
            inputs = std::move(*pending_);
            pending_.reset();
            run = pendingRun_;
            cancel_ = false;
        }
        qxr::RobustnessOptions options;
        options.bands = true;
        options.cancel = &cancel_;
        auto report = std::make_shared<const qxr::RobustnessReport>(qxr::AnalyseRobustness(inputs, options));
        if (cancel_)
            continue;
        QMetaObject::invokeMethod(
            this, [this, run, report] { Deliver(run, report); }, Qt::QueuedConnection);
    }
}

void RobustnessRunner::Deliver(uint64_t run, std::shared_ptr<const qxr::RobustnessReport> report)
{
    if (run != requested_)
        return;  // the design has moved on; its own run follows
    document_.robustness = std::move(report);
    delivered_ = run;
    document_.UpdateAllViews(this, HINT_SWEEP);
    emit Delivered();
}
