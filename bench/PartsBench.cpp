#include <benchmark/benchmark.h>

#include "analysis/BillOfMaterials.h"
#include "analysis/PartValues.h"
#include "analysis/Recalculate.h"
#include "model/DesignModel.h"

namespace {

// What the Parts page, each Bode page and the schematic work out after every
// keystroke of the default analog design: the parts with their standard
// values and both loops with them.
void BM_PartsAndStandardLoops(benchmark::State& state)
{
    CDesignModel model;
    qxr::Recalculate(model);
    for (auto _ : state) {
        const std::vector<qxr::PartValue> parts = qxr::PartValuesOf(model);
        const qxr::StandardValueLoops loops = qxr::StandardValueLoopsOf(model, parts);
        benchmark::DoNotOptimize(loops.standard[1].pm);
    }
}

// The bill of materials as File > Export and qxr-cli bom --csv write it.
void BM_BillOfMaterialsCsv(benchmark::State& state)
{
    CDesignModel model;
    qxr::Recalculate(model);
    for (auto _ : state) {
        const std::string csv = qxr::BomCsv(qxr::PartValuesOf(model));
        benchmark::DoNotOptimize(csv.data());
    }
}

BENCHMARK(BM_PartsAndStandardLoops)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BillOfMaterialsCsv)->Unit(benchmark::kMicrosecond);

}  // namespace
