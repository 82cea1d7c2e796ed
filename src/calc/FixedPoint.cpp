#include "calc/FixedPoint.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "model/Enumerations.h"

namespace qxr {

bool CoefficientFormat::IsInteger() const
{
    return kind == CCoefficientFormat::Q15 || kind == CCoefficientFormat::Q31 || kind == CCoefficientFormat::Qmn;
}

int CoefficientFormat::WordBits() const
{
    return kind == CCoefficientFormat::Q15 ? 16 : 32;
}

int CoefficientFormat::FractionBits() const
{
    if (kind == CCoefficientFormat::Qmn)
        return static_cast<int>(fractionBits);
    return WordBits() - 1;
}

std::string FormatProblem(const CoefficientFormat& format)
{
    if (format.kind != CCoefficientFormat::Double && format.kind != CCoefficientFormat::Float && !format.IsInteger())
        return "The number format of the coefficients must be double (0), float (1), Q15 (2), Q31 (3) or Qm.n (4).";
    if (format.kind == CCoefficientFormat::Qmn && !(format.fractionBits >= 1 && format.fractionBits <= 31 &&
                                                    std::trunc(format.fractionBits) == format.fractionBits))
        return "The number of fraction bits of the Qm.n coefficients must be a whole number from 1 to 31.";
    return {};
}

std::string FormatName(const CoefficientFormat& format)
{
    switch (format.kind) {
    case CCoefficientFormat::Float:
        return "float";
    case CCoefficientFormat::Q15:
    case CCoefficientFormat::Q31:
    case CCoefficientFormat::Qmn:
        return "Q" + std::to_string(format.FractionBits());
    default:
        return "double";
    }
}

namespace {

double LargestMagnitude(const std::array<double, kCoefficientsPerSet>& values)
{
    double largest = 0;
    for (double value : values)
        largest = std::max(largest, std::abs(value));
    return largest;
}

// Fewest right shifts of the coefficients that keep the largest inside the
// word, at most the format's fraction bits.
int PostShiftFor(double largest, int fractionBits, double wordMax)
{
    int postShift = 0;
    while (postShift < fractionBits && std::nearbyint(std::ldexp(largest, fractionBits - postShift)) > wordMax)
        ++postShift;
    return postShift;
}

QuantisedSet QuantiseToIntegers(const std::array<double, kCoefficientsPerSet>& values, const CoefficientFormat& format,
                                bool hasIntegrator)
{
    const double wordMax = std::ldexp(1.0, format.WordBits() - 1) - 1;
    QuantisedSet set;
    set.postShift = PostShiftFor(LargestMagnitude(values), format.FractionBits(), wordMax);
    set.scaleBits = format.FractionBits() - set.postShift;
    std::array<double, kCoefficientsPerSet> scaled{};
    for (std::size_t i = 0; i < kCoefficientsPerSet; ++i)
        scaled[i] = std::nearbyint(std::ldexp(values[i], set.scaleBits));
    constexpr std::size_t kA1 = 3, kA2 = 4;
    if (hasIntegrator)
        scaled[kA2] = std::ldexp(1.0, set.scaleBits) - scaled[kA1];
    std::array<double, kCoefficientsPerSet> realised{};
    for (std::size_t i = 0; i < kCoefficientsPerSet; ++i) {
        const double clipped = std::clamp(scaled[i], -wordMax, wordMax);
        set.saturated[i] = clipped != scaled[i];
        set.roundedToZero[i] = clipped == 0 && values[i] != 0;
        set.integers[i] = static_cast<int64_t>(clipped);
        realised[i] = std::ldexp(clipped, -set.scaleBits);
    }
    set.realised = TwoPoleTwoZero::FromOutputOrder(realised);
    return set;
}

}  // namespace

QuantisedSet Quantise(const TwoPoleTwoZero& set, const CoefficientFormat& format, bool hasIntegrator)
{
    const std::array<double, kCoefficientsPerSet> values = set.InOutputOrder();
    if (format.IsInteger())
        return QuantiseToIntegers(values, format, hasIntegrator);
    QuantisedSet result;
    result.realised = set;
    if (format.kind == CCoefficientFormat::Float) {
        std::array<double, kCoefficientsPerSet> rounded{};
        for (std::size_t i = 0; i < kCoefficientsPerSet; ++i) {
            constexpr double kFloatMax = std::numeric_limits<float>::max();
            rounded[i] = static_cast<float>(std::clamp(values[i], -kFloatMax, kFloatMax));
            result.roundedToZero[i] = rounded[i] == 0 && values[i] != 0;
            result.saturated[i] = std::abs(values[i]) > kFloatMax;
        }
        result.realised = TwoPoleTwoZero::FromOutputOrder(rounded);
    }
    return result;
}

}  // namespace qxr
