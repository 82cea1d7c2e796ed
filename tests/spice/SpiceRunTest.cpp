#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "calc/DesignConstants.h"
#include "spice/SpiceRun.h"

// ngspice run as a program of its own: its failures as messages, nothing
// left behind. Stand-in scripts play a simulator that hangs, floods or says nothing.
namespace {

using namespace qxr;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

// A fresh folder as the system's temporary folder for one test.
class SpiceRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* before = std::getenv("TMPDIR");
        previous_ = before != nullptr ? before : "";
        const fs::path base = fs::temp_directory_path();
        root_ = base / ("qxr-spice-test-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "tmp");
        ::setenv("TMPDIR", (root_ / "tmp").c_str(), 1);
    }
    void TearDown() override
    {
        if (previous_.empty())
            ::unsetenv("TMPDIR");
        else
            ::setenv("TMPDIR", previous_.c_str(), 1);
        fs::remove_all(root_);
    }
    bool TemporaryFolderIsEmpty() const { return fs::is_empty(root_ / "tmp"); }
    std::string Script(const std::string& name, const std::string& body) const
    {
        const fs::path path = root_ / name;
        std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
        fs::permissions(path, fs::perms::owner_all);
        return path.string();
    }

private:
    std::string previous_;
    fs::path root_;
};

const char* const kSmallDeck = "* an RC low-pass\n"
                               "V1 in 0 DC 0 AC 1\n"
                               "R1 in out 1k\n"
                               "C1 out 0 1u\n"
                               ".control\n"
                               "set wr_singlescale\n"
                               "set wr_vecnames\n"
                               "ac dec 10 10 10k\n"
                               "let gain = db(v(out))\n"
                               "let phase = cph(v(out))*180/pi\n"
                               "wrdata qxr-spice.data gain phase\n"
                               "quit\n"
                               ".endc\n"
                               ".end\n";

TEST_F(SpiceRunTest, AGoodDeckGivesItsDataAndLeavesNothing)
{
    ASSERT_FALSE(NgspiceProgram().empty()) << "ngspice is not installed: run scripts/setup";
    const SpiceLoopResult loop = RunLoopDeck(kSmallDeck, {10, 10000});
    ASSERT_EQ(loop.error, "");
    ASSERT_EQ(loop.points.size(), 31u);
    // 1 / (1 + j w R C): -3 dB and -45 degrees at 159.15 Hz.
    EXPECT_NEAR(loop.points[0].gainDb, -10 * std::log10(1 + std::pow(kTwoPi * 10 * 1e-3, 2)), 1e-6);
    EXPECT_NEAR(loop.points[30].phaseDeg, -std::atan(kTwoPi * 1e4 * 1e-3) * kRadToDeg, 1e-6);
    EXPECT_TRUE(TemporaryFolderIsEmpty());
}

TEST_F(SpiceRunTest, ABrokenNetlistSaysNgspicesErrorAndLeavesNothing)
{
    ASSERT_FALSE(NgspiceProgram().empty()) << "ngspice is not installed: run scripts/setup";
    std::string broken = kSmallDeck;
    broken.insert(broken.find(".control"), "X1 a b nosuchsub\n");
    const SpiceRun run = RunNgspice(broken);
    EXPECT_EQ(run.error, "ngspice stopped: Error: unknown subckt: x1 a b nosuchsub");
    EXPECT_EQ(run.data, "");
    EXPECT_TRUE(TemporaryFolderIsEmpty());
}

TEST_F(SpiceRunTest, AHangingSimulatorIsStoppedAtTheTimeOut)
{
    SpiceRunOptions options;
    options.program = Script("hangs", "echo started > qxr-spice.data; sleep 30");
    options.timeout = 500ms;
    const SpiceRun run = RunNgspice(kSmallDeck, options);
    EXPECT_EQ(run.error, "ngspice stopped: no result within 0.5 s");
    EXPECT_TRUE(TemporaryFolderIsEmpty());
}

TEST_F(SpiceRunTest, TheEnvironmentChoosesTheSimulator)
{
    const std::string script = Script("chosen", "exit 0");
    ::setenv(kNgspiceVariable, script.c_str(), 1);
    const std::string chosen = NgspiceProgram();
    ::unsetenv(kNgspiceVariable);
    EXPECT_EQ(chosen, script);
}

TEST_F(SpiceRunTest, EveryOtherFailureSaysWhy)
{
    struct Case {
        const char* script;
        std::string error;
    };
    const Case cases[] = {
        {"echo 'Error: the first'; echo 'Error: the last' >&2; echo closing; exit 1",
         "ngspice stopped: Error: the last"},
        {"echo 'Error: no such vector x'; echo 'doAnalyses: TRAN:  Timestep too small; time = 1' >&2",
         "ngspice stopped: doAnalyses: TRAN:  Timestep too small; time = 1"},
        {"echo 'all done'; exit 0", "ngspice stopped: all done"},
        {"exit 3", "ngspice stopped: it ended with status 3 and no results"},
        {"yes flood", "ngspice stopped: it wrote more than 100000 bytes"},
        {"printf ' frequency gain phase\\n 1 2 3\\n 2 2 nan\\n' > qxr-spice.data",
         "ngspice stopped: its output, line 3: \"nan\" is not a finite number"},
        {"printf ' frequency gain phase\\n 10 2 3\\n 20 2 3\\n' > qxr-spice.data; echo 'Error: gave up'",
         "ngspice stopped: Error: gave up"},
        {"head -c 33554433 /dev/zero > qxr-spice.data",
         "ngspice stopped: its output cannot be read (larger than 32 MiB)"},
        {"mkdir qxr-spice.data", "ngspice stopped: its output cannot be read (Is a directory)"},
    };
    for (const Case& c : cases) {
        SpiceRunOptions options;
        options.program = Script("stand-in", c.script);
        options.outputCap = 100000;
        EXPECT_EQ(RunLoopDeck(kSmallDeck, {10, 10000}, options).error, c.error) << c.script;
        EXPECT_TRUE(TemporaryFolderIsEmpty()) << c.script;
    }
    SpiceRunOptions missing;
    missing.program.clear();
    EXPECT_EQ(RunNgspice(kSmallDeck, missing).error, kNgspiceMissing);
}

}  // namespace
