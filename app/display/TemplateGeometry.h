// The power-time template a burst is judged against, in sample positions: the lower and upper
// limit at every sample, the extra points that make its edges vertical on the chart, and the
// verdict of one measured point. Sample 0 is the first sample of the burst.
#pragma once

#include <QList>
#include <QPointF>
#include <array>

namespace tavrin::app {

struct TemplateSetup {
    std::array<int, 6> ramp{-47, -16, 4, 1, -1, -5};  // stored ramp levels A..F, dBm
    bool outerIsB = false;           // outer level O is B instead of A (High Dynamic off)
    double offset = 0;               // R: levels C to F are relative to it
    bool prolongedPreamble = false;  // the rising edge moves 144 samples earlier
    bool longSlot = false;           // P64Z: the burst ends at 6696 instead of 3816
};

inline constexpr double kTemplateFloor = -90;  // the lower limit outside the burst
inline constexpr double kPeakCap = 25;         // the upper limit's cap on the rising edge
inline constexpr double kVerdictCeiling = 40;  // points at or above it never fail
inline constexpr int kShortBurstEnd = 3816;
inline constexpr int kLongBurstEnd = 6696;
inline constexpr int kPreambleShift = 144;
inline constexpr int kOuterEdge = 278;  // where the outer level gives way to B
inline constexpr int kPeakEdge = 103;   // the half width of the rising-edge peak
inline constexpr int kFallingTail = 5;  // samples of level F after the burst end

int TemplateStart(const TemplateSetup& setup);  // S
int BurstEnd(const TemplateSetup& setup);       // E

double LowerLimitAt(const TemplateSetup& setup, double x);
double UpperLimitAt(const TemplateSetup& setup, double x);
// A point outside the template below kVerdictCeiling.
bool Violates(const TemplateSetup& setup, double x, double power);

// The samples a redraw visits: x0, x0 + 1, ... while below x1.
int SampleCount(double x0, double x1);

// Appends both limits for the samples x0, x0 + 1, ... below x1 at (x / clock, level), with
// the extra points of the vertical edges placed before their sample's own point. A flat run
// is drawn by its first and last sample only: the same line with far fewer points.
void AppendTemplate(const TemplateSetup& setup, double x0, double x1, double clock,
                    QList<QPointF>& lower, QList<QPointF>& upper);

}  // namespace tavrin::app
