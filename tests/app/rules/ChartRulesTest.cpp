// The charts' plain rules: the power-time template at each of its edges, the views that pan
// and zoom may reach, the power chart range and the trace text.
#include <gtest/gtest.h>

#include <QLocale>
#include <algorithm>

#include "display/ChartRanges.h"
#include "display/TemplateGeometry.h"
#include "display/TraceExport.h"

namespace tavrin::app {
namespace {

TemplateSetup WithOffset(double offset) {
    TemplateSetup s;  // levels A..F -47, -16, 4, 1, -1, -5
    s.offset = offset;
    return s;
}

TEST(TemplateGeometry, UpperLimitStepsThroughItsLevelsAtEachEdge) {
    TemplateSetup s = WithOffset(20);
    const std::vector<std::pair<double, double>> expected = {
        {-279, -47},               // outer level A
        {-278, -16}, {-104, -16},  // level B before the rising edge
        {-103, 24},  {102, 24},    // C + R on the rising edge
        {103, 21},   {3918, 21},   // D + R over the burst
        {3919, -16}, {4093, -16},  // B after it
        {4094, -47},               // outer again from E + 278
    };
    for (const auto& [x, level] : expected) EXPECT_EQ(UpperLimitAt(s, x), level) << "x " << x;
    // Without High Dynamic the outer level is B.
    s.outerIsB = true;
    EXPECT_EQ(UpperLimitAt(s, -279), -16);
    EXPECT_EQ(UpperLimitAt(s, 4094), -16);
    // C + R is capped at 25 dBm on the rising edge, and only there.
    s.offset = 22;
    EXPECT_EQ(UpperLimitAt(s, 0), kPeakCap);
    EXPECT_EQ(UpperLimitAt(s, 200), 23);
}

TEST(TemplateGeometry, LowerLimitHoldsEThenFAndFallsAfterFiveSamples) {
    TemplateSetup s = WithOffset(20);
    EXPECT_EQ(LowerLimitAt(s, -1), kTemplateFloor);
    EXPECT_EQ(LowerLimitAt(s, 0), 19);
    EXPECT_EQ(LowerLimitAt(s, 3815), 19);
    EXPECT_EQ(LowerLimitAt(s, 3816), 15);
    EXPECT_EQ(LowerLimitAt(s, 3820.5), 15);
    EXPECT_EQ(LowerLimitAt(s, 3821), kTemplateFloor);
    // A long slot moves the end, a prolonged preamble only the start.
    s.longSlot = true;
    EXPECT_EQ(LowerLimitAt(s, 6695), 19);
    EXPECT_EQ(LowerLimitAt(s, 6696), 15);
    s.longSlot = false;
    s.prolongedPreamble = true;
    EXPECT_EQ(LowerLimitAt(s, -145), kTemplateFloor);
    EXPECT_EQ(LowerLimitAt(s, -144), 19);
    EXPECT_EQ(UpperLimitAt(s, -247), 24);  // the peak starts 103 before the new start
    EXPECT_EQ(UpperLimitAt(s, -248), -16);
    EXPECT_EQ(LowerLimitAt(s, 3816), 15);  // the falling edge stays at E
    EXPECT_EQ(UpperLimitAt(s, 3919), -16);
}

TEST(TemplateGeometry, VerdictIgnoresPointsAtFortyDbmAndAbove) {
    const TemplateSetup s = WithOffset(20);
    EXPECT_FALSE(Violates(s, 500, 20));
    EXPECT_TRUE(Violates(s, 500, 21.1));  // above D + R
    EXPECT_TRUE(Violates(s, 500, 18.9));  // below E + R
    EXPECT_TRUE(Violates(s, 500, 39.9));
    EXPECT_FALSE(Violates(s, 500, 40));
    EXPECT_FALSE(Violates(s, 500, 3276.7));  // a sample out of the store's range
    EXPECT_TRUE(Violates(s, -300, -46));     // above the outer level before the burst
}

TEST(TemplateGeometry, DrawnLimitsHaveVerticalEdgesAndOnlyTheirCorners) {
    const TemplateSetup s = WithOffset(20);
    QList<QPointF> lower, upper;
    AppendTemplate(s, -450, 4140, 9, lower, upper);
    const auto at = [](double x, double level) { return QPointF(x / 9, level); };
    // Each flat run from its first to its last sample; a level change steps over one sample.
    EXPECT_EQ(upper, (QList<QPointF>{at(-450, -47), at(-279, -47), at(-278, -16), at(-104, -16),
                                     at(-103, 24), at(102, 24), at(103, 21), at(3918, 21),
                                     at(3919, -16), at(4093, -16), at(4094, -47), at(4139, -47)}));
    // The lower limit's edges are vertical: the foot at -90 and the tops at E + R and F + R
    // come before their sample's own point.
    EXPECT_EQ(lower, (QList<QPointF>{at(-450, -90), at(-1, -90), at(0, -90), at(0, 19),
                                     at(3815, 19), at(3816, 19), at(3816, 19), at(3816, 15),
                                     at(3820, 15), at(3821, 15), at(3821, -90), at(4139, -90)}));
    // Every sample's level lies on the drawn line.
    for (double x = -450; x < 4140; x += 1) {
        const double t = x / 9;
        const auto next =
            std::find_if(upper.begin(), upper.end(), [t](const QPointF& p) { return p.x() >= t; });
        ASSERT_NE(next, upper.end());
        if (next->x() == t) EXPECT_EQ(next->y(), UpperLimitAt(s, x)) << x;
    }
}

TEST(TemplateGeometry, ViewsThatCutTheTemplate) {
    const TemplateSetup s = WithOffset(0);
    QList<QPointF> lower, upper;
    // Starting inside the burst: the edge's foot is drawn at the first sample.
    AppendTemplate(s, 100, 110, 9, lower, upper);
    EXPECT_EQ(upper.size(), 4);  // C to 102, D from 103
    EXPECT_EQ(lower, (QList<QPointF>{{100 / 9.0, -90}, {100 / 9.0, -1}, {109 / 9.0, -1}}));
    // Samples between whole positions never meet x = E exactly: besides the foot at the
    // first sample, one extra point at the falling edge and none at E + 5.
    lower.clear();
    upper.clear();
    AppendTemplate(s, 3810.5, 3830.5, 9, lower, upper);
    EXPECT_EQ(lower, (QList<QPointF>{{3810.5 / 9, -90},
                                     {3810.5 / 9, -1},
                                     {3815.5 / 9, -1},
                                     {3816.5 / 9, -1},
                                     {3816.5 / 9, -5},
                                     {3820.5 / 9, -5},
                                     {3821.5 / 9, -90},
                                     {3830.5 / 9 - 1 / 9.0, -90}}));
    // A range of whole samples that came through the float clock keeps its count.
    EXPECT_EQ(SampleCount(0, 264.0000001), 264);
    EXPECT_EQ(SampleCount(0, 263.9999999), 264);
    EXPECT_EQ(SampleCount(10, 10), 0);
    EXPECT_EQ(SampleCount(10, 5), 0);
}

TEST(ChartRanges, PanAndZoomStayInsideTheLimits) {
    const AxisRange x{0, 407.5};
    EXPECT_EQ(ClampRange({-10, 300}, x), (AxisRange{0, 300}));  // panned beyond 0 snaps back
    EXPECT_EQ(ClampRange({100, 500}, x), (AxisRange{100, 407.5}));
    EXPECT_EQ(ClampRange({-20, 600}, x), x);
    EXPECT_EQ(ClampRange({50, 60}, x), (AxisRange{50, 60}));
    // Wholly outside: the width is kept, resting on the limit crossed.
    EXPECT_EQ(ClampRange({-200, -100}, x), (AxisRange{0, 100}));
    EXPECT_EQ(ClampRange({500, 600}, x), (AxisRange{307.5, 407.5}));
    EXPECT_EQ(ClampRange({-1000, -500}, x), x);
    const ChartView v = ClampView({{-60, 470}, {-700, 700}}, {kBitFloor, 460}, kDeviationLimits);
    EXPECT_EQ(v, (ChartView{{-50, 460}, {-600, 600}}));
    EXPECT_EQ(HorizontalFloor(true), 0);
    EXPECT_EQ(HorizontalFloor(false), -50);
    EXPECT_DOUBLE_EQ(HorizontalCeiling(4140, 9), 460);
}

TEST(ChartRanges, PowerChartRangeFollowsTheCouplingLoss) {
    EXPECT_EQ(PowerChartRange(20, true), (AxisRange{-30, 50}));
    EXPECT_EQ(PowerChartRange(20.9, false), (AxisRange{-50, 30}));
    EXPECT_EQ(PowerChartRange(0, true), (AxisRange{-50, 30}));
}

TEST(TraceExport, HeaderThenOneLineAPointWithDecimalPoints) {
    QLocale::setDefault(QLocale(QLocale::German));
    const QByteArray csv =
        TraceCsv({{"Time [bit]", 8, {-50, -49.888889, 0.5}}, {"Power [dBm]", 6, {-90.5, 24.1}}});
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(csv, "Time [bit],Power [dBm]\n-50,-90.5\n-49.888889,24.1\n");
    EXPECT_EQ(TraceCsv({{"Time [us]", 8, {}}}), "Time [us]\n");
}

}  // namespace
}  // namespace tavrin::app
