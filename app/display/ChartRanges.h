// The views the two charts allow: the clamping after a pan or zoom, the horizontal floor and
// ceiling of each display unit, and the full view that undo-zoom restores.
#pragma once

namespace tavrin::app {

struct AxisRange {
    double min = 0;
    double max = 0;
    bool operator==(const AxisRange&) const = default;
};

struct ChartView {
    AxisRange x;
    AxisRange y;
    bool operator==(const ChartView&) const = default;
};

// The modulation chart's vertical limits and its initial view.
inline constexpr AxisRange kDeviationLimits{-600, 600};
inline constexpr AxisRange kDeviationInitial{-400, 400};
// The horizontal floor: 0 in the microsecond display, -50 in the bit display.
inline constexpr double kMicrosecondFloor = 0;
inline constexpr double kBitFloor = -50;

double HorizontalFloor(bool microsecondDisplay);
// Sample-window length / sample clock.
double HorizontalCeiling(double windowLength, double sampleClock);

// The power chart range for a coupling loss (dB, truncated to whole dB): loss - 50 .. loss + 30
// with the RX attenuator, loss - 70 .. loss + 10 without.
AxisRange PowerChartRange(double couplingLoss, bool rxAttenuator);

// Each end inside its limit: a minimum below the floor is raised to it, a maximum above the
// ceiling lowered to it. A view panned wholly outside keeps its width and rests on the limit
// it crossed, so the clamped range is never empty.
AxisRange ClampRange(AxisRange range, AxisRange limits);
ChartView ClampView(const ChartView& view, AxisRange xLimits, AxisRange yLimits);

}  // namespace tavrin::app
