// Captures on the virtual tester with a device in front of it: the calibrated samples come
// back as the device's power and frequency.
#include <gtest/gtest.h>

#include "MeasurementRig.h"
#include "transport/Capture.h"

namespace tavrin::testing {
namespace {

TEST(CaptureEndToEnd, SamplesComeBackAsTheDevice) {
    sim::DeviceProfile p;
    p.noiseKhz = 0.0;
    p.noiseDb = 0.0;
    MeasurementRig rig(p);
    EXPECT_EQ(ForceADCSample(*rig.link), 1u);
    EXPECT_EQ(rig.link->capture.CaptureBurstSize, 40);
    EXPECT_EQ(rig.link->capture.CaptureCarrier, 4);
    for (uint16_t i : {500, 1000, 2000, 3000, 4000})
        EXPECT_NEAR(ReadPwrValue(*rig.link, i), 240, 1) << i;
    EXPECT_NEAR(rig.link->capture.AveragePower, 240, 1);
    int lo = 100000, hi = -100000;
    for (uint16_t i = 1314; i < 1314 + 2880; ++i) {
        lo = std::min<int>(lo, ReadRxValue(*rig.link, i));
        hi = std::max<int>(hi, ReadRxValue(*rig.link, i));
    }
    EXPECT_NEAR(hi, 3420, 12);
    EXPECT_NEAR(lo, -3180, 12);
}

}  // namespace
}  // namespace tavrin::testing
