#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "model/ChildProcess.h"

namespace {

using namespace qxr;
using namespace std::chrono_literals;

ChildResult Shell(const std::string& script, const std::string& input = {}, ChildLimits limits = {})
{
    return RunChild("/bin/sh", {"sh", "-c", script}, input, limits);
}

// Gone, or a zombie no one has reaped yet, within a second.
bool EndsSoon(int pid)
{
    for (int i = 0; i < 20; ++i) {
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string line;
        if (!std::getline(stat, line) || line.substr(line.rfind(')') + 2, 1) == "Z")
            return true;
        std::this_thread::sleep_for(50ms);
    }
    return false;
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

TEST(ChildProcess, ATimeOutEndsWhatTheChildStartedToo)
{
    ChildLimits shortTime;
    shortTime.timeout = 300ms;
    // The grandchild holds the output open: were it left running, the pipe would stay open after the kill.
    const ChildResult hung = Shell("sleep 30 & echo $!; wait", {}, shortTime);
    ASSERT_TRUE(hung.timedOut);
    const std::string grandchild = hung.out.substr(0, hung.out.find('\n'));
    ASSERT_FALSE(grandchild.empty());
    EXPECT_TRUE(EndsSoon(std::stoi(grandchild)));
}

TEST(ChildProcess, RunsInTheFolderItIsGiven)
{
    const PrivateFolder folder;
    ASSERT_FALSE(folder.Path().empty()) << folder.Error();
    const ChildResult child = RunChild("/bin/sh", {"sh", "-c", "pwd -P; echo made > file"}, {}, {}, folder.Path());
    EXPECT_EQ(child.out, std::filesystem::canonical(folder.Path()).string() + "\n");
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(folder.Path()) / "file"));
}

TEST(ChildProcess, APrivateFolderIsThisUsersAloneAndGoesWithAllInIt)
{
    std::string path;
    {
        const PrivateFolder folder;
        path = folder.Path();
        ASSERT_FALSE(path.empty()) << folder.Error();
        const auto permissions = std::filesystem::status(path).permissions();
        EXPECT_EQ(permissions, std::filesystem::perms::owner_all);
        std::filesystem::create_directory(path + "/inner");
        EXPECT_TRUE(Shell("echo x > " + path + "/inner/file").Succeeded());
    }
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(ChildProcess, AProgramThatCannotRunSaysWhy)
{
    const ChildResult missing = RunChild("/nonexistent/program", {"program"}, "input");
    EXPECT_FALSE(missing.started);
    EXPECT_EQ(missing.error, "/nonexistent/program: No such file or directory");
}

}  // namespace
