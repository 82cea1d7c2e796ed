#include "app/DesignMapRunner.h"

#include <chrono>
#include <functional>
#include <mutex>

#include "doc/QXRDoc.h"
#include "doc/UpdateHints.h"

namespace {

int Points(const DesignMaps& maps)
{
    int points = 0;
    for (const qxr::DesignMap& map : maps.maps)
        points += map.notComputed.empty() ? static_cast<int>(map.cells.size()) : 0;
    return points;
}

}  // namespace

// Written by the map's threads as points finish, copied on the UI thread.
struct DesignMapRunner::Filling {
    std::mutex mutex;
    DesignMaps maps;
    int done = 0;
    std::chrono::steady_clock::time_point lastReport;  // set as the run starts, then under the mutex

    static constexpr std::chrono::milliseconds kReportInterval{100};

    // Keeps each point of map index as it is done, by either pass, and
    // reports every tenth of a second.
    std::function<void(std::size_t, std::size_t, const qxr::MapCell&)> Recorder(std::size_t index,
                                                                                const Progress& progress, int total)
    {
        return [this, index, &progress, total](std::size_t row, std::size_t column, const qxr::MapCell& cell) {
            const std::lock_guard<std::mutex> lock(mutex);
            qxr::DesignMap& map = maps.maps[index];
            map.cells[row * map.crossovers.size() + column] = cell;
            ++done;
            const auto now = std::chrono::steady_clock::now();
            if (now - lastReport >= kReportInterval) {
                lastReport = now;
                progress(done, total);
            }
        };
    }

    // The map whole from its first pass, shown at once with the sub-grid its
    // time-domain pass is about to simulate, so that the tab counts its points.
    void StartPass(std::size_t index, const qxr::DesignMap& swept, const Progress& progress, int total)
    {
        const std::lock_guard<std::mutex> lock(mutex);
        qxr::DesignMap& map = maps.maps[index];
        map = swept;
        qxr::PlanTimeDomainPass(map);
        lastReport = std::chrono::steady_clock::now();
        progress(done, total);
    }
};

DesignMapRunner::DesignMapRunner(CQXRDoc& document) : BackgroundAnalysis(document)
{
    Start();
}

BackgroundAnalysis::Job DesignMapRunner::Prepare(CDesignModel& model)
{
    std::array<qxr::DesignMapInputs, 2> inputs;
    auto filling = std::make_shared<Filling>();
    for (qxr::ControlLoop loop : qxr::kControlLoops) {
        const auto index = static_cast<std::size_t>(loop);
        inputs[index] = qxr::ReadDesignMapInputs(model, loop);
        filling->maps.maps[index] = qxr::EmptyDesignMap(inputs[index]);
        filling->maps.limits[index] = inputs[index].limits;
    }
    filling_ = filling;
    // The old design's maps are stale now. The frame makes the runner before
    // the pages, so the pages find the empty maps on the change's own hint;
    // a hint of its own would refresh every page once more on each keystroke.
    document_.designMaps = std::make_shared<const DesignMaps>(filling->maps);
    return [inputs = std::move(inputs), filling](const std::atomic<bool>& cancel, const Progress& progress) {
        const int total = Points(filling->maps);
        filling->lastReport = std::chrono::steady_clock::now();  // a map done within a moment shows whole
        auto finished = std::make_shared<DesignMaps>(filling->maps);
        qxr::DesignMapOptions options;
        options.threads = WorkerThreads();
        options.cancel = &cancel;
        // Both maps first, so that both tabs are whole within moments; then their time-domain passes.
        for (std::size_t index = 0; index < inputs.size() && !cancel; ++index) {
            options.cellDone = filling->Recorder(index, progress, total);
            finished->maps[index] = qxr::ComputeDesignMap(inputs[index], options);
            filling->StartPass(index, finished->maps[index], progress, total);
        }
        for (std::size_t index = 0; index < inputs.size() && !cancel; ++index) {
            if (!finished->maps[index].complete)
                continue;
            options.cellDone = filling->Recorder(index, progress, total);
            qxr::RunTimeDomainPass(inputs[index], finished->maps[index], options);
        }
        return Delivery([finished = std::shared_ptr<const DesignMaps>(finished)](CQXRDoc& document) {
            document.designMaps = finished;
            document.UpdateAllViews(nullptr, HINT_DESIGN_MAP);
        });
    };
}

// Only the newest run's progress arrives here, so filling_ is its own.
void DesignMapRunner::ShowProgress(int, int)
{
    std::shared_ptr<const DesignMaps> sofar;
    {
        const std::lock_guard<std::mutex> lock(filling_->mutex);
        sofar = std::make_shared<const DesignMaps>(filling_->maps);
    }
    document_.designMaps = std::move(sofar);
    document_.UpdateAllViews(nullptr, HINT_DESIGN_MAP);
}
