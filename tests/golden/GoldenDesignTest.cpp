#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>

#include <gtest/gtest.h>

#include "golden/GoldenDesigns.h"

namespace {

namespace fs = std::filesystem;
using namespace qxr::golden;

const fs::path kGoldenFolder = QXR_GOLDEN_DIR;

nlohmann::ordered_json ReadJson(const fs::path& path)
{
    std::ifstream file(path);
    return nlohmann::ordered_json::parse(file, nullptr, /*allow_exceptions=*/false);
}

class GoldenDesignTest : public ::testing::TestWithParam<GoldenDesign> {};

// Every figure of the design as it is calculated now against its pinned value.
// A change that is meant to move a figure regenerates the pins with
// scripts/pin-figures and says why in its commit.
TEST_P(GoldenDesignTest, FiguresEqualThePinnedOnes)
{
    const GoldenDesign& design = GetParam();
    const nlohmann::ordered_json pinned = ReadJson(design.pinned);
    ASSERT_FALSE(pinned.is_discarded()) << design.pinned << " is missing or not JSON: run scripts/pin-figures";
    const nlohmann::ordered_json now =
        nlohmann::ordered_json::parse(ComputeFigures(ReadDesignArguments(design.arguments)));

    const std::vector<std::string> differences = CompareFigures(pinned, now);
    constexpr std::size_t kShown = 40;
    for (std::size_t i = 0; i < std::min(differences.size(), kShown); ++i)
        ADD_FAILURE() << "design " << design.name << ": " << differences[i];
    if (differences.size() > kShown)
        ADD_FAILURE() << "design " << design.name << ": " << differences.size() - kShown << " more differences";
}

INSTANTIATE_TEST_SUITE_P(Pinned, GoldenDesignTest, ::testing::ValuesIn(ListGoldenDesigns(kGoldenFolder)),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

TEST(GoldenDesignSet, EveryPinnedFileBelongsToADesign)
{
    std::set<fs::path> expected;
    for (const GoldenDesign& design : ListGoldenDesigns(kGoldenFolder))
        expected.insert(design.pinned);
    for (const auto& entry : fs::directory_iterator(kGoldenFolder / "pinned"))
        EXPECT_TRUE(expected.count(entry.path())) << entry.path() << " has no design: remove it or add its .args";
}

// The comparison itself: what it must let pass and what it must catch.
TEST(CompareFigures, NamesTheSymbolTheElementAndBothValues)
{
    const auto figures = [](double value, const char* flagOrText, bool inUse) {
        nlohmann::ordered_json json = {
            {"symbols", {{{"name", "L__MIN"}, {"value", value}, {"inUse", inUse}}}},
            {"messages", {flagOrText}},
            {"bode", {{"voltage", {{"freq", {1.0, 2.0, value}}}}}},
        };
        return json;
    };
    const nlohmann::ordered_json pinned = figures(1.0, "NaN", true);

    EXPECT_TRUE(CompareFigures(pinned, figures(1.0 + 5e-13, "NaN", true)).empty());
    const std::vector<std::string> moved = CompareFigures(pinned, figures(1.0 + 3e-12, "NaN", true));
    ASSERT_EQ(moved.size(), 2u);
    EXPECT_EQ(moved[0].rfind("symbols[L__MIN].value: pinned 1.0, now 1.000000000003", 0), 0u) << moved[0];
    EXPECT_EQ(moved[1].rfind("bode.voltage.freq[2]: pinned 1.0", 0), 0u) << moved[1];

    EXPECT_EQ(CompareFigures(pinned, figures(1.0, "Infinity", false)),
              (std::vector<std::string>{"symbols[L__MIN].inUse: pinned true, now false",
                                        "messages[0]: pinned \"NaN\", now \"Infinity\""}));
    EXPECT_EQ(
        CompareFigures(nlohmann::ordered_json{{"crossIdx", 140}}, nlohmann::ordered_json{{"crossIdx", 141}}).size(),
        1u);
    EXPECT_EQ(CompareFigures(nlohmann::ordered_json{{"a", {1, 2}}}, nlohmann::ordered_json{{"a", {1}}, {"b", 0}}),
              (std::vector<std::string>{"a: pinned 2 elements, now 1", "b: not pinned, now 0"}));
}

}  // namespace
