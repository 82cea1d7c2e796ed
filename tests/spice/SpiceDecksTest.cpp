#include <cmath>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/PartValues.h"
#include "analysis/Recalculate.h"
#include "calc/DesignConstants.h"
#include "model/Utf.h"
#include "spice/SpiceDecks.h"

namespace {

using namespace qxr;

// A value as ngspice reads a number with a scale factor, read independently of SpiceValue.
double ReadSpiceNumber(const std::string& text)
{
    static const std::map<std::string, double> kScales{{"f", 1e-15}, {"p", 1e-12}, {"n", 1e-9},  {"u", 1e-6},
                                                       {"m", 1e-3},  {"k", 1e3},   {"Meg", 1e6}, {"g", 1e9},
                                                       {"t", 1e12},  {"", 1}};
    std::size_t used = 0;
    const double mantissa = std::stod(text, &used);
    return mantissa * kScales.at(text.substr(used));
}

TEST(SpiceDecks, ValuesCarryAnEngineeringPrefix)
{
    const std::vector<std::pair<double, std::string>> cases{{4120, "4.12k"},
                                                            {820e-9, "820n"},
                                                            {1.5e6, "1.5Meg"},
                                                            {1, "1"},
                                                            {0, "0"},
                                                            {-2.2e-3, "-2.2m"},
                                                            {10e-6, "10u"},
                                                            {999.99999999996, "1k"},
                                                            {0.1e-15, "0.1f"},
                                                            {100e12, "100t"},
                                                            {3.3e9, "3.3g"},
                                                            {1.0 / 3, "333.3333333m"},
                                                            {999.9e-9, "999.9n"},
                                                            {12345678901.0, "12.3456789g"}};
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(SpiceValue(value), text);
        EXPECT_NEAR(ReadSpiceNumber(text), value, 1e-9 * std::fabs(value)) << text;
    }
    EXPECT_EQ(SpiceValue(std::nan("")), "nan");
}

TEST(SpiceDecks, APrototypesPartsRealiseItsCompensator)
{
    const Compensator c(12.5, 8000, 900);
    const AmplifierParts parts = AmplifierPartsOf(c, kPrototypeInputResistor);
    const Compensator realised = CompensatorFromParts(parts.rIn, parts.rF, parts.cZ, parts.cF);
    EXPECT_NEAR(realised.wp0 / c.wp0, 1, 1e-12);
    EXPECT_NEAR(realised.wp1 / c.wp1, 1, 1e-12);
    EXPECT_NEAR(realised.wz1 / c.wz1, 1, 1e-12);
    // A zero at or above the pole has no parts.
    EXPECT_EQ(AmplifierPartsOf(Compensator(12.5, 900, 900), 1e4).rF, 0);
    EXPECT_EQ(AmplifierPartsOf(Compensator(12.5, 900, 8000), 1e4).rF, 0);
}

// Every element line of a deck by its name: the nodes and value after it, and the comment before it.
struct DeckPart {
    std::vector<std::string> fields;
    std::string comment;
};

std::map<std::string, DeckPart> PartsOf(const std::string& deck)
{
    std::map<std::string, DeckPart> parts;
    std::istringstream lines(deck);
    std::string line, comment;
    std::getline(lines, line);  // the title
    bool inControl = false;
    while (std::getline(lines, line)) {
        if (line == ".control")
            inControl = true;
        if (line.empty() || line[0] == '.' || inControl) {
            comment.clear();
            continue;
        }
        if (line[0] == '*') {
            comment += line.substr(2) + "\n";
            continue;
        }
        std::istringstream words(line);
        DeckPart part{{}, comment};
        std::string name, word;
        words >> name;
        while (words >> word)
            part.fields.push_back(word);
        EXPECT_TRUE(parts.emplace(name, part).second) << name << " twice";
        comment.clear();
    }
    return parts;
}

struct NamedPart {
    const char* designator;
    const char16_t* symbol;  // whose value in force the part has
};

// The ANALOG decks name each part as the schematic does, with the symbol it comes from and its value in force;
// with standard values entered, those are the values.
TEST(SpiceDecks, AnalogDecksNamePartsAsTheSchematicWithTheirValuesInForce)
{
    CDesignModel model;
    Recalculate(model);
    ASSERT_TRUE(EnterStandardValues(PartValuesOf(model)));
    Recalculate(model);
    const SpiceInputs inputs = ReadSpiceInputs(model, "Test stage\nsecond line");
    ASSERT_EQ(inputs.notComputed, "");
    const std::vector<std::pair<SpiceDeck, std::vector<NamedPart>>> decks{
        {SpiceDeck::AcVoltage,
         {{"COUT", u"C__OUT"},
          {"RIN", u"R__IN"},
          {"RD", u"R__D"},
          {"RF_V", u"R__F"},
          {"CZ_V", u"C__Z"},
          {"CF_V", u"C__F"}}},
        {SpiceDeck::AcCurrent,
         {{"L1", u"L__MIN"},
          {"RMO", u"R__MOUT"},
          {"RI", u"R__I"},
          {"RF_I", u"R__F_I"},
          {"CZ_I", u"C__Z_I"},
          {"CP_I", u"C__P_I"}}},
        {SpiceDeck::Transient,
         {{"L1", u"L__MIN"},
          {"COUT", u"C__OUT"},
          {"RVFF", u"R__VFF"},
          {"CVFF", u"C__VFF"},
          {"RMO", u"R__MOUT"},
          {"RI", u"R__I"},
          {"RF_I", u"R__F_I"},
          {"CZ_I", u"C__Z_I"},
          {"CP_I", u"C__P_I"},
          {"CSS", u"C__SS"},
          {"RIN", u"R__IN"},
          {"RD", u"R__D"},
          {"RF_V", u"R__F"},
          {"CZ_V", u"C__Z"},
          {"CF_V", u"C__F"}}},
    };
    const std::regex exponent("[0-9][eE][-+]?[0-9]");
    for (const auto& [deck, named] : decks) {
        SCOPED_TRACE(SpiceDeckWord(deck));
        const SpiceDeckText text = WriteSpiceDeck(inputs, deck);
        ASSERT_EQ(text.notWritten, "");
        EXPECT_NE(text.text.find("* Design: Test stage\n* second line\n"), std::string::npos);
        const std::map<std::string, DeckPart> parts = PartsOf(text.text);
        for (const NamedPart& part : named) {
            ASSERT_EQ(parts.count(part.designator), 1u) << part.designator;
            const DeckPart& found = parts.at(part.designator);
            CSymbol& symbol = *model.FindByName(part.symbol);
            EXPECT_NE(found.comment.find(ToUtf8(symbol.name)), std::string::npos) << part.designator;
            ASSERT_GE(found.fields.size(), 3u);
            EXPECT_EQ(found.fields[2], SpiceValue(model.Read(symbol))) << part.designator;
        }
        for (const auto& [name, part] : parts) {
            EXPECT_FALSE(part.comment.empty()) << name << " has no comment";
            for (const std::string& field : part.fields)
                EXPECT_FALSE(std::regex_search(field, exponent)) << name << ": " << field;
        }
        if (deck != SpiceDeck::Transient) {
            EXPECT_NE(text.text.find("Middlebrook"), std::string::npos);
        }
    }
}

TEST(SpiceDecks, DigitalDecksArePrototypesWithTheSamplingLag)
{
    CDesignModel model;
    model.ad.SetUser(CTop::DIGITAL);
    model.T__D.SetUser(0.25);
    Recalculate(model);
    const SpiceInputs inputs = ReadSpiceInputs(model, "");
    ASSERT_EQ(inputs.notComputed, "");
    const SpiceDeckText current = WriteSpiceDeck(inputs, SpiceDeck::AcCurrent);
    EXPECT_NE(current.text.find("continuous prototype"), std::string::npos);
    const std::map<std::string, DeckPart> parts = PartsOf(current.text);
    ASSERT_EQ(parts.count("T_LAG"), 1u);
    EXPECT_EQ(parts.at("T_LAG").fields.back(), "TD=" + SpiceValue(0.75 / model.Read(model.F__SAMP)));
    EXPECT_EQ(parts.at("RI").fields[2], "10k");
    EXPECT_EQ(WriteSpiceDeck(inputs, SpiceDeck::AcVoltage).text.find("T_LAG"), std::string::npos);
    EXPECT_EQ(WriteSpiceDeck(inputs, SpiceDeck::Transient).notWritten,
              "No Spice deck: the transient deck models the ANALOG controller only.");
}

TEST(SpiceDecks, ADesignThatCannotBeSimulatedHasNoDeckAndSaysWhy)
{
    const std::vector<std::pair<std::pair<const char16_t*, double>, std::string>> cases{
        {{u"ad", 0}, "No Spice deck: the Mode is neither ANALOG nor DIGITAL."},
        {{u"R__F", -1},
         "No Spice deck: R__F - Calculated Rf - Usually selected so as to set the pole at Fx must be a positive "
         "number."},
        {{u"C__Z_I", std::nan("")}, "No Spice deck: C__Z_I - "},
        {{u"V__IN_MIN", 300}, "No Spice deck: the peak of V__IN_MIN must lie below V__OUT"},
    };
    for (const auto& [entry, reason] : cases) {
        CDesignModel model;
        Recalculate(model);
        model.FindByName(entry.first)->SetUser(entry.second);
        Recalculate(model);
        const SpiceInputs inputs = ReadSpiceInputs(model, "");
        EXPECT_EQ(inputs.notComputed.rfind(reason, 0), 0u) << inputs.notComputed;
        for (SpiceDeck deck : {SpiceDeck::AcVoltage, SpiceDeck::AcCurrent, SpiceDeck::Transient}) {
            const SpiceDeckText text = WriteSpiceDeck(inputs, deck);
            EXPECT_EQ(text.notWritten, inputs.notComputed);
            EXPECT_EQ(text.text, "");
        }
    }
}

}  // namespace
