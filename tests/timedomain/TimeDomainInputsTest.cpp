#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "analysis/FirmwareHeader.h"
#include "analysis/Recalculate.h"
#include "calc/CoefficientExport.h"
#include "timedomain/Scenarios.h"
#include "timedomain/TimeDomainTestDesigns.h"

namespace {

using qxr::test::DesignInputs;

// Every scenario of a design that cannot be simulated says why, at once.
TEST(TimeDomainInputs, BadInputsGiveTheReason)
{
    struct Case {
        int32_t mode;
        const char16_t* symbol;
        double value;
        const char* reason;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {CTop::ANALOG, u"P__STEP_FROM", 120,
         "P__STEP_FROM - Load Before and After the Load Step is outside of its range"},
        {CTop::DIGITAL, u"t__SETTLE_MAX", 10, "t__SETTLE_MAX"},
        {CTop::ANALOG, u"load__TD", 2, "load__TD - Load of the Time-Domain Simulation is not one of its choices"},
        {CTop::ANALOG, u"cls__IEC", 0.5, "cls__IEC"},
        {CTop::ANALOG, u"f__LINE", 0, "f__LINE - Line Frequency must be a positive number"},
        {CTop::ANALOG, u"f__LINE", 1e-4, "f__LINE must lie between 1 Hz and 2 kHz"},
        {CTop::DIGITAL, u"f__S", 4000, "f__S must be at least 100 times f__LINE"},
        {CTop::DIGITAL, u"L__MIN", -1e-3, "L__MIN"},
        {CTop::ANALOG, u"C__OUT", nan, "C__OUT"},
        {CTop::ANALOG, u"C__Z", 0, "C__Z"},
        {CTop::ANALOG, u"P__OUT", std::numeric_limits<double>::infinity(), "P__OUT"},
        {CTop::DIGITAL, u"T__D", -0.5, "T__D"},
        {CTop::DIGITAL, u"N__FRAC", 40, "fraction bits of the Qm.n coefficients"},
        {CTop::ANALOG, u"F__X_VLOOP", 0.1, "the design's voltage loop has no crossover"},
        {312, u"P__OUT", 150, "the Mode is neither ANALOG nor DIGITAL"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        qxr::test::Entries entries{{c.symbol, c.value}};
        if (c.symbol == std::u16string(u"N__FRAC"))
            entries.emplace_back(u"fmt__COEF", CCoefficientFormat::Qmn);
        const qxr::TimeDomainInputs inputs = DesignInputs(c.mode, entries);
        EXPECT_EQ(inputs.notComputed.rfind("The time-domain simulation is not computed: ", 0), 0u);
        EXPECT_NE(inputs.notComputed.find(c.reason), std::string::npos) << inputs.notComputed;
        const qxr::TimeDomainReport report = qxr::SimulateTimeDomain(inputs);
        for (const std::string* reason :
             {&report.notComputed, &report.steadyStates.notComputed, &report.loadStep.notComputed,
              &report.startUp.notComputed, &report.holdUp.notComputed})
            EXPECT_EQ(*reason, inputs.notComputed);
        EXPECT_TRUE(report.steadyStates.points.empty());
        EXPECT_TRUE(std::isnan(report.loadStep.loop.effectiveCrossover));
    }
}

// The numbers each #define of the header stands for, read from the header's own text.
std::array<double, 5> HeaderNumbers(const std::string& header, const std::string& suffix)
{
    std::array<double, 5> numbers{};
    const char* names[] = {"B0_", "B1_", "B2_", "A1_", "A2_"};
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        const std::string key = "#define " + std::string(names[i]) + suffix + " (";
        const std::size_t at = header.find(key);
        EXPECT_NE(at, std::string::npos) << key;
        numbers[i] = std::strtod(header.c_str() + at + key.size(), nullptr);
    }
    return numbers;
}

int HeaderShift(const std::string& header, const std::string& suffix)
{
    const std::string key = "#define SHIFT_" + suffix + " (";
    return std::atoi(header.c_str() + header.find(key) + key.size());
}

// The simulated firmware runs the numbers of the exported header: the
// integers and shifts of Quantise, the real formats' numbers as written.
TEST(TimeDomainInputs, DigitalRunUsesTheNumbersOfTheExportedHeader)
{
    for (int32_t format : {CCoefficientFormat::Double, CCoefficientFormat::Float, CCoefficientFormat::Q15,
                           CCoefficientFormat::Q31, CCoefficientFormat::Qmn}) {
        SCOPED_TRACE(format);
        CDesignModel model;
        model.ad.SetUser(CTop::DIGITAL);
        model.fmt__COEF.SetUser(format);
        model.N__FRAC.SetUser(18);
        qxr::Recalculate(model);
        const qxr::TimeDomainInputs inputs = qxr::ReadTimeDomainInputs(model);
        ASSERT_EQ(inputs.notComputed, "");
        const std::string header = qxr::FirmwareHeaderOf(model, u"").text;
        for (std::size_t k = 0; k < qxr::kCoefficientSets.size(); ++k) {
            const qxr::FirmwareSetNumbers& set = inputs.digitalParts.sets[k];
            const std::string suffix = qxr::LayoutOf(qxr::kCoefficientSets[k]).suffix;
            const std::array<double, 5> written = HeaderNumbers(header, suffix);
            const bool integer = inputs.digitalParts.format.IsInteger();
            for (std::size_t i = 0; i < written.size(); ++i)
                EXPECT_EQ(integer ? static_cast<double>(set.integers[i]) : set.reals[i], written[i]) << suffix << i;
            if (integer) {
                EXPECT_EQ(set.shift, HeaderShift(header, suffix));
            }
        }
        // One full scale per set: the line peak with room, the loop's output range, the unit duty.
        EXPECT_DOUBLE_EQ(inputs.digitalParts.sets[0].fullScale, 1.25 * std::sqrt(2.0) * 265);
        EXPECT_DOUBLE_EQ(inputs.digitalParts.sets[1].fullScale, model.DeltaV__AOUT.Value());
        EXPECT_EQ(inputs.digitalParts.sets[2].fullScale, 1.0);
    }
}

}  // namespace
