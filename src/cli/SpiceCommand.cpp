#include "cli/SpiceCommand.h"

#include "analysis/NumberText.h"
#include "cli/Failure.h"
#include "cli/JsonValues.h"
#include "cli/TextTable.h"
#include "model/FileBytes.h"
#include "model/Utf.h"
#include "present/FigureLabels.h"
#include "spice/SpiceRun.h"

namespace qxr::cli {

namespace {

struct Figure {
    const char* label;
    const char* key;
    double value;
    const char* unit;
};

std::string FiguresText(const std::string& title, const std::vector<Figure>& figures)
{
    TextTable table({TextTable::Align::Left, TextTable::Align::Right});
    for (const Figure& figure : figures)
        table.AddRow({figure.label, FormatFigure(figure.value, figure.unit)});
    return title + "\n" + table.Render("  ");
}

std::string FiguresJson(SpiceDeck deck, const std::vector<Figure>& figures, Json points)
{
    Json object = {{"deck", SpiceDeckWord(deck)}};
    if (!points.is_null())
        object["points"] = std::move(points);
    for (const Figure& figure : figures)
        object[figure.key] = Number(figure.value);
    return JsonText(object);
}

Json PointsJson(const std::vector<MeasuredPoint>& points)
{
    std::vector<double> freq, gain, phase;
    for (const MeasuredPoint& point : points) {
        freq.push_back(point.freq);
        gain.push_back(point.gainDb);
        phase.push_back(point.phaseDeg);
    }
    return {{"freq", Numbers(freq)}, {"gain", Numbers(gain)}, {"phase", Numbers(phase)}};
}

std::string LoopOutput(const SpiceRequest& request, const std::string& deck, const SpiceInputs& inputs)
{
    const ControlLoop loop = request.deck == SpiceDeck::AcVoltage ? ControlLoop::Voltage : ControlLoop::Current;
    const SpiceLoopResult result = RunLoopDeck(deck, inputs.ranges[static_cast<std::size_t>(loop)]);
    if (!result.error.empty())
        throw Failure(kFileError, result.error);
    std::vector<Figure> figures;
    for (std::size_t k = 0; k < std::size(kFigureLabels); ++k)
        figures.push_back({kFigureLabels[k].row, kFigureLabels[k].key, result.metrics.*kExactMetricMembers[k],
                           kFigureLabels[k].unit});
    if (request.asJson)
        return FiguresJson(request.deck, figures, PointsJson(result.points));
    const std::vector<MeasuredPoint>& points = result.points;
    return FiguresText(std::string("ngspice, ") + SpiceDeckWord(request.deck) + " deck (" +
                           std::to_string(points.size()) + " points from " + FormatFigure(points.front().freq, "Hz") +
                           " to " + FormatFigure(points.back().freq, "Hz") + "):",
                       figures);
}

std::string TransientOutput(const SpiceRequest& request, const std::string& deck, const SpiceInputs& inputs)
{
    const SpiceTransientResult result = RunTransientDeck(deck, inputs.timeDomain);
    if (!result.error.empty())
        throw Failure(kFileError, result.error);
    const std::vector<Figure> figures{{"Load step: output minimum", "vOutMin", result.outputMin, "V"},
                                      {"Load step: output maximum", "vOutMax", result.outputMax, "V"},
                                      {"V__IN_NORM, full load: power factor", "pf", result.powerFactor, ""},
                                      {"V__IN_NORM, full load: THD", "thd", result.thd, "%"}};
    if (request.asJson)
        return FiguresJson(request.deck, figures, nullptr);
    return FiguresText("ngspice, transient deck:", figures);
}

}  // namespace

std::string SpiceOutput(const SpiceRequest& request, Design& design)
{
    const SpiceInputs inputs = ReadSpiceInputs(design.model, ToUtf8(design.description));
    const SpiceDeckText deck = WriteSpiceDeck(inputs, request.deck);
    if (!deck.notWritten.empty())
        throw Failure(kFileError, deck.notWritten);
    if (request.deckFile && !WriteFileBytesAtomically(*request.deckFile, {deck.text.begin(), deck.text.end()}))
        throw Failure(kFileError, *request.deckFile + ": cannot write the deck");
    if (!request.run)
        return request.deckFile ? std::string() : deck.text;
    if (request.deck == SpiceDeck::Transient)
        return TransientOutput(request, deck.text, inputs);
    return LoopOutput(request, deck.text, inputs);
}

}  // namespace qxr::cli
