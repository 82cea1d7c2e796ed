#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "InProcessCli.h"
#include "analysis/ExactMetrics.h"
#include "analysis/Recalculate.h"
#include "model/DesignFile.h"
#include "model/DesignModel.h"
#include "model/Utf.h"
#include "spice/SpiceDecks.h"
#include "spice/SpiceRun.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::ordered_json;

CliResult RunCli(std::vector<std::string> args)
{
    args.insert(args.begin(), "spice");
    return RunInProcess(args);
}

// An environment variable set for one scope, restored after it.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::string& value) : name_(name)
    {
        if (const char* before = std::getenv(name))
            previous_ = before;
        had_ = std::getenv(name) != nullptr;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedVariable()
    {
        if (had_)
            ::setenv(name_, previous_.c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::string previous_;
    bool had_ = false;
};

struct Folder {
    Folder() : path(fs::temp_directory_path() / ("qxr-spice-cli-" + std::to_string(::getpid())))
    {
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~Folder() { fs::remove_all(path); }
    fs::path path;
};

std::string DefaultDeck(qxr::SpiceDeck deck)
{
    CDesignModel model;
    qxr::Recalculate(model);
    return qxr::WriteSpiceDeck(qxr::ReadSpiceInputs(model, qxr::ToUtf8(kNewDesignDescription)), deck).text;
}

TEST(SpiceCli, WritesTheDeckToStdoutOrToTheFile)
{
    const CliResult printed = RunCli({"--deck", "ac-current"});
    ASSERT_EQ(printed.exitCode, 0) << printed.err;
    EXPECT_EQ(printed.out, DefaultDeck(qxr::SpiceDeck::AcCurrent));

    const Folder folder;
    const fs::path file = folder.path / "stage.cir";
    const CliResult written = RunCli({"--deck", "transient", "--out", file.string()});
    ASSERT_EQ(written.exitCode, 0) << written.err;
    EXPECT_EQ(written.out, "");
    std::ifstream in(file);
    std::stringstream bytes;
    bytes << in.rdbuf();
    EXPECT_EQ(bytes.str(), DefaultDeck(qxr::SpiceDeck::Transient));
}

TEST(SpiceCli, RunPrintsTheLoopsPointsAndFiguresAsJson)
{
    ASSERT_FALSE(qxr::NgspiceProgram().empty()) << "ngspice is not installed: run scripts/setup";
    const CliResult result = RunCli({"--set", "P__OUT=200", "--deck", "ac-voltage", "--run", "--json"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const ordered_json document = ordered_json::parse(result.out);
    std::vector<std::string> keys;
    for (const auto& item : document.items())
        keys.push_back(item.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"deck", "points", "fx", "pm", "gm", "slope"}));
    EXPECT_EQ(document["deck"], "ac-voltage");
    const ordered_json& points = document["points"];
    ASSERT_EQ(points["freq"].size(), 301u) << "100 a decade from 1 Hz to 1 kHz";
    EXPECT_EQ(points["gain"].size(), 301u);
    EXPECT_EQ(points["phase"].size(), 301u);
    EXPECT_EQ(points["freq"][0], 1.0);

    CDesignModel model;
    model.P__OUT.SetUser(200);
    qxr::Recalculate(model);
    const qxr::ExactMetrics exact = qxr::ExactMetricsOf(qxr::LoopModelOf(model, qxr::ControlLoop::Voltage));
    EXPECT_NEAR(document["fx"].get<double>() / exact.fx, 1.0, 0.01);
    EXPECT_NEAR(document["pm"].get<double>(), exact.pm, 0.5);
    EXPECT_EQ(document["gm"], "Infinity") << "the analog loop's phase never reaches -180 degrees";

    const CliResult text = RunCli({"--set", "P__OUT=200", "--deck", "ac-voltage", "--run"});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_EQ(text.out.rfind("ngspice, ac-voltage deck (301 points from 1 Hz to 1000 Hz):\n", 0), 0u) << text.out;
    EXPECT_NE(text.out.find("Gain margin"), std::string::npos);
}

TEST(SpiceCli, RunPrintsTheTransientFiguresAsJson)
{
    ASSERT_FALSE(qxr::NgspiceProgram().empty()) << "ngspice is not installed: run scripts/setup";
    const CliResult result = RunCli({"--deck", "transient", "--run", "--json"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const ordered_json document = ordered_json::parse(result.out);
    std::vector<std::string> keys;
    for (const auto& item : document.items())
        keys.push_back(item.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"deck", "vOutMin", "vOutMax", "pf", "thd"}));
    EXPECT_GT(document["pf"].get<double>(), 0.9);
    EXPECT_LT(document["vOutMin"].get<double>(), 385.0);
    EXPECT_GT(document["vOutMax"].get<double>(), 385.0);
}

TEST(SpiceCli, FailuresSayWhyWithTheirExitStatus)
{
    const Folder folder;
    const fs::path script = folder.path / "fails";
    std::ofstream(script) << "#!/bin/sh\necho 'Error: no such model' >&2\nexit 1\n";
    fs::permissions(script, fs::perms::owner_all);
    {
        const ScopedVariable simulator(qxr::kNgspiceVariable, script.string());
        const CliResult failed = RunCli({"--deck", "ac-current", "--run"});
        EXPECT_EQ(failed.exitCode, 1);
        EXPECT_EQ(failed.err, "qxr-cli: ngspice stopped: Error: no such model\n");
        EXPECT_EQ(failed.out, "");
    }
    {
        const ScopedVariable path("PATH", folder.path.string());
        const CliResult missing = RunCli({"--deck", "ac-current", "--run"});
        EXPECT_EQ(missing.exitCode, 1);
        EXPECT_EQ(missing.err, std::string("qxr-cli: ") + qxr::kNgspiceMissing + "\n");
        EXPECT_EQ(RunCli({"--deck", "ac-current"}).exitCode, 0) << "writing a deck needs no ngspice";
    }
    const CliResult digital = RunCli({"--mode", "digital", "--deck", "transient"});
    EXPECT_EQ(digital.exitCode, 1);
    EXPECT_EQ(digital.err, "qxr-cli: No Spice deck: the transient deck models the ANALOG controller only.\n");
    EXPECT_EQ(RunCli({"--mode", "digital", "--deck", "ac-current"}).exitCode, 0);

    EXPECT_EQ(RunCli({}).exitCode, 2) << "--deck is required";
    EXPECT_EQ(RunCli({"--deck", "dc"}).exitCode, 2);
    EXPECT_EQ(RunCli({"--deck", "ac-voltage", "--json"}).exitCode, 2) << "--json belongs to --run";
}

}  // namespace
