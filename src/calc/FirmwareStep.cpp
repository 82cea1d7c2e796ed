#include "calc/FirmwareStep.h"

#include <charconv>
#include <limits>

namespace qxr {

namespace {

template <typename Real>
Real RealStep(FirmwareFilterState<Real>& s, const std::array<Real, kCoefficientsPerSet>& c, Real x)
{
    const Real y = c[0] * x + c[1] * s.x1 + c[2] * s.x2 + c[3] * s.y1 + c[4] * s.y2;
    s.x2 = s.x1;
    s.x1 = x;
    s.y2 = s.y1;
    s.y1 = y;
    return y;
}

template <typename Acc>
Acc SaturatingAdd(Acc a, Acc b)
{
    constexpr Acc kMax = std::numeric_limits<Acc>::max();
    constexpr Acc kMin = std::numeric_limits<Acc>::min();
    if (b > 0 && a > kMax - b)
        return kMax;
    if (b < 0 && a < kMin - b)
        return kMin;
    return a + b;
}

template <typename Word, typename Acc>
Word IntegerStep(FirmwareFilterState<Word>& s, const std::array<Word, kCoefficientsPerSet>& c, int shift, Word x)
{
    Acc acc = static_cast<Acc>(c[0]) * x;
    acc = SaturatingAdd<Acc>(acc, static_cast<Acc>(c[1]) * s.x1);
    acc = SaturatingAdd<Acc>(acc, static_cast<Acc>(c[2]) * s.x2);
    acc = SaturatingAdd<Acc>(acc, static_cast<Acc>(c[3]) * s.y1);
    acc = SaturatingAdd<Acc>(acc, static_cast<Acc>(c[4]) * s.y2);
    if (shift > 0)
        acc = SaturatingAdd<Acc>(acc, static_cast<Acc>(1) << (shift - 1)) >> shift;  // arithmetic, as in the header
    constexpr Acc kWordMax = std::numeric_limits<Word>::max();
    constexpr Acc kWordMin = std::numeric_limits<Word>::min();
    s.x2 = s.x1;
    s.x1 = x;
    s.y2 = s.y1;
    s.y1 = acc > kWordMax   ? static_cast<Word>(kWordMax)
           : acc < kWordMin ? static_cast<Word>(kWordMin)
                            : static_cast<Word>(acc);
    return s.y1;
}

}  // namespace

std::array<double, kCoefficientsPerSet> DefinedCoefficients(const std::string& definitions)
{
    std::array<double, kCoefficientsPerSet> values{};
    std::size_t at = 0;
    for (double& value : values) {
        // Each line is "#define NAME (VALUE)"; a float's suffix ends the number.
        at = definitions.find('(', at);
        if (at == std::string::npos)
            break;
        const char* first = definitions.data() + at + 1;
        if (*first == '+')
            ++first;
        std::from_chars(first, definitions.data() + definitions.size(), value);
        at = definitions.find('\n', at);
    }
    return values;
}

double FirmwareStep(FirmwareFilterState<double>& state, const std::array<double, kCoefficientsPerSet>& c, double x)
{
    return RealStep(state, c, x);
}

float FirmwareStep(FirmwareFilterState<float>& state, const std::array<float, kCoefficientsPerSet>& c, float x)
{
    return RealStep(state, c, x);
}

int16_t FirmwareStep(FirmwareFilterState<int16_t>& state, const std::array<int16_t, kCoefficientsPerSet>& c, int shift,
                     int16_t x)
{
    return IntegerStep<int16_t, int32_t>(state, c, shift, x);
}

int32_t FirmwareStep(FirmwareFilterState<int32_t>& state, const std::array<int32_t, kCoefficientsPerSet>& c, int shift,
                     int32_t x)
{
    return IntegerStep<int32_t, int64_t>(state, c, shift, x);
}

}  // namespace qxr
