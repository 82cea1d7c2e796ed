#pragma once

namespace qxr {

// The integrator wp0 (rad/s) that makes the loop gain exactly 1 at the
// crossover wx, given the compensator's zero wz1 and pole wp1 and the plant's
// magnitude at wx.
double IntegratorForUnityGain(double wx, double wz1, double wp1, double plantMagnitude);

}  // namespace qxr
