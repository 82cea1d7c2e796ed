#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "analysis/Recalculate.h"
#include "calc/CoefficientExport.h"

namespace {

using qxr::CoefficientSet;
using qxr::CoefficientText;

TEST(CoefficientExport, FiveDefinesWithSignAndSixteenDecimals)
{
    CDesignModel model;
    model.B0_I.SetCalc(0.5);
    model.B1_I.SetCalc(-0.25);
    model.B2_I.SetCalc(0);
    model.A1_I.SetCalc(1.75);
    model.A2_I.SetCalc(-0.75);
    EXPECT_EQ(CoefficientText(model, CoefficientSet::CurrentLoop), "#define B0_I (+0.5000000000000000)\r\n"
                                                                   "#define B1_I (-0.2500000000000000)\r\n"
                                                                   "#define B2_I (+0.0000000000000000)\r\n"
                                                                   "#define A1_I (+1.7500000000000000)\r\n"
                                                                   "#define A2_I (-0.7500000000000000)\r\n");
}

TEST(CoefficientExport, EachSetNamesItsOwnSymbolsInOrder)
{
    CDesignModel model;
    model.ad.SetUser(314);
    qxr::Recalculate(model);
    struct Case {
        CoefficientSet set;
        const char* firstLine;
        const char* lastName;
    };
    const Case cases[] = {
        {CoefficientSet::FeedForward, "#define B0_VFF (+0.0000307148", "A2_VFF"},
        {CoefficientSet::VoltageLoop, "#define B0_V (", "A2_V"},
        {CoefficientSet::CurrentLoop, "#define B0_I (", "A2_I"},
    };
    for (const Case& c : cases) {
        const std::string text = CoefficientText(model, c.set);
        EXPECT_EQ(text.rfind(c.firstLine, 0), 0u) << text;
        EXPECT_NE(text.find(std::string("#define ") + c.lastName + " ("), std::string::npos);
        std::size_t lines = 0;
        for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
            ++lines;
        EXPECT_EQ(lines, 5u);
        EXPECT_EQ(text.substr(text.size() - 3), ")\r\n");
    }
}

TEST(CoefficientExport, WritesTheCalculatedValueEvenUnderAUserEntry)
{
    CDesignModel model;
    model.B0_V.SetCalc(0.125);
    model.B0_V.SetUser(9);
    EXPECT_EQ(CoefficientText(model, CoefficientSet::VoltageLoop).substr(0, 36),
              "#define B0_V (+0.1250000000000000)\r\n");
}

TEST(CoefficientExport, HugeAndNonFiniteValuesAreWrittenInFull)
{
    CDesignModel model;
    model.B0_VFF.SetCalc(-1e300);
    model.B1_VFF.SetCalc(std::numeric_limits<double>::max());
    model.A2_VFF.SetCalc(std::numeric_limits<double>::max());
    model.B2_VFF.SetCalc(std::numeric_limits<double>::quiet_NaN());
    model.A1_VFF.SetCalc(-std::numeric_limits<double>::infinity());
    const std::string text = CoefficientText(model, CoefficientSet::FeedForward);
    const std::string first = text.substr(0, text.find("\r\n"));
    EXPECT_EQ(first.size(), std::string("#define B0_VFF (-").size() + 301 + 17 + 1);
    EXPECT_EQ(first.substr(first.size() - 18), ".0000000000000000)");
    EXPECT_GT(text.size(), 1023u);
    EXPECT_NE(text.find("#define B2_VFF (+nan)\r\n"), std::string::npos) << text.substr(600);
    EXPECT_NE(text.find("#define A1_VFF (-inf)\r\n"), std::string::npos);
    EXPECT_EQ(text.find("#define B1_VFF "
                        "(+"
                        "1797693134862315708145274237317043567980705675258449965989174768031572607800285387605895586327"
                        "6687817154045895351438246423432132688946418276846754670353751698604991057655128207624549009038"
                        "9328944075868508455133942304583236903222948165808559332123348274797826204144723168738177180919"
                        "299881250404026184124858368.0000000000000000)\r\n"),
              text.find("\r\n") + 2);
}

}  // namespace
