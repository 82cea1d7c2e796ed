#include "calc/TwoPoleTwoZero.h"

#include "calc/DesignConstants.h"

namespace qxr {

TwoPoleTwoZero DiscretiseCompensator(double fcp0, double fcp1, double fcz1, double fSamp)
{
    const double T = 1 / fSamp;
    const double wp0 = kTwoPi * fcp0;
    const double wp1 = kTwoPi * fcp1;
    const double wz = kTwoPi * fcz1;
    // clang-format off
    return {
        wp0 * T * wp1 * (wz * T + 2) / ((wp1 * T + 2) * 2 * wz),
        wp0 * (T * T) * wp1 / (wp1 * T + 2),
        wp0 * T * wp1 * (wz * T - 2) / ((wp1 * T + 2) * 2 * wz),
        4 / (wp1 * T + 2),
        -(2 - wp1 * T) / (wp1 * T + 2),
    };
    // clang-format on
}

TwoPoleTwoZero DiscretiseFeedForwardFilter(double fCutoff, double fSamp)
{
    const double T = 1 / fSamp;
    const double w0 = kTwoPi * fCutoff;
    const double D = (w0 * T) * (w0 * T + 2) + 4;
    const double w0Squared = w0 * w0;
    const double TSquared = T * T;
    // clang-format off
    return {
        w0Squared * TSquared / D,
        2 * w0Squared * TSquared / D,
        w0Squared * TSquared / D,
        (8 - 2 * w0Squared * TSquared) / D,
        4 * w0 * T / D - 1,
    };
    // clang-format on
}

}  // namespace qxr
