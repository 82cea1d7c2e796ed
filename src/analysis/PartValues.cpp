#include "analysis/PartValues.h"

#include <cmath>

#include "analysis/Robustness.h"

namespace qxr {

namespace {

using M = CDesignModel;

struct PartSource {
    const char* designator;
    CSymbol M::*symbol;
    PartKind kind;
};

// Multiplier and feed-forward, voltage loop, current loop, dividers, clock,
// soft start and start-up; the designators of the schematic where it shows the part.
const PartSource kPartSources[] = {
    {"RAC", &M::R__AC, PartKind::Resistor},        {"RVFF", &M::R__VFF, PartKind::Resistor},
    {"CVFF", &M::C__VFF, PartKind::Capacitor},     {"RMO", &M::R__MOUT, PartKind::Resistor},
    {"RIN", &M::R__IN, PartKind::Resistor},        {"RD", &M::R__D, PartKind::Resistor},
    {"RF_V", &M::R__F, PartKind::Resistor},        {"CZ_V", &M::C__Z, PartKind::Capacitor},
    {"CF_V", &M::C__F, PartKind::Capacitor},       {"RI", &M::R__I, PartKind::Resistor},
    {"RF_I", &M::R__F_I, PartKind::Resistor},      {"CZ_I", &M::C__Z_I, PartKind::Capacitor},
    {"CP_I", &M::C__P_I, PartKind::Capacitor},     {"RREF1", &M::R__REF_HI, PartKind::Resistor},
    {"RREF2", &M::R__REF_LO, PartKind::Resistor},  {"ROV1", &M::R__OVP_HI, PartKind::Resistor},
    {"ROV2", &M::R__OVP_LO, PartKind::Resistor},   {"RPK1", &M::R__PKLMT_HI, PartKind::Resistor},
    {"RPK2", &M::R__PKLMT_LO, PartKind::Resistor}, {"RT", &M::R__T, PartKind::Resistor},
    {"CT", &M::C__T, PartKind::Capacitor},         {"CSS", &M::C__SS, PartKind::Capacitor},
    {"RSH", &M::R__SHUNT, PartKind::Resistor},     {"CVCC", &M::C__TOT, PartKind::Capacitor},
};

PartValue ReadPart(CDesignModel& model, const PartSource& source)
{
    const bool resistor = source.kind == PartKind::Resistor;
    PartValue part;
    part.designator = source.designator;
    part.symbol = &(model.*source.symbol);
    part.kind = source.kind;
    part.inForce = model.Read(*part.symbol);
    part.proposed = part.symbol->isInput ? part.inForce : part.symbol->calcValue;
    part.series = TruncToInt32(model.Read(resistor ? model.ser__R : model.ser__C));
    part.standard = NearestStandardValue(part.inForce, part.series);
    part.deviation = DeviationPercent(part.standard, part.inForce);
    part.tolerance = model.Read(resistor ? model.TOL__R_COMP : model.TOL__C_COMP);
    if (std::fabs(part.deviation) > model.Read(model.DEV__PAIR)) {
        if (const StandardPair pair = BestStandardPair(part.inForce, part.series); pair.first != 0)
            part.pair = pair;
    }
    return part;
}

}  // namespace

std::vector<PartValue> PartValuesOf(CDesignModel& model)
{
    std::vector<PartValue> parts;
    if (model.Mode() != CTop::ANALOG)
        return parts;
    for (const PartSource& source : kPartSources)
        parts.push_back(ReadPart(model, source));
    return parts;
}

const char* BaseUnitOf(PartKind kind)
{
    return kind == PartKind::Resistor ? "Ω" : "F";
}

const char* PairWiring(PartKind kind, StandardPair::Combination combination)
{
    const bool sum = combination == StandardPair::Combination::Sum;
    return (kind == PartKind::Resistor) == sum ? "series" : "parallel";
}

bool IsToBeRounded(const PartValue& part)
{
    return !std::isnan(part.standard) && part.standard != part.inForce;
}

bool EnterStandardValues(const std::vector<PartValue>& parts)
{
    bool changed = false;
    for (const PartValue& part : parts) {
        if (IsToBeRounded(part)) {
            part.symbol->SetUser(part.standard);
            changed = true;
        }
    }
    return changed;
}

StandardValueLoops StandardValueLoopsOf(CDesignModel& model, const std::vector<PartValue>& parts)
{
    StandardValueLoops loops;
    if (parts.empty()) {
        loops.notComputed = "Only the analog design has parts to round.";
        return loops;
    }
    const RobustnessInputs inputs = ReadRobustnessInputs(model);
    loops.notComputed = inputs.notComputed;
    if (!loops.notComputed.empty())
        return loops;
    SweptValues standard = inputs.nominal;
    for (const SweptQuantity& quantity : inputs.quantities) {
        for (const PartValue& part : parts) {
            if (part.symbol->name == quantity.name && !std::isnan(part.standard))
                standard[static_cast<std::size_t>(quantity.which)] = part.standard;
        }
    }
    for (ControlLoop loop : kControlLoops) {
        const auto i = static_cast<std::size_t>(loop);
        loops.design[i] = ExactMetricsOf(LoopAt(inputs, loop, inputs.nominal));
        loops.standardLoops[i] = LoopAt(inputs, loop, standard);
        loops.standard[i] = ExactMetricsOf(*loops.standardLoops[i]);
    }
    return loops;
}

}  // namespace qxr
