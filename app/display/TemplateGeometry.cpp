// The template's levels and edges.
#include "TemplateGeometry.h"

#include <algorithm>
#include <cmath>

namespace tavrin::app {
namespace {

enum Level { A, B, C, D, E, F };

double Relative(const TemplateSetup& s, Level level) {
    return s.ramp[level] + s.offset;
}

}  // namespace

int TemplateStart(const TemplateSetup& setup) {
    return setup.prolongedPreamble ? -kPreambleShift : 0;
}

int BurstEnd(const TemplateSetup& setup) {
    return setup.longSlot ? kLongBurstEnd : kShortBurstEnd;
}

double LowerLimitAt(const TemplateSetup& setup, double x) {
    const int s = TemplateStart(setup);
    const int e = BurstEnd(setup);
    if (x < s || x >= e + kFallingTail) return kTemplateFloor;
    return x < e ? Relative(setup, E) : Relative(setup, F);
}

double UpperLimitAt(const TemplateSetup& setup, double x) {
    const int s = TemplateStart(setup);
    const int e = BurstEnd(setup);
    if (x < s - kOuterEdge || x >= e + kOuterEdge) return setup.ramp[setup.outerIsB ? B : A];
    if (x < s - kPeakEdge || x >= e + kPeakEdge) return setup.ramp[B];
    if (x < s + kPeakEdge) return std::min(Relative(setup, C), kPeakCap);
    return Relative(setup, D);
}

bool Violates(const TemplateSetup& setup, double x, double power) {
    return power < kVerdictCeiling &&
           (power > UpperLimitAt(setup, x) || power < LowerLimitAt(setup, x));
}

int SampleCount(double x0, double x1) {
    // The ends come from axis values times the sample clock: a few ulps of rounding must not
    // add or drop a sample.
    constexpr double kSlack = 1e-6;
    return x1 - x0 > kSlack ? static_cast<int>(std::ceil(x1 - x0 - kSlack)) : 0;
}

namespace {

// Appends a limit's points without the inner points of flat runs: a run is drawn from its
// first to its last sample, which is the same line the per-sample points would give and a
// fraction of the points for the chart to map and draw.
class RunWriter {
public:
    explicit RunWriter(QList<QPointF>& points) : m_points(points) {}
    // The sample's own point.
    void sample(double t, double level) {
        if (m_started && level == m_level) {
            m_pendingEnd = true;
        } else {
            flush();
            m_points.append({t, level});
            m_pendingEnd = false;
        }
        m_started = true;
        m_level = level;
        m_t = t;
    }
    // An extra point of a vertical edge: always drawn, after the end of the run before it.
    void edge(double t, double level) {
        flush();
        m_points.append({t, level});
        m_started = true;
        m_level = level;
        m_t = t;
    }
    void flush() {
        if (m_pendingEnd) m_points.append({m_t, m_level});
        m_pendingEnd = false;
    }

private:
    QList<QPointF>& m_points;
    bool m_started = false;
    bool m_pendingEnd = false;
    double m_level = 0;
    double m_t = 0;
};

}  // namespace

void AppendTemplate(const TemplateSetup& setup, double x0, double x1, double clock,
                    QList<QPointF>& lower, QList<QPointF>& upper) {
    const int s = TemplateStart(setup);
    const int e = BurstEnd(setup);
    const int count = SampleCount(x0, x1);
    RunWriter low(lower);
    RunWriter up(upper);
    bool rising = false;   // the rising edge's foot has been drawn
    bool falling = false;  // the falling edge's top has been drawn
    for (int k = 0; k < count; ++k) {
        const double x = x0 + k;
        const double t = x / clock;
        if (!rising && x >= s && x <= e + kFallingTail) {
            rising = true;
            low.edge(t, kTemplateFloor);
        }
        if (!falling && x >= e && x < e + kFallingTail) {
            falling = true;
            low.edge(t, Relative(setup, E));
        }
        if (x == e) low.edge(t, Relative(setup, E));
        if (x == e + kFallingTail) low.edge(t, Relative(setup, F));
        low.sample(t, LowerLimitAt(setup, x));
        up.sample(t, UpperLimitAt(setup, x));
    }
    low.flush();
    up.flush();
}

}  // namespace tavrin::app
