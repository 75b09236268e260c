// Clamping of the chart views.
#include "ChartRanges.h"

#include <algorithm>
#include <cmath>

namespace tavrin::app {

double HorizontalFloor(bool microsecondDisplay) {
    return microsecondDisplay ? kMicrosecondFloor : kBitFloor;
}

double HorizontalCeiling(double windowLength, double sampleClock) {
    return sampleClock > 0 ? windowLength / sampleClock : 0;
}

AxisRange PowerChartRange(double couplingLoss, bool rxAttenuator) {
    const double a = std::trunc(couplingLoss);
    return rxAttenuator ? AxisRange{a - 50, a + 30} : AxisRange{a - 70, a + 10};
}

AxisRange ClampRange(AxisRange range, AxisRange limits) {
    AxisRange clamped{std::max(range.min, limits.min), std::min(range.max, limits.max)};
    if (clamped.min < clamped.max) return clamped;
    // Wholly outside: keep the width, at most the whole span, resting on the limit crossed.
    const double width = std::min(range.max - range.min, limits.max - limits.min);
    if (width <= 0) return limits;
    if (range.max <= limits.min) return {limits.min, limits.min + width};
    return {limits.max - width, limits.max};
}

ChartView ClampView(const ChartView& view, AxisRange xLimits, AxisRange yLimits) {
    return {ClampRange(view.x, xLimits), ClampRange(view.y, yLimits)};
}

}  // namespace tavrin::app
