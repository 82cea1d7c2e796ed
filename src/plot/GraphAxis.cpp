#include "plot/GraphAxis.h"

#include <algorithm>
#include <cmath>

namespace {

// Counts the visits of one walk and ends it at kMaxTicks.
class TickWalk {
public:
    explicit TickWalk(const TickVisitor& visit) : visit_(visit) {}

    // False once the walk has to stop.
    bool Visit(const CGraphAxis& axis, double value, bool major)
    {
        if (count_ == kMaxTicks)
            return false;
        ++count_;
        visit_(value, axis.PixelOffset(value), major);
        return true;
    }

private:
    const TickVisitor& visit_;
    int count_ = 0;
};

void WalkLinearTicks(const CGraphAxis& axis, TickWalk& walk)
{
    if (!(axis.majorStep > 0))
        return;
    // Ticks are placed by index rather than by adding up steps, so rounding
    // neither drifts nor drops the tick on the maximum; a hair's breadth
    // past a bound still counts as on it.
    const double tolerance = axis.majorStep * 1e-9;
    const bool hasMinorTicks = axis.minorStep > 0;
    for (int k = 0;; ++k) {
        double major = axis.minimum + k * axis.majorStep;
        if (std::fabs(major) < tolerance)
            major = 0;  // labelled "0", not "55.5a"
        if (major > axis.maximum + tolerance || !walk.Visit(axis, major, true))
            return;
        for (int j = 1; hasMinorTicks; ++j) {
            const double offset = j * axis.minorStep;
            const double minor = major + offset;
            if (offset >= axis.majorStep - tolerance || minor > axis.maximum + tolerance)
                break;
            if (!walk.Visit(axis, minor, false))
                return;
        }
    }
}

void WalkLogTicks(const CGraphAxis& axis, TickWalk& walk)
{
    // The first decade is the one at or above the minimum's exponent
    // truncated toward zero: an axis from 0.5 starts its ticks at 1.
    const double lastExponent = std::log10(axis.maximum);
    for (int exponent = static_cast<int>(std::log10(axis.minimum)); exponent <= lastExponent; ++exponent) {
        const double decade = std::pow(10.0, exponent);
        for (int multiple = 1; multiple <= 9; ++multiple) {
            const double value = multiple * decade;
            if (axis.Contains(value) && !walk.Visit(axis, value, multiple == 1))
                return;
        }
    }
}

QString MetricPrefix(int thousands)
{
    static const char16_t* const kPrefixes[] = {
        u"y", u"z", u"a", u"f", u"p", u"n", u"\u00B5", u"m", u"", u"K", u"M", u"G", u"T", u"P", u"E", u"Z", u"Y",
    };
    constexpr int kLowest = -8;
    constexpr int kHighest = 8;
    if (thousands < kLowest || thousands > kHighest)
        return QStringLiteral("e%1").arg(3 * thousands);  // beyond the prefixes: 1e27 -> "1e27"
    return QString::fromUtf16(kPrefixes[thousands - kLowest]);
}

QString NonFiniteText(double value)
{
    if (std::isnan(value))
        return QStringLiteral("nan");
    return value > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");
}

}  // namespace

double CGraphAxis::Transform(double value) const
{
    return logScale ? std::log10(value) : value;
}

bool CGraphAxis::HasDrawableRange() const
{
    const double low = Transform(minimum);
    const double high = Transform(maximum);
    return std::isfinite(low) && std::isfinite(high) && low < high;
}

void CGraphAxis::SetPixelMapping(int lengthPixels)
{
    if (HasDrawableRange()) {
        scaledMin = Transform(minimum);
        pixelsPerUnit = lengthPixels / (Transform(maximum) - scaledMin);
    } else {
        scaledMin = 0;
        pixelsPerUnit = 0;
    }
}

int CGraphAxis::PixelOffset(double value) const
{
    // Far-off values must not overflow the int, and undefined ones (the log
    // of 0 on an axis that maps nothing) land on the origin.
    constexpr double kPixelLimit = 1e6;
    const double pixels = (Transform(value) - scaledMin) * pixelsPerUnit;
    if (std::isnan(pixels))
        return 0;
    return static_cast<int>(std::clamp(pixels, -kPixelLimit, kPixelLimit));
}

bool CGraphAxis::Contains(double value) const
{
    return minimum <= value && value <= maximum;
}

void CGraphAxis::ResetAutoRange()
{
    if (!autoScale)
        return;
    firstValue = true;
    minimum = maximum = majorStep = minorStep = scaledMin = pixelsPerUnit = 0;
}

void CGraphAxis::ExtendAutoRange(double value)
{
    if (!autoScale || std::isnan(value))
        return;
    if (firstValue) {
        minimum = maximum = value;
        firstValue = false;
    }
    minimum = std::min(minimum, value);
    maximum = std::max(maximum, value);
    majorStep = (maximum - minimum) / 5;
    minorStep = majorStep / 5;
}

void SetRoundRange(CGraphAxis& axis, double low, double high, int intervals)
{
    if (!(std::isfinite(low) && std::isfinite(high) && high > low && intervals > 0)) {
        axis.autoScale = true;
        return;
    }
    const double rough = (high - low) / intervals;
    const double decade = std::pow(10.0, std::floor(std::log10(rough)));
    double step = 10 * decade;
    for (double multiple : {1.0, 2.0, 5.0}) {
        if (multiple * decade >= rough) {
            step = multiple * decade;
            break;
        }
    }
    axis.minimum = std::floor(low / step) * step;
    axis.maximum = std::ceil(high / step) * step;
    axis.majorStep = step;
    axis.minorStep = 0;
    axis.autoScale = false;
}

void ForEachTick(const CGraphAxis& axis, const TickVisitor& visit)
{
    if (!axis.HasDrawableRange())
        return;
    TickWalk walk(visit);
    if (axis.logScale)
        WalkLogTicks(axis, walk);
    else
        WalkLinearTicks(axis, walk);
}

QString FormatAxisValue(double value)
{
    if (!std::isfinite(value))
        return NonFiniteText(value);
    int digits = 3;
    int exponent = 0;
    double mantissa = value == 0 ? 0.0 : value;  // -0 is labelled "0" too
    if (mantissa != 0) {
        while (std::fabs(mantissa) >= 1) {
            mantissa /= 10;
            ++exponent;
        }
        while (std::fabs(mantissa) < 0.1) {
            mantissa *= 10;
            --exponent;
        }
        // Three significant digits, moved to the nearest engineering exponent.
        do {
            if (digits > 0)
                --digits;
            --exponent;
            mantissa *= 10;
        } while (exponent % 3 != 0);
    }
    QString text = QString::asprintf("%.*f", digits, mantissa);
    if (text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    return text + MetricPrefix(exponent / 3);
}
