#include <benchmark/benchmark.h>

#include "analysis/Recalculate.h"
#include "model/DesignFile.h"
#include "model/DesignModel.h"
#include "report/ReportPdf.h"

namespace {

// The report of the default design to PDF bytes, as File > Export Report as
// PDF and "qxr-cli report --pdf" make it: the pages' rows, both Bode plots
// and the schematic.
void BM_DefaultDesignReportToPdf(benchmark::State& state)
{
    CDesignModel model;
    model.LoadDefaults();
    qxr::Recalculate(model);
    const QString title = QString::fromStdU16String(kNewDesignDescription);
    for (auto _ : state) {
        const QByteArray pdf = DesignReportPdf(model, title);
        benchmark::DoNotOptimize(pdf.data());
    }
}

BENCHMARK(BM_DefaultDesignReportToPdf)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
