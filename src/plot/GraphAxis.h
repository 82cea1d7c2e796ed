#pragma once

#include <functional>

#include <QString>

// One axis of a scatter graph: its range in data units, its tick steps, and
// the pixel mapping of the last layout.
struct CGraphAxis {
    double minimum = 0;
    double maximum = 0;
    double majorStep = 0;  // labelled ticks on a linear axis; 0 = no ticks
    double minorStep = 0;  // unlabelled ticks inside one major step; 0 = none
    bool autoScale = true;
    bool firstValue = true;    // the next value seen by automatic scaling starts a new range
    bool logScale = false;     // base 10
    double scaledMin = 0;      // Transform(minimum), set by SetPixelMapping
    double pixelsPerUnit = 0;  // pixels per transformed unit, set by SetPixelMapping

    // log10 on a logarithmic axis, the identity otherwise.
    double Transform(double value) const;
    // Whether the axis can be drawn at all: finite bounds, positive ones on a
    // logarithmic axis, and a transformed range that is not empty.
    bool HasDrawableRange() const;
    // Maps the range onto lengthPixels pixels. An axis without a drawable
    // range maps every value to pixel 0.
    void SetPixelMapping(int lengthPixels);
    // Pixels from the axis origin, truncated toward zero.
    int PixelOffset(double value) const;
    // Bounds included; NaN is never inside.
    bool Contains(double value) const;

    // Automatic ranging; both leave an axis with autoScale false untouched.
    void ResetAutoRange();
    void ExtendAutoRange(double value);
};

// Fixes the axis on a range that holds [low, high] between round bounds, with
// a major step of 1, 2 or 5 times a power of ten that gives about `intervals`
// labelled ticks. An empty or non-finite span leaves the axis scaling itself.
void SetRoundRange(CGraphAxis& axis, double low, double high, int intervals = 5);

// A walk over a badly chosen step stops here instead of hanging the paint.
constexpr int kMaxTicks = 2000;

using TickVisitor = std::function<void(double value, int pixelOffset, bool major)>;

// Visits the ticks of an axis in ascending order: on a linear axis every
// majorStep from the minimum with its minor ticks, on a logarithmic axis the
// decades (major) and their 2..9 multiples (minor). At most kMaxTicks.
void ForEachTick(const CGraphAxis& axis, const TickVisitor& visit);

// A tick label in engineering notation with a metric prefix: 1500 -> "1.5K",
// 0.5 -> "500m", 2.2e-6 -> "2.2µ".
QString FormatAxisValue(double value);
