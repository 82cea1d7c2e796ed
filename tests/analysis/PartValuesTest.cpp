#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/BillOfMaterials.h"
#include "analysis/NumberText.h"
#include "analysis/PartValues.h"
#include "analysis/Recalculate.h"
#include "analysis/Robustness.h"
#include "model/DesignModel.h"
#include "model/Utf.h"

namespace {

using namespace qxr;

struct DesignEdit {
    const char16_t* name;
    double value;
};

// A calculated design after the given entries.
void Design(CDesignModel& model, const std::vector<DesignEdit>& edits)
{
    for (const DesignEdit& edit : edits)
        model.FindByName(edit.name)->SetUser(edit.value);
    qxr::Recalculate(model);
}

std::array<ExactMetrics, 2> DesignMetrics(CDesignModel& model)
{
    const RobustnessInputs inputs = ReadRobustnessInputs(model);
    return {ExactMetricsOf(LoopAt(inputs, ControlLoop::Voltage, inputs.nominal)),
            ExactMetricsOf(LoopAt(inputs, ControlLoop::Current, inputs.nominal))};
}

void ExpectSameFigures(const ExactMetrics& a, const ExactMetrics& b)
{
    for (double ExactMetrics::*member : kExactMetricMembers) {
        if (std::isnan(a.*member)) {
            EXPECT_TRUE(std::isnan(b.*member));
        } else {
            EXPECT_EQ(a.*member, b.*member);
        }
    }
}

bool IsPartUnit(const std::u16string& unit)
{
    return !unit.empty() && (unit.back() == u'Ω' || unit.back() == u'F');
}

// Every resistor and capacitor the analog design uses, but the power stage's
// sense resistor and output capacitor, which are not bought by series.
TEST(PartValues, TheAnalogDesignListsEveryResistorAndCapacitorOnce)
{
    CDesignModel model;
    Design(model, {});
    const std::vector<PartValue> parts = PartValuesOf(model);
    std::set<std::u16string> listed;
    std::set<std::string> designators;
    for (const PartValue& part : parts) {
        EXPECT_TRUE(listed.insert(part.symbol->name).second) << ToUtf8(part.symbol->name);
        EXPECT_TRUE(designators.insert(part.designator).second) << part.designator;
        EXPECT_EQ(part.symbol->unit.back() == u'Ω', part.kind == PartKind::Resistor);
        EXPECT_EQ(part.series, part.kind == PartKind::Resistor ? CSeries::E96 : CSeries::E12);
        EXPECT_EQ(part.standard, NearestStandardValue(part.inForce, part.series));
        EXPECT_EQ(part.tolerance, part.kind == PartKind::Resistor ? 1 : 10);
        EXPECT_EQ(part.pair.has_value(), std::fabs(part.deviation) > 2);
    }
    for (CSymbol* symbol : model.symbols) {
        const bool bought = symbol->inUse && IsPartUnit(symbol->unit);
        const bool powerStage = symbol == &model.R__SENSE || symbol == &model.C__OUT;
        EXPECT_EQ(listed.count(symbol->name), bought && !powerStage ? 1u : 0u) << ToUtf8(symbol->name);
    }
    EXPECT_EQ(parts.size(), listed.size());

    CDesignModel digital;
    Design(digital, {{u"ad", CTop::DIGITAL}});
    EXPECT_TRUE(PartValuesOf(digital).empty());
    EXPECT_FALSE(StandardValueLoopsOf(digital, {}).notComputed.empty());
}

// What the loops with standard values show before they are entered is what
// the design gives after; reverting every part brings the proposal back exactly.
TEST(PartValues, EnteringTheStandardValuesGivesTheFiguresShownBefore)
{
    const std::vector<std::vector<DesignEdit>> designs{
        {},
        {{u"ser__R", CSeries::E24}, {u"ser__C", CSeries::E6}},
        {{u"P__OUT", 300}, {u"F__X_VLOOP", 10}, {u"ser__R", CSeries::E192}, {u"ser__C", CSeries::E24}},
        {{u"ser__R", CSeries::None}},
    };
    for (const auto& edits : designs) {
        SCOPED_TRACE(edits.size());
        CDesignModel model;
        Design(model, edits);
        const DesignState proposal = model.SaveState();
        const std::array<ExactMetrics, 2> proposalMetrics = DesignMetrics(model);
        const std::vector<PartValue> parts = PartValuesOf(model);
        const StandardValueLoops shown = StandardValueLoopsOf(model, parts);
        ASSERT_TRUE(shown.notComputed.empty());

        ASSERT_TRUE(EnterStandardValues(parts));
        qxr::Recalculate(model);
        const std::array<ExactMetrics, 2> entered = DesignMetrics(model);
        for (std::size_t i = 0; i < 2; ++i) {
            ExpectSameFigures(shown.design[i], proposalMetrics[i]);
            ExpectSameFigures(entered[i], shown.standard[i]);
        }
        for (const PartValue& part : parts) {
            const bool rounded = !std::isnan(part.standard);
            if (rounded) {  // a part left alone may follow a rounded one
                EXPECT_EQ(part.symbol->Value(), part.standard) << part.designator;
            }
            EXPECT_EQ(part.symbol->userSet, rounded && part.standard != part.inForce) << part.designator;
        }
        EXPECT_FALSE(EnterStandardValues(PartValuesOf(model)));  // nothing left to round

        for (const PartValue& part : parts)
            part.symbol->RevertToCalc();
        qxr::Recalculate(model);
        EXPECT_EQ(model.SaveState(), proposal);
        for (std::size_t i = 0; i < 2; ++i)
            ExpectSameFigures(DesignMetrics(model)[i], proposalMetrics[i]);
    }
}

TEST(PartValues, AValueThatIsNotPositiveHasNoStandardValue)
{
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    for (double bad : {0.0, -1e3, kNaN, std::numeric_limits<double>::infinity()}) {
        CDesignModel model;
        Design(model, {{u"R__F", bad}, {u"C__T", bad}});
        const std::vector<PartValue> parts = PartValuesOf(model);
        for (const PartValue& part : parts) {
            if (part.symbol != &model.R__F && part.symbol != &model.C__T)
                continue;
            EXPECT_TRUE(std::isnan(part.standard));
            EXPECT_FALSE(part.pair.has_value() && part.pair->first != 0);
            EXPECT_EQ(PartNote(part).rfind("no standard value: ", 0), 0u);
            EXPECT_NE(PartNote(part).find(" is not a positive number"), std::string::npos);
        }
        StandardValueLoopsOf(model, parts);  // figures or NaN, but no fault
        EnterStandardValues(parts);
        // The entry stays as it was.
        EXPECT_TRUE(model.R__F.userValue == bad || (std::isnan(bad) && std::isnan(model.R__F.userValue)));
        const std::string csv = BomCsv(parts);
        EXPECT_NE(csv.find("RF_V,R__F,"), std::string::npos);
        EXPECT_NE(csv.find("no standard value"), std::string::npos);
    }
}

// One header and one line per part, CRLF ends, quotes only where a field needs them.
TEST(BillOfMaterials, CsvQuotesFieldsThatNeedItAndEndsLinesWithCrLf)
{
    CDesignModel model;
    Design(model, {});
    std::vector<PartValue> parts = PartValuesOf(model);
    model.R__F.description = u"Feedback, \"Rf\"\nof the VEA";
    const std::string csv = BomCsv(parts);
    EXPECT_EQ(csv.rfind("Designator,Symbol,Description,Calculated,Standard,Series,Deviation (%),Tolerance (%),Unit,"
                        "Pair,Note\r\n",
                        0),
              0u);
    EXPECT_NE(csv.find("RF_V,R__F,\"Feedback, \"\"Rf\"\"\nof the VEA\",101.35,102,E96,0.642,1,kΩ,,\r\n"),
              std::string::npos)
        << csv;
    EXPECT_NE(csv.find("CZ_V,C__Z,Calculated Cz - Set the low frequency zero,837.233,820,E12,-2.058,10,nF,"
                       "\"820 nF + 18 nF in parallel, 0.092 %\",\r\n"),
              std::string::npos)
        << csv;
    EXPECT_NE(csv.find("CSS,C__SS,Soft Start Capacitor,10,10,E12,0.000,10,nF,,\r\n"), std::string::npos);
    std::size_t lines = 0;
    for (std::size_t at = csv.find("\r\n"); at != std::string::npos; at = csv.find("\r\n", at + 2))
        ++lines;
    EXPECT_EQ(lines, parts.size() + 1);
    EXPECT_EQ(csv.substr(csv.size() - 2), "\r\n");
}

TEST(NumberText, EngineeringPrefixes)
{
    struct Case {
        double value;
        const char* unit;
        int digits;
        const char* text;
    };
    const Case kCases[] = {
        {4120, "Ω", 3, "4.12 kΩ"},  {820e-9, "F", 3, "820 nF"},
        {1e6, "Ω", 3, "1 MΩ"},      {4101.35, "Ω", 4, "4.101 kΩ"},
        {999.96, "Ω", 3, "1 kΩ"},   {47e-12, "F", 2, "47 pF"},
        {1e-13, "F", 3, "1e-13 F"}, {-4700, "Ω", 3, "-4.7 kΩ"},
        {0, "Ω", 3, "0 Ω"},         {std::numeric_limits<double>::quiet_NaN(), "F", 3, "nan F"},
        {2.2e-3, "F", 3, "2.2 mF"}, {1e-3, "F", 3, "1 mF"},
        {100e-6, "F", 3, "100 µF"},
    };
    for (const Case& c : kCases)
        EXPECT_EQ(FormatEngineering(c.value, c.unit, c.digits), c.text) << c.value;
}

}  // namespace
