// The limit bar: its geometry as plain numbers, and the widget placing its rectangles as given.
#include <gtest/gtest.h>

#include <QFrame>
#include <QWidget>
#include <memory>

#include "display/SliderGeometry.h"
#include "display/TSlider.h"

namespace tavrin::app {
namespace {

common::LimitBarBounds Bars(int n, std::array<double, 6> l) {
    common::LimitBarBounds b;
    b.bands = n;
    b.L = l;
    return b;
}

TEST(SliderGeometry, ThreeBandBarAtWidth80) {
    const SliderGeometry g = LayOutSlider(Bars(3, {15, 19, 24, 30, 0, 0}), 14, 80, 10, 40);
    EXPECT_DOUBLE_EQ(g.scale, 74.0 / 15.0);
    EXPECT_DOUBLE_EQ(g.offset, -15);
    EXPECT_EQ(g.frame, (SliderRect{10, 40, 80, 14}));
    ASSERT_EQ(g.bands.size(), 3u);
    EXPECT_EQ(g.bands[0], (SliderRect{3, 3, 19, 8}));
    EXPECT_EQ(g.bands[1], (SliderRect{22, 3, 25, 8}));  // 44.4 - 19, truncated
    EXPECT_EQ(g.bands[2].left, 47);
    EXPECT_EQ(g.marker, (SliderRect{2, 0, 3, 14}));
    // Frame colour: 20 inside, 24 (exactly MaxOK) and 14 outside.
    EXPECT_EQ(g.bandOf(20), 2);
    EXPECT_EQ(g.bandOf(24), 3);
    EXPECT_EQ(g.bandOf(14), 1);
    EXPECT_EQ(g.bandOf(99), 3);  // beyond L3 keeps the last band
    EXPECT_EQ(g.markerLeft(15), 2);
    EXPECT_EQ(g.markerLeft(20), 26);  // 5 * 4.93 + 2 = 26.67
    EXPECT_EQ(g.markerLeft(14), -2);  // left of the frame: clipped by it
    EXPECT_EQ(g.markerLeft(kSliderNoValue), std::nullopt);
    EXPECT_EQ(g.bandOf(kSliderNoValue), 1);
}

TEST(SliderGeometry, TwoBandBarAndDegenerateBounds) {
    const SliderGeometry ber = LayOutSlider(Bars(2, {0, 0.001, 0.005, 0, 0, 0}), 14, 80, 0, 0);
    EXPECT_EQ(ber.bandOf(0.001), 2);
    EXPECT_EQ(ber.bandOf(0.0005), 1);
    EXPECT_EQ(ber.bands[0].width, 14);  // 0.001 * 74 / 0.005 = 14.8
    EXPECT_EQ(ber.bands[0].width + ber.bands[1].width, 74);

    // Equal ends would divide by zero; wild values would overflow the pixel conversion.
    const SliderGeometry flat = LayOutSlider(Bars(3, {5, 5, 5, 5, 0, 0}), 14, 80, 0, 0);
    EXPECT_EQ(flat.scale, 0);
    for (const SliderRect& r : flat.bands) EXPECT_EQ(r.width, 0);
    const SliderGeometry ntp = LayOutSlider(Bars(3, {15, 19, 24, 30, 0, 0}), 14, 80, 0, 0);
    EXPECT_GT(*ntp.markerLeft(1e300), 80);
    EXPECT_LT(*ntp.markerLeft(-1e300), 0);
}

TEST(TSliderWidget, DrawsTheGeometryAndColoursTheFrame) {
    QWidget area;
    area.resize(200, 100);
    {
        TSlider bar(&area, 14, 80, 10, 40, 15, 19, 24, 30);
        ASSERT_EQ(bar.bandRects().size(), 3u);
        EXPECT_EQ(bar.frame()->geometry(), QRect(10, 40, 80, 14));
        EXPECT_EQ(bar.bandRects()[1]->geometry(), QRect(22, 3, 25, 8));
        EXPECT_EQ(bar.bandRects()[1]->palette().color(QPalette::Window), QColor(0, 128, 0));
        EXPECT_EQ(bar.frameColour(), QColor(255, 0, 0));  // no value yet: band 1
        EXPECT_TRUE(bar.marker()->isHidden());

        bar.setValue(20);
        EXPECT_EQ(bar.frameColour(), QColor(0, 128, 0));
        EXPECT_EQ(bar.marker()->x(), 26);
        EXPECT_FALSE(bar.marker()->isHidden());
        bar.setValue(24);
        EXPECT_EQ(bar.frameColour(), QColor(255, 0, 0));
        bar.setValue(TSlider::kNoValue);
        EXPECT_TRUE(bar.marker()->isHidden());

        TSlider ber(&area, 14, 80, 10, 60, 0, 0.001, 0.005);
        EXPECT_EQ(ber.frameColour(), QColor(0, 128, 0));  // band 1 of a two-band bar is green
        ber.setValue(0.001);
        EXPECT_EQ(ber.band(), 2);
        EXPECT_EQ(ber.frameColour(), QColor(255, 0, 0));
        EXPECT_EQ(area.findChildren<QFrame*>().size(), 9);  // frames, markers, five bands
    }
    // Destroying the bars removes every rectangle from the parent area.
    EXPECT_TRUE(area.findChildren<QFrame*>().isEmpty());

    // A bar whose parent area went first does not touch the dead widgets.
    auto parent = std::make_unique<QWidget>();
    TSlider orphan(parent.get(), 14, 80, 0, 0, 0, 5.00001, 10);
    parent.reset();
    orphan.setValue(7);
    EXPECT_EQ(orphan.band(), 2);
}

}  // namespace
}  // namespace tavrin::app
