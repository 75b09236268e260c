// The RF level: its arithmetic on its own, then the setter's range, "MIN", service mode and
// the traffic of the level application.
#include <gtest/gtest.h>

#include <climits>

#include "ConfigEvents.h"
#include "interpreter/RfLevelRules.h"

namespace tavrin::testing {
namespace {

TEST(RfLevelRules, TenthsRoundAfterTheSmallBias) {
    EXPECT_EQ(LevelTenths(-60.0), -600);
    EXPECT_EQ(LevelTenths(-59.95), -600);
    EXPECT_EQ(LevelTenths(12.3), 123);
    EXPECT_EQ(LevelTenths(-120.0), -1200);
    EXPECT_EQ(LevelTenths(1e12), INT32_MAX);
    EXPECT_EQ(LevelTenths(-1e12), INT32_MIN);
}

TEST(RfLevelRules, BoundsFollowTheCableLoss) {
    EXPECT_DOUBLE_EQ(RfLevelLowerBound(0), -100.0);
    EXPECT_DOUBLE_EQ(RfLevelLowerBound(50), -105.0);
    EXPECT_DOUBLE_EQ(RfLevelLowerBound(-25), -97.5);
}

class RfLevelMath : public ::testing::Test {
protected:
    RfLevelMath() {
        for (int i = 0; i < 75; ++i) table[i] = static_cast<int8_t>(i - 30);
        in.generatorCarrierTable = &table;
        in.attenuatorByteA = 18;
    }
    std::array<int8_t, 75> table{};
    RfLevelInputs in;
};

TEST_F(RfLevelMath, AttenuatorGoesInBelowMinus65dBmAtThePort) {
    RfLevelSetting s = ComputeRfLevel(-65.0, 255, in);
    EXPECT_FALSE(s.attenuatorIn);
    EXPECT_EQ(static_cast<int16_t>(s.cellValue), -650 - 218);
    s = ComputeRfLevel(-65.1, 255, in);
    EXPECT_TRUE(s.attenuatorIn);
    EXPECT_EQ(static_cast<int16_t>(s.cellValue), -651);
    // 5 dB of cable loss: the port puts out 5 dB more, so -70 dBm keeps the attenuator out.
    in.cableLoss = 50;
    s = ComputeRfLevel(-70.0, 255, in);
    EXPECT_FALSE(s.attenuatorIn);
    EXPECT_EQ(static_cast<int16_t>(s.cellValue), -700 - 218 + 50);
}

TEST_F(RfLevelMath, CellHoldsAtItsEndsInsteadOfWrapping) {
    EXPECT_EQ(static_cast<int16_t>(ComputeRfLevel(5000.0, 255, in).cellValue), INT16_MAX);
    EXPECT_EQ(static_cast<int16_t>(ComputeRfLevel(-5000.0, 255, in).cellValue), INT16_MIN);
    EXPECT_EQ(static_cast<int16_t>(ComputeRfLevel(1e300, 255, in).cellValue), INT16_MAX);
    EXPECT_EQ(static_cast<int16_t>(ComputeRfLevel(10.0, 255, in).cellValue), 100 - 218);
}

TEST_F(RfLevelMath, CarrierCorrectionEntries) {
    in.carrierOffset = -2;
    EXPECT_EQ(static_cast<int16_t>(ComputeRfLevel(-80.0, 5, in).cellValue),
              -800 + table[22 + 5 - 2]);
    in.model = 11;
    EXPECT_EQ(static_cast<int16_t>(ComputeRfLevel(-80.0, 5, in).cellValue), -800 + table[3]);
    in.model = 10;
    in.extendedFrequency = true;
    EXPECT_EQ(static_cast<int16_t>(ComputeRfLevel(-80.0, 12, in).cellValue),
              -800 + table[22 + 9 - 12 - 2]);
    EXPECT_EQ(static_cast<int16_t>(ComputeRfLevel(-80.0, 9, in).cellValue),
              -800 + table[22 + 9 - 2]);
}

TEST_F(RfLevelMath, NoCorrectionOutsideTheTable) {
    // A test carrier above MaxCarrier has none; the generator looks even there, but 255 and
    // entries below 0 lie outside the 75 entries.
    EXPECT_EQ(static_cast<int16_t>(ComputeRfLevel(-80.0, 40, in).cellValue), -800);
    in.rfGenerator = true;
    EXPECT_EQ(static_cast<int16_t>(ComputeRfLevel(-80.0, 255, in).cellValue), -800);
    EXPECT_EQ(static_cast<int16_t>(ComputeRfLevel(-80.0, 40, in).cellValue), -800 + table[62]);
    EXPECT_EQ(GeneratorCarrierEntry(10, 34, -22, true), -1);
    EXPECT_EQ(GeneratorCarrierEntry(11, 0, -22, false), -1);
    EXPECT_EQ(GeneratorCarrierEntry(10, 0, -22, false), 0);
    EXPECT_EQ(GeneratorCarrierEntry(12, 34, 3, false), 59);
}

class RfLevel : public DetectedTester {};

TEST_F(RfLevel, MinInQuotesIsTheLowestLevelWithoutError) {
    int16_t result = 1;
    EXPECT_EQ(Run("CONF:FP:RF:LEV \"MIN\"", &result),
              (Events{"mail 6: 5D 30", "cell 6A40=50", "cell 6A41=FB", "mail 6: C4"}));
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Ask("CONF:FP:RF:LEV?"), "-120.0");
    EXPECT_EQ(sim.LastErrorText(), "+0, \"No Error\"");
}

TEST_F(RfLevel, OutOfRangeKeepsTheLevel) {
    int16_t result = 0;
    EXPECT_EQ(Run("CONF:FP:RF:LEV -200", &result), Events{});
    EXPECT_EQ(result, 1);
    EXPECT_EQ(sim.LastErrorText(), "-222, \"Data out of Range\"");
    EXPECT_EQ(Ask("CONF:PP:RF:LEV?"), "-60.0");
    EXPECT_EQ(Run("CONF:PP:RF:LEV \"MAX\"", &result), Events{});
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Run("CONF:PP:RF:LEV abc", &result), Events{});
    EXPECT_EQ(result, 2);  // no number, then no quoted string
    EXPECT_EQ(Ask("CONF:PP:RF:LEV?"), "-60.0");
}

TEST_F(RfLevel, RangeMovesWithTheCableLoss) {
    conf().CableLoss = 50;
    int16_t result = 1;
    Run("CONF:PP:RF:LEV -105.0", &result);
    EXPECT_EQ(result, 0);
    Run("CONF:PP:RF:LEV -45", &result);
    EXPECT_EQ(result, 0);
    Run("CONF:PP:RF:LEV -44.9", &result);
    EXPECT_EQ(result, 1);
    Run("CONF:PP:RF:LEV -105.1", &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Ask("CONF:PP:RF:LEV?"), "-45.0");
}

TEST_F(RfLevel, AppliedOnTheTrafficCarrierWithItsCorrection) {
    Run("CONF:PP:TRAF:CARR 4");
    const int v =
        -635 - (sim.link->cal.AttenuatorByteA + 200) + sim.link->cal.GeneratorCarrierTable[22 + 4];
    char low[16], high[16];
    std::snprintf(low, sizeof low, "cell 6A40=%02X", v & 0xFF);
    std::snprintf(high, sizeof high, "cell 6A41=%02X", (v >> 8) & 0xFF);
    EXPECT_EQ(Run("CONF:BER:RF:LEV -63.5"), (Events{"mail 6: 5D 31", low, high, "mail 6: C4"}));
    EXPECT_EQ(Ask("CONF:PP:RF:LEV?"), "-63.5");
    EXPECT_TRUE(conf().RxAttenuator);  // the test role leaves the receiver attenuator alone
    int16_t result = 0;
    Run("CONF:BER:RF:LEV?", &result);
    EXPECT_EQ(result, 1);  // the BER spelling has no query
}

TEST_F(RfLevel, GeneratorRoleTakesTheAttenuatorChoice) {
    Run("CONF:TEST:TYPE:RFGE 1");
    ASSERT_FALSE(conf().RxAttenuator);
    const Events events = Run("CONF:FP:RF:LEV -90");
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front(), "mail 6: 5D 30");
    EXPECT_TRUE(conf().RxAttenuator);
}

TEST_F(RfLevel, ServiceModeTakesAnyNumber) {
    sim.link->service.ServiceMode = true;
    int16_t result = 1;
    EXPECT_EQ(Run("CONF:PP:RF:LEV -10", &result).size(), 4u);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Ask("CONF:PP:RF:LEV?"), "-10.0");
    EXPECT_EQ(sim.LastErrorText(), "+0, \"No Error\"");
    // "MIN" stays the weakest signal, not a converted 0.0 dBm.
    Run("CONF:PP:RF:LEV \"MIN\"", &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Ask("CONF:PP:RF:LEV?"), "-120.0");
}

TEST_F(RfLevel, ServiceModeWithoutANumberKeepsTheLevel) {
    sim.link->service.ServiceMode = true;
    Run("CONF:PP:RF:LEV -20");
    int16_t result = 0;
    EXPECT_EQ(Run("CONF:PP:RF:LEV", &result), Events{});
    EXPECT_EQ(result, 1);
    EXPECT_EQ(sim.LastErrorText(), "-224, \"Parameter not allowed\"");
    EXPECT_EQ(Run("CONF:PP:RF:LEV high", &result), Events{});
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Ask("CONF:PP:RF:LEV?"), "-20.0");
}

}  // namespace
}  // namespace tavrin::testing
