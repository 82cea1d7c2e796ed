#include <benchmark/benchmark.h>

#include "analysis/Recalculate.h"
#include "designmap/DesignMap.h"
#include "model/DesignModel.h"

namespace {

// The default analog design's voltage map, 24 x 16 points with the sweep's
// corners, on one core.
void BM_VoltageMapAnalog(benchmark::State& state)
{
    CDesignModel model;
    model.ad.SetUser(CTop::ANALOG);
    qxr::Recalculate(model);
    const qxr::DesignMapInputs inputs = qxr::ReadDesignMapInputs(model, qxr::ControlLoop::Voltage);
    for (auto _ : state) {
        const qxr::DesignMap map = qxr::ComputeDesignMap(inputs);
        benchmark::DoNotOptimize(map.cells.back().worstPm);
    }
}

// The same map with the time-domain pass, on one core: its 8 x 8 sub-grid
// simulated (the low-line steady state and the load step a point), the rest interpolated.
void BM_VoltageMapTimeDomain(benchmark::State& state)
{
    CDesignModel model;
    model.ad.SetUser(CTop::ANALOG);
    qxr::Recalculate(model);
    const qxr::DesignMapInputs inputs = qxr::ReadDesignMapInputs(model, qxr::ControlLoop::Voltage);
    qxr::DesignMapOptions options;
    options.timeDomain = true;
    for (auto _ : state) {
        const qxr::DesignMap map = qxr::ComputeDesignMap(inputs, options);
        benchmark::DoNotOptimize(map.cells.back().h3);
    }
    state.counters["simulated"] = 64;
}

BENCHMARK(BM_VoltageMapAnalog)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VoltageMapTimeDomain)->Unit(benchmark::kSecond);

}  // namespace
