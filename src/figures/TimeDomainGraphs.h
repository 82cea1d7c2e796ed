#pragma once

#include <vector>

#include "plot/GraphColor.h"

class CGraphScatter;
class QString;
namespace qxr {
struct SteadyStatePoint;
struct Waveforms;
}  // namespace qxr

// The graphs of the stage in time, drawn alike on the Time Domain tab and in
// the printed report: the line voltage and current of a steady state, its
// harmonics against their limits, and the output voltage and the voltage
// controller's output through a scenario.
enum class TimeDomainGraph { LineVoltage, LineCurrent, Harmonics, OutputVoltage, ControlOutput };
// The line of every graph that carries its waveform or its bars.
inline constexpr int kTimeDomainCurve = 0;

// Titles, colours, lines and fixed axes; once, before the first drawing.
void SetUpTimeDomainGraph(CGraphScatter& graph, TimeDomainGraph which, GraphColor background);
// What the graph shows, for a screen reader.
QString TimeDomainGraphName(TimeDomainGraph which);

// A waveform over its own time span, in ms, on round value bounds.
void DrawWaveform(CGraphScatter& graph, const std::vector<double>& time, const std::vector<double>& values);
// Each harmonic from the second a bar, the limits a step line over them; empty without a point.
void DrawHarmonics(CGraphScatter& graph, const qxr::SteadyStatePoint* point);
// The output through a scenario with the over-voltage trip and the least
// output the downstream converter needs as dashed levels, all in view.
void DrawScenarioOutput(CGraphScatter& graph, const qxr::Waveforms& waveforms, double trip, double least);

// The harmonic order under a point of the harmonics graph, 0 where there is none.
int HarmonicOrderAt(const CGraphScatter& graph, int x);
