#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "InProcessCli.h"

namespace {

using nlohmann::json;

json RunJson(const std::vector<std::string>& args)
{
    const CliResult result = RunInProcess(args);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return json::parse(result.out);
}

// The figures bom shows for the standard values are the design's own once
// --standard-values has entered them, through every series setting tried.
TEST(BomCli, TheLoopsWithStandardValuesAreTheDesignsOnceEntered)
{
    const std::vector<std::vector<std::string>> settings{
        {}, {"--set", "ser__R=24", "--set", "ser__C=6"}, {"--set", "P__OUT=250", "--set", "ser__C=192"}};
    for (const auto& setting : settings) {
        std::vector<std::string> bom{"bom", "--json"};
        bom.insert(bom.end(), setting.begin(), setting.end());
        std::vector<std::string> entered{"robustness", "--json", "--set", "N__MC=1"};
        entered.insert(entered.end(), setting.begin(), setting.end());
        entered.push_back("--standard-values");
        const json shown = RunJson(bom)["loops"];
        const json design = RunJson(entered);
        for (const char* loop : {"voltage", "current"}) {
            for (const char* figure : {"fx", "pm", "gm"})
                EXPECT_EQ(shown[loop]["standard"][figure], design[loop]["nominal"][figure]) << loop << figure;
        }
        // Entered once, the parts round to themselves.
        entered[0] = "bom";
        entered.erase(entered.begin() + 2, entered.begin() + 4);
        const json rounded = RunJson(entered);
        for (const json& part : rounded["parts"]) {
            EXPECT_EQ(part["inForce"], part["standard"]) << part["designator"];
            EXPECT_EQ(part["deviation"], 0.0) << part["designator"];
        }
    }
}

TEST(BomCli, JsonListsEachPartWithItsStandardValueAndPair)
{
    const json document = RunJson({"bom", "--json"});
    ASSERT_EQ(document["parts"].size(), 24u);
    const json& rf = document["parts"][10];
    EXPECT_EQ(rf["designator"], "RF_I");
    EXPECT_EQ(rf["unit"], "Ω");
    EXPECT_NEAR(rf["calculated"].get<double>(), 4101.37, 0.01);
    EXPECT_EQ(rf["standard"], 4120.0);
    EXPECT_EQ(rf["series"], "E96");
    EXPECT_EQ(rf["pair"], nullptr);
    const json& cz = document["parts"][7];
    EXPECT_EQ(cz["designator"], "CZ_V");
    EXPECT_EQ(cz["standard"], 820e-9);
    EXPECT_EQ(cz["pair"]["wiring"], "parallel");
    EXPECT_EQ(cz["pair"]["values"], json::array({820e-9, 18e-9}));
    EXPECT_EQ(cz["tolerance"], 10.0);
    EXPECT_NEAR(document["loops"]["voltage"]["design"]["pm"].get<double>(), 60.0, 1e-9);
    EXPECT_NEAR(document["loops"]["voltage"]["standard"]["pm"].get<double>(), 59.06, 0.01);
}

TEST(BomCli, ChoicesAndDesignsWithoutParts)
{
    const CliResult both = RunInProcess({"bom", "--csv", "--json"});
    EXPECT_EQ(both.exitCode, 2);
    EXPECT_NE(both.err.find("--csv excludes --json"), std::string::npos) << both.err;

    const json digital = RunJson({"bom", "--json", "--mode", "digital", "--standard-values"});
    EXPECT_TRUE(digital["parts"].empty());
    EXPECT_EQ(digital["loops"]["notComputed"], "Only the analog design has parts to round.");

    // No series: nothing is rounded, and --standard-values leaves the design as it was.
    const std::vector<std::string> unrounded{"--set", "ser__R=0", "--set", "ser__C=0"};
    std::vector<std::string> report{"report"};
    report.insert(report.end(), unrounded.begin(), unrounded.end());
    const std::string before = RunInProcess(report).out;
    report.push_back("--standard-values");
    EXPECT_EQ(RunInProcess(report).out, before);

    const CliResult text = RunInProcess({"bom", "--set", "R__F=-5"});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_NE(text.out.find("  RF_V   R__F           101.3 kΩ         -          -  E96 ±1 %"), std::string::npos)
        << text.out;
    EXPECT_NE(text.out.find("no standard value: -5 kΩ is not a positive number\n"), std::string::npos);
    EXPECT_NE(text.out.find("Voltage loop, standard values"), std::string::npos);
}

}  // namespace
