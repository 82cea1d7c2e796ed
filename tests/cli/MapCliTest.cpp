#include <algorithm>
#include <cmath>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "FolderTest.h"
#include "InProcessCli.h"

namespace {

using nlohmann::json;

json RunJson(std::vector<std::string> args)
{
    args.push_back("--json");
    const CliResult result = RunInProcess(args);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return json::parse(result.out);
}

// A 2 x 2 map whose first point is the default design's own: 7 Hz and 60 degrees.
const std::vector<std::string> kOwnPoint{"--set", "F__MAP_VLO=7",  "--set", "F__MAP_VHI=14", "--set", "PM__MAP_LO=60",
                                         "--set", "PM__MAP_HI=70", "--set", "N__MAP_FX=2",   "--set", "N__MAP_PM=2"};

std::vector<std::string> With(std::vector<std::string> args, const std::vector<std::string>& more)
{
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

TEST(MapCli, JsonHasTheGridAndNullWhereAPointCannotBeRealised)
{
    const json map = RunJson({"map", "--loop", "current"});
    EXPECT_EQ(map["loop"], "current");
    ASSERT_EQ(map["crossover"].size(), 24u);
    ASSERT_EQ(map["phaseMargin"].size(), 16u);
    EXPECT_DOUBLE_EQ(map["crossover"][0].get<double>(), 2000.0);
    EXPECT_DOUBLE_EQ(map["crossover"][23].get<double>(), 40000.0);
    EXPECT_FALSE(map.contains("h3"));
    std::size_t unrealisable = 0;
    for (std::size_t row = 0; row < 16; ++row) {
        ASSERT_EQ(map["realisable"][row].size(), 24u);
        for (std::size_t column = 0; column < 24; ++column) {
            const bool realisable = map["realisable"][row][column];
            unrealisable += realisable ? 0 : 1;
            for (const char* figure : {"worstPm", "worstMs"})
                EXPECT_EQ(map[figure][row][column].is_null(), !realisable) << figure << row << column;
        }
    }
    EXPECT_GT(unrealisable, 0u);
    EXPECT_FALSE(map["realisable"][15][23]);  // 80 degrees at f__S / 5
}

TEST(MapCli, TheDesignsOwnPointHasRobustnesssWorstPhaseMargin)
{
    for (const char* mode : {"analog", "digital"}) {
        const json map = RunJson(With({"map", "--loop", "voltage", "--mode", mode}, kOwnPoint));
        const json sweep = RunJson({"robustness", "--mode", mode});
        EXPECT_NEAR(map["worstPm"][0][0].get<double>(), sweep["voltage"]["worstCorner"]["pm"].get<double>(), 0.05)
            << mode;
        EXPECT_EQ(map["worstMs"][0][0].get<double>(), sweep["voltage"]["envelope"]["ms"][1].get<double>()) << mode;
    }
}

TEST(MapCli, CsvHasOneRowAPointAndTextOneTableAFigure)
{
    const CliResult csv = RunInProcess(With({"map", "--loop", "voltage", "--csv"}, kOwnPoint));
    ASSERT_EQ(csv.exitCode, 0) << csv.err;
    EXPECT_EQ(csv.out.substr(0, csv.out.find('\n')), "phaseMargin,crossover,realisable,worstPm,worstMs");
    EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\n'), 5);
    EXPECT_EQ(csv.out.find("\n60,7,1,"), csv.out.find('\n'));

    const CliResult text = RunInProcess(With({"map", "--loop", "voltage"}, kOwnPoint));
    ASSERT_EQ(text.exitCode, 0) << text.err;
    for (const char* part :
         {"Voltage loop's design map", "Worst-case phase margin (°)", "Worst-case Ms; ", "PM \\ Fx (Hz)", "  60°  "})
        EXPECT_NE(text.out.find(part), std::string::npos) << part << "\n" << text.out;
}

// The default 24 x 16 map with the time-domain pass: 8 x 8 points simulated,
// each the transient report's low-line full-load third harmonic and load-step
// minimum for the design with that point entered; the rest interpolated.
TEST(MapCli, TimeDomainOnTheDefaultMapSimulatesItsSubGrid)
{
    const json map = RunJson({"map", "--loop", "voltage", "--time-domain"});
    const std::vector<std::size_t> columns{0, 3, 7, 10, 13, 16, 20, 23}, rows{0, 2, 4, 6, 9, 11, 13, 15};
    EXPECT_EQ(map["timeDomainColumns"].get<std::vector<std::size_t>>(), columns);
    EXPECT_EQ(map["timeDomainRows"].get<std::vector<std::size_t>>(), rows);
    for (const char* figure : {"h3", "stepMin"}) {
        ASSERT_EQ(map[figure].size(), 16u) << figure;
        for (std::size_t row = 0; row < 16; ++row) {
            ASSERT_EQ(map[figure][row].size(), 24u) << figure;
            for (std::size_t column = 0; column < 24; ++column)
                EXPECT_EQ(map[figure][row][column].is_number(), map["realisable"][row][column].get<bool>())
                    << figure << row << "," << column;
        }
    }
    for (const auto& [row, column] : {std::pair{0, 0}, {9, 16}, {15, 23}}) {
        SCOPED_TRACE(testing::Message() << row << "," << column);
        const json transient = RunJson({"transient", "--set", "F__X_VLOOP=" + map["crossover"][column].dump(), "--set",
                                        "PM__VLOOP=" + map["phaseMargin"][row].dump()});
        const json& lowLine = transient["steady"][0];
        ASSERT_EQ(lowLine["vin"], 85.0);
        ASSERT_EQ(lowLine["load"], 150.0);
        EXPECT_EQ(map["h3"][row][column], lowLine["h3"]);
        EXPECT_EQ(map["stepMin"][row][column], transient["loadStep"]["vOutMin"]);
    }
}

// Text and CSV tell the interpolated figures from the simulated: a 3 x 22
// map simulates 8 of its rows, 0 3 6 9 12 15 18 21.
TEST(MapCli, TimeDomainTextAndCsvTellTheInterpolatedFigures)
{
    const std::vector<std::string> map{"map",         "--loop", "voltage",      "--time-domain", "--set",
                                       "N__MAP_FX=3", "--set",  "N__MAP_PM=22", "--set",         "PM__MAP_HI=51"};
    const CliResult text = RunInProcess(map);
    ASSERT_EQ(text.exitCode, 0) << text.err;
    const std::size_t table = text.out.find("Third harmonic at V__IN_MIN and full load (%)");
    ASSERT_NE(table, std::string::npos) << text.out;
    EXPECT_NE(text.out.find("≈ where it is interpolated between the simulated points:\n", table), std::string::npos);
    // Rows from 30° by 1°: 30° simulated, 31° interpolated between 30° and 33°.
    const auto row = [&](const std::string& margin) {
        const std::size_t at = text.out.find(" " + margin + "  ", table);
        return at == std::string::npos ? std::string() : text.out.substr(at, text.out.find('\n', at) - at);
    };
    const auto marks = [](const std::string& line) {
        std::size_t count = 0;
        for (std::size_t at = line.find("≈"); at != std::string::npos; at = line.find("≈", at + 1))
            ++count;
        return count;
    };
    EXPECT_EQ(marks(row("30°")), 0u) << row("30°");
    EXPECT_EQ(marks(row("31°")), 3u) << row("31°");

    const CliResult csv = RunInProcess(With(map, {"--csv"}));
    ASSERT_EQ(csv.exitCode, 0) << csv.err;
    EXPECT_EQ(csv.out.substr(0, csv.out.find('\n')),
              "phaseMargin,crossover,realisable,worstPm,worstMs,h3,stepMin,simulated");
    EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\n'), 1 + 3 * 22);
    std::size_t simulated = 0;
    for (std::size_t at = csv.out.find(",1\n"); at != std::string::npos; at = csv.out.find(",1\n", at + 1))
        ++simulated;
    EXPECT_EQ(simulated, 24u);
}

TEST(MapCli, UsageAndSettingErrors)
{
    EXPECT_EQ(RunInProcess({"map"}).exitCode, 2);  // --loop is required
    EXPECT_EQ(RunInProcess({"map", "--loop", "voltage", "--csv", "--json"}).exitCode, 2);
    EXPECT_EQ(RunInProcess({"propose", "--apply"}).exitCode, 2);  // --apply needs --save
    const json notComputed = RunJson({"map", "--loop", "voltage", "--set", "PM__MAP_LO=85"});
    EXPECT_EQ(notComputed["notComputed"], "The design map is not computed: PM__MAP_LO is not below PM__MAP_HI.");
    const CliResult csv = RunInProcess({"map", "--loop", "voltage", "--csv", "--set", "PM__MAP_LO=85"});
    EXPECT_EQ(csv.exitCode, 1);
    EXPECT_NE(csv.err.find("PM__MAP_LO is not below PM__MAP_HI"), std::string::npos);
}

class ProposeCli : public FolderTest {};

// Entered and swept again, the proposal gives the worst-case margin it promised.
TEST_F(ProposeCli, ProposesForBothLoopsAndAppliesWhatItProposes)
{
    const std::string saved = Path("proposed.qxr").string();
    const json proposal = RunJson({"propose", "--apply", "--save", saved});
    for (const char* loop : {"voltage", "current"}) {
        const json& p = proposal[loop];
        for (const char* key : {"crossover", "phaseMargin", "worstPm", "worstMs"})
            EXPECT_TRUE(p[key].is_number()) << loop << key;
        EXPECT_TRUE(p["meets"].is_boolean());
        EXPECT_EQ(p["misses"].empty(), p["meets"].get<bool>());
    }
    const json& voltage = proposal["voltage"];
    EXPECT_TRUE(voltage["meets"].get<bool>() ? voltage["worstPm"].get<double>() > 45 : !voltage["misses"].empty());

    const json sweep = RunJson({"robustness", saved});
    for (const char* loop : {"voltage", "current"})
        EXPECT_EQ(sweep[loop]["worstCorner"]["pm"], proposal[loop]["worstPm"]) << loop;
    const json design = json::parse(RunInProcess({"json", saved}).out);
    for (const json& symbol : design["symbols"]) {
        if (symbol["name"] == "F__X_VLOOP" || symbol["name"] == "PM__ILOOP") {
            EXPECT_TRUE(symbol["userSet"].get<bool>());
            EXPECT_EQ(symbol["value"],
                      symbol["name"] == "F__X_VLOOP" ? voltage["crossover"] : proposal["current"]["phaseMargin"]);
        }
    }

    const CliResult text = RunInProcess({"propose"});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_EQ(text.out.rfind("Voltage loop: crossover ", 0), 0u) << text.out;
    EXPECT_NE(text.out.find("\nCurrent loop: crossover "), std::string::npos) << text.out;
}

// With the time-domain pass the proposal carries its point's figures from the
// map and says whether they were simulated there.
TEST(ProposeTimeDomain, TheProposalsFiguresAreItsMapPoints)
{
    const std::vector<std::string> grid{"--time-domain", "--set", "N__MAP_FX=3", "--set", "N__MAP_PM=22"};
    const json proposal = RunJson(With({"propose"}, grid))["voltage"];
    const json map = RunJson(With({"map", "--loop", "voltage"}, grid));
    const auto at = [](const json& values, double value) {
        const auto found = std::find(values.begin(), values.end(), value);
        return static_cast<std::size_t>(found - values.begin());
    };
    const std::size_t row = at(map["phaseMargin"], proposal["phaseMargin"].get<double>());
    const std::size_t column = at(map["crossover"], proposal["crossover"].get<double>());
    ASSERT_LT(row, 22u);
    ASSERT_LT(column, 3u);
    EXPECT_EQ(proposal["h3"], map["h3"][row][column]);
    EXPECT_EQ(proposal["stepMin"], map["stepMin"][row][column]);
    const auto rows = map["timeDomainRows"].get<std::vector<std::size_t>>();
    EXPECT_EQ(proposal["simulated"].get<bool>(), std::count(rows.begin(), rows.end(), row) == 1);
}

// What the loops come too close to goes with the proposal, not among the design's messages.
TEST(ProposeSeparation, TheDefaultCurrentLoopNearTheRhpzIsNotedWithTheProposal)
{
    const json proposal = json::parse(RunInProcess({"propose", "--json"}).out);
    ASSERT_EQ(proposal["separation"].size(), 1u);
    EXPECT_NE(proposal["separation"][0].get<std::string>().find("right-half-plane zero"), std::string::npos);
    const json far = json::parse(RunInProcess({"propose", "--json", "--set", "F__X_ILOOP=3"}).out);
    EXPECT_TRUE(far["separation"].empty());
    EXPECT_TRUE(json::parse(RunInProcess({"json"}).out)["messages"].empty())
        << "the design's messages stay as they were";
    const CliResult text = RunInProcess({"propose"});
    EXPECT_NE(text.out.find("\nLoop separation:\n  The current loop's crossover of 10 kHz"), std::string::npos)
        << text.out;
}

}  // namespace
