#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/ExactMetrics.h"
#include "calc/StandardValues.h"
#include "model/DesignModel.h"

// The resistors and capacitors of the analog design as parts to buy: each
// one's value rounded to its class's standard series, and both loops with
// the rounded compensator parts.
namespace qxr {

enum class PartKind { Resistor, Capacitor };

struct PartValue {
    std::string designator;  // as on the schematic
    CSymbol* symbol = nullptr;
    PartKind kind = PartKind::Resistor;
    double proposed = 0;   // SI: the calculated proposal, or the value entered for an input
    double inForce = 0;    // SI: the value the design uses
    int32_t series = 0;    // a CSeries value
    double standard = 0;   // SI: nearest standard value to inForce; NaN when there is none
    double deviation = 0;  // % of standard from inForce
    double tolerance = 0;  // ± %, of the part's class
    // Two standard values, when the single one misses by more than the chosen limit.
    std::optional<StandardPair> pair;
};

// Every resistor and capacitor of the analog design in schematic order; none
// for another Mode. Reads the model like a view of it.
std::vector<PartValue> PartValuesOf(CDesignModel& model);

// "Ω" or "F".
const char* BaseUnitOf(PartKind kind);
// "series" or "parallel": how a pair combines for this kind of part.
const char* PairWiring(PartKind kind, StandardPair::Combination combination);

// Whether the part has a standard value other than the value in force.
bool IsToBeRounded(const PartValue& part);

// Enters each part's standard value where it differs from the value in force;
// the caller recalculates. True when anything changed.
bool EnterStandardValues(const std::vector<PartValue>& parts);

// Both loops' exact figures with the parts as they are and with their
// standard values, in ControlLoop order.
struct StandardValueLoops {
    std::string notComputed;  // why there are no figures; empty when there are
    std::array<ExactMetrics, 2> design, standard;
    std::array<std::optional<LoopModel>, 2> standardLoops;
};

StandardValueLoops StandardValueLoopsOf(CDesignModel& model, const std::vector<PartValue>& parts);

}  // namespace qxr
