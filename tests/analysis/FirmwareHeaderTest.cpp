#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/FirmwareHeader.h"
#include "analysis/Recalculate.h"
#include "calc/CoefficientExport.h"
#include "calc/FirmwareStep.h"
#include "calc/FixedPoint.h"
#include "model/Enumerations.h"

namespace {

using qxr::CoefficientFormat;
using qxr::CoefficientSet;
using qxr::FirmwareHeaderOf;

namespace fs = std::filesystem;

// A scratch folder of its own, removed with everything in it.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "qxr-header-XXXXXX").string();
        path_ = mkdtemp(pattern.data()) ? fs::path(pattern) : fs::path();
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

void WriteText(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadText(const fs::path& path)
{
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

struct DesignCase {
    const char* name;
    int32_t method;
    std::vector<std::pair<CSymbol CDesignModel::*, double>> entries;
};

const DesignCase kDesigns[] = {
    {"default", CDiscretisation::Bilinear, {}},
    {"40 W at 400 kHz",
     CDiscretisation::PreWarped,
     {{&CDesignModel::P__OUT, 40}, {&CDesignModel::f__S, 400000}, {&CDesignModel::F__X_ILOOP, 15000}}},
    {"matched", CDiscretisation::Matched, {{&CDesignModel::F__SAMP_V, 10000}}},
};

void Design(CDesignModel& model, const DesignCase& design, const CoefficientFormat& format)
{
    model.ad.SetUser(CTop::DIGITAL);
    model.disc__DIG.SetUser(design.method);
    model.fmt__COEF.SetUser(format.kind);
    model.N__FRAC.SetUser(format.fractionBits);
    for (const auto& [symbol, value] : design.entries)
        (model.*symbol).SetUser(value);
    qxr::Recalculate(model);
}

// Runs every input through each set, from a zero state, in the order
// feed-forward, voltage, current; prints one output a line.
std::string IntegerProgram(const CoefficientFormat& format)
{
    const std::string bits = std::to_string(format.WordBits());
    return "#include <stdio.h>\n#include \"firmware.h\"\n"
           "int main(void)\n{\n"
           "    static const int" +
           bits +
           "_t c[3][5] = {COEFFICIENTS_VFF, COEFFICIENTS_V, COEFFICIENTS_I};\n"
           "    static const int shifts[3] = {SHIFT_VFF, SHIFT_V, SHIFT_I};\n"
           "    static long long inputs[4096];\n"
           "    int count = 0;\n"
           "    while (count < 4096 && scanf(\"%lld\", &inputs[count]) == 1)\n"
           "        ++count;\n"
           "    for (int set = 0; set < 3; ++set) {\n"
           "        qxr_2p2z_i" +
           bits +
           "_state state = {0, 0, 0, 0};\n"
           "        for (int n = 0; n < count; ++n)\n"
           "            printf(\"%lld\\n\", (long long)qxr_2p2z_i" +
           bits + "_step(&state, c[set], shifts[set], (int" + bits +
           "_t)inputs[n]));\n"
           "    }\n"
           "    return 0;\n}\n";
}

// The same difference equation with the real values of the integer
// coefficients. Long double holds every product of two 32-bit words exactly,
// so only the rounding of the output to the word is left.
std::vector<long long> Reference(const qxr::QuantisedSet& set, int wordBits, const std::vector<long long>& inputs)
{
    const long double wordMax = std::ldexp(1.0L, wordBits - 1) - 1, wordMin = -wordMax - 1;
    long double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    std::vector<long long> outputs;
    for (long long input : inputs) {
        const long double x = static_cast<long double>(input);
        const auto& c = set.integers;
        const long double acc = c[0] * x + c[1] * x1 + c[2] * x2 + c[3] * y1 + c[4] * y2;
        const long double y =
            std::fmin(std::fmax(std::floor(std::ldexp(acc, -set.scaleBits) + 0.5L), wordMin), wordMax);
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        outputs.push_back(static_cast<long long>(y));
    }
    return outputs;
}

// Zeros, a step of a quarter of the word, then random samples within it.
std::vector<long long> Inputs(int wordBits)
{
    const long long quarter = (1LL << (wordBits - 1)) / 4;
    std::vector<long long> inputs(50, 0);
    inputs.insert(inputs.end(), 300, quarter);
    std::mt19937_64 engine(7);
    std::uniform_int_distribution<long long> random(-quarter, quarter);
    for (int n = 0; n < 300; ++n)
        inputs.push_back(random(engine));
    return inputs;
}

std::string Compile(const fs::path& folder, const std::string& header, const std::string& program)
{
    WriteText(folder / "firmware.h", header);
    WriteText(folder / "main.c", program);
    const std::string command = std::string(QXR_SYSTEM_C_COMPILER) + " -std=c99 -Wall -Wextra -Werror -o '" +
                                (folder / "run").string() + "' '" + (folder / "main.c").string() + "' 2> '" +
                                (folder / "errors").string() + "'";
    return std::system(command.c_str()) == 0 ? "" : ReadText(folder / "errors");
}

TEST(FirmwareHeader, CompilesAndRunsLikeTheDifferenceEquationInEveryIntegerFormat)
{
    const ScratchFolder scratch;
    ASSERT_FALSE(scratch.Path().empty());
    for (const DesignCase& design : kDesigns) {
        for (const CoefficientFormat& format :
             {CoefficientFormat{CCoefficientFormat::Q15, 0}, CoefficientFormat{CCoefficientFormat::Q31, 0},
              CoefficientFormat{CCoefficientFormat::Qmn, 20}}) {
            SCOPED_TRACE(std::string(design.name) + " in " + qxr::FormatName(format));
            CDesignModel model;
            Design(model, design, format);
            const auto header = FirmwareHeaderOf(model, u"Bench unit */ with a comment end\nsecond line");
            ASSERT_TRUE(header.problems.empty()) << header.problems.front();
            ASSERT_EQ(Compile(scratch.Path(), header.text, IntegerProgram(format)), "");
            const std::vector<long long> inputs = Inputs(format.WordBits());
            std::string inputText;
            for (long long input : inputs)
                inputText += std::to_string(input) + "\n";
            WriteText(scratch.Path() / "inputs", inputText);
            const fs::path run = scratch.Path() / "run";
            const std::string command = "'" + run.string() + "' < '" + (scratch.Path() / "inputs").string() + "' > '" +
                                        (scratch.Path() / "outputs").string() + "'";
            ASSERT_EQ(std::system(command.c_str()), 0);
            std::istringstream outputs(ReadText(scratch.Path() / "outputs"));
            for (CoefficientSet set : qxr::kCoefficientSets) {
                const auto quantised =
                    qxr::Quantise(qxr::CoefficientsOf(model, set), format, qxr::LayoutOf(set).hasIntegrator);
                const std::vector<long long> expected = Reference(quantised, format.WordBits(), inputs);
                int worst = 0;
                for (std::size_t n = 0; n < inputs.size(); ++n) {
                    long long output = 0;
                    ASSERT_TRUE(outputs >> output);
                    if (n < 50) {
                        ASSERT_EQ(output, 0) << "zero in from a zero state, at " << n;
                    }
                    worst = std::max(worst, static_cast<int>(std::llabs(output - expected[n])));
                }
                EXPECT_LE(worst, 2) << qxr::LayoutOf(set).title;
            }
        }
    }
}

// Runs every input through each set with the header's step function, from a
// zero state, in the order feed-forward, voltage, current; prints each output
// exactly, as hexadecimal floating point.
std::string StepProgram(const CoefficientFormat& format)
{
    const bool integer = format.IsInteger();
    const std::string bits = std::to_string(format.WordBits());
    const std::string type =
        integer ? "int" + bits + "_t" : (format.kind == CCoefficientFormat::Float ? "float" : "double");
    const std::string name = integer ? "i" + bits : type;
    std::string text = "#include <stdio.h>\n#include \"firmware.h\"\nint main(void)\n{\n    static const " + type +
                       " c[3][5] = {COEFFICIENTS_VFF, COEFFICIENTS_V, COEFFICIENTS_I};\n";
    if (integer)
        text += "    static const int shifts[3] = {SHIFT_VFF, SHIFT_V, SHIFT_I};\n";
    return text + "    static double inputs[4096];\n    int count = 0;\n" +
           "    while (count < 4096 && scanf(\"%la\", &inputs[count]) == 1)\n        ++count;\n" +
           "    for (int set = 0; set < 3; ++set) {\n        qxr_2p2z_" + name + "_state state = {0, 0, 0, 0};\n" +
           "        for (int n = 0; n < count; ++n)\n            printf(\"%a\\n\", (double)qxr_2p2z_" + name +
           "_step(&state, c[set], " + (integer ? "shifts[set], " : "") + "(" + type + ")inputs[n]));\n" +
           "    }\n    return 0;\n}\n";
}

// Zeros, a step, then random samples: for a word the quarter-word inputs and
// then the whole word, so that sums and outputs saturate.
std::vector<double> StepInputs(const CoefficientFormat& format)
{
    std::vector<double> inputs;
    std::mt19937_64 engine(11);
    if (format.IsInteger()) {
        for (long long input : Inputs(format.WordBits()))
            inputs.push_back(static_cast<double>(input));
        const long long wordMax = (1LL << (format.WordBits() - 1)) - 1;
        std::uniform_int_distribution<long long> word(-wordMax - 1, wordMax);
        inputs.insert(inputs.end(), 100, static_cast<double>(wordMax));
        for (int n = 0; n < 300; ++n)
            inputs.push_back(static_cast<double>(word(engine)));
        return inputs;
    }
    std::uniform_real_distribution<double> real(-1000, 1000);
    inputs.assign(20, 0.0);
    inputs.insert(inputs.end(), 200, 400.0);
    for (int n = 0; n < 400; ++n)
        inputs.push_back(real(engine));
    return inputs;
}

template <typename Value>
std::vector<double> CoreOutputs(const std::array<double, qxr::kCoefficientsPerSet>& coefficients, int shift,
                                const std::vector<double>& inputs)
{
    std::array<Value, qxr::kCoefficientsPerSet> c{};
    for (std::size_t i = 0; i < c.size(); ++i)
        c[i] = static_cast<Value>(coefficients[i]);
    qxr::FirmwareFilterState<Value> state;
    std::vector<double> outputs;
    for (double input : inputs) {
        if constexpr (std::is_integral_v<Value>)
            outputs.push_back(qxr::FirmwareStep(state, c, shift, static_cast<Value>(input)));
        else
            outputs.push_back(qxr::FirmwareStep(state, c, static_cast<Value>(input)));
    }
    return outputs;
}

// The core's outputs with the coefficients the simulation takes: the integers
// of Quantise, and the real formats' numbers as the header's text gives them.
std::vector<double> CoreOutputs(const CDesignModel& model, CoefficientSet set, const CoefficientFormat& format,
                                const std::vector<double>& inputs)
{
    const auto quantised = qxr::Quantise(qxr::CoefficientsOf(model, set), format, qxr::LayoutOf(set).hasIntegrator);
    std::array<double, qxr::kCoefficientsPerSet> integers{};
    for (std::size_t i = 0; i < integers.size(); ++i)
        integers[i] = static_cast<double>(quantised.integers[i]);
    const auto defined = qxr::DefinedCoefficients(qxr::CoefficientText(model, set, format));
    switch (format.kind) {
    case CCoefficientFormat::Double:
        return CoreOutputs<double>(defined, 0, inputs);
    case CCoefficientFormat::Float:
        return CoreOutputs<float>(defined, 0, inputs);
    case CCoefficientFormat::Q15:
        return CoreOutputs<int16_t>(integers, quantised.scaleBits, inputs);
    default:
        return CoreOutputs<int32_t>(integers, quantised.scaleBits, inputs);
    }
}

// The simulation runs the firmware through the core's step function: it gives
// the header's outputs bit for bit, saturation and rounding included.
TEST(FirmwareHeader, CoreStepFunctionGivesTheHeadersOutputsBitForBit)
{
    const ScratchFolder scratch;
    ASSERT_FALSE(scratch.Path().empty());
    for (const CoefficientFormat& format :
         {CoefficientFormat{CCoefficientFormat::Double, 0}, CoefficientFormat{CCoefficientFormat::Float, 0},
          CoefficientFormat{CCoefficientFormat::Q15, 0}, CoefficientFormat{CCoefficientFormat::Q31, 0},
          CoefficientFormat{CCoefficientFormat::Qmn, 20}}) {
        SCOPED_TRACE(qxr::FormatName(format));
        CDesignModel model;
        Design(model, kDesigns[1], format);
        const auto header = FirmwareHeaderOf(model, u"");
        ASSERT_TRUE(header.problems.empty()) << header.problems.front();
        ASSERT_EQ(Compile(scratch.Path(), header.text, StepProgram(format)), "");
        const std::vector<double> inputs = StepInputs(format);
        std::string inputText;
        for (double input : inputs) {
            char line[64];
            std::snprintf(line, sizeof line, "%a\n", input);
            inputText += line;
        }
        WriteText(scratch.Path() / "inputs", inputText);
        const std::string command = "'" + (scratch.Path() / "run").string() + "' < '" +
                                    (scratch.Path() / "inputs").string() + "' > '" +
                                    (scratch.Path() / "outputs").string() + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
        std::istringstream outputs(ReadText(scratch.Path() / "outputs"));
        for (CoefficientSet set : qxr::kCoefficientSets) {
            const std::vector<double> expected = CoreOutputs(model, set, format, inputs);
            std::size_t differing = 0;
            for (double core : expected) {
                std::string text;
                ASSERT_TRUE(outputs >> text);
                differing += std::strtod(text.c_str(), nullptr) == core ? 0 : 1;
            }
            EXPECT_EQ(differing, 0u) << qxr::LayoutOf(set).title;
        }
    }
}

TEST(FirmwareHeader, RealFormatsCompileAndKeepTheDoubleText)
{
    const ScratchFolder scratch;
    ASSERT_FALSE(scratch.Path().empty());
    const char* const program = "#include \"firmware.h\"\n"
                                "int main(void)\n{\n"
                                "    static const TYPE c[5] = COEFFICIENTS_I;\n"
                                "    qxr_2p2z_TYPE_state state = {0, 0, 0, 0};\n"
                                "    return qxr_2p2z_TYPE_step(&state, c, 0) == 0 ? 0 : 1;\n}\n";
    for (int32_t kind : {CCoefficientFormat::Double, CCoefficientFormat::Float}) {
        CDesignModel model;
        Design(model, kDesigns[0], {kind, 24});
        const auto header = FirmwareHeaderOf(model, u"");
        const std::string type = kind == CCoefficientFormat::Float ? "float" : "double";
        std::string text = program;
        for (std::size_t at = text.find("TYPE"); at != std::string::npos; at = text.find("TYPE"))
            text.replace(at, 4, type);
        ASSERT_EQ(Compile(scratch.Path(), header.text, text), "") << type;
        EXPECT_EQ(std::system(("'" + (scratch.Path() / "run").string() + "'").c_str()), 0) << type;
        if (kind == CCoefficientFormat::Double)
            EXPECT_NE(header.text.find(qxr::WithLineFeeds(qxr::CoefficientText(model, CoefficientSet::CurrentLoop))),
                      std::string::npos);
        else
            EXPECT_NE(header.text.find("#define B0_I (+1.96051911e-01f)\n"), std::string::npos) << header.text;
    }
}

TEST(FirmwareHeader, CarriesTheFiguresTheFormatAndAGuard)
{
    CDesignModel model;
    Design(model, kDesigns[0], {CCoefficientFormat::Q15, 0});
    const std::string text = FirmwareHeaderOf(model, u"PFC 300 W").text;
    for (const char* part : {" * PFC 300 W\n", " * Voltage loop: crossover 7 Hz, phase margin 60 degrees",
                             " * Current loop: crossover 10000 Hz, phase margin 50 degrees", "Format: Q15.",
                             "Discretisation: Bilinear.", "#ifndef QXR_FIRMWARE_COEFFICIENTS_H\n",
                             "/* Current loop, sampled at 200000 Hz, Q15. */\n#define FSAMP_HZ_I (200000)\n",
                             "#define POST_SHIFT_V (1)\n#define SHIFT_V (14)\n", "int32_t acc",
                             "#endif /* QXR_FIRMWARE_COEFFICIENTS_H */\n"})
        EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
    EXPECT_EQ(text.find('\r'), std::string::npos);
}

// Nothing with nonsense in it: each of these gets its reason and no text,
// and the design log says it too.
TEST(FirmwareHeader, RefusedWithAReasonForABadDesign)
{
    struct Case {
        const char16_t* symbol;
        double value;
        const char* reason;
    };
    const Case cases[] = {
        {u"N__FRAC", 0, "fraction bits of the Qm.n coefficients must be a whole number from 1 to 31"},
        {u"N__FRAC", 32, "from 1 to 31"},
        {u"N__FRAC", 15.5, "from 1 to 31"},
        {u"F__SAMP_V", 0, "sampling frequency of the voltage loop must be a positive number"},
        {u"F__SAMP_V", std::nan(""), "sampling frequency of the feed-forward low-pass must be"},
        {u"F__X_ILOOP", 120000, "The current loop's crossover lies at or above the Nyquist frequency"},
        {u"ad", CTop::ANALOG, "not in DIGITAL mode"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        CDesignModel model;
        Design(model, kDesigns[0], {CCoefficientFormat::Qmn, 16});
        model.FindByName(c.symbol)->SetUser(c.value);
        qxr::Recalculate(model);
        const auto header = FirmwareHeaderOf(model, u"");
        EXPECT_EQ(header.text, "");
        std::string reasons;
        for (const std::string& problem : header.problems)
            reasons += problem + "\n";
        EXPECT_NE(reasons.find(c.reason), std::string::npos) << reasons;
        if (model.Mode() == CTop::DIGITAL) {
            EXPECT_NE(model.messages.find(c.reason), std::string::npos) << model.messages;
        }
    }
}

}  // namespace
