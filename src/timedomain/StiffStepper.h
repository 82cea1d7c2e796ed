#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "timedomain/StageModel.h"

// A Rosenbrock stepper (L-stable, order 4 with an embedded order-3 error
// estimate) on the stage's fixed-size state, with the coefficients and the
// step control of Boost.Odeint's rosenbrock4 and rosenbrock4_controller.
// Odeint's own runs its linear algebra through uBLAS, which costs about
// 7 us per step for the eight states here (measured); this one does the same
// arithmetic on arrays, over only the states that take part.
namespace qxr {

using StageMatrix = std::array<std::array<double, kStateCount>, kStateCount>;

// The system the stepper needs: the derivatives and, at the same point,
// the Jacobian and the derivatives' partial derivative in time.
struct StiffSystemView {
    virtual ~StiffSystemView() = default;
    virtual void Derivatives(const StageState& x, double t, StageState& dxdt) const = 0;
    // Fills the columns of the live states only.
    virtual void Jacobian(const StageState& x, double t, const StageState& dxdt, StageMatrix& jacobian,
                          StageState& dfdt) const = 0;
};

class StiffStepper {
public:
    // Each state's error may reach its absolute tolerance plus the relative
    // tolerance of its value. States not live stay as they are.
    StiffStepper(const StageState& absoluteTolerance, double relativeTolerance, std::vector<std::size_t> live)
        : absolute_(absoluteTolerance), relative_(relativeTolerance), live_(std::move(live))
    {
    }

    // One step of dt from (x, t); the error estimate goes to error.
    void DoStep(const StiffSystemView& system, const StageState& x, double t, double dt, StageState& out,
                StageState& error) const;
    // A step of dt if its error is within the tolerances (true, dt then the next step's), else dt to try.
    bool TryStep(const StiffSystemView& system, const StageState& x, double t, StageState& out, double& dt);

private:
    StageState absolute_;
    double relative_;
    std::vector<std::size_t> live_;
    bool firstStep_ = true, lastRejected_ = false;
    double errorOld_ = 0, dtOld_ = 0;
};

}  // namespace qxr
