#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "FolderTest.h"
#include "InProcessCli.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

class OverlayCli : public FolderTest {
protected:
    std::string Path(const std::string& name) const { return FolderTest::Path(name).string(); }

    std::string WriteFile(const std::string& name, const std::string& text) const
    {
        std::ofstream(Path(name), std::ios::binary) << text;
        return Path(name);
    }

    // Runs a command that writes to stdout and saves what it printed.
    std::string SaveOutput(const std::vector<std::string>& args, const std::string& name) const
    {
        const CliResult result = RunInProcess(args);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return WriteFile(name, result.out);
    }

    // A design saved after the edits.
    std::string SaveDesign(std::vector<std::string> edits, const std::string& name) const
    {
        edits.insert(edits.begin(), "report");
        edits.insert(edits.end(), {"--save", Path(name)});
        EXPECT_EQ(RunInProcess(edits).exitCode, 0);
        return Path(name);
    }
};

json RunJson(std::vector<std::string> args)
{
    args.push_back("--json");
    const CliResult result = RunInProcess(args);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    return json::parse(result.out);
}

TEST_F(OverlayCli, ABodeCsvMeasuresLikeTheDesign)
{
    for (const char* loop : {"voltage", "current"}) {
        SCOPED_TRACE(loop);
        const std::string csv = SaveOutput({"bode", "--mode", "digital", "--loop", loop}, "bode.csv");
        const json measured = RunJson({"measured", csv});
        const json design = RunJson({"robustness", "--mode", "digital"})[loop]["nominal"];
        EXPECT_EQ(measured["points"], 500);
        EXPECT_NEAR(measured["fx"].get<double>(), design["fx"].get<double>(), 0.005 * design["fx"].get<double>());
        EXPECT_NEAR(measured["pm"].get<double>(), design["pm"].get<double>(), 0.2);
        if (design["gm"].is_string())
            EXPECT_EQ(measured["gm"], design["gm"]);
        else
            EXPECT_NEAR(measured["gm"].get<double>(), design["gm"].get<double>(), 0.2);
    }
    const std::string csv = WriteFile("m.csv", "freq;gain;phase\n10;20;-120\n100;0;-120\n");
    EXPECT_EQ(RunInProcess({"measured", csv}).out, "Measured loop " + csv +
                                                       " (2 points from 10 Hz to 100 Hz):\n"
                                                       "  Crossover           100 Hz\n"
                                                       "  Phase margin        60 °\n"
                                                       "  Gain margin         inf dB\n"
                                                       "  Slope at crossover  -20 dB/decade\n");
}

TEST_F(OverlayCli, ADamagedOrMissingMeasurementIsAFileError)
{
    const std::string csv = WriteFile("bad.csv", "freq,gain,phase\n10,20,-90\n100,x,-90\n");
    const CliResult damaged = RunInProcess({"measured", csv, "--json"});
    EXPECT_EQ(damaged.exitCode, 1);
    EXPECT_EQ(damaged.out, "");
    EXPECT_EQ(damaged.err, "qxr-cli: " + csv + ": line 3: \"x\" in the gain column is not a number\n");

    const CliResult missing = RunInProcess({"measured", Path("none.csv")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "qxr-cli: " + Path("none.csv") + ": No such file or directory\n");
    const CliResult folder = RunInProcess({"measured", Path("")});
    EXPECT_EQ(folder.exitCode, 1);
    EXPECT_EQ(folder.err, "qxr-cli: " + Path("") + ": Is a directory\n");
    const std::string huge = WriteFile("huge.csv", "freq,gain,phase\n");
    fs::resize_file(huge, 8 * 1024 * 1024 + 1);  // sparse: no disk needed
    EXPECT_EQ(RunInProcess({"measured", huge}).err, "qxr-cli: " + huge + ": not a regular file of at most 8 MiB\n");
    EXPECT_EQ(RunInProcess({"measured"}).exitCode, 2);
    EXPECT_EQ(RunInProcess({"measured", csv, "--set", "P__OUT=1"}).exitCode, 2);
}

TEST_F(OverlayCli, DiffListsExactlyWhatAnEditChanges)
{
    const std::string base = SaveDesign({}, "a.qxr");
    EXPECT_EQ(RunInProcess({"diff", base, base}).out,
              "No symbol in use differs between " + base + " and " + base + ".\n");
    EXPECT_TRUE(RunJson({"diff", base, SaveDesign({"--description", "other words"}, "d.qxr")})["differences"].empty());

    // The output voltage moves the voltage loop's parts, not the switching frequency or the current sense.
    const json differences = RunJson({"diff", base, SaveDesign({"--set", "V__OUT=400"}, "b.qxr")})["differences"];
    std::set<std::string> names;
    for (const json& row : differences)
        names.insert(row["name"].get<std::string>());
    EXPECT_TRUE(names.count("V__OUT"));
    EXPECT_FALSE(names.count("f__S"));
    EXPECT_FALSE(names.count("P__OUT"));
    for (const json& row : differences)
        if (row["name"] == "V__OUT") {
            EXPECT_EQ(row["otherValue"], 400.0);
            EXPECT_NEAR(row["relative"].get<double>(), 400.0 / row["value"].get<double>() - 1, 1e-12);
            EXPECT_EQ(row["unit"], "V");
        }

    const CliResult text = RunInProcess({"diff", base, Path("b.qxr")});
    EXPECT_EQ(text.out.substr(0, text.out.find('\n')), std::to_string(differences.size()) + " symbols in use differ:");
    EXPECT_NE(text.out.find("V__OUT"), std::string::npos);

    EXPECT_EQ(RunInProcess({"diff", base, Path("none.qxr")}).exitCode, 1);
    EXPECT_EQ(RunInProcess({"diff", base}).exitCode, 2);
}

}  // namespace
