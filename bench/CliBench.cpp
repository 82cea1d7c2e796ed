#include <cstdio>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include "model/ChildProcess.h"

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
        const qxr::ChildResult result = qxr::RunChild(QXR_CLI_PATH, {"qxr-cli", "--help"}, {});
        if (!result.Succeeded())
            state.SkipWithError("qxr-cli --help failed");
    }
    state.counters["cpu_ms_per_start"] =
        benchmark::Counter((ChildrenCpuSeconds() - before) * 1e3 / static_cast<double>(state.iterations()));
}

BENCHMARK(BM_CliHelpProcess)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);

// The heaviest stability sweep the settings allow, each sample written out:
// it must stay under 10 s.
void BM_CliRobustnessMaxima(benchmark::State& state, const char* mode)
{
    const std::string samples = "/tmp/qxr-bench-samples-" + std::to_string(getpid()) + ".csv";
    for (auto _ : state) {
        std::vector<std::string> arguments{"qxr-cli", "robustness",    "--mode",        mode,
                                           "--set",   "N__MC=1000000", "--set",         "dist__MC=1",
                                           "--set",   "f__S=100000",   "--samples-csv", samples};
        // The digital compensator's zero above its pole makes every sample scan its phase.
        if (std::string(mode) == "digital")
            arguments.insert(arguments.end(), {"--set", "i_fcz1=100000"});
        const qxr::ChildResult result =
            qxr::RunChild(QXR_CLI_PATH, arguments, {}, {std::chrono::seconds(120), 64 * 1024 * 1024});
        if (!result.Succeeded())
            state.SkipWithError("qxr-cli robustness failed");
    }
    std::remove(samples.c_str());
}

BENCHMARK_CAPTURE(BM_CliRobustnessMaxima, analog, "analog")->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_CliRobustnessMaxima, digital, "digital")->Unit(benchmark::kSecond)->Iterations(1);

// The heaviest time-domain report the settings allow (as transient-maxima-test.sh runs it): it must stay under 10 s.
void BM_CliTransientMaxima(benchmark::State& state)
{
    for (auto _ : state) {
        const std::vector<std::string> arguments{"qxr-cli",         "transient", "--mode",       "digital", "--set",
                                                 "t__SETTLE_MAX=2", "--set",     "F__SAMP=1200", "--json"};
        const qxr::ChildResult result =
            qxr::RunChild(QXR_CLI_PATH, arguments, {}, {std::chrono::seconds(120), 64 * 1024 * 1024});
        if (!result.Succeeded())
            state.SkipWithError("qxr-cli transient failed");
    }
}

BENCHMARK(BM_CliTransientMaxima)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

// The heaviest design map the settings allow, 64 x 64 points, with and without
// the time-domain pass on its 8 x 8 sub-grid (as map-maxima-test.sh runs it), each under 10 s.
void BM_CliMapMaxima(benchmark::State& state, bool timeDomain)
{
    for (auto _ : state) {
        std::vector<std::string> arguments{"qxr-cli", "map",          "--loop", "voltage",     "--json",
                                           "--set",   "N__MAP_FX=64", "--set",  "N__MAP_PM=64"};
        if (timeDomain)
            arguments.push_back("--time-domain");
        const qxr::ChildResult result =
            qxr::RunChild(QXR_CLI_PATH, arguments, {}, {std::chrono::seconds(120), 64 * 1024 * 1024});
        if (!result.Succeeded())
            state.SkipWithError("qxr-cli map failed");
    }
}

BENCHMARK_CAPTURE(BM_CliMapMaxima, corners64x64, false)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK_CAPTURE(BM_CliMapMaxima, timeDomain64x64, true)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace
