#include <benchmark/benchmark.h>

#include "analysis/BodeData.h"
#include "analysis/Recalculate.h"
#include "model/DesignModel.h"

namespace {

// A full pass after each committed entry, as the pages run it. Two entries
// alternate so that every pass sees a changed design.
void RecalculateAfterEdits(benchmark::State& state, double mode, CSymbol CDesignModel::*edited, double a, double b)
{
    CDesignModel model;
    model.ad.SetUser(mode);
    qxr::Recalculate(model);
    bool flip = false;
    for (auto _ : state) {
        (model.*edited).SetUser(flip ? a : b);
        flip = !flip;
        qxr::Recalculate(model);
        benchmark::DoNotOptimize(model.Loop(qxr::ControlLoop::Current).series[qxr::kLoopGain].data());
    }
}

// An entry of the output power changes every gain of both loops.
void BM_RecalculateAnalog_EditPower(benchmark::State& state)
{
    RecalculateAfterEdits(state, 311, &CDesignModel::P__OUT, 150, 151);
}
void BM_RecalculateDigital_EditPower(benchmark::State& state)
{
    RecalculateAfterEdits(state, 314, &CDesignModel::P__OUT, 150, 151);
}

// An entry of the switching frequency moves the current-loop grid, its
// compensator and the inductor: the current loop is swept in full.
void BM_RecalculateAnalog_EditSwitchingFrequency(benchmark::State& state)
{
    RecalculateAfterEdits(state, 311, &CDesignModel::f__S, 200000, 210000);
}
void BM_RecalculateDigital_EditSwitchingFrequency(benchmark::State& state)
{
    RecalculateAfterEdits(state, 314, &CDesignModel::f__S, 200000, 210000);
}

// Both grids and every array rebuilt: the most a sweep can cost.
void BM_BuildBodeData_Full(benchmark::State& state)
{
    CDesignModel model;
    qxr::Recalculate(model);
    bool flip = false;
    for (auto _ : state) {
        model.F__X_VLOOP.SetUser(flip ? 7 : 8);
        model.F__X_ILOOP.SetUser(flip ? 10000 : 11000);
        flip = !flip;
        qxr::BuildBodeData(model);
        benchmark::DoNotOptimize(model.Loop(qxr::ControlLoop::Current).series[qxr::kLoopGain].data());
    }
}

void Configure(benchmark::internal::Benchmark* b)
{
    b->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
}

BENCHMARK(BM_RecalculateAnalog_EditPower)->Apply(Configure);
BENCHMARK(BM_RecalculateDigital_EditPower)->Apply(Configure);
BENCHMARK(BM_RecalculateAnalog_EditSwitchingFrequency)->Apply(Configure);
BENCHMARK(BM_RecalculateDigital_EditSwitchingFrequency)->Apply(Configure);
BENCHMARK(BM_BuildBodeData_Full)->Apply(Configure);

}  // namespace
