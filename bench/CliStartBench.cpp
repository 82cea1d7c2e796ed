#include <sys/resource.h>

#include <benchmark/benchmark.h>

#include "cli/ChildProcess.h"

namespace {

double ChildrenCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec * 1e-6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// A whole start of the built qxr-cli, as a script that calls it per design
// pays it; the counter is the CPU time the process took.
void BM_CliHelpProcess(benchmark::State& state)
{
    const double before = ChildrenCpuSeconds();
    for (auto _ : state) {
        const qxr::cli::ChildResult result = qxr::cli::RunChild(QXR_CLI_PATH, {"qxr-cli", "--help"}, {});
        if (!result.Succeeded())
            state.SkipWithError("qxr-cli --help failed");
    }
    state.counters["cpu_ms_per_start"] =
        benchmark::Counter((ChildrenCpuSeconds() - before) * 1e3 / static_cast<double>(state.iterations()));
}

BENCHMARK(BM_CliHelpProcess)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);

}  // namespace
