#include "timedomain/StiffStepper.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace qxr {

namespace {

// Odeint's default_rosenbrock_coefficients.
constexpr double kGamma = 0.25;
constexpr double kD1 = 0.25, kD2 = -0.1043, kD3 = 0.1035, kD4 = 0.3620000000000023e-01;
constexpr double kC2 = 0.386, kC3 = 0.21, kC4 = 0.63;
constexpr double kC21 = -0.5668800000000000e+01, kA21 = 0.1544000000000000e+01;
constexpr double kC31 = -0.2430093356833875e+01, kC32 = -0.2063599157091915e+00;
constexpr double kA31 = 0.9466785280815826e+00, kA32 = 0.2557011698983284e+00;
constexpr double kC41 = -0.1073529058151375e+00, kC42 = -0.9594562251023355e+01, kC43 = -0.2047028614809616e+02;
constexpr double kA41 = 0.3314825187068521e+01, kA42 = 0.2896124015972201e+01, kA43 = 0.9986419139977817e+00;
constexpr double kC51 = 0.7496443313967647e+01, kC52 = -0.1024680431464352e+02, kC53 = -0.3399990352819905e+02,
                 kC54 = 0.1170890893206160e+02;
constexpr double kA51 = 0.1221224509226641e+01, kA52 = 0.6019134481288629e+01, kA53 = 0.1253708332932087e+02,
                 kA54 = -0.6878860361058950e+00;
constexpr double kC61 = 0.8083246795921522e+01, kC62 = -0.7981132988064893e+01, kC63 = -0.3152159432874371e+02,
                 kC64 = 0.1631930543123136e+02, kC65 = -0.6058818238834054e+01;

constexpr std::size_t kN = kStateCount;

// The LU factors, with partial pivoting, of the live states' block of a
// matrix, for solving with it several times. The stage's Jacobian is sparse
// (each state depends on two or three others): zeros are passed over.
class LuFactors {
public:
    LuFactors(const StageMatrix& a, const std::vector<std::size_t>& live) : live_(live), n_(live.size())
    {
        for (std::size_t i = 0; i < n_; ++i)
            for (std::size_t j = 0; j < n_; ++j)
                lu_[i][j] = a[live[i]][live[j]];
        for (std::size_t k = 0; k < n_; ++k) {
            std::size_t largest = k;
            for (std::size_t i = k + 1; i < n_; ++i)
                if (std::abs(lu_[i][k]) > std::abs(lu_[largest][k]))
                    largest = i;
            pivot_[k] = largest;
            std::swap(lu_[k], lu_[largest]);
            inverse_[k] = lu_[k][k] != 0 ? 1 / lu_[k][k] : 0.0;
            for (std::size_t i = k + 1; i < n_; ++i) {
                if (lu_[i][k] == 0)
                    continue;
                const double factor = lu_[i][k] * inverse_[k];
                lu_[i][k] = factor;
                for (std::size_t j = k + 1; j < n_; ++j)
                    lu_[i][j] -= factor * lu_[k][j];
            }
        }
    }

    // Replaces b, over the live states, by the solution of A x = b.
    void Solve(StageState& b) const
    {
        std::array<double, kN> y{};
        for (std::size_t i = 0; i < n_; ++i)
            y[i] = b[live_[i]];
        for (std::size_t k = 0; k < n_; ++k) {
            std::swap(y[k], y[pivot_[k]]);
            if (y[k] == 0)
                continue;
            for (std::size_t i = k + 1; i < n_; ++i)
                y[i] -= lu_[i][k] * y[k];
        }
        for (std::size_t i = n_; i-- > 0;) {
            y[i] *= inverse_[i];
            if (y[i] == 0)
                continue;
            for (std::size_t j = 0; j < i; ++j)
                y[j] -= lu_[j][i] * y[i];
        }
        for (std::size_t i = 0; i < n_; ++i)
            b[live_[i]] = y[i];
    }

private:
    const std::vector<std::size_t>& live_;
    std::size_t n_;
    StageMatrix lu_{};
    std::array<std::size_t, kN> pivot_{};
    std::array<double, kN> inverse_{};
};

}  // namespace

void StiffStepper::DoStep(const StiffSystemView& system, const StageState& x, double t, double dt, StageState& out,
                          StageState& error) const
{
    StageState dxdt, dfdt{}, g1{}, g2{}, g3{}, g4{}, g5{}, xt = x, f;
    StageMatrix jacobian{};
    system.Derivatives(x, t, dxdt);
    system.Jacobian(x, t, dxdt, jacobian, dfdt);
    for (std::size_t i : live_)
        for (std::size_t j : live_)
            jacobian[i][j] = (i == j ? 1 / (kGamma * dt) : 0.0) - jacobian[i][j];
    const LuFactors lu(jacobian, live_);

    for (std::size_t i : live_)
        g1[i] = dxdt[i] + dt * kD1 * dfdt[i];
    lu.Solve(g1);

    for (std::size_t i : live_)
        xt[i] = x[i] + kA21 * g1[i];
    system.Derivatives(xt, t + kC2 * dt, f);
    for (std::size_t i : live_)
        g2[i] = f[i] + dt * kD2 * dfdt[i] + kC21 * g1[i] / dt;
    lu.Solve(g2);

    for (std::size_t i : live_)
        xt[i] = x[i] + kA31 * g1[i] + kA32 * g2[i];
    system.Derivatives(xt, t + kC3 * dt, f);
    for (std::size_t i : live_)
        g3[i] = f[i] + dt * kD3 * dfdt[i] + (kC31 * g1[i] + kC32 * g2[i]) / dt;
    lu.Solve(g3);

    for (std::size_t i : live_)
        xt[i] = x[i] + kA41 * g1[i] + kA42 * g2[i] + kA43 * g3[i];
    system.Derivatives(xt, t + kC4 * dt, f);
    for (std::size_t i : live_)
        g4[i] = f[i] + dt * kD4 * dfdt[i] + (kC41 * g1[i] + kC42 * g2[i] + kC43 * g3[i]) / dt;
    lu.Solve(g4);

    for (std::size_t i : live_)
        xt[i] = x[i] + kA51 * g1[i] + kA52 * g2[i] + kA53 * g3[i] + kA54 * g4[i];
    system.Derivatives(xt, t + dt, f);
    for (std::size_t i : live_)
        g5[i] = f[i] + (kC51 * g1[i] + kC52 * g2[i] + kC53 * g3[i] + kC54 * g4[i]) / dt;
    lu.Solve(g5);

    for (std::size_t i : live_)
        xt[i] += g5[i];
    system.Derivatives(xt, t + dt, f);
    error.fill(0.0);
    for (std::size_t i : live_)
        error[i] = f[i] + (kC61 * g1[i] + kC62 * g2[i] + kC63 * g3[i] + kC64 * g4[i] + kC65 * g5[i]) / dt;
    lu.Solve(error);
    out = x;
    for (std::size_t i : live_)
        out[i] = xt[i] + error[i];
}

bool StiffStepper::TryStep(const StiffSystemView& system, const StageState& x, double t, StageState& out, double& dt)
{
    constexpr double kSafe = 0.9, kFac1 = 5.0, kFac2 = 1.0 / 6.0;
    StageState error;
    DoStep(system, x, t, dt, out, error);
    double sum = 0;
    for (std::size_t i = 0; i < kN; ++i) {
        const double scale = absolute_[i] + relative_ * std::max(std::abs(x[i]), std::abs(out[i]));
        sum += error[i] * error[i] / (scale * scale);
    }
    const double err = std::sqrt(sum / static_cast<double>(live_.size()));
    double fac = std::max(kFac2, std::min(kFac1, std::sqrt(std::sqrt(err)) / kSafe));
    double next = dt / fac;
    if (!(err <= 1.0)) {
        dt = next;
        lastRejected_ = true;
        return false;
    }
    if (!firstStep_) {
        const double predicted =
            std::max(kFac2, std::min(kFac1, (dtOld_ / dt) * std::sqrt(std::sqrt(err * err / errorOld_)) / kSafe));
        fac = std::max(fac, predicted);
        next = dt / fac;
    }
    firstStep_ = false;
    dtOld_ = dt;
    errorOld_ = std::max(0.01, err);
    if (lastRejected_)
        next = std::min(next, dt);
    lastRejected_ = false;
    dt = next;
    return true;
}

}  // namespace qxr
