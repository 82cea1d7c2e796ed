#include "designmap/DesignMap.h"

#include <cmath>
#include <thread>

#include "analysis/Recalculate.h"
#include "analysis/Robustness.h"
#include "model/Utf.h"
#include "model/VectorRegisters.h"
#include "timedomain/Scenarios.h"

namespace qxr {

namespace {

// A nominal crossover this close to the required one is where it was asked for.
constexpr double kCrossoverTolerance = 1e-6;

struct MapSettings {
    CSymbol *low, *high, *marginLow, *marginHigh, *crossoverPoints, *marginPoints;
};

MapSettings SettingsOf(CDesignModel& m, ControlLoop loop)
{
    const bool voltage = loop == ControlLoop::Voltage;
    return {voltage ? &m.F__MAP_VLO : &m.F__MAP_ILO,
            voltage ? &m.F__MAP_VHI : &m.F__MAP_IHI,
            &m.PM__MAP_LO,
            &m.PM__MAP_HI,
            &m.N__MAP_FX,
            &m.N__MAP_PM};
}

std::string Unusable(const CSymbol& symbol)
{
    return "The design map is not computed: " + ToUtf8(symbol.name) + " - " + ToUtf8(symbol.description) +
           " is outside of its range.";
}

// The first setting of the map that cannot be used, as the reason; empty when all can.
std::string SettingsProblem(CDesignModel& model, const MapSettings& s)
{
    const std::string sweep = ReadRobustnessInputs(model).notComputed;
    if (!sweep.empty())
        return sweep;
    for (CSymbol* setting : {s.low, s.high, s.marginLow, s.marginHigh, s.crossoverPoints, s.marginPoints,
                             &model.PM__WORST_MIN, &model.M__S_MAX, &model.H3__MAX, &model.V__STEP_MIN}) {
        if (!std::isfinite(model.Read(*setting)) || setting->IsOutsideLimits())
            return Unusable(*setting);
    }
    for (auto [low, high] : {std::pair{s.low, s.high}, {s.marginLow, s.marginHigh}}) {
        if (!(low->Value() < high->Value()))
            return "The design map is not computed: " + ToUtf8(low->name) + " is not below " + ToUtf8(high->name) + ".";
    }
    return {};
}

std::vector<double> Spaced(double low, double high, double points, bool logarithmic)
{
    const std::size_t n = static_cast<std::size_t>(points);
    std::vector<double> values(n);
    for (std::size_t k = 0; k < n; ++k) {
        const double t = static_cast<double>(k) / static_cast<double>(n - 1);
        values[k] = logarithmic ? low * std::pow(high / low, t) : low + (high - low) * t;
    }
    values.back() = high;
    return values;
}

// The compensator's positions and, in the analog design, its parts.
std::vector<const CSymbol*> CompensatorValues(const CDesignModel& m, ControlLoop loop)
{
    const bool analog = m.Mode() == CTop::ANALOG;
    if (loop == ControlLoop::Voltage) {
        std::vector<const CSymbol*> values{&m.v_fcp0, &m.v_fcp1, &m.v_fcz1};
        if (analog)
            values.insert(values.end(), {&m.R__IN, &m.R__F, &m.C__Z, &m.C__F});
        return values;
    }
    std::vector<const CSymbol*> values{&m.i_fcp0, &m.i_fcp1, &m.i_fcz1};
    if (analog)
        values.insert(values.end(), {&m.R__I, &m.R__F_I, &m.C__Z_I, &m.C__P_I});
    return values;
}

bool PartsPositive(const CDesignModel& model, ControlLoop loop)
{
    for (const CSymbol* value : CompensatorValues(model, loop)) {
        if (!(value->Value() > 0 && std::isfinite(value->Value())))
            return false;
    }
    return true;
}

void SimulatePoint(CDesignModel& model, const std::atomic<bool>* cancel, MapCell& cell)
{
    const TimeDomainInputs inputs = ReadTimeDomainInputs(model);
    if (!inputs.notComputed.empty())
        return;
    SimulationOptions options;
    options.cancel = cancel;
    const SteadyStatePoint lowLine = SimulateSteadyState(inputs, model.V__IN_MIN.Value(), 1.0, options);
    if (lowLine.notComputed.empty())
        cell.h3 = lowLine.harmonics.thirdHarmonic;
    const LoadStepResult step = SimulateLoadStep(inputs, options);
    if (step.notComputed.empty())
        cell.stepMin = step.outputMin;
}

MapCell EvaluatePoint(CDesignModel& model, const DesignMapInputs& inputs, double crossover, double margin,
                      const DesignMapOptions& options)
{
    model.RestoreState(inputs.state);
    EnterPoint(model, inputs.loop, crossover, margin);
    Recalculate(model);
    const LoopRobustness corners = AnalyseCorners(ReadRobustnessInputs(model), inputs.loop);
    MapCell cell;
    cell.computed = true;
    cell.realisable = PartsPositive(model, inputs.loop) &&
                      std::fabs(corners.nominal.fx - crossover) <= kCrossoverTolerance * crossover;
    if (!cell.realisable)
        return cell;
    cell.worstPm = corners.worstPm;
    cell.worstMs = corners.envelope[kMsFigure].max;
    if (options.timeDomain)
        SimulatePoint(model, options.cancel, cell);
    return cell;
}

}  // namespace

CSymbol& RequiredCrossoverSymbol(CDesignModel& model, ControlLoop loop)
{
    return loop == ControlLoop::Voltage ? model.F__X_VLOOP : model.F__X_ILOOP;
}

CSymbol& RequiredMarginSymbol(CDesignModel& model, ControlLoop loop)
{
    return loop == ControlLoop::Voltage ? model.PM__VLOOP : model.PM__ILOOP;
}

void EnterPoint(CDesignModel& model, ControlLoop loop, double crossover, double phaseMargin)
{
    RequiredCrossoverSymbol(model, loop).SetUser(crossover);
    RequiredMarginSymbol(model, loop).SetUser(phaseMargin);
}

DesignMapInputs ReadDesignMapInputs(CDesignModel& model, ControlLoop loop)
{
    DesignMapInputs inputs;
    inputs.loop = loop;
    inputs.limits = {model.Read(model.PM__WORST_MIN), model.Read(model.M__S_MAX), model.Read(model.H3__MAX),
                     model.Read(model.V__STEP_MIN)};
    const MapSettings settings = SettingsOf(model, loop);
    inputs.notComputed = SettingsProblem(model, settings);
    if (!inputs.notComputed.empty())
        return inputs;
    inputs.state = model.SaveState();
    inputs.crossovers = Spaced(settings.low->Value(), settings.high->Value(), settings.crossoverPoints->Value(), true);
    inputs.phaseMargins =
        Spaced(settings.marginLow->Value(), settings.marginHigh->Value(), settings.marginPoints->Value(), false);
    return inputs;
}

DesignMap EmptyDesignMap(const DesignMapInputs& inputs)
{
    DesignMap map;
    map.notComputed = inputs.notComputed;
    map.loop = inputs.loop;
    map.crossovers = inputs.crossovers;
    map.phaseMargins = inputs.phaseMargins;
    map.cells.resize(inputs.crossovers.size() * inputs.phaseMargins.size());
    return map;
}

DesignMap ComputeDesignMap(const DesignMapInputs& inputs, const DesignMapOptions& options)
{
    DesignMap map = EmptyDesignMap(inputs);
    map.timeDomain = options.timeDomain;
    const std::size_t points = map.cells.size();
    if (map.notComputed.empty() && options.timeDomain && points > kMaxTimeDomainMapPoints) {
        map.notComputed = "The time-domain pass simulates every point, about 0.1 s each: it takes at most " +
                          std::to_string(kMaxTimeDomainMapPoints) +
                          " points (N__MAP_FX × N__MAP_PM), and this map has " + std::to_string(points) + ".";
        map.cells.clear();
    }
    if (!map.notComputed.empty())
        return map;
    const std::size_t columns = map.crossovers.size();
    const auto cancelled = [&options] { return options.cancel && options.cancel->load(std::memory_order_relaxed); };
    std::atomic<std::size_t> next{0};
    // Each thread works on a design of its own; a point's figures depend on that point alone.
    // The enumerations' type records were made by the owner's model; the threads only read them.
    const auto work = [&] {
        ClearUpperVectorHalves();
        CDesignModel model;
        for (std::size_t i = next++; i < map.cells.size() && !cancelled(); i = next++) {
            const std::size_t row = i / columns, column = i % columns;
            const MapCell cell = EvaluatePoint(model, inputs, map.crossovers[column], map.phaseMargins[row], options);
            if (cancelled())
                return;  // a simulation the cancel cut short has no figures
            map.cells[i] = cell;
            if (options.cellDone)
                options.cellDone(row, column, map.cells[i]);
        }
    };
    std::vector<std::thread> helpers;
    for (unsigned k = 1; k < std::min<std::size_t>(std::max(1u, options.threads), map.cells.size()); ++k)
        helpers.emplace_back(work);
    work();
    for (std::thread& helper : helpers)
        helper.join();
    map.complete = !cancelled();
    return map;
}

}  // namespace qxr
