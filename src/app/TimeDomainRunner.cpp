#include "app/TimeDomainRunner.h"

#include <memory>

#include "doc/QXRDoc.h"
#include "doc/UpdateHints.h"
#include "timedomain/Scenarios.h"

TimeDomainRunner::TimeDomainRunner(CQXRDoc& document) : BackgroundAnalysis(document)
{
    Start();
}

BackgroundAnalysis::Job TimeDomainRunner::Prepare(CDesignModel& model)
{
    started_ = std::chrono::steady_clock::now();
    return [inputs = qxr::ReadTimeDomainInputs(model)](const std::atomic<bool>& cancel, const Progress& progress) {
        qxr::SimulationOptions options;
        options.cancel = &cancel;
        options.runEnded = progress;
        auto report =
            std::make_shared<const qxr::TimeDomainReport>(qxr::SimulateTimeDomain(inputs, options, WorkerThreads()));
        return Delivery([report](CQXRDoc& document) {
            document.timeDomain = report;
            document.timeDomainProgress = {};
            document.UpdateAllViews(nullptr, HINT_TIME_DOMAIN);
        });
    };
}

void TimeDomainRunner::ShowProgress(int done, int total)
{
    if (std::chrono::steady_clock::now() - started_ < kQuietTime || done == total)
        return;
    document_.timeDomainProgress = {done, total};
    document_.UpdateAllViews(nullptr, HINT_TIME_DOMAIN);
}
