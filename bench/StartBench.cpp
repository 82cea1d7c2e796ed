#include <cstdlib>
#include <cstring>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QEvent>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include "app/QXRApp.h"

extern char** environ;

namespace {

constexpr const char* kChildOption = "--until-first-paint";

// At the first paint of any of its widgets, tells the benchmark on its
// standard output and quits.
class QuitAtFirstPaint : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !painted_) {
            painted_ = true;
            (void)!write(STDOUT_FILENO, "p", 1);
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return false;
    }

private:
    bool painted_ = false;
};

// The program as its main function starts it, until its window is painted.
int RunUntilFirstPaint(int argc, char** argv)
{
    CQXRApp app(argc, argv);
    QuitAtFirstPaint quit;
    app.installEventFilter(&quit);
    if (!app.InitInstance({}))
        return 1;
    const int result = app.exec();
    app.ExitInstance();
    return result;
}

const char* self = nullptr;

// Starts the program in a fresh process and waits for its first paint; its exit is not timed.
bool StartUntilFirstPaint(benchmark::State& state)
{
    char* const arguments[] = {const_cast<char*>(self), const_cast<char*>(kChildOption), nullptr};
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    pid_t child = 0;
    const bool started = posix_spawn(&child, self, &actions, nullptr, arguments, environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    char painted = 0;
    const bool paintSeen = started && read(pipeEnds[0], &painted, 1) == 1;
    state.PauseTiming();
    close(pipeEnds[0]);
    int status = 0;
    const bool ended = started && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    state.ResumeTiming();
    return paintSeen && ended;
}

// A whole start in a fresh process: loading the program and Qt, the fonts,
// the window with every page and its first paint; the background analyses
// start on their own threads meanwhile, as they do for the user.
void BM_ProcessStartToFirstPaint(benchmark::State& state)
{
    for (auto _ : state) {
        if (!StartUntilFirstPaint(state)) {
            state.SkipWithError("the program did not start");
            return;
        }
    }
}

BENCHMARK(BM_ProcessStartToFirstPaint)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], kChildOption) == 0)
        return RunUntilFirstPaint(argc, argv);
    QTemporaryDir home;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("XDG_CONFIG_HOME", qPrintable(home.filePath("config")), 1);
    setenv("XDG_STATE_HOME", qPrintable(home.filePath("state")), 1);
    setenv("XDG_RUNTIME_DIR", qPrintable(home.path()), 1);
    self = argv[0];
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
