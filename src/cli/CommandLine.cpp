#include "cli/CommandLine.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <CLI/CLI.hpp>

#include "analysis/BodeColumns.h"
#include "cli/ClosestNames.h"
#include "cli/Failure.h"

namespace qxr::cli {

namespace {

struct CommandInfo {
    const char* name;
    Command command;
    const char* summary;
    bool listed = true;
};

const CommandInfo kCommands[] = {
    {"report", Command::Report, "Print the symbols in use, the design messages and the stability figures"},
    {"json", Command::Json, "Print the whole design as one JSON object"},
    {"coeffs", Command::Coeffs, "Print the 2p2z coefficients of the digital design as C #define lines"},
    {"bode", Command::Bode, "Print the Bode data of one loop as CSV"},
    {"robustness", Command::Robustness,
     "Print the stability of both loops over the load range and the part tolerances"},
    {"bom", Command::Bom,
     "Print the bill of materials: every resistor and capacitor with its standard value, and both loops with "
     "those values"},
    {"measured", Command::Measured,
     "Print the stability figures of a loop measured on the bench, from CSV or tab-separated text"},
    {"diff", Command::Diff, "Print every symbol in use whose value differs between two designs"},
    {"transient", Command::Transient,
     "Simulate the stage in time: line current harmonics against IEC 61000-3-2, power factor, load step, start-up "
     "and hold-up"},
    {"map", Command::Map,
     "Print one loop's design map: the worst-case phase margin and Ms over the sweep's corners for every required "
     "crossover and phase margin of a grid"},
    {"propose", Command::Propose,
     "Print the crossover and phase margin of each loop with the best worst-case phase margin within the limits"},
    {"spice", Command::Spice,
     "Write an ngspice netlist of the design (a loop's AC deck or the stage's transient deck); run ngspice on it "
     "for its figures"},
    // For the shell completion, so that it never offers a stale name; people have the report.
    {"symbols", Command::Symbols, "Print the name of every symbol, one a line", false},
};

// The words an option accepts and what each one means.
template <class T>
using Choices = std::vector<std::pair<const char*, T>>;

const Choices<int32_t> kModes{{"analog", CTop::ANALOG}, {"digital", CTop::DIGITAL}};
// Each set by its word, then all of them.
Choices<std::vector<CoefficientSet>> CoefficientChoices()
{
    Choices<std::vector<CoefficientSet>> choices;
    for (CoefficientSet set : kCoefficientSets)
        choices.push_back({LayoutOf(set).word, {set}});
    choices.push_back({"all", {kCoefficientSets.begin(), kCoefficientSets.end()}});
    return choices;
}
const Choices<std::vector<CoefficientSet>> kCoefficientChoices = CoefficientChoices();
const Choices<TransientScenario> kScenarios{{"steady", TransientScenario::Steady},
                                            {"step", TransientScenario::Step},
                                            {"startup", TransientScenario::StartUp},
                                            {"holdup", TransientScenario::HoldUp}};
const Choices<SpiceDeck> kDecks{{SpiceDeckWord(SpiceDeck::AcVoltage), SpiceDeck::AcVoltage},
                                {SpiceDeckWord(SpiceDeck::AcCurrent), SpiceDeck::AcCurrent},
                                {SpiceDeckWord(SpiceDeck::Transient), SpiceDeck::Transient}};
const Choices<ControlLoop> kLoops{{LoopName(ControlLoop::Voltage), ControlLoop::Voltage},
                                  {LoopName(ControlLoop::Current), ControlLoop::Current}};

template <class T>
std::string ChoiceWords(const Choices<T>& choices)
{
    std::string words;
    for (const auto& choice : choices)
        words += (words.empty() ? "" : "|") + std::string(choice.first);
    return words;
}

template <class T>
T Choose(const Choices<T>& choices, const std::string& option, const std::string& word)
{
    for (const auto& choice : choices)
        if (word == choice.first)
            return choice.second;
    throw CLI::ValidationError(option, "\"" + word + "\" is not one of " + ChoiceWords(choices));
}

// The value of NAME=VALUE: one number, with blanks on either side (strtod
// skips those before it, so those after it are skipped too). strtod also
// takes "inf" and "nan", but a finite number beyond the range of a double
// would silently become infinite, so it is refused.
double ParseValue(const std::string& value, const std::string& assignment)
{
    const char* begin = value.c_str();
    char* end = nullptr;
    errno = 0;
    const double number = std::strtod(begin, &end);
    const bool converted = end != begin;
    while (std::isspace(static_cast<unsigned char>(*end)))
        ++end;
    const std::string quoted = "\"" + value + "\" in \"" + assignment + "\"";
    if (!converted || *end != '\0')
        throw CLI::ValidationError("--set", quoted + " is not a number");
    if (errno == ERANGE && std::isinf(number))
        throw CLI::ValidationError("--set", quoted + " is out of range");
    return number;
}

// double, float, q15 (int16), q31 (int32) or qN: int32 with N fraction bits.
CoefficientFormat ParseFormat(const std::string& word)
{
    if (word == "double")
        return {CCoefficientFormat::Double, 0};
    if (word == "float")
        return {CCoefficientFormat::Float, 0};
    if (word == "q15")
        return {CCoefficientFormat::Q15, 0};
    if (word == "q31")
        return {CCoefficientFormat::Q31, 0};
    const bool digits = word.size() > 1 && word.size() <= 3 && word[0] == 'q' &&
                        std::all_of(word.begin() + 1, word.end(), [](char c) { return std::isdigit(c) != 0; });
    const int bits = digits ? std::stoi(word.substr(1)) : 0;
    if (bits < 1 || bits > 31)
        throw CLI::ValidationError("--format", "\"" + word +
                                                   "\" is not one of double|float|q15|q31|qN with N fraction bits "
                                                   "from 1 to 31");
    return {CCoefficientFormat::Qmn, static_cast<double>(bits)};
}

Edit ParseAssignment(const std::string& assignment)
{
    const std::size_t equals = assignment.find('=');
    if (equals == std::string::npos || equals == 0)
        throw CLI::ValidationError("--set", "expected NAME=VALUE, got \"" + assignment + "\"");
    return SetEdit{assignment.substr(0, equals), ParseValue(assignment.substr(equals + 1), assignment)};
}

// An option whose every occurrence becomes an edit the moment it is read, so
// edits of different kinds keep the order of the command line.
CLI::Option* AddEditOption(CLI::App& command, const std::string& name, std::vector<Edit>& edits,
                           std::function<Edit(const std::string&)> toEdit, const std::string& help)
{
    auto read = [&edits, toEdit = std::move(toEdit)](const std::string& text) { edits.push_back(toEdit(text)); };
    return command.add_option_function<std::string>(name, read, help)->trigger_on_parse();
}

Edit ModeEditFor(const std::string& word)
{
    return ModeEdit{Choose(kModes, "--mode", word)};
}
Edit RevertEditFor(const std::string& name)
{
    return RevertEdit{name};
}
Edit DescriptionEditFor(const std::string& text)
{
    return DescriptionEdit{text};
}

void AddDesignOptions(CLI::App& command, Invocation& invocation)
{
    command
        .add_option_function<std::string>(
            "FILE", [&invocation](const std::string& path) { invocation.designFile = path; },
            "Design file (.qxr) to start from; without it, a new design")
        ->type_name("");
    auto& edits = invocation.edits;
    AddEditOption(command, "--mode", edits, ModeEditFor,
                  "Design for the analog controller chip or the digital controller")
        ->type_name(ChoiceWords(kModes));
    AddEditOption(command, "--set", edits, ParseAssignment,
                  "Enter VALUE for symbol NAME, in the unit the report shows for it")
        ->type_name("NAME=VALUE");
    AddEditOption(command, "--revert", edits, RevertEditFor,
                  "Drop the entry of symbol NAME, so its calculated value is in force")
        ->type_name("NAME");
    AddEditOption(command, "--description", edits, DescriptionEditFor, "Replace the design's description")
        ->type_name("TEXT");
    command
        .add_flag_function(
            "--standard-values", [&edits](std::int64_t) { edits.emplace_back(std::in_place_type<StandardValuesEdit>); },
            "Enter the standard value of every resistor and capacitor of the analog design (see bom)")
        ->trigger_on_parse();
    command
        .add_option_function<std::string>(
            "--save", [&invocation](const std::string& path) { invocation.saveTo = path; },
            "After the calculation, save the design to OUT")
        ->type_name("OUT");
}

void AddInputFile(CLI::App& command, const std::string& name, const std::string& help, Invocation& invocation)
{
    command
        .add_option_function<std::string>(
            name, [&invocation](const std::string& path) { invocation.inputFiles.push_back(path); }, help)
        ->type_name("")
        ->required();
}

void AddLoopOption(CLI::App& command, Invocation& invocation)
{
    command
        .add_option_function<std::string>(
            "--loop", [&invocation](const std::string& word) { invocation.loop = Choose(kLoops, "--loop", word); },
            "The loop to print")
        ->type_name(ChoiceWords(kLoops))
        ->required();
}

void AddTimeDomainFlag(CLI::App& command, Invocation& invocation)
{
    command.add_flag("--time-domain", invocation.timeDomain,
                     "Also judge the points in the time domain: the third harmonic at V__IN_MIN and full load and the "
                     "output's minimum on the load step, simulated on at most 8 x 8 of the map's points and "
                     "interpolated between them (some seconds: two simulations a point)");
}

void AddCommandOptions(CLI::App& command, Command which, Invocation& invocation)
{
    switch (which) {
    case Command::Measured:
        AddInputFile(command, "FILE",
                     "Measured loop gain: a header naming frequency (Hz) with gain (dB) and phase (degrees) or "
                     "real and imaginary parts, then one row a frequency",
                     invocation);
        command.add_flag("--json", invocation.asJson, "Print one JSON object instead of text");
        break;
    case Command::Diff:
        AddInputFile(command, "A", "Design file (.qxr)", invocation);
        AddInputFile(command, "B", "Design file (.qxr) to compare with A", invocation);
        command.add_flag("--json", invocation.asJson, "Print one JSON object instead of text");
        break;
    case Command::Report:
        command
            .add_option_function<std::string>(
                "--pdf", [&invocation](const std::string& path) { invocation.pdfTo = path; },
                "Write the report with its Bode plots to OUT.pdf instead of printing it")
            ->type_name("OUT.pdf");
        break;
    case Command::Symbols:
        break;
    case Command::Json:
        command.add_flag("--bode", invocation.withBode, "Add the Bode data of both loops");
        break;
    case Command::Coeffs:
        command
            .add_option_function<std::string>(
                "--which",
                [&invocation](const std::string& word) {
                    invocation.coefficientSets = Choose(kCoefficientChoices, "--which", word);
                },
                "The coefficient set to print (default: all)")
            ->type_name(ChoiceWords(kCoefficientChoices));
        command
            .add_option_function<std::string>(
                "--format", [&invocation](const std::string& word) { invocation.format = ParseFormat(word); },
                "Number format of the coefficients (default: the design's, double when new); qN is int32 with N "
                "fraction bits")
            ->type_name("double|float|q15|q31|qN");
        command
            .add_option_function<std::string>(
                "--header", [&invocation](const std::string& path) { invocation.headerFile = path; },
                "Also write a self-contained C99 header with the three sets and a step function to OUT")
            ->type_name("OUT");
        command.add_flag("--json", invocation.asJson,
                         "Print one JSON object: per set the coefficients, integers, post-shift and response error, "
                         "and the discrete loops");
        break;
    case Command::Bode:
        AddLoopOption(command, invocation);
        break;
    case Command::Map: {
        AddLoopOption(command, invocation);
        CLI::Option* csv = command.add_flag("--csv", invocation.asCsv, "Print the map as CSV, one row a point");
        command.add_flag("--json", invocation.asJson, "Print one JSON object instead of text")->excludes(csv);
        AddTimeDomainFlag(command, invocation);
        break;
    }
    case Command::Propose:
        command.add_flag("--json", invocation.asJson, "Print one JSON object instead of text");
        AddTimeDomainFlag(command, invocation);
        command
            .add_flag("--apply", invocation.applyProposal,
                      "Enter both loops' proposals into the design before it is saved (needs --save)")
            ->needs("--save");
        break;
    case Command::Robustness:
        command.add_flag("--json", invocation.asJson, "Print one JSON object instead of text");
        command
            .add_option_function<std::string>(
                "--samples-csv", [&invocation](const std::string& path) { invocation.samplesCsv = path; },
                "Also write every Monte Carlo sample, its values and figures, as CSV to OUT")
            ->type_name("OUT");
        break;
    case Command::Transient: {
        command.add_flag("--json", invocation.asJson, "Print one JSON object instead of text");
        CLI::Option* csv = command.add_option_function<std::string>(
            "--csv", [&invocation](const std::string& path) { invocation.waveformCsv = path; },
            "Also write the waveforms of one scenario (--scenario) as CSV to OUT");
        csv->type_name("OUT");
        command
            .add_option_function<std::string>(
                "--scenario",
                [&invocation](const std::string& word) {
                    invocation.scenario = Choose(kScenarios, "--scenario", word);
                },
                "The scenario of the CSV; steady is V__IN_NORM at full load (default: steady)")
            ->type_name(ChoiceWords(kScenarios))
            ->needs(csv);
        break;
    }
    case Command::Spice: {
        SpiceRequest& spice = invocation.spice;
        command
            .add_option_function<std::string>(
                "--deck", [&spice](const std::string& word) { spice.deck = Choose(kDecks, "--deck", word); },
                "The deck: the voltage or current loop's AC analysis, or the ANALOG stage in time")
            ->type_name(ChoiceWords(kDecks))
            ->required();
        command
            .add_option_function<std::string>(
                "--out", [&spice](const std::string& path) { spice.deckFile = path; },
                "Write the deck to OUT instead of printing it")
            ->type_name("OUT");
        CLI::Option* run = command.add_flag(
            "--run", spice.run,
            "Run ngspice on the deck and print its figures: crossover and margins, or the load step's extremes and "
            "the power factor and THD");
        command.add_flag("--json", spice.asJson, "With --run: print one JSON object instead of text")->needs(run);
        break;
    }
    case Command::Bom: {
        CLI::Option* csv = command.add_flag("--csv", invocation.asCsv, "Print the bill of materials as CSV");
        command.add_flag("--json", invocation.asJson, "Print one JSON object, values in SI units, instead of text")
            ->excludes(csv);
        break;
    }
    }
}

// Whether a command works on one design, started from FILE and the edits;
// the others read only the files they name.
bool TakesDesign(Command command)
{
    return command != Command::Measured && command != Command::Diff;
}

// The commands the help lists, and the ones a misspelling may be taken for.
std::vector<std::string> ListedCommandNames()
{
    std::vector<std::string> names;
    for (const CommandInfo& info : kCommands)
        if (info.listed)
            names.emplace_back(info.name);
    return names;
}

bool IsCommandName(const std::string& word)
{
    return std::any_of(std::begin(kCommands), std::end(kCommands),
                       [&word](const CommandInfo& info) { return word == info.name; });
}

std::string CommandList()
{
    std::string list;
    for (const std::string& name : ListedCommandNames())
        list += (list.empty() ? " (commands: " : ", ") + name;
    return list + ")";
}

// CLI11 would only say that the word was not expected; a misspelt command
// deserves a suggestion.
void CheckCommandName(int argc, const char* const argv[])
{
    if (argc < 2)
        throw CLI::RequiredError("a command is required" + CommandList(), CLI::ExitCodes::RequiredError);
    const std::string word = argv[1];
    if (word[0] == '-' || IsCommandName(word))
        return;
    const std::string hint = DidYouMean(ClosestNames(word, ListedCommandNames()));
    throw CLI::ExtrasError("unknown command \"" + word + "\"" + (hint.empty() ? CommandList() : hint),
                           CLI::ExitCodes::ExtrasError);
}

const char* const kUsageHint = "Run \"qxr-cli --help\" or \"qxr-cli COMMAND --help\" for usage.\n";

const char* const kFooter = R"(Every command starts from FILE, or from a new design without it, applies the
edits in the order given, calculates the design once and then prints;
measured and diff read only the files they name.

Examples:
  qxr-cli coeffs --mode digital --set F__SAMP_V=6
  qxr-cli json design.qxr --set P__OUT=300 --save design-300W.qxr
)";

}  // namespace

std::variant<Invocation, EarlyExit> ParseCommandLine(int argc, const char* const argv[])
{
    Invocation invocation;
    CLI::App app("Design calculator for the control loops of boost PFC stages", "qxr-cli");
    app.set_version_flag("--version", std::string("qxr-cli ") + QXR_VERSION);
    app.require_subcommand(1);
    app.footer(kFooter);
    for (const CommandInfo& info : kCommands) {
        CLI::App& command = *app.add_subcommand(info.name, info.summary);
        if (!info.listed)
            command.group("");  // CLI11 leaves a command of no group out of the help
        if (TakesDesign(info.command))
            AddDesignOptions(command, invocation);
        AddCommandOptions(command, info.command, invocation);
        command.callback([&invocation, &info] { invocation.command = info.command; });
    }
    try {
        CheckCommandName(argc, argv);
        app.parse(argc, argv);
        return invocation;
    } catch (const CLI::ParseError& error) {
        // Help and version come through here too, as successes.
        if (error.get_exit_code() != static_cast<int>(CLI::ExitCodes::Success))
            return EarlyExit{kUsageError, {}, "qxr-cli: " + std::string(error.what()) + "\n" + kUsageHint};
        std::ostringstream out;
        std::ostringstream err;
        app.exit(error, out, err);
        return EarlyExit{kSuccess, out.str(), err.str()};
    }
}

}  // namespace qxr::cli
