#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "spice/SpiceOutput.h"

namespace {

using namespace qxr;

const std::vector<std::string> kNames{"gain", "phase"};
const std::string kHeader = " frequency           gain                phase              \n";

TEST(SpiceOutput, ReadsWrdataAsNgspiceWritesIt)
{
    const SpiceTable table = ReadSpiceTable(kHeader + " 1.000000000000e+01 -1.711150434458e-02 -3.595273779868e+00 \n"
                                                      " 1.584893192461e+01 -4.285480720762e-02 -5.686866950010e+00 \n",
                                            "frequency", kNames);
    ASSERT_EQ(table.error, "");
    EXPECT_EQ(table.scale, (std::vector<double>{10, 15.84893192461}));
    ASSERT_EQ(table.vectors.size(), 2u);
    EXPECT_EQ(table.vectors[0], (std::vector<double>{-1.711150434458e-02, -4.285480720762e-02}));
    EXPECT_EQ(table.vectors[1], (std::vector<double>{-3.595273779868, -5.686866950010}));
}

struct BadOutput {
    const char* what;
    std::string text;
    std::string error;
};

TEST(SpiceOutput, RefusesEveryFlawWithItsLine)
{
    const std::string row = " 1e1 2 3\n";
    const std::vector<BadOutput> cases{
        {"nothing", "", "line 1: no header"},
        {"no points", kHeader, "line 2: no points"},
        {"another vector", " frequency gain other\n" + row, "line 1: the header is not \"frequency gain phase\""},
        {"another scale", " time gain phase\n" + row, "line 1: the header is not \"frequency gain phase\""},
        {"a vector more", " frequency gain phase more\n" + row, "line 1: the header is not \"frequency gain phase\""},
        {"a number short", kHeader + row + " 2e1 2\n", "line 3: 2 numbers where 3 belong"},
        {"a number more", kHeader + " 1 2 3 4\n", "line 2: 4 numbers where 3 belong"},
        {"a blank line", kHeader + row + "\n", "line 3: 0 numbers where 3 belong"},
        {"not a number", kHeader + " 1 2 x\n", "line 2: \"x\" is not a finite number"},
        {"a comma", kHeader + " 1 2,5 3\n", "line 2: \"2,5\" is not a finite number"},
        {"half a number", kHeader + " 1 2e 3\n", "line 2: \"2e\" is not a finite number"},
        {"nan", kHeader + " 1 nan 3\n", "line 2: \"nan\" is not a finite number"},
        {"infinite", kHeader + " 1 1e999 3\n", "line 2: \"1e999\" is not a finite number"},
        {"beyond the bound", kHeader + " 1 2e30 3\n", "line 2: \"2e30\" is not a finite number"},
        {"scale standing", kHeader + row + row, "line 3: frequency does not rise"},
        {"scale falling", kHeader + row + " 9 2 3\n", "line 3: frequency does not rise"},
        {"unended last line", kHeader + " 1 2 3", "line 2: the last line does not end"},
    };
    for (const BadOutput& bad : cases) {
        const SpiceTable table = ReadSpiceTable(bad.text, "frequency", kNames);
        EXPECT_EQ(table.error, bad.error) << bad.what;
        EXPECT_TRUE(table.scale.empty() && table.vectors.empty()) << bad.what;
    }
}

TEST(SpiceOutput, TheBoundsAreInclusive)
{
    const SpiceTable table = ReadSpiceTable(kHeader + " 1 1e30 -1e30\n", "frequency", kNames);
    ASSERT_EQ(table.error, "");
    EXPECT_EQ(table.vectors[0].front(), 1e30);
    EXPECT_EQ(table.vectors[1].front(), -1e30);
}

}  // namespace
