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

// Four points with the second pass: each the low-line steady state and the load step.
void BM_VoltageMapTimeDomain2x2(benchmark::State& state)
{
    CDesignModel model;
    model.ad.SetUser(CTop::ANALOG);
    model.N__MAP_FX.SetUser(2);
    model.N__MAP_PM.SetUser(2);
    model.PM__MAP_HI.SetUser(31);
    model.F__MAP_VHI.SetUser(2.1);
    qxr::Recalculate(model);
    const qxr::DesignMapInputs inputs = qxr::ReadDesignMapInputs(model, qxr::ControlLoop::Voltage);
    qxr::DesignMapOptions options;
    options.timeDomain = true;
    for (auto _ : state) {
        const qxr::DesignMap map = qxr::ComputeDesignMap(inputs, options);
        benchmark::DoNotOptimize(map.cells.back().h3);
    }
    state.counters["points"] = 4;
}

BENCHMARK(BM_VoltageMapAnalog)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VoltageMapTimeDomain2x2)->Unit(benchmark::kMillisecond);

}  // namespace
