#include <thread>

#include <benchmark/benchmark.h>

#include "analysis/Recalculate.h"
#include "model/DesignModel.h"
#include "timedomain/Scenarios.h"

namespace {

qxr::TimeDomainInputs DefaultInputs(int32_t mode)
{
    CDesignModel model;
    model.ad.SetUser(mode);
    qxr::Recalculate(model);
    return qxr::ReadTimeDomainInputs(model);
}

// One steady-state point of the default design at V__IN_NORM: settling from
// the operating point and the analysed cycle.
void SteadyPoint(benchmark::State& state, int32_t mode, double load)
{
    const qxr::TimeDomainInputs inputs = DefaultInputs(mode);
    for (auto _ : state) {
        const qxr::SteadyStatePoint point = qxr::SimulateSteadyState(inputs, inputs.lineVoltages[1], load);
        benchmark::DoNotOptimize(point.harmonics.thd);
    }
}

// Every scenario: the nine steady-state points, the load step, the start-up
// and the hold-up, on one core or spread over all of them as the window and
// qxr-cli run them.
void AllScenarios(benchmark::State& state, int32_t mode, unsigned threads = 1)
{
    const qxr::TimeDomainInputs inputs = DefaultInputs(mode);
    for (auto _ : state) {
        const qxr::TimeDomainReport report = qxr::SimulateTimeDomain(inputs, {}, threads);
        benchmark::DoNotOptimize(report.holdUp.outputAtEnd);
    }
}

void BM_TimeDomainSteadyPointAnalogFullLoad(benchmark::State& state)
{
    SteadyPoint(state, CTop::ANALOG, 1.0);
}
void BM_TimeDomainSteadyPointAnalogHalfLoad(benchmark::State& state)
{
    SteadyPoint(state, CTop::ANALOG, 0.5);
}
void BM_TimeDomainSteadyPointDigitalHalfLoad(benchmark::State& state)
{
    SteadyPoint(state, CTop::DIGITAL, 0.5);
}
void BM_TimeDomainAllScenariosAnalog(benchmark::State& state)
{
    AllScenarios(state, CTop::ANALOG);
}
void BM_TimeDomainAllScenariosDigital(benchmark::State& state)
{
    AllScenarios(state, CTop::DIGITAL);
}
void BM_TimeDomainAllScenariosDigitalAllCores(benchmark::State& state)
{
    AllScenarios(state, CTop::DIGITAL, std::thread::hardware_concurrency());
}

BENCHMARK(BM_TimeDomainSteadyPointAnalogFullLoad)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_TimeDomainSteadyPointAnalogHalfLoad)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_TimeDomainSteadyPointDigitalHalfLoad)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_TimeDomainAllScenariosAnalog)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_TimeDomainAllScenariosDigital)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_TimeDomainAllScenariosDigitalAllCores)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);

}  // namespace
