#include "cli/JsonDocument.h"

#include "analysis/BodeColumns.h"
#include "analysis/DesignText.h"
#include "cli/Design.h"
#include "cli/JsonValues.h"
#include "model/Utf.h"

namespace qxr::cli {

namespace {

Json SymbolJson(const CSymbol& symbol)
{
    return {
        {"index", symbol.index},
        {"name", ToUtf8(symbol.name)},
        {"description", ToUtf8(symbol.description)},
        {"unit", ToUtf8(symbol.unit)},
        {"scale", Number(symbol.scale)},
        {"value", Number(symbol.Value())},
        {"calcValue", Number(symbol.calcValue)},
        {"userValue", Number(symbol.userValue)},
        {"userSet", symbol.userSet},
        {"inUse", symbol.inUse},
        {"isInput", symbol.isInput},
        {"default", Number(symbol.defaultValue)},
        {"limitMin", Number(symbol.limitMin)},
        {"limitMax", Number(symbol.limitMax)},
        {"outsideLimits", symbol.IsOutsideLimits()},
    };
}

Json MetricsJson(const CDesignModel& model, ControlLoop controlLoop)
{
    const LoopData& loop = model.Loop(controlLoop);
    return {
        {"crossIdx", loop.crossIdx},
        {"phaseCrossIdx", loop.phaseCrossIdx},
        {"fx", Number(loop.fx)},
        {"slope", Number(loop.slope)},
        {"gainMargin", Number(loop.gainMargin)},
        {"phaseMargin", Number(loop.phaseMargin)},
    };
}

Json BodeJson(const CDesignModel& model, ControlLoop loop)
{
    Json bode = Json::object();
    for (std::size_t c = 0; c < kBodeSeriesCount; ++c)
        bode[kBodeColumns[c].jsonKey] = Numbers(model.Loop(loop).series[c]);
    return bode;
}

// The same member for both loops.
Json PerLoop(const CDesignModel& model, Json (*describe)(const CDesignModel&, ControlLoop))
{
    Json members = Json::object();
    for (ControlLoop loop : kControlLoops)
        members[LoopName(loop)] = describe(model, loop);
    return members;
}

}  // namespace

std::string FormatJson(const Design& design, bool withBode)
{
    const CDesignModel& model = design.model;
    Json document = Json::object();
    document["description"] = ToUtf8(design.description);
    document["mode"] = Number(model.ad.Value());
    document["symbols"] = Json::array();
    for (const CSymbol* symbol : model.symbols)
        document["symbols"].push_back(SymbolJson(*symbol));
    document["messages"] = MessageLines(model);
    document["metrics"] = PerLoop(model, MetricsJson);
    if (withBode)
        document["bode"] = PerLoop(model, BodeJson);
    return JsonText(document);
}

}  // namespace qxr::cli
