#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "InProcessCli.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

CliResult RunCli(std::vector<std::string> args)
{
    args.insert(args.begin(), "robustness");
    return RunInProcess(args);
}

json RunJson(std::vector<std::string> args)
{
    args.push_back("--json");
    const CliResult result = RunCli(args);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return json::parse(result.out);
}

TEST(RobustnessCli, JsonHoldsEveryFigureAndRepeatsByteForByte)
{
    const CliResult first = RunCli({"--json", "--set", "N__MC=500"});
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(RunCli({"--json", "--set", "N__MC=500"}).out, first.out);
    EXPECT_NE(RunCli({"--json", "--set", "N__MC=500", "--set", "SEED__MC=2"}).out, first.out);

    const json document = json::parse(first.out);
    for (const char* key : {"nominal", "min", "max"})
        EXPECT_TRUE(document["rhpz"][key].is_number()) << key;
    for (const char* loop : {"voltage", "current"}) {
        const json& result = document[loop];
        for (const char* figure : {"fx", "pm", "gm", "slope", "ms", "delayMargin"}) {
            EXPECT_EQ(result["envelope"][figure].size(), 2u) << loop << figure;
            for (const char* p : {"p1", "p50", "p99"})
                EXPECT_TRUE(result["monteCarlo"][figure].contains(p)) << loop << figure << p;
        }
        EXPECT_EQ(result["monteCarlo"]["samples"], 500);
        EXPECT_EQ(result["monteCarlo"]["seed"], 1);
        EXPECT_EQ(result["worstCorner"]["quantities"].size(), 7u);
        EXPECT_GE(result["worstCorner"]["ms"].get<double>(), result["nominal"]["ms"].get<double>()) << loop;
        EXPECT_TRUE(result["worstCorner"]["delayMargin"].is_number()) << loop;
    }
    // 60 degrees at 7 Hz: pi / 3 over 14 pi rad/s.
    EXPECT_NEAR(document["voltage"]["nominal"]["delayMargin"].get<double>(), 1.0 / 42, 1e-12);
    EXPECT_NEAR(document["voltage"]["nominal"]["fx"].get<double>(), 7.0, 1e-9);
    EXPECT_NEAR(document["voltage"]["nominal"]["pm"].get<double>(), 60.0, 1e-9);
    EXPECT_EQ(document["voltage"]["nominal"]["gm"], "Infinity");
    EXPECT_TRUE(document["voltage"]["worstCorner"]["quantities"].contains("P__OUT"));
}

TEST(RobustnessCli, DigitalCurrentLoopHasAFiniteGainMarginAndFixedCompensators)
{
    const json document = RunJson({"--mode", "digital", "--set", "N__MC=200"});
    EXPECT_TRUE(document["current"]["nominal"]["gm"].is_number());
    EXPECT_EQ(document["current"]["worstCorner"]["quantities"].size(), 3u);  // L, Rsense and the ramp only
}

TEST(RobustnessCli, SamplesCsvHasOneRowPerSample)
{
    const fs::path path = fs::temp_directory_path() / ("qxr-samples-" + std::to_string(::getpid()) + ".csv");
    const CliResult result = RunCli({"--set", "N__MC=25", "--samples-csv", path.string()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    fs::remove(path);
    ASSERT_EQ(lines.size(), 26u);
    EXPECT_EQ(lines[0],
              "sample,P__OUT,L__MIN,C__OUT,R__SENSE,V__RAMP,DeltaV__AOUT,R__IN,R__F,C__Z,C__F,R__I,R__F_I,C__Z_I,"
              "C__P_I,voltage_fx,voltage_pm,voltage_gm,voltage_slope,current_fx,current_pm,current_gm,current_slope");
    for (std::size_t row = 1; row < lines.size(); ++row) {
        EXPECT_EQ(lines[row].rfind(std::to_string(row) + ",", 0), 0u) << lines[row];
        EXPECT_EQ(std::count(lines[row].begin(), lines[row].end(), ','), 22) << lines[row];
    }
}

TEST(RobustnessCli, SettingsOutOfRangeSayWhyNothingIsComputed)
{
    const CliResult text = RunCli({"--set", "TOL__L_MIN=100"});
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_EQ(text.out,
              "The stability sweep is not computed: TOL__L_MIN - ± Tolerance of the Boost Inductance is outside of "
              "its range.\n");
    EXPECT_EQ(RunJson({"--set", "N__MC=0"})["notComputed"].get<std::string>().find("N__MC"), 37u);

    const fs::path path = fs::temp_directory_path() / ("qxr-no-samples-" + std::to_string(::getpid()) + ".csv");
    const CliResult samples = RunCli({"--set", "P__LOAD_MIN=0", "--samples-csv", path.string()});
    EXPECT_EQ(samples.exitCode, 1);
    EXPECT_NE(samples.err.find("no samples to write"), std::string::npos);
    EXPECT_FALSE(fs::exists(path));
}

TEST(RobustnessCli, ReadableTextShowsEachLoopsFigures)
{
    const CliResult result = RunCli({"--set", "N__MC=100"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    for (const char* part :
         {"Right-half-plane zero: ", "\nVoltage loop:\n", "\nCurrent loop:\n", "  Nominal ", "  Envelope minimum ",
          "  Percentile 99 ", "  Yield: ", "  Worst corner: phase margin ", "inf dB", "P__OUT = 15 W"})
        EXPECT_NE(result.out.find(part), std::string::npos) << part;
}

}  // namespace
