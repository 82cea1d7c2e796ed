#include "timedomain/Harmonics.h"

#include <cmath>
#include <cstdio>

#include "calc/DesignConstants.h"
#include "model/Enumerations.h"

namespace qxr {

namespace {

double Mean(const std::vector<double>& a, const std::vector<double>& b)
{
    double sum = 0;
    for (std::size_t k = 0; k < a.size(); ++k)
        sum += a[k] * b[k];
    return sum / static_cast<double>(a.size());
}

// The order's cosine and sine parts, as amplitudes.
std::pair<double, double> FourierPair(const std::vector<double>& samples, int order)
{
    const auto n = static_cast<double>(samples.size());
    double cosine = 0, sine = 0;
    for (std::size_t k = 0; k < samples.size(); ++k) {
        const double angle = kTwoPi * order * static_cast<double>(k) / n;
        cosine += samples[k] * std::cos(angle);
        sine += samples[k] * std::sin(angle);
    }
    return {2 * cosine / n, 2 * sine / n};
}

std::string Figure(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

double LimitOf(int order, int32_t harmonicClass, double inputPower)
{
    if (harmonicClass != CHarmonicClass::D)
        return ClassALimit(order);
    const double perWatt = ClassDLimitPerWatt(order);
    return std::isnan(perWatt) ? perWatt : std::fmin(inputPower * perWatt, ClassALimit(order));
}

HarmonicAnalysis AnalyseOnePeriod(const std::vector<double>& lineVoltage, const std::vector<double>& lineCurrent)
{
    HarmonicAnalysis result;
    if (lineCurrent.empty() || lineVoltage.size() != lineCurrent.size())
        return result;
    for (int order = 1; order <= kHighestHarmonic; ++order) {
        const auto [cosine, sine] = FourierPair(lineCurrent, order);
        result.rms[order] = std::hypot(cosine, sine) / kSqrt2;
    }
    double distortion = 0;
    for (int order = 2; order <= kHighestHarmonic; ++order)
        distortion += result.rms[order] * result.rms[order];
    result.thd = 100 * std::sqrt(distortion) / result.rms[1];
    result.thirdHarmonic = 100 * result.rms[3] / result.rms[1];
    result.inputPower = Mean(lineVoltage, lineCurrent);
    result.rmsCurrent = std::sqrt(Mean(lineCurrent, lineCurrent));
    result.powerFactor = result.inputPower / (std::sqrt(Mean(lineVoltage, lineVoltage)) * result.rmsCurrent);
    const auto [ic, is] = FourierPair(lineCurrent, 1);
    const auto [vc, vs] = FourierPair(lineVoltage, 1);
    result.fundamentalPhase = (std::atan2(ic, is) - std::atan2(vc, vs)) * kRadToDeg;
    return result;
}

double ClassALimit(int order)
{
    static const double kOdd[] = {2.30, 1.14, 0.77, 0.40, 0.33, 0.21};  // orders 3 to 13
    static const double kEven[] = {1.08, 0.43, 0.30};                   // orders 2 to 6
    if (order < 2 || order > kHighestHarmonic)
        return HarmonicAnalysis::kNaN;
    if (order % 2 == 1)
        return order <= 13 ? kOdd[(order - 3) / 2] : 0.15 * 15 / order;
    return order <= 6 ? kEven[(order - 2) / 2] : 0.23 * 8 / order;
}

double ClassDLimitPerWatt(int order)
{
    static const double kMilliampsPerWatt[] = {3.4, 1.9, 1.0, 0.5, 0.35};  // orders 3 to 11
    if (order < 3 || order > 39 || order % 2 == 0)
        return HarmonicAnalysis::kNaN;
    return (order <= 11 ? kMilliampsPerWatt[(order - 3) / 2] : 3.85 / order) / 1000;
}

HarmonicLimitCheck CheckHarmonicLimits(const HarmonicAnalysis& harmonics, int32_t harmonicClass, double ratedPower)
{
    HarmonicLimitCheck check;
    const double power = harmonics.inputPower;
    const std::string watts = Figure("%.4g W", power);
    const std::string rated = Figure("%.4g W", ratedPower);
    check.limit.fill(HarmonicAnalysis::kNaN);
    check.margin.fill(HarmonicAnalysis::kNaN);
    check.appliedClass = harmonicClass;
    if (!(ratedPower > kNoLimitsUpTo)) {
        check.text = "No limits: IEC 61000-3-2 sets none for equipment rated at " + rated + " (75 W or less).";
        return check;
    }
    std::string note;
    if (harmonicClass == CHarmonicClass::D && ratedPower > kClassDUpTo) {
        check.appliedClass = CHarmonicClass::A;
        note = " Class D applies only up to 600 W, so at a rating of " + rated + " the Class A limits apply.";
    }
    for (int order = 2; order <= kHighestHarmonic; ++order) {
        const double limit = LimitOf(order, check.appliedClass, power);
        if (std::isnan(limit))
            continue;
        check.limit[order] = limit;
        check.margin[order] = limit - harmonics.rms[order];
        // Margins compare as shares of their limits, the limits falling with the order.
        const double percent = 100 * check.margin[order] / limit;
        if (check.smallestMarginOrder == 0 || percent < check.smallestMarginPercent) {
            check.smallestMargin = check.margin[order];
            check.smallestMarginOrder = order;
            check.smallestMarginPercent = percent;
        }
    }
    const bool pass = check.smallestMargin >= 0;
    check.verdict = pass ? HarmonicLimitCheck::Verdict::Pass : HarmonicLimitCheck::Verdict::Fail;
    const std::string className = check.appliedClass == CHarmonicClass::D ? "Class D" : "Class A";
    check.text = (pass ? "Passes the " : "Fails the ") + className + " limits at " + watts +
                 ": the smallest margin is " + Figure("%.3g", check.smallestMarginPercent) +
                 " % of the limit, at order " + std::to_string(check.smallestMarginOrder) + "." + note;
    return check;
}

}  // namespace qxr
