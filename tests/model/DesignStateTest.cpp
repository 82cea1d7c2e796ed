#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/Recalculate.h"
#include "model/DesignFile.h"
#include "model/DesignModel.h"

namespace {

// Every symbol gets a random entry: set or not, and values of every kind a
// file can hold, NaN and -0 included.
void Scramble(CDesignModel& model, unsigned seed)
{
    std::mt19937 random(seed);
    const double odd[] = {std::numeric_limits<double>::quiet_NaN(), -0.0, 1e300, -7.25};
    const auto value = [&] {
        return random() % 5 == 0 ? odd[random() % 4] : std::uniform_real_distribution<double>(-1e3, 1e3)(random);
    };
    for (CSymbol* symbol : model.symbols) {
        symbol->SetCalc(value());
        if (random() % 3 == 0)
            symbol->SetUser(value());
        if (random() % 7 == 0)
            symbol->userValue = value();  // a file may hold a user value that is not in force
    }
    model.ad.SetUser(random() % 2 == 0 ? CTop::ANALOG : CTop::DIGITAL);
}

TEST(DesignState, RestoringGivesBackTheFileBytesAndTheModeMirrors)
{
    for (unsigned seed = 1; seed <= 20; ++seed) {
        SCOPED_TRACE(seed);
        CDesignModel model;
        Scramble(model, seed);
        const DesignState saved = model.SaveState();
        const std::vector<uint8_t> bytes = SaveDesign(model, u"");
        const int32_t mode = model.ad.enumUser.GetValue();

        Scramble(model, seed + 1000);
        qxr::Recalculate(model);
        EXPECT_FALSE(model.SaveState() == saved);
        model.RestoreState(saved);
        EXPECT_TRUE(model.SaveState() == saved);
        EXPECT_EQ(SaveDesign(model, u""), bytes);
        EXPECT_EQ(model.ad.enumUser.GetValue(), mode);
        EXPECT_EQ(model.Mode(), mode);
    }
}

TEST(DesignState, CoversEverySymbolAndComparesBitForBit)
{
    CDesignModel model;
    EXPECT_EQ(model.SaveState().entries.size(), model.symbols.size());

    const DesignState zero = model.SaveState();
    model.symbols.back()->calcValue = -model.symbols.back()->calcValue;
    EXPECT_FALSE(model.SaveState() == zero) << "the last symbol takes part";

    model.P__OUT.SetUser(std::numeric_limits<double>::quiet_NaN());
    const DesignState withNan = model.SaveState();
    EXPECT_TRUE(model.SaveState() == withNan);
}

}  // namespace
