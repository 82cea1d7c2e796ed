#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "InProcessCli.h"
#include "analysis/Recalculate.h"
#include "model/DesignModel.h"
#include "timedomain/Scenarios.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

CliResult RunCli(std::vector<std::string> args)
{
    args.insert(args.begin(), "transient");
    return RunInProcess(args);
}

// The JSON holds the engine's figures, each under its own name.
TEST(TransientCli, JsonHoldsTheEnginesFiguresUnderTheirNames)
{
    const CliResult result = RunCli({"--json"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const json document = json::parse(result.out);

    CDesignModel model;
    qxr::Recalculate(model);
    const qxr::TimeDomainInputs inputs = qxr::ReadTimeDomainInputs(model);
    const qxr::TimeDomainReport report = qxr::SimulateTimeDomain(inputs);

    ASSERT_EQ(document["steady"].size(), 9u);
    const qxr::SteadyStatePoint& low = report.steadyStates.points[0];
    const json& first = document["steady"][0];
    EXPECT_EQ(first["vin"], 85.0);
    EXPECT_EQ(first["load"], 150.0);
    EXPECT_EQ(first["pf"], low.harmonics.powerFactor);
    EXPECT_EQ(first["thd"], low.harmonics.thd);
    EXPECT_EQ(first["h3"], low.harmonics.thirdHarmonic);
    EXPECT_EQ(first["vOutMean"], low.outputMean);
    EXPECT_EQ(first["vOutRipplePkPk"], low.outputPeakToPeak);
    EXPECT_EQ(first["iLPeak"], low.inductorPeak);
    ASSERT_EQ(first["harmonics"].size(), 40u);
    ASSERT_EQ(first["limits"].size(), 40u);
    EXPECT_EQ(first["harmonics"][2], low.harmonics.rms[3]) << "element 0 is order 1";
    EXPECT_TRUE(first["limits"][0].is_null()) << "no limit on the fundamental";
    EXPECT_EQ(first["limits"][2], 2.30);
    EXPECT_EQ(first["class"], "A");
    EXPECT_EQ(first["pass"], true);
    EXPECT_NE(first["note"].get<std::string>().find("the stage cannot deliver 150 W"), std::string::npos);
    EXPECT_EQ(document["steady"][5]["load"], 15.0) << "the sweep's minimum load, 10 %";

    const json& step = document["loadStep"];
    EXPECT_EQ(step["vin"], 240.0);
    EXPECT_EQ(step["from"], 75.0);
    EXPECT_EQ(step["to"], 150.0);
    EXPECT_EQ(step["vOutMin"], report.loadStep.outputMin);
    EXPECT_EQ(step["vOutMax"], report.loadStep.outputMax);
    EXPECT_EQ(step["fxEffective"], report.loadStep.loop.effectiveCrossover);
    EXPECT_EQ(step["settling"], "NaN") << "the step to full load does not settle";
    EXPECT_EQ(step["ovpTrip"], false);
    EXPECT_EQ(document["startUp"]["vOutMax"], report.startUp.regulation.outputMax);
    EXPECT_EQ(document["holdUp"]["vOutEnd"], report.holdUp.outputAtEnd);
    EXPECT_EQ(document["holdUp"]["vOutMinAllowed"], 335.0);
    EXPECT_EQ(document["holdUp"]["pass"], report.holdUp.holdsUp);
}

TEST(TransientCli, ClassDAndTextReport)
{
    const json document = json::parse(RunCli({"--json", "--set", "cls__IEC=1"}).out);
    EXPECT_EQ(document["steady"][0]["class"], "D");
    EXPECT_TRUE(document["steady"][0]["limits"][1].is_null()) << "Class D limits no even order";

    const CliResult text = RunCli({});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    for (const char* part : {"Steady state:", "Load step at 240 V", "Start-up at 240 V", "Hold-up at 240 V", "pass (A)",
                             "the stage cannot deliver"})
        EXPECT_NE(text.out.find(part), std::string::npos) << part;
}

// The waveforms of each scenario: a header and rows of six numbers, in time order.
TEST(TransientCli, WaveformCsvOfEachScenario)
{
    const fs::path folder = fs::temp_directory_path() / ("qxr-transient-" + std::to_string(getpid()));
    fs::create_directories(folder);
    for (const char* scenario : {"steady", "step", "startup", "holdup"}) {
        const std::string csv = (folder / (std::string(scenario) + ".csv")).string();
        const CliResult result = RunCli({"--mode", "digital", "--csv", csv, "--scenario", scenario});
        ASSERT_EQ(result.exitCode, 0) << result.err;
        std::ifstream in(csv);
        std::string line;
        std::getline(in, line);
        EXPECT_EQ(line, "time_s,line_voltage_v,input_current_a,inductor_current_a,output_voltage_v,control_output");
        double lastTime = -1;
        std::size_t rows = 0;
        while (std::getline(in, line)) {
            std::istringstream fields(line);
            std::vector<double> values;
            for (std::string field; std::getline(fields, field, ',');)
                values.push_back(std::stod(field));
            ASSERT_EQ(values.size(), 6u) << line;
            EXPECT_GT(values[0], lastTime);
            lastTime = values[0];
            ++rows;
        }
        EXPECT_GT(rows, 500u) << scenario;
    }
    fs::remove_all(folder);
}

TEST(TransientCli, ErrorsOfTheCommandLineAndTheDesign)
{
    EXPECT_EQ(RunCli({"--scenario", "step"}).exitCode, 2) << "a scenario names the waveforms of --csv";
    EXPECT_EQ(RunCli({"--csv", "x.csv", "--scenario", "sunrise"}).exitCode, 2);
    const CliResult refused = RunCli({"--set", "f__LINE=0", "--csv", "/tmp/never-written.csv"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("no waveforms to write"), std::string::npos) << refused.err;
    EXPECT_FALSE(fs::exists("/tmp/never-written.csv"));
    const CliResult text = RunCli({"--set", "f__LINE=0"});
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_EQ(text.out.rfind("Time domain: not computed. ", 0), 0u) << text.out;
}

}  // namespace
