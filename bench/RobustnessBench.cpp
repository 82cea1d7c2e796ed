#include <benchmark/benchmark.h>

#include "analysis/Recalculate.h"
#include "analysis/Robustness.h"
#include "model/DesignModel.h"

namespace {

// The stability sweep of the default design as the command line runs it:
// both loops' corners and 10 000 samples, with exact figures.
void SweepDefaultDesign(benchmark::State& state, int32_t mode, bool bands)
{
    CDesignModel model;
    model.ad.SetUser(mode);
    qxr::Recalculate(model);
    const qxr::RobustnessInputs inputs = qxr::ReadRobustnessInputs(model);
    qxr::RobustnessOptions options;
    options.bands = bands;
    for (auto _ : state) {
        const qxr::RobustnessReport report = qxr::AnalyseRobustness(inputs, options);
        benchmark::DoNotOptimize(report.loops[1].yield);
    }
}

void BM_RobustnessAnalog(benchmark::State& state)
{
    SweepDefaultDesign(state, CTop::ANALOG, false);
}
void BM_RobustnessDigital(benchmark::State& state)
{
    SweepDefaultDesign(state, CTop::DIGITAL, false);
}
// As the pages run it, with the bands over the corners on both Bode grids.
void BM_RobustnessAnalogWithBands(benchmark::State& state)
{
    SweepDefaultDesign(state, CTop::ANALOG, true);
}

BENCHMARK(BM_RobustnessAnalog)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RobustnessDigital)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RobustnessAnalogWithBands)->Unit(benchmark::kMillisecond);

}  // namespace
