#pragma once

#include "calc/TransferFunctions.h"
#include "model/DesignModel.h"
#include "model/LoopData.h"

// Each control loop as one set of transfer functions with every quantity a
// plain number: its integrating plant, its compensator, the sampling lag of a
// digital current loop and the frequencies its figures are looked for in.
// The Bode data, the exact metrics, the stability sweep and the pages all
// take a loop from here.
namespace qxr {

// The frequencies a loop's Bode data covers, in Hz: the voltage loop from
// 1 Hz to 1 kHz, the current loop from 100 Hz to the switching frequency.
struct FrequencyRange {
    double start;
    double stop;
};

// A plant k / s. Its magnitude is numerator / (a w b c), kept as factors so
// that the gain in dB rounds exactly as the design's plant formulas do.
struct IntegratingPlant {
    double numerator, a, b, c;

    double GainDb(double w) const { return 20 * std::log10(numerator / (a * w * b * c)); }
    double Constant() const { return numerator / (a * b * c); }  // k
};

// P / E / (V w DeltaV C): the input power's share of the output voltage.
IntegratingPlant VoltagePlantOf(double pOut, double efficiency, double vOut, double deltaVAout, double cOut);
// Rsense V / (L w Vramp): the sensed inductor current against the duty.
IntegratingPlant CurrentPlantOf(double rSense, double vOut, double inductance, double vRamp);

struct LoopModel {
    IntegratingPlant plant;
    Compensator compensator;
    bool sampled = false;  // a digital current loop lags by SamplingDelay(w, fSamp, tD)
    double fSamp = 0.0;
    double tD = 0.0;
    FrequencyRange range{};

    double SamplingLag(double w) const { return sampled ? SamplingDelay(w, fSamp, tD) : 0.0; }
    // The plant's and the compensator's gains in dB added, as the Bode data
    // and the pages show them.
    double SummedGainDb(double w) const { return plant.GainDb(w) + compensator.GainDb(w); }
    // The loop gain as one magnitude, 20 log10(k / w) + the compensator's
    // gain, for root finding; it rounds differently from SummedGainDb.
    double GainDb(double w) const;
    double PhaseDeg(double w) const;
    double SlopeDbPerDecade(double w) const;
    double PhaseSlopeDegPerRad(double w) const;  // d(phase)/dw
};

// Read the values in force they depend on, marking them in use.
FrequencyRange BodeRange(CDesignModel& model, ControlLoop loop);
double RequiredCrossover(CDesignModel& model, ControlLoop loop);
// The loop as the design has it: its compensator from the placed poles and
// zero, its range, and for the digital current loop the sampling lag.
LoopModel LoopModelOf(CDesignModel& model, ControlLoop loop);

}  // namespace qxr
