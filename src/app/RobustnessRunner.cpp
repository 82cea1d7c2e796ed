#include "app/RobustnessRunner.h"

#include <memory>

#include "analysis/Robustness.h"
#include "doc/QXRDoc.h"
#include "doc/UpdateHints.h"

RobustnessRunner::RobustnessRunner(CQXRDoc& document) : BackgroundAnalysis(document)
{
    Start();
}

BackgroundAnalysis::Job RobustnessRunner::Prepare(CDesignModel& model)
{
    return [inputs = qxr::ReadRobustnessInputs(model)](const std::atomic<bool>& cancel, const Progress&) {
        qxr::RobustnessOptions options;
        options.bands = true;
        options.cancel = &cancel;
        auto report = std::make_shared<const qxr::RobustnessReport>(qxr::AnalyseRobustness(inputs, options));
        return Delivery([report](CQXRDoc& document) {
            document.robustness = report;
            document.UpdateAllViews(nullptr, HINT_SWEEP);
        });
    };
}
