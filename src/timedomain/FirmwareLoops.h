#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <utility>
#include <variant>

#include "calc/FirmwareStep.h"
#include "timedomain/StageModel.h"

// The digital controller as the firmware runs it: the three coefficient sets
// of the exported header through its step function, the current loop at
// F__SAMP, the voltage loop and the feed-forward low-pass at F__SAMP_V, and
// the duty put out T__D current-loop periods after its sample.
namespace qxr {

// A set's coefficients, state and output limits in the numbers of one format.
template <typename Value>
struct FirmwareSetRunner {
    std::array<Value, kCoefficientsPerSet> c{};
    int shift = 0;
    double toNumber = 1;  // word units per physical unit
    FirmwareFilterState<Value> state;
    Value low{}, high{};

    Value Encode(double physical) const;
    double Decode(Value number) const { return static_cast<double>(number) / toNumber; }
};

// One coefficient set in its number format. Physical values go in and come
// out; an integer set maps them to its word by its full scale. An output
// beyond [low, high] is limited and kept as the set's last output, so the
// integrator does not wind up.
class FirmwareFilter {
public:
    FirmwareFilter(const FirmwareSetNumbers& numbers, const CoefficientFormat& format, double low, double high);

    double Step(double input);
    // A steady state: the input and the output held for two samples.
    void Hold(double input, double output);
    // Moves the last two outputs by delta, as a steady state at another output would have them.
    void ShiftOutput(double delta);
    // The gain at DC of the numbers it runs.
    double DcGain() const;
    // Whether the last output was limited at the top.
    bool AtHigh() const { return atHigh_; }

private:
    template <typename Value>
    static FirmwareSetRunner<Value> MakeRunner(const FirmwareSetNumbers& numbers, const CoefficientFormat& format,
                                               double low, double high);

    std::variant<FirmwareSetRunner<double>, FirmwareSetRunner<float>, FirmwareSetRunner<int16_t>,
                 FirmwareSetRunner<int32_t>>
        runner_;
    bool atHigh_ = false;
};

class FirmwareLoops {
public:
    FirmwareLoops(const TimeDomainInputs& inputs, double lineRms);

    // Runs the feed-forward low-pass from zero over the line before t, as the firmware does from boot.
    void SettleFeedForward(double t);
    // Holds the voltage loop at a steady output (0 from reset), and the current loop at a steady duty from its
    // first sample at or after t on.
    void HoldVoltageLoop(double controlOutput, HeldInputs& held);
    void HoldCurrentLoop(double t, double duty, HeldInputs& held);
    // Moves the voltage loop's output by delta, its ripple kept.
    void ShiftVoltageLoop(double delta, HeldInputs& held);

    // The next sampling instant or duty update after the last one handled.
    double NextEvent() const;
    // Handles everything due at t (slow loop, then current loop, then duty updates) with the stage's values.
    void RunDue(double t, double rectifiedLine, double vOut, double iL, double reference, HeldInputs& held);

    double ControlOutput() const { return controlOutput_; }  // the voltage loop's output
    bool ControlAtLimit() const { return voltage_.AtHigh(); }
    double ReferenceGainOf(double controlOutput, double feedForward) const;
    // The mean of the feed-forward output at this line and the input power per unit of loop output (W per unit).
    double MeanFeedForward() const;
    double PowerPerUnit() const;
    double ControlLimit() const { return deltaVAout_; }

private:
    double SampleTime(int64_t index, double frequency) const { return static_cast<double>(index) / frequency; }
    double Line(double t) const;
    void UpdateReferenceGain(HeldInputs& held);

    FirmwareFilter feedForward_, voltage_, current_;
    double currentSampling_, voltageSampling_, delay_;
    double lineRms_, omega_, rSense_, deltaVAout_, feedForwardFloor_;
    IdealisedController ideal_;
    int64_t nextCurrent_ = 0, nextVoltage_ = 0;
    std::deque<std::pair<double, double>> pendingDuties_;  // (time it takes effect, duty)
    double feedForwardOutput_ = 0, controlOutput_ = 0;
};

}  // namespace qxr
