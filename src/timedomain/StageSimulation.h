#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "timedomain/FirmwareLoops.h"
#include "timedomain/StageModel.h"

// One run of the stage and its controller through time. The integrator
// (Boost.Odeint's Dormand-Prince 5(4) with step control) runs between events
// and never steps over one: sampling instants, line zero crossings and the
// end of the soft start are scheduled; a limit met by the state is found on
// the step's cubic Hermite interpolant and the step is taken again to end
// there, before the choice changes.
namespace qxr {

struct SimulationOptions {
    // Set from another thread to give up; the run stops at its next step.
    const std::atomic<bool>* cancel = nullptr;
    // Called once per simulated line period with the simulated time of the run.
    std::function<void(double)> progress;
    // Called as each of a report's runs ends, with the number ended and of all;
    // from the thread that ran it.
    std::function<void(int done, int total)> runEnded;
};

// The stage at one instant of the uniform sampling grid.
struct StageSample {
    double t;
    double lineVoltage, lineCurrent;  // signed, as the line sees them
    double inductorCurrent, outputVoltage;
    double controlOutput;  // VAOUT, or the digital voltage loop's output
    bool controlAtLimit;   // the voltage controller asks for more than it can give
};

// Samples per line period on the grid k / (N f__LINE).
inline constexpr int kSamplesPerPeriod = 512;

class StageSimulation {
public:
    StageSimulation(const TimeDomainInputs& inputs, double lineRms, const StageLoad& load,
                    const SimulationOptions& options);
    ~StageSimulation();
    StageSimulation(const StageSimulation&) = delete;
    StageSimulation& operator=(const StageSimulation&) = delete;

    // At t, with the output regulated and the controller where it delivers the load.
    void StartAtOperatingPoint(double t);
    // At t = 0: the output precharged to the line peak, the controller from reset with its soft start.
    void StartUp();

    // Moves the voltage controller's output and the output voltage, all else as it is: a correction
    // towards the steady state the run is settling to.
    void AdjustOperatingPoint(double controlDelta, double outputDelta);

    // Runs to t; false once the run has stopped (Stopped() says why).
    bool RunUntil(double t);
    void SetLoad(const StageLoad& load);
    void SetLineOn(bool on);

    const std::string& Stopped() const { return stopped_; }
    const std::vector<StageSample>& Samples() const { return samples_; }
    double Time() const { return t_; }
    double OutputVoltage() const { return x_[kOutputVoltage]; }
    const StageState& State() const { return x_; }
    double LinePeriod() const { return period_; }
    double ControlLimit() const;
    // The input power per unit of the voltage controller's output at this line, as the multiplier gives it.
    double PowerPerUnitControl() const;
    // The output voltage the voltage controller regulates to.
    double RegulatedOutput() const;
    const StageLoad& Load() const { return held_.load; }

private:
    struct Integrator;
    struct FrozenSystem;
    struct StepEnd {
        bool taken = false;
        StageState x{}, f{};
        double t = 0;
    };

    void Begin();
    double NextScheduledEvent() const;
    void AdvanceTo(double tEnd);
    bool TakeStep(double tEnd);
    // One step towards tEnd with the stepper the state calls for; returns whether it was the stiff one.
    bool TryStep(const FrozenSystem& system, double tEnd, StepEnd& end);
    // The step from the current state again, ending at t.
    void StepTo(const FrozenSystem& system, bool stiff, double t, StepEnd& end);
    double LocateChange(const StageState& x0, const StageState& f0, double t0, const StageState& x1,
                        const StageState& f1, double t1, StageModes& changed) const;
    void ApplyDueEvents();
    void RefreshModes();
    void Record(const StageState& x0, const StageState& f0, double t0, const StageState& x1, const StageState& f1,
                double t1);
    StageSample SampleAt(const StageState& x, double t) const;
    void CheckHealth();
    void SetAnalogOperatingPoint(double t, double inputPower);
    void SetDigitalOperatingPoint(double t, double inputPower);

    const TimeDomainInputs& inputs_;
    StageModel model_;
    std::optional<FirmwareLoops> firmware_;
    SimulationOptions options_;
    std::vector<std::size_t> live_;
    std::unique_ptr<Integrator> integrator_;

    double period_;
    StageState x_{}, dxdt_{};
    double t_ = 0, tStart_ = 0;
    StageModes modes_;
    HeldInputs held_;
    int64_t steps_ = 0;
    int64_t nextSample_ = 0;
    double nextProgress_ = 0;  // the next line period's start, when progress is reported
    std::string stopped_;
    std::vector<StageSample> samples_;
    double runawayVoltage_, runawayCurrent_;
};

}  // namespace qxr
