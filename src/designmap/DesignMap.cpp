#include "designmap/DesignMap.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <thread>
#include <utility>

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

// The design as the inputs hold it with the point entered.
void DesignAt(CDesignModel& model, const DesignMapInputs& inputs, double crossover, double margin)
{
    model.RestoreState(inputs.state);
    EnterPoint(model, inputs.loop, crossover, margin);
    Recalculate(model);
}

MapCell EvaluatePoint(CDesignModel& model, const DesignMapInputs& inputs, double crossover, double margin)
{
    DesignAt(model, inputs, crossover, margin);
    const LoopRobustness corners = AnalyseCorners(ReadRobustnessInputs(model), inputs.loop);
    MapCell cell;
    cell.computed = true;
    cell.realisable = PartsPositive(model, inputs.loop) &&
                      std::fabs(corners.nominal.fx - crossover) <= kCrossoverTolerance * crossover;
    if (!cell.realisable)
        return cell;
    cell.worstPm = corners.worstPm;
    cell.worstMs = corners.envelope[kMsFigure].max;
    return cell;
}

// The point's design simulated at V__IN_MIN and full load and through the load step.
void SimulatePoint(CDesignModel& model, const DesignMapInputs& inputs, double crossover, double margin,
                   const std::atomic<bool>* cancel, MapCell& cell)
{
    DesignAt(model, inputs, crossover, margin);
    cell.timeDomainSimulated = true;
    const TimeDomainInputs simulated = ReadTimeDomainInputs(model);
    if (!simulated.notComputed.empty())
        return;
    SimulationOptions options;
    options.cancel = cancel;
    const SteadyStatePoint lowLine = SimulateSteadyState(simulated, model.V__IN_MIN.Value(), 1.0, options);
    if (lowLine.notComputed.empty())
        cell.h3 = lowLine.harmonics.thirdHarmonic;
    const LoadStepResult step = SimulateLoadStep(simulated, options);
    if (step.notComputed.empty())
        cell.stepMin = step.outputMin;
}

bool Cancelled(const DesignMapOptions& options)
{
    return options.cancel && options.cancel->load(std::memory_order_relaxed);
}

// Runs point(model, k) for every k below count, spread over the options'
// threads, each thread with a design of its own; a point's result depends on
// that point alone, so the map is the same for any number of threads. The
// enumerations' type records were made by the owner's model; the threads only
// read them.
template <typename Point>
void ForEachPoint(std::size_t count, const DesignMapOptions& options, const Point& point)
{
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        ClearUpperVectorHalves();
        CDesignModel model;
        for (std::size_t k = next++; k < count && !Cancelled(options); k = next++)
            point(model, k);
    };
    std::vector<std::thread> helpers;
    for (unsigned k = 1; k < std::min<std::size_t>(std::max(1u, options.threads), count); ++k)
        helpers.emplace_back(work);
    work();
    for (std::thread& helper : helpers)
        helper.join();
}

// The sub-grid's indices on either side of index, the same one twice where
// index is on the sub-grid.
std::pair<std::size_t, std::size_t> Bracket(const std::vector<std::size_t>& subGrid, std::size_t index)
{
    const auto above = std::lower_bound(subGrid.begin(), subGrid.end(), index);
    if (*above == index)
        return {index, index};
    return {*std::prev(above), *above};
}

// Where value lies between the grid's points low and high, 0 to 1.
double Fraction(double value, double low, double high)
{
    return low == high ? 0.0 : (value - low) / (high - low);
}

// A cell's figure bilinear in log crossover and phase margin between the
// simulated cells at the corners; NaN where a corner has none.
double Interpolated(const DesignMap& map, double MapCell::*figure, std::pair<std::size_t, std::size_t> rows,
                    std::pair<std::size_t, std::size_t> columns, double tRow, double tColumn)
{
    const auto corner = [&](std::size_t row, std::size_t column) {
        const MapCell& cell = map.At(row, column);
        return cell.timeDomainSimulated ? cell.*figure : MapCell::kNaN;
    };
    const double low = (1 - tColumn) * corner(rows.first, columns.first) + tColumn * corner(rows.first, columns.second);
    const double high =
        (1 - tColumn) * corner(rows.second, columns.first) + tColumn * corner(rows.second, columns.second);
    return (1 - tRow) * low + tRow * high;
}

void InterpolateTimeDomain(DesignMap& map)
{
    for (std::size_t row = 0; row < map.phaseMargins.size(); ++row) {
        const auto rows = Bracket(map.timeDomainRows, row);
        const double tRow =
            Fraction(map.phaseMargins[row], map.phaseMargins[rows.first], map.phaseMargins[rows.second]);
        for (std::size_t column = 0; column < map.crossovers.size(); ++column) {
            MapCell& cell = map.cells[row * map.crossovers.size() + column];
            if (!cell.realisable || cell.timeDomainSimulated)
                continue;
            const auto columns = Bracket(map.timeDomainColumns, column);
            const double tColumn = Fraction(std::log(map.crossovers[column]), std::log(map.crossovers[columns.first]),
                                            std::log(map.crossovers[columns.second]));
            cell.h3 = Interpolated(map, &MapCell::h3, rows, columns, tRow, tColumn);
            cell.stepMin = Interpolated(map, &MapCell::stepMin, rows, columns, tRow, tColumn);
        }
    }
}

// count points spread evenly from 0 to last, both included.
std::vector<std::size_t> EvenlySpread(std::size_t count, std::size_t last)
{
    std::vector<std::size_t> indices(count);
    for (std::size_t k = 0; k < count; ++k)
        indices[k] = count == 1 ? 0 : (2 * k * last + count - 1) / (2 * (count - 1));  // rounded to the nearest
    return indices;
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

TimeDomainSubGrid TimeDomainSubGridOf(std::size_t columns, std::size_t rows)
{
    const bool whole = columns * rows <= kMaxTimeDomainMapPoints;
    const auto side = [whole](std::size_t count) {
        return count == 0 ? std::vector<std::size_t>{}
                          : EvenlySpread(whole ? count : std::min(count, kMaxTimeDomainSide), count - 1);
    };
    return {side(columns), side(rows)};
}

void PlanTimeDomainPass(DesignMap& map)
{
    TimeDomainSubGrid subGrid = TimeDomainSubGridOf(map.crossovers.size(), map.phaseMargins.size());
    map.timeDomainColumns = std::move(subGrid.columns);
    map.timeDomainRows = std::move(subGrid.rows);
}

std::vector<std::size_t> TimeDomainPoints(const DesignMap& map)
{
    std::vector<std::size_t> points;
    for (std::size_t row : map.timeDomainRows) {
        for (std::size_t column : map.timeDomainColumns) {
            const std::size_t index = row * map.crossovers.size() + column;
            if (map.cells[index].realisable)
                points.push_back(index);
        }
    }
    return points;
}

DesignMap ComputeDesignMap(const DesignMapInputs& inputs, const DesignMapOptions& options)
{
    DesignMap map = EmptyDesignMap(inputs);
    if (!map.notComputed.empty())
        return map;
    const std::size_t columns = map.crossovers.size();
    ForEachPoint(map.cells.size(), options, [&](CDesignModel& model, std::size_t i) {
        const std::size_t row = i / columns, column = i % columns;
        const MapCell cell = EvaluatePoint(model, inputs, map.crossovers[column], map.phaseMargins[row]);
        map.cells[i] = cell;
        if (options.cellDone)
            options.cellDone(row, column, map.cells[i]);
    });
    map.complete = !Cancelled(options);
    if (map.complete && options.timeDomain)
        RunTimeDomainPass(inputs, map, options);
    return map;
}

void RunTimeDomainPass(const DesignMapInputs& inputs, DesignMap& map, const DesignMapOptions& options)
{
    PlanTimeDomainPass(map);
    const std::vector<std::size_t> points = TimeDomainPoints(map);
    const std::size_t columns = map.crossovers.size();
    ForEachPoint(points.size(), options, [&](CDesignModel& model, std::size_t k) {
        const std::size_t i = points[k], row = i / columns, column = i % columns;
        MapCell cell = map.cells[i];
        SimulatePoint(model, inputs, map.crossovers[column], map.phaseMargins[row], options.cancel, cell);
        if (Cancelled(options))
            return;  // a simulation the cancel cut short has no figures
        map.cells[i] = cell;
        if (options.cellDone)
            options.cellDone(row, column, map.cells[i]);
    });
    map.complete = !Cancelled(options);
    if (!map.complete)
        return;
    InterpolateTimeDomain(map);
    map.timeDomain = true;
}

}  // namespace qxr
