#include "cli/Run.h"

#include <thread>

#include <memory>

#include "analysis/BodeCsv.h"
#include "analysis/FirmwareHeader.h"
#include "analysis/LoopSeparation.h"
#include "analysis/Recalculate.h"
#include "cli/BomOutput.h"
#include "cli/Coefficients.h"
#include "cli/CommandLine.h"
#include "cli/Design.h"
#include "cli/Failure.h"
#include "cli/JsonDocument.h"
#include "cli/MapOutput.h"
#include "cli/OverlayOutput.h"
#include "cli/PdfReport.h"
#include "cli/Report.h"
#include "cli/RobustnessOutput.h"
#include "cli/TransientOutput.h"
#include "model/FileBytes.h"

namespace qxr::cli {

namespace {

// Load, edit in order, calculate once, then save if asked: the order a user
// working on the pages would follow.
void PrepareDesign(const Invocation& invocation, Design& design)
{
    if (invocation.designFile)
        LoadDesignInput(*invocation.designFile, design);
    ApplyEdits(invocation.edits, design);
    if (invocation.format)
        ApplyEdits(FormatEdits(*invocation.format), design);
    qxr::Recalculate(design.model);
    if (invocation.saveTo && !invocation.applyProposal)
        SaveDesignOutput(*invocation.saveTo, design);
}

std::string SymbolList(const CDesignModel& model)
{
    std::string list;
    for (const std::string& name : SymbolNames(model))
        list += name + '\n';
    return list;
}

// The stability sweep, and its samples written to a file when asked for.
std::string RobustnessOutput(const Invocation& invocation, Design& design)
{
    const RobustnessInputs inputs = ReadRobustnessInputs(design.model);
    SamplesCsv samples(inputs);
    RobustnessOptions options;
    if (invocation.samplesCsv)
        options.sampleSink = samples.Sink();
    const RobustnessReport report = AnalyseRobustness(inputs, options);
    if (invocation.samplesCsv) {
        const std::string& path = *invocation.samplesCsv;
        if (!report.notComputed.empty())
            throw Failure(kFileError, path + ": no samples to write. " + report.notComputed);
        if (!WriteFileBytesAtomically(path, {samples.Text().begin(), samples.Text().end()}))
            throw Failure(kFileError, path + ": cannot write the samples");
    }
    return invocation.asJson ? FormatRobustnessJson(report, inputs)
                             : FormatRobustnessText(report, inputs, design.model);
}

void WriteFirmwareHeader(const std::string& path, const Design& design)
{
    const FirmwareHeader header = FirmwareHeaderOf(design.model, design.description);
    if (!header.problems.empty()) {
        std::string reasons;
        for (const std::string& problem : header.problems)
            reasons += " " + problem;
        throw Failure(kFileError, path + ": no header written." + reasons);
    }
    if (!WriteFileBytesAtomically(path, {header.text.begin(), header.text.end()}))
        throw Failure(kFileError, path + ": cannot write the header");
}

// The header is written once the format is known to be usable.
std::string CoefficientsOutput(const Invocation& invocation, Design& design)
{
    const std::string text = invocation.asJson ? FormatCoefficientsJson(design.model, invocation.coefficientSets)
                                               : FormatCoefficients(design.model, invocation.coefficientSets);
    if (invocation.headerFile)
        WriteFirmwareHeader(*invocation.headerFile, design);
    return text;
}

// Every scenario, spread over the machine's cores; the waveforms of one written to a file when asked for.
std::string TransientOutput(const Invocation& invocation, Design& design)
{
    const TimeDomainInputs inputs = ReadTimeDomainInputs(design.model);
    const TimeDomainReport report = SimulateTimeDomain(inputs, {}, std::thread::hardware_concurrency());
    if (invocation.waveformCsv) {
        const std::string& path = *invocation.waveformCsv;
        if (!report.notComputed.empty())
            throw Failure(kFileError, path + ": no waveforms to write. " + report.notComputed);
        const std::string csv = FormatTransientCsv(report, invocation.scenario);
        if (!WriteFileBytesAtomically(path, {csv.begin(), csv.end()}))
            throw Failure(kFileError, path + ": cannot write the waveforms");
    }
    return invocation.asJson ? FormatTransientJson(report, inputs) : FormatTransientText(report, inputs);
}

DesignMap MapOf(CDesignModel& model, ControlLoop loop, bool timeDomain)
{
    DesignMapOptions options;
    options.threads = std::thread::hardware_concurrency();
    options.timeDomain = timeDomain;
    return ComputeDesignMap(ReadDesignMapInputs(model, loop), options);
}

std::string MapOutput(const Invocation& invocation, Design& design)
{
    const DesignMap map = MapOf(design.model, invocation.loop, invocation.timeDomain);
    if (invocation.asCsv) {
        if (!map.notComputed.empty())
            throw Failure(kFileError, map.notComputed);
        return FormatMapCsv(map);
    }
    return invocation.asJson ? FormatMapJson(map) : FormatMapText(map);
}

// Both loops' maps and proposals; entered into the design and saved when asked.
std::string ProposeOutput(const Invocation& invocation, Design& design)
{
    const MapLimits limits = ReadDesignMapInputs(design.model, ControlLoop::Voltage).limits;
    std::array<LoopProposal, 2> loops;
    for (ControlLoop loop : kControlLoops) {
        LoopProposal& result = loops[static_cast<std::size_t>(loop)];
        result.map = MapOf(design.model, loop, invocation.timeDomain);
        result.proposal = ProposeFrom(result.map, limits);
    }
    if (invocation.applyProposal) {
        for (ControlLoop loop : kControlLoops) {
            const Proposal& proposal = loops[static_cast<std::size_t>(loop)].proposal;
            if (proposal.found)
                EnterPoint(design.model, loop, proposal.crossover, proposal.phaseMargin);
        }
        qxr::Recalculate(design.model);
        SaveDesignOutput(*invocation.saveTo, design);
    }
    const std::vector<std::string> separation = LoopSeparationNotes(design.model);
    return invocation.asJson ? FormatProposalJson(loops, separation) : FormatProposalText(loops, separation);
}

std::string MeasuredOutput(const Invocation& invocation)
{
    const std::string& path = invocation.inputFiles.front();
    const MeasurementRead read = ReadMeasurementFile(path);
    if (!read.error.empty())
        throw Failure(kFileError, path + ": " + read.error);
    return invocation.asJson ? FormatMeasuredJson(path, read.points) : FormatMeasuredText(path, read.points);
}

std::string DiffOutput(const Invocation& invocation)
{
    const std::string& path = invocation.inputFiles[0];
    const std::string& otherPath = invocation.inputFiles[1];
    auto design = std::make_unique<Design>();
    auto other = std::make_unique<Design>();
    LoadDesignInput(path, *design);
    LoadDesignInput(otherPath, *other);
    qxr::Recalculate(design->model);
    qxr::Recalculate(other->model);
    const std::vector<SymbolDifference> differences = DesignDifferences(design->model, other->model);
    return invocation.asJson ? FormatDifferencesJson(path, otherPath, differences)
                             : FormatDifferencesText(path, otherPath, differences);
}

std::string CommandOutput(const Invocation& invocation, Design& design, std::ostream& err)
{
    switch (invocation.command) {
    case Command::Report:
        return FormatReport(design);
    case Command::Json:
        return FormatJson(design, invocation.withBode);
    case Command::Coeffs:
        // Analog designs leave the coefficients alone, so they may well be stale.
        if (design.model.Mode() != CTop::DIGITAL)
            err << "qxr-cli: warning: the design is not in DIGITAL mode; the coefficients are those of its last "
                   "digital calculation\n";
        return CoefficientsOutput(invocation, design);
    case Command::Symbols:
        return SymbolList(design.model);
    case Command::Robustness:
        return RobustnessOutput(invocation, design);
    case Command::Bom:
        if (invocation.asCsv)
            return FormatBomCsv(design.model);
        return invocation.asJson ? FormatBomJson(design.model) : FormatBomText(design.model);
    case Command::Measured:
        return MeasuredOutput(invocation);
    case Command::Diff:
        return DiffOutput(invocation);
    case Command::Transient:
        return TransientOutput(invocation, design);
    case Command::Map:
        return MapOutput(invocation, design);
    case Command::Propose:
        return ProposeOutput(invocation, design);
    case Command::Spice:
        return SpiceOutput(invocation.spice, design);
    case Command::Bode:
        break;
    }
    return FormatBodeCsv(design.model, invocation.loop);
}

void Write(std::ostream& out, const std::string& text)
{
    if (!out.write(text.data(), static_cast<std::streamsize>(text.size())).flush())
        throw Failure(kFileError, "cannot write the output");
}

}  // namespace

int Run(int argc, const char* const argv[], std::ostream& out, std::ostream& err)
{
    auto parsed = ParseCommandLine(argc, argv);
    if (const auto* early = std::get_if<EarlyExit>(&parsed)) {
        out << early->out;
        err << early->err;
        return early->exitCode;
    }
    const Invocation& invocation = std::get<Invocation>(parsed);
    try {
        auto design = std::make_unique<Design>();
        PrepareDesign(invocation, *design);
        if (invocation.pdfTo)
            WriteReportPdf(*invocation.pdfTo, *design, invocation.designFile);
        else
            Write(out, CommandOutput(invocation, *design, err));
        return kSuccess;
    } catch (const Failure& failure) {
        err << "qxr-cli: " << failure.what() << '\n';
        return failure.Code();
    }
}

}  // namespace qxr::cli
