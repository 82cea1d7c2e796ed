#include <cstdlib>

#include <QApplication>

#include <benchmark/benchmark.h>

// The main of the benchmarks that need widgets but not the program: a
// QApplication on the offscreen platform around the benchmark run.
int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
