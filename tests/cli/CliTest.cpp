#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "FileSizeLimit.h"
#include "FolderTest.h"
#include "InProcessCli.h"
#include "NonDesignFiles.h"
#include "Significant.h"
#include "analysis/FirmwareHeader.h"
#include "analysis/Recalculate.h"
#include "calc/CoefficientExport.h"
#include "cli/Run.h"
#include "model/DesignFile.h"
#include "model/DesignModel.h"
#include "model/Utf.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

std::string ReadText(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class CliTest : public FolderTest {
protected:
    static CliResult Run(const std::vector<std::string>& args) { return RunInProcess(args); }

    // The JSON of a run that must succeed quietly.
    static json RunJson(std::vector<std::string> args)
    {
        args.insert(args.begin(), "json");
        const CliResult result = Run(args);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.err, "");
        return json::parse(result.out);
    }
};

// The built program in a process of its own, for what only a process shows:
// its exit status, its standard streams, and files it leaves on disk.
class CliProgramTest : public CliTest {
protected:
    CliResult RunProgram(const std::vector<std::string>& args) const
    {
        CliResult result = RunProgramWritingTo(Path("stdout.txt"), args);
        result.out = ReadText(Path("stdout.txt"));
        return result;
    }

    // Standard output goes to outPath and is not read back; errors are.
    CliResult RunProgramWritingTo(const fs::path& outPath, const std::vector<std::string>& args) const
    {
        const fs::path errPath = Path("stderr.txt");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::vector<char*> argv{const_cast<char*>(QXR_CLI_PATH)};
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        pid_t pid = 0;
        const int spawned = posix_spawn(&pid, QXR_CLI_PATH, &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        int status = 0;
        if (spawned != 0 || ::waitpid(pid, &status, 0) != pid)
            return {-1, "", "could not run " QXR_CLI_PATH};
        const int exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return {exitCode, "", ReadText(errPath)};
    }
};

// A default design calculated in this process, to hold the program's output against.
struct ReferenceDesign {
    explicit ReferenceDesign(int32_t mode)
    {
        if (mode != CTop::ANALOG)
            model.ad.SetUser(mode);
        qxr::Recalculate(model);
    }
    CDesignModel model;
};

json SymbolOf(const json& document, const std::string& name)
{
    for (const json& symbol : document.at("symbols"))
        if (symbol.at("name") == name)
            return symbol;
    ADD_FAILURE() << "no symbol " << name;
    return {};
}

// A JSON number, or one of the strings that stand for the values JSON lacks.
double NumberOf(const json& value)
{
    if (value == "NaN")
        return std::nan("");
    if (value == "Infinity")
        return HUGE_VAL;
    if (value == "-Infinity")
        return -HUGE_VAL;
    return value.get<double>();  // throws for any other string
}

// Equal as doubles, NaN included.
void ExpectSameDouble(double actual, double expected, const std::string& what)
{
    if (std::isnan(expected))
        EXPECT_TRUE(std::isnan(actual)) << what;
    else
        EXPECT_EQ(actual, expected) << what;
}

std::set<std::string> KeysOf(const json& object)
{
    std::set<std::string> keys;
    for (const auto& item : object.items())
        keys.insert(item.key());
    return keys;
}

std::vector<std::string> Concat(std::vector<std::string> head, const std::vector<std::string>& tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

std::string WithLineFeeds(std::string text)
{
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;)
        text.erase(at, 1);
    return text;
}

// Characters, not bytes, from the start of the line to the position.
std::size_t CharacterColumn(const std::string& text, std::size_t position)
{
    std::size_t column = 0;
    for (std::size_t i = text.rfind('\n', position) + 1; i < position; ++i)
        column += (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
    return column;
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::istringstream stream(text);
    for (std::string part; std::getline(stream, part, separator);)
        parts.push_back(part);
    return parts;
}

TEST_F(CliTest, JsonOfTheDefaultDesignInBothModesMatchesTheEngineBitForBit)
{
    const struct {
        std::vector<std::string> args;
        int32_t mode;
        const char* knownSymbol;
        double knownValue;
    } cases[] = {
        {{}, CTop::ANALOG, "R__SENSE", 0.400694},
        {{"--mode", "digital"}, CTop::DIGITAL, "A1_VFF", 1.98882},
    };
    const std::set<std::string> symbolKeys{"index",   "name",      "description", "unit",     "scale",
                                           "value",   "calcValue", "userValue",   "userSet",  "inUse",
                                           "isInput", "default",   "limitMin",    "limitMax", "outsideLimits"};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        const json document = RunJson(c.args);
        ASSERT_EQ(KeysOf(document), (std::set<std::string>{"description", "mode", "symbols", "messages", "metrics"}));
        EXPECT_EQ(document["description"], "Add Description here...");
        EXPECT_EQ(document["mode"], c.mode);
        EXPECT_TRUE(MatchesSignificant(NumberOf(SymbolOf(document, c.knownSymbol)["value"]), c.knownValue));

        const ReferenceDesign reference(c.mode);
        ASSERT_EQ(document["symbols"].size(), CDesignModel::kSymbolCount);
        for (std::size_t k = 0; k < CDesignModel::kSymbolCount; ++k) {
            const json& symbol = document["symbols"][k];
            const CSymbol& expected = *reference.model.symbols[k];
            SCOPED_TRACE(symbol.value("name", "?"));
            ASSERT_EQ(KeysOf(symbol), symbolKeys);
            EXPECT_EQ(symbol["index"], k);
            EXPECT_EQ(symbol["inUse"], expected.inUse);
            EXPECT_EQ(symbol["userSet"], expected.userSet);
            ExpectSameDouble(NumberOf(symbol["value"]), expected.Value(), "value");
            ExpectSameDouble(NumberOf(symbol["calcValue"]), expected.calcValue, "calcValue");
        }
        EXPECT_EQ(SymbolOf(document, "L__MIN")["unit"], "µH");  // UTF-8 out of the UTF-16 catalogue
        EXPECT_EQ(SymbolOf(document, "PM__VLOOP")["limitMax"], 75.0);

        const json& voltage = document["metrics"]["voltage"];
        EXPECT_EQ(KeysOf(voltage),
                  (std::set<std::string>{"crossIdx", "phaseCrossIdx", "fx", "slope", "gainMargin", "phaseMargin"}));
        EXPECT_EQ(voltage["crossIdx"], reference.model.Loop(qxr::ControlLoop::Voltage).crossIdx);
        EXPECT_EQ(NumberOf(voltage["phaseMargin"]), reference.model.Loop(qxr::ControlLoop::Voltage).phaseMargin);
        EXPECT_EQ(NumberOf(document["metrics"]["current"]["gainMargin"]),
                  reference.model.Loop(qxr::ControlLoop::Current).gainMargin);
    }
}

TEST_F(CliTest, JsonWritesNonFiniteNumbersAsStrings)
{
    // In an unknown Mode nothing is calculated, so no metric is ever measured.
    const json unknownMode = RunJson({"--set", "ad=312"});
    EXPECT_EQ(unknownMode["metrics"]["voltage"]["fx"], "NaN");
    EXPECT_EQ(unknownMode["metrics"]["current"]["slope"], "NaN");
    EXPECT_EQ(unknownMode["messages"], json::array());

    const json entered = RunJson({"--set", "P__OUT=nan", "--set", "V__OUT=inf", "--set", "t__H=-inf"});
    EXPECT_EQ(SymbolOf(entered, "P__OUT")["value"], "NaN");
    EXPECT_EQ(SymbolOf(entered, "V__OUT")["userValue"], "Infinity");
    EXPECT_EQ(SymbolOf(entered, "t__H")["value"], "-Infinity");
}

TEST_F(CliTest, JsonWithBodeHoldsBothLoopsAsTheEngineBuiltThem)
{
    const json bode = RunJson({"--bode", "--mode", "digital"})["bode"];
    const ReferenceDesign reference(CTop::DIGITAL);
    const std::set<std::string> series{"freq",      "plantGain", "plantPhase", "compGain",
                                       "compPhase", "loopGain",  "loopPhase"};
    ASSERT_EQ(KeysOf(bode["voltage"]), series);
    ASSERT_EQ(KeysOf(bode["current"]), series);
    ASSERT_EQ(bode["current"]["freq"].size(), 500u);
    for (std::size_t k = 0; k < 500; ++k) {
        EXPECT_EQ(NumberOf(bode["voltage"]["loopGain"][k]),
                  reference.model.Loop(qxr::ControlLoop::Voltage).series[qxr::kLoopGain][k])
            << k;
        EXPECT_EQ(NumberOf(bode["current"]["loopPhase"][k]),
                  reference.model.Loop(qxr::ControlLoop::Current).series[qxr::kLoopPhase][k])
            << k;
    }
}

TEST_F(CliTest, EditsApplyInCommandLineOrderAcrossOptionKinds)
{
    const struct {
        std::vector<std::string> args;
        const char* name;
        bool userSet;
        double value;  // stored, in SI units
    } cases[] = {
        {{"--set", "P__OUT=200", "--revert", "P__OUT"}, "P__OUT", false, 150},
        {{"--revert", "P__OUT", "--set", "P__OUT=200"}, "P__OUT", true, 200},
        {{"--set", "P__OUT=1", "--revert", "P__OUT", "--set", "P__OUT=2"}, "P__OUT", true, 2},
        {{"--mode", "digital", "--set", "ad=311"}, "ad", true, 311},
        {{"--set", "ad=311", "--mode", "digital"}, "ad", true, 314},
        {{"--set", "f__S=100"}, "f__S", true, 100e3},     // shown in kHz
        {{"--set=t__H=10"}, "t__H", true, 0.01},          // shown in ms
        {{"--set", "P__OUT= 200"}, "P__OUT", true, 200},  // blanks before and after alike
        {{"--set", "P__OUT=200 "}, "P__OUT", true, 200},
        {{"--set", "P__OUT=\t200\n"}, "P__OUT", true, 200},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const json symbol = SymbolOf(RunJson(c.args), c.name);
        EXPECT_EQ(symbol["userSet"], c.userSet);
        EXPECT_DOUBLE_EQ(NumberOf(symbol["value"]), c.value);
    }
    const json described = RunJson({"--description", "first", "--description", "Boost 300 W, 50 °C ☃"});
    EXPECT_EQ(described["description"], "Boost 300 W, 50 °C ☃");
}

TEST_F(CliTest, EmptyFileStartsFromTheNewDesign)
{
    WriteBytes(Path("empty.qxr"), {});
    EXPECT_EQ(Run({"json", Path("empty.qxr").string()}).out, Run({"json"}).out);
    EXPECT_EQ(ReadText(Path("empty.qxr")), "");
}

TEST_F(CliTest, DesignFilesTheReaderRejectsExitWithOneAndNameTheFile)
{
    WriteBytes(Path("version2.qxr"), {2, 0, 0, 0});
    WriteBytes(Path("truncated.qxr"), {1, 0, 0, 0});
    // A string length beyond 32 bits: wide marker, then the 16-, 32- and 64-bit length forms.
    WriteBytes(Path("damaged.qxr"),
               {1, 0, 0, 0, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 1, 0, 0, 0});
    const struct {
        const char* file;
        const char* reason;
    } cases[] = {
        {"version2.qxr", "Unexpected file format."},
        {"truncated.qxr", "Unexpected file format."},
        {"damaged.qxr", "Failed to open document."},
    };
    for (const auto& c : cases) {
        const std::string path = Path(c.file).string();
        const CliResult result = Run({"json", path});
        EXPECT_EQ(result.exitCode, 1) << c.file;
        EXPECT_EQ(result.err, "qxr-cli: " + path + ": " + c.reason + "\n");
        EXPECT_EQ(result.out, "");
    }
}

TEST_F(CliTest, NonDesignFilesAreRefusedWithoutBlocking)
{
    for (const non_design_files::UnreadableInput& input : non_design_files::MakeUnreadableInputs(Folder())) {
        SCOPED_TRACE(input.what);
        const std::string text = input.reason != 0 ? std::strerror(input.reason) : "Failed to open document.";
        const CliResult result = Run({"report", input.path.string()});
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err, "qxr-cli: " + input.path.string() + ": " + text + "\n");
        EXPECT_EQ(result.out, "");
    }
}

TEST_F(CliTest, SaveWritesThroughALinkAndLeavesAFifoAlone)
{
    ASSERT_EQ(Run({"report", "--save", Path("a.qxr").string()}).exitCode, 0);
    fs::create_symlink("a.qxr", Path("link.qxr"));
    ASSERT_EQ(Run({"report", "--set", "P__OUT=300", "--save", Path("link.qxr").string()}).exitCode, 0);
    EXPECT_TRUE(fs::is_symlink(Path("link.qxr")));
    EXPECT_EQ(SymbolOf(RunJson({Path("a.qxr").string()}), "P__OUT")["value"], 300.0);

    ASSERT_TRUE(non_design_files::MakeFifo(Path("fifo.qxr")));
    const CliResult fifo = Run({"report", "--save", Path("fifo.qxr").string()});
    EXPECT_EQ(fifo.exitCode, 1);
    EXPECT_EQ(fifo.err, "qxr-cli: " + Path("fifo.qxr").string() + ": Failed to save document.\n");
    EXPECT_TRUE(fs::is_fifo(Path("fifo.qxr")));
}

TEST_F(CliTest, UsageErrorsExitWithTwoBeforeAnythingIsWritten)
{
    const std::string out = Path("out.qxr").string();
    const struct {
        std::vector<std::string> args;
        std::string errStart;
    } cases[] = {
        {{"reprot"}, "qxr-cli: unknown command \"reprot\"; did you mean \"report\"?\n"},
        {{}, "qxr-cli: a command is required"},
        {{"json", "--set", "f__s=100", "--save", out}, "qxr-cli: unknown symbol \"f__s\"; did you mean \"f__S\"?\n"},
        {{"json", "--revert", "R__SENS", "--save", out},
         "qxr-cli: unknown symbol \"R__SENS\"; did you mean \"R__SENSE\""},
        {{"json", "--set", "NOTHING_LIKE_IT=1"}, "qxr-cli: unknown symbol \"NOTHING_LIKE_IT\"\n"},
        {{"json", "--set", "P__OUT=12V", "--save", out}, "qxr-cli: --set: \"12V\" in \"P__OUT=12V\" is not a number"},
        {{"json", "--set", "P__OUT="}, "qxr-cli: --set: \"\" in \"P__OUT=\" is not a number"},
        {{"json", "--set", "P__OUT"}, "qxr-cli: --set: expected NAME=VALUE"},
        {{"json", "--set", "P__OUT= "}, "qxr-cli: --set: \" \" in \"P__OUT= \" is not a number"},
        {{"json", "--set", "P__OUT=1 2"}, "qxr-cli: --set: \"1 2\" in \"P__OUT=1 2\" is not a number"},
        {{"json", "--set", "P__OUT=1e309", "--save", out},
         "qxr-cli: --set: \"1e309\" in \"P__OUT=1e309\" is out of range\n"},
        {{"json", "--set", "P__OUT=-1e309"}, "qxr-cli: --set: \"-1e309\" in \"P__OUT=-1e309\" is out of range\n"},
        {{"json", "--mode", "DIGITAL"}, "qxr-cli: --mode: \"DIGITAL\" is not one of analog|digital"},
        {{"coeffs", "--which", "both"}, "qxr-cli: --which: \"both\" is not one of feedforward|voltage|current|all"},
        {{"coeffs", "--format", "q0"}, "qxr-cli: --format: \"q0\" is not one of double|float|q15|q31|qN"},
        {{"coeffs", "--format", "q32", "--header", out}, "qxr-cli: --format: \"q32\" is not one of"},
        {{"coeffs", "--format", "Q15"}, "qxr-cli: --format: \"Q15\" is not one of"},
        {{"coeffs", "--mode", "digital", "--set", "fmt__COEF=4", "--set", "N__FRAC=40", "--header", out},
         "qxr-cli: The number of fraction bits of the Qm.n coefficients must be a whole number from 1 to 31.\n"},
        {{"bode", "--loop", "outer"}, "qxr-cli: --loop: \"outer\" is not one of voltage|current"},
        {{"bode"}, "qxr-cli: --loop is required"},
        {{"report", "--bode"}, "qxr-cli: The following argument was not expected: --bode\n"},
    };
    for (const auto& c : cases) {
        const CliResult result = Run(c.args);
        EXPECT_EQ(result.exitCode, 2) << c.errStart;
        EXPECT_EQ(result.err.rfind(c.errStart, 0), 0u) << result.err;
        EXPECT_EQ(result.out, "");
    }
    EXPECT_FALSE(fs::exists(out));
}

TEST_F(CliTest, CoefficientsOfADigitalDesignAreTheEngineTextWithLineFeeds)
{
    CDesignModel reference;
    reference.ad.SetUser(CTop::DIGITAL);
    reference.F__SAMP_V.SetUser(6 * reference.F__SAMP_V.scale);
    qxr::Recalculate(reference);
    using qxr::CoefficientSet;
    const std::string feedForward = WithLineFeeds(qxr::CoefficientText(reference, CoefficientSet::FeedForward));
    const std::string voltage = WithLineFeeds(qxr::CoefficientText(reference, CoefficientSet::VoltageLoop));
    const std::string current = WithLineFeeds(qxr::CoefficientText(reference, CoefficientSet::CurrentLoop));

    const CliResult all =
        Run({"coeffs", "--mode", "digital", "--set", "F__SAMP_V=6", "--save", Path("d.qxr").string()});
    EXPECT_EQ(all.exitCode, 0);
    EXPECT_EQ(all.out, feedForward + voltage + current);
    EXPECT_EQ(all.err, "");
    EXPECT_EQ(Run({"coeffs", Path("d.qxr").string(), "--which", "current"}).out, current);

    // An analog design keeps the coefficients of its last digital calculation, and says so.
    const CliResult analog = Run({"coeffs", Path("d.qxr").string(), "--mode", "analog", "--which", "voltage"});
    EXPECT_EQ(analog.exitCode, 0);
    EXPECT_EQ(analog.out, voltage);
    EXPECT_NE(analog.err.find("warning: the design is not in DIGITAL mode"), std::string::npos) << analog.err;
}

// --format stands for the design's own format; double keeps the text as it was.
TEST_F(CliTest, CoefficientFormatsGiveTheQuantisedSetsAndTheirJson)
{
    const CliResult asDouble = Run({"coeffs", "--mode", "digital", "--format", "double"});
    EXPECT_EQ(asDouble.out, Run({"coeffs", "--mode", "digital"}).out);

    CDesignModel reference;
    reference.ad.SetUser(CTop::DIGITAL);
    reference.fmt__COEF.SetUser(CCoefficientFormat::Qmn);
    reference.N__FRAC.SetUser(20);
    qxr::Recalculate(reference);
    const CliResult text = Run({"coeffs", "--mode", "digital", "--format", "q20", "--which", "current"});
    EXPECT_EQ(text.exitCode, 0) << text.err;
    EXPECT_EQ(text.out, WithLineFeeds(qxr::CoefficientText(reference, qxr::CoefficientSet::CurrentLoop,
                                                           qxr::CoefficientFormatOf(reference))));
    EXPECT_NE(text.out.find("#define SHIFT_I (20)\n"), std::string::npos) << text.out;

    const CliResult result = Run({"coeffs", "--mode", "digital", "--format", "q15", "--json"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const json document = json::parse(result.out);
    EXPECT_EQ(document["format"], "Q15");
    EXPECT_EQ(document["discretisation"], "Bilinear");
    EXPECT_EQ(KeysOf(document["sets"]), (std::set<std::string>{"feedforward", "voltage", "current"}));
    const json& current = document["sets"]["current"];
    EXPECT_EQ(current["integers"], json::array({6424, 564, -5860, 25492, 7276}));
    EXPECT_EQ(current["postShift"], 0);
    EXPECT_EQ(current["shift"], 15);
    ExpectSameDouble(NumberOf(current["coefficients"][0]), reference.B0_I.Value(), "B0_I");
    EXPECT_LT(std::abs(NumberOf(current["responseError"]["gainDb"])), 0.05);
    EXPECT_LT(std::abs(NumberOf(current["responseError"]["phaseDeg"])), 0.5);
    EXPECT_EQ(document["sets"]["voltage"]["postShift"], 1) << "A1 near 2 takes one shift";
    const json& loop = document["discreteLoops"]["current"];
    EXPECT_NEAR(NumberOf(loop["fx"]), 10000, 100);
    EXPECT_NEAR(NumberOf(loop["phaseMargin"]), 50, 1);
    EXPECT_GT(NumberOf(loop["gainMargin"]), 6);
    EXPECT_LT(std::abs(NumberOf(loop["gainDifferenceDb"])), 0.05);

    const json asDoubleJson = json::parse(Run({"coeffs", "--mode", "digital", "--json", "--which", "voltage"}).out);
    EXPECT_EQ(KeysOf(asDoubleJson["sets"]), std::set<std::string>{"voltage"});
    EXPECT_TRUE(asDoubleJson["sets"]["voltage"]["integers"].is_null());
    EXPECT_EQ(NumberOf(asDoubleJson["sets"]["voltage"]["responseError"]["gainDb"]), 0.0);
}

TEST_F(CliTest, HeaderIsWrittenForADigitalDesignAndRefusedWithTheReasonOtherwise)
{
    const std::string header = Path("pfc.h").string();
    const CliResult written =
        Run({"coeffs", "--mode", "digital", "--description", "Bench", "--format", "q31", "--header", header});
    EXPECT_EQ(written.exitCode, 0) << written.err;
    CDesignModel reference;
    reference.ad.SetUser(CTop::DIGITAL);
    reference.fmt__COEF.SetUser(CCoefficientFormat::Q31);
    qxr::Recalculate(reference);
    EXPECT_EQ(ReadText(header), qxr::FirmwareHeaderOf(reference, u"Bench").text);

    const std::string refused = Path("refused.h").string();
    const struct {
        std::vector<std::string> edits;
        const char* reason;
    } cases[] = {
        {{"--mode", "analog"}, "not in DIGITAL mode"},
        {{"--mode", "digital", "--set", "F__X_ILOOP=150"}, "The current loop's crossover lies at or above"},
        {{"--mode", "digital", "--set", "F__SAMP_V=0"}, "sampling frequency of the voltage loop"},
    };
    for (const auto& c : cases) {
        const CliResult result = Run(Concat(Concat({"coeffs"}, c.edits), {"--header", refused}));
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_NE(result.err.find("qxr-cli: " + refused + ": no header written."), std::string::npos) << result.err;
        EXPECT_NE(result.err.find(c.reason), std::string::npos) << result.err;
        EXPECT_FALSE(fs::exists(refused));
    }
}

TEST_F(CliTest, BodeCsvRoundTripsEveryValueOfTheChosenLoop)
{
    // With no output capacitance the voltage plant gain is infinite.
    CDesignModel reference;
    reference.C__OUT.SetUser(0);
    qxr::Recalculate(reference);
    const struct {
        const char* loop;
        const std::vector<double>* freq;
        const std::vector<double>* plantGain;
        const std::vector<double>* loopPhase;
    } cases[] = {
        {"voltage", &reference.Loop(qxr::ControlLoop::Voltage).series[qxr::kFreq],
         &reference.Loop(qxr::ControlLoop::Voltage).series[qxr::kPlantGain],
         &reference.Loop(qxr::ControlLoop::Voltage).series[qxr::kLoopPhase]},
        {"current", &reference.Loop(qxr::ControlLoop::Current).series[qxr::kFreq],
         &reference.Loop(qxr::ControlLoop::Current).series[qxr::kPlantGain],
         &reference.Loop(qxr::ControlLoop::Current).series[qxr::kLoopPhase]},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.loop);
        const CliResult result = Run({"bode", "--set", "C__OUT=0", "--loop", c.loop});
        ASSERT_EQ(result.exitCode, 0) << result.err;
        const std::vector<std::string> lines = Split(result.out, '\n');
        ASSERT_EQ(lines.size(), 501u);
        EXPECT_EQ(lines[0],
                  "freq_hz,plant_gain_db,plant_phase_deg,comp_gain_db,comp_phase_deg,loop_gain_db,loop_phase_deg");
        for (std::size_t k = 0; k < 500; ++k) {
            const std::vector<std::string> fields = Split(lines[k + 1], ',');
            ASSERT_EQ(fields.size(), 7u) << lines[k + 1];
            EXPECT_EQ(std::strtod(fields[0].c_str(), nullptr), (*c.freq)[k]);
            ExpectSameDouble(std::strtod(fields[1].c_str(), nullptr), (*c.plantGain)[k], fields[1]);
            ExpectSameDouble(std::strtod(fields[6].c_str(), nullptr), (*c.loopPhase)[k], fields[6]);
            for (const std::string& field : fields)
                EXPECT_TRUE(field.find("nan") == std::string::npos || field == "nan") << field;
        }
    }
    EXPECT_EQ(Split(Run({"bode", "--set", "C__OUT=0", "--loop", "voltage"}).out, '\n')[1].substr(0, 6), "1,inf,");
}

TEST_F(CliTest, ReportMarksEntriesAndRangesAndShowsMessagesAndStability)
{
    const CliResult result = Run({"report", "--set", "P__OUT=200", "--set", "PM__VLOOP=95"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string& report = result.out;
    EXPECT_NE(report.find("Mode: ANALOG (311)\n"), std::string::npos);
    EXPECT_NE(report.find("* user entry, ! outside the recommended range"), std::string::npos);
    EXPECT_NE(report.find("\n  *   P__OUT "), std::string::npos);
    EXPECT_NE(report.find("\n  *!  PM__VLOOP "), std::string::npos);
    EXPECT_NE(report.find("\n      R__SENSE "), std::string::npos);
    EXPECT_EQ(report.find("B0_V"), std::string::npos);  // not in use in an analog design
    EXPECT_NE(report.find("Messages:\n  There is an error with the voltage loop compensator."), std::string::npos);
    EXPECT_NE(report.find("Crossover frequency  7 Hz"), std::string::npos);
    EXPECT_NE(report.find("Gain margin          n/a"), std::string::npos);
    // Columns line up although "mΩ" takes more bytes than characters.
    EXPECT_EQ(CharacterColumn(report, report.find("Rsense", report.find("R__SENSE "))),
              CharacterColumn(report, report.find("Output Voltage")));
}

// The shell completion offers these names; the help leaves the command out.
TEST_F(CliTest, SymbolsListsEveryNameTheEditsAcceptAndIsNotInTheHelp)
{
    CDesignModel reference;
    std::string names;
    for (const CSymbol* symbol : reference.symbols)
        names += qxr::ToUtf8(symbol->name) + "\n";
    const CliResult symbols = Run({"symbols"});
    EXPECT_EQ(symbols.exitCode, 0);
    EXPECT_EQ(symbols.out, names);
    EXPECT_NE(names.find("\nV__IN_MIN\n"), std::string::npos);

    const CliResult help = Run({"--help"});
    EXPECT_NE(help.out.find("\n  report "), std::string::npos);
    EXPECT_EQ(help.out.find("\n  symbols "), std::string::npos);
    const CliResult misspelt = Run({"symbol"});
    EXPECT_EQ(misspelt.exitCode, 2);
    EXPECT_EQ(misspelt.err.find("symbols"), std::string::npos) << misspelt.err;
}

TEST_F(CliTest, ReportPdfIsWrittenInsteadOfTheTextOrTheEarlierFileStays)
{
    const std::string pdf = Path("report.pdf").string();
    const CliResult written = Run({"report", "--mode", "digital", "--pdf", pdf});
    ASSERT_EQ(written.exitCode, 0) << written.err;
    EXPECT_EQ(written.out, "");
    const std::string bytes = ReadText(pdf);
    EXPECT_EQ(bytes.rfind("%PDF-", 0), 0u);
    EXPECT_NE(bytes.find("%%EOF"), std::string::npos);

    // A disk that fills up half-way leaves the earlier report as it was.
    CliResult failed;
    {
        FileSizeLimit limit(1024);
        failed = Run({"report", "--pdf", pdf});
    }
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_EQ(failed.err.rfind("qxr-cli: " + pdf + ": ", 0), 0u) << failed.err;
    EXPECT_EQ(ReadText(pdf), bytes);

    const std::string unwritable = Path("no-folder/report.pdf").string();
    const CliResult missingFolder = Run({"report", "--pdf", unwritable});
    EXPECT_EQ(missingFolder.exitCode, 1);
    EXPECT_EQ(missingFolder.err, "qxr-cli: " + unwritable + ": No such file or directory\n");
}

// Without its painter, or with one that fails, the report says why and writes nothing.
TEST_F(CliTest, ReportPdfFailsWithThePaintersReason)
{
    const std::string pdf = Path("failed.pdf").string();
    const char* const painter = std::getenv("QXR_REPORT_PDF");
    const std::string restore = painter != nullptr ? painter : "";
    const std::pair<const char*, std::string> cases[] = {
        {"/nonexistent/qxr-report-pdf", "/nonexistent/qxr-report-pdf: No such file or directory"},
        {"/bin/false", "cannot paint the report"},
    };
    for (const auto& [program, reason] : cases) {
        setenv("QXR_REPORT_PDF", program, 1);
        const CliResult failed = Run({"report", "--pdf", pdf});
        EXPECT_EQ(failed.exitCode, 1);
        EXPECT_EQ(failed.err, "qxr-cli: " + pdf + ": " + reason + "\n");
        EXPECT_FALSE(std::filesystem::exists(pdf));
    }
    setenv("QXR_REPORT_PDF", restore.c_str(), 1);
}

TEST_F(CliProgramTest, SavedDesignReloadsToTheSameOutputAndInputsStayUntouched)
{
    const std::string file = Path("a.qxr").string();
    const std::vector<std::string> edits{"--mode", "digital", "--set", "P__OUT=300", "--description", "300 W ☃"};
    ASSERT_EQ(RunProgram(Concat(Concat({"report"}, edits), {"--save", file})).exitCode, 0);

    CDesignModel loaded;
    std::u16string description;
    ASSERT_EQ(LoadDesignFile(file, loaded, description), FileResult::Ok);
    EXPECT_EQ(description, u"300 W \u2603");
    EXPECT_EQ(RunProgram({"json", file}).out, RunProgram(Concat({"json"}, edits)).out);

    // Edits without --save leave the file alone; --save naming it replaces it.
    const std::string before = ReadText(file);
    ASSERT_EQ(RunProgram({"json", file, "--set", "P__OUT=400"}).exitCode, 0);
    EXPECT_EQ(ReadText(file), before);
    ASSERT_EQ(RunProgram({"json", file, "--set", "P__OUT=400", "--save", file}).exitCode, 0);
    const json reloaded = RunJson({file});
    EXPECT_EQ(SymbolOf(reloaded, "P__OUT")["value"], 400.0);
    EXPECT_EQ(reloaded["mode"], 314.0);
}

TEST_F(CliProgramTest, FilesTheSystemRefusesExitWithOneAndTheSystemsReason)
{
    const std::string missing = Path("missing.qxr").string();
    const std::string folder = Folder().string();
    const std::string unwritable = Path("no-folder/out.qxr").string();
    const struct {
        std::vector<std::string> args;
        std::string err;
    } cases[] = {
        {{"report", missing}, missing + ": No such file or directory"},
        {{"report", folder}, folder + ": Is a directory"},
        {{"coeffs", "--mode", "digital", "--save", unwritable}, unwritable + ": Failed to save document."},
    };
    for (const auto& c : cases) {
        const CliResult result = RunProgram(c.args);
        EXPECT_EQ(result.exitCode, 1) << c.err;
        EXPECT_EQ(result.err, "qxr-cli: " + c.err + "\n");
        EXPECT_EQ(result.out, "");
    }
}

TEST_F(CliProgramTest, OutputThatCannotBeWrittenExitsWithOne)
{
    const CliResult result = RunProgramWritingTo("/dev/full", {"json"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "qxr-cli: cannot write the output\n");
}

TEST_F(CliProgramTest, HelpAndVersionSucceedAndAUsageErrorExitsWithTwo)
{
    const CliResult version = RunProgram({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "qxr-cli " QXR_VERSION "\n");
    const CliResult help = RunProgram({"coeffs", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--which"), std::string::npos);
    EXPECT_NE(RunProgram({"report", "--help"}).out.find("--pdf OUT.pdf"), std::string::npos);
    const CliResult misspelt = RunProgram({"reprot"});
    EXPECT_EQ(misspelt.exitCode, 2);
    EXPECT_EQ(misspelt.err.rfind("qxr-cli: unknown command \"reprot\"", 0), 0u) << misspelt.err;
    EXPECT_EQ(misspelt.out, "");
}

}  // namespace
