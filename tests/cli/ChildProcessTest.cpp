#include <chrono>
#include <string>

#include <gtest/gtest.h>

#include "cli/ChildProcess.h"

namespace {

using namespace qxr::cli;
using namespace std::chrono_literals;

ChildResult Shell(const std::string& script, const std::string& input = {}, ChildLimits limits = {})
{
    return RunChild("/bin/sh", {"sh", "-c", script}, input, limits);
}

TEST(ChildProcess, InputInOutputAndErrorsBack)
{
    const std::string input(3 * 1024 * 1024, 'x');  // more than a pipe holds, both ways
    const ChildResult echoed = Shell("cat; echo done >&2; exit 3", input);
    EXPECT_TRUE(echoed.started);
    EXPECT_EQ(echoed.exitCode, 3);
    EXPECT_EQ(echoed.out, input);
    EXPECT_EQ(echoed.error, "done\n");
    EXPECT_FALSE(echoed.Succeeded());
    EXPECT_TRUE(Shell("exit 0").Succeeded());
}

TEST(ChildProcess, AChildThatStopsReadingDoesNotStopThisOne)
{
    const ChildResult ignored = Shell("exec 0<&-; echo gone", std::string(8 * 1024 * 1024, 'y'));
    EXPECT_EQ(ignored.exitCode, 0);
    EXPECT_EQ(ignored.out, "gone\n");
}

TEST(ChildProcess, LimitsStopAChildThatHangsOrFloods)
{
    ChildLimits shortTime;
    shortTime.timeout = 200ms;
    const ChildResult hung = Shell("sleep 30", {}, shortTime);
    EXPECT_TRUE(hung.timedOut);
    EXPECT_EQ(hung.exitCode, -1);

    ChildLimits smallOutput;
    smallOutput.outputCap = 100000;
    const ChildResult flood = Shell("yes", {}, smallOutput);
    EXPECT_TRUE(flood.capped);
    EXPECT_FALSE(flood.Succeeded());
    EXPECT_LT(flood.out.size(), 100000u + 65536u);
}

TEST(ChildProcess, AProgramThatCannotRunSaysWhy)
{
    const ChildResult missing = RunChild("/nonexistent/program", {"program"}, "input");
    EXPECT_FALSE(missing.started);
    EXPECT_EQ(missing.error, "/nonexistent/program: No such file or directory");
}

}  // namespace
