// RFPI and PMID, dummy and traffic slots and carriers, traffic sizes, the FP antenna; and the
// slot-moving rules on their own.
#include <gtest/gtest.h>

#include "ConfigEvents.h"
#include "interpreter/SlotRules.h"

namespace tavrin::testing {
namespace {

TEST(SlotRules, OtherBearerMovesOnlyWhenItSitsOnTheNewSlot) {
    EXPECT_EQ(MovedAside(4, 4), std::optional<uint8_t>(6));
    EXPECT_EQ(MovedAside(9, 9), std::optional<uint8_t>(1));
    EXPECT_EQ(MovedAside(11, 11), std::optional<uint8_t>(3));
    EXPECT_EQ(MovedAside(4, 5), std::nullopt);
    EXPECT_EQ(FourSlotPartner(0), 2);
    EXPECT_EQ(FourSlotPartner(3), 0);
    EXPECT_TRUE(IsFourSlotTester(3));
    EXPECT_FALSE(IsFourSlotTester(11));
}

TEST(SlotRules, HexGroupsFromTheEnd) {
    uint8_t out[5] = {};
    ASSERT_TRUE(ReadHexGroups("12345", 5, out, 3));
    EXPECT_EQ(out[0], 0x01);
    EXPECT_EQ(out[1], 0x23);
    EXPECT_EQ(out[2], 0x45);
    ASSERT_TRUE(ReadHexGroups("00a1B2c3D4", 10, out, 5));
    EXPECT_EQ(out[1], 0xA1);
    EXPECT_EQ(out[4], 0xD4);
    EXPECT_FALSE(ReadHexGroups("1234", 5, out, 3));
    EXPECT_FALSE(ReadHexGroups("12 45", 5, out, 3));
    EXPECT_FALSE(ReadHexGroups("0x1234567", 10, out, 5));
    EXPECT_FALSE(ReadHexGroups("-1-2-3-4-5", 10, out, 5));
}

class Identity : public DetectedTester {};

TEST_F(Identity, RfpiIsSentAsOneMailAndAnswered) {
    EXPECT_EQ(Run("CONF:PP:RFPI \"0000000010\""), Events{"mail 6: C2 00 00 00 00 10"});
    EXPECT_EQ(Ask("CONF:PP:RFPI?"), "0000000010");
    EXPECT_EQ(Run("CONF:FP:RFPI \"a1b2c3d4e5\""), Events{"mail 6: C2 A1 B2 C3 D4 E5"});
    EXPECT_EQ(Ask("CONF:PP:RFPI?"), "A1B2C3D4E5");
}

TEST_F(Identity, RfpiRefusals) {
    int16_t result = 0;
    EXPECT_EQ(Run("CONF:PP:RFPI \"12345\"", &result), Events{});
    EXPECT_EQ(result, 1);
    EXPECT_EQ(sim.LastErrorText(), "-224, \"Parameter not allowed\"");
    EXPECT_EQ(Run("CONF:PP:RFPI \"00000000G0\"", &result), Events{});
    EXPECT_EQ(sim.LastErrorText(), "-224, \"Parameter not allowed\"");
    EXPECT_EQ(Run("CONF:PP:RFPI 0000000010", &result), Events{});
    EXPECT_EQ(sim.LastErrorText(), "-102, \"Syntax Error\"");
    EXPECT_EQ(Run("CONF:PP:RFPI \"0000000010", &result), Events{});
    EXPECT_EQ(sim.LastErrorText(), "-102, \"Syntax Error\"");
    // Longer than the 80-character working buffer: refused whole.
    const std::string longer = "CONF:PP:RFPI \"" + std::string(80, '1') + "\"";
    EXPECT_EQ(Run(longer.c_str(), &result), Events{});
    EXPECT_EQ(sim.LastErrorText(), "-224, \"Parameter not allowed\"");
    EXPECT_EQ(Ask("CONF:PP:RFPI?"), "0000000000");
}

TEST_F(Identity, PmidIsSpreadFromTheEnd) {
    EXPECT_EQ(Run("CONF:FP:PMID \"12345\""),
              (Events{"cell 6A27=01", "cell 6A28=23", "cell 6A29=45"}));
    int16_t result = 0;
    EXPECT_EQ(Run("CONF:FP:PMID \"123456\"", &result), Events{});
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Run("CONF:FP:PMID?", &result), Events{});
    EXPECT_EQ(sim.LastErrorText(), "-102, \"Syntax Error\"");  // no query of the PMID
}

class Slots : public DetectedTester {};

TEST_F(Slots, DummySlotMovesTheTrafficSlotAside) {
    // The traffic slot cell holds 0 on a fresh tester.
    EXPECT_EQ(Run("CONF:PP:DUMM:SLOT 0"), (Events{"cell 6A39=02", "cell 6A37=00", "mail 6: C3"}));
    EXPECT_EQ(Ask("CONF:PP:TRAF:SLOT?"), "2");
    EXPECT_EQ(Ask("CONF:PP:DUMM:SLOT?"), "0");
    EXPECT_EQ(Run("CONF:PP:DUMM:SLOT 5"), (Events{"cell 6A37=05", "mail 6: C3"}));
    EXPECT_EQ(Ask("CONF:PP:TRAF:SLOT?"), "2");
}

TEST_F(Slots, TrafficSlotMovesTheDummySlotAsideWithoutMail) {
    Run("CONF:PP:DUMM:SLOT 9");
    EXPECT_EQ(Run("CONF:PP:TRAF:SLOT 9"), (Events{"cell 6A37=01", "cell 6A39=09"}));
    EXPECT_EQ(Ask("CONF:PP:DUMM:SLOT?"), "1");
    EXPECT_EQ(Ask("CONF:PP:TRAF:SLOT?"), "9");
    EXPECT_EQ(Run("CONF:PP:TRAF:SLOT 4"), (Events{"cell 6A39=04"}));
}

TEST_F(Slots, SlotRangeFollowsTheTestersSlotCount) {
    int16_t result = 0;
    EXPECT_EQ(Run("CONF:PP:DUMM:SLOT 11", &result), (Events{"cell 6A37=0B", "mail 6: C3"}));
    EXPECT_EQ(Run("CONF:PP:DUMM:SLOT 12", &result), Events{});
    EXPECT_EQ(result, 1);
    EXPECT_EQ(sim.LastErrorText(), "-222, \"Data out of Range\"");
    EXPECT_EQ(Run("CONF:PP:TRAF:SLOT ON", &result), Events{});
    EXPECT_EQ(sim.LastErrorText(), "-224, \"Parameter not allowed\"");
    EXPECT_EQ(Run("CONF:FP:TRAF:SLOT 7"), Events{"cell 6A2B=07"});
    EXPECT_EQ(Ask("CONF:FP:TRAF:SLOT?"), "7");
}

TEST_F(Slots, FourSlotTesterPlacesTheOtherBearerItself) {
    sim.tester->Memory().Write(0x6A5D, 4);
    sim.link->hw.HardwareDetected = false;
    sim.Run("*IDN?");
    ASSERT_EQ(sim.link->hw.MaxSlot, 3);
    EXPECT_EQ(Run("CONF:PP:DUMM:SLOT 0"), (Events{"cell 6A37=00", "cell 6A39=02"}));
    EXPECT_EQ(Run("CONF:PP:DUMM:SLOT 3"), (Events{"cell 6A37=03", "cell 6A39=00"}));
    EXPECT_EQ(Run("CONF:PP:TRAF:SLOT 0"), (Events{"cell 6A39=00", "cell 6A37=02"}));
    EXPECT_EQ(Ask("CONF:PP:DUMM:SLOT?"), "2");
    int16_t result = 0;
    Run("CONF:PP:TRAF:SLOT 4", &result);
    EXPECT_EQ(result, 1);
}

TEST(NoTester, SlotsAndCarriersTakeOnlyZero) {
    // Before a tester is detected MaxSlot and MaxCarrier are 0: not "any number".
    SimLink sim(SimulationSettings{}, false);
    int16_t result = 0;
    sim.Run("CONF:PP:DUMM:SLOT 300", &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(sim.LastErrorText(), "-222, \"Data out of Range\"");
    EXPECT_EQ(sim.Run("CONF:PP:DUMM:SLOT?"), "2");
    sim.Run("CONF:PP:DUMM:CARR 44", &result);
    EXPECT_EQ(sim.Run("CONF:PP:DUMM:CARR?"), "255");
    sim.Run("CONF:PP:TRAF:CARR 0");
    EXPECT_EQ(sim.Run("CONF:PP:TRAF:CARR?"), "0");
}

class Carriers : public DetectedTester {};

TEST_F(Carriers, DummyCarrier) {
    EXPECT_EQ(Run("CONF:PP:DUMM:CARR 7"), (Events{"cell 6A36=07", "mail 6: C3"}));
    EXPECT_EQ(Ask("CONF:FP:DUMM:CARR?"), "7");
    int16_t result = 1;
    EXPECT_EQ(Run("CONF:FP:DUMM:CARR 254", &result), (Events{"cell 6A36=FE", "mail 6: C3"}));
    EXPECT_EQ(result, 0);
    // Only the count is cleared: the first reading's error stays the last one.
    EXPECT_EQ(sim.LastErrorText(), "-222, \"Data out of Range\"");
    EXPECT_EQ(Run("CONF:PP:DUMM:CARR 35", &result), Events{});
    EXPECT_EQ(result, 2);
    EXPECT_EQ(Ask("CONF:PP:DUMM:CARR?"), "254");
}

TEST_F(Carriers, PpTrafficCarrierRefreshesDummyAndLevel) {
    Run("CONF:PP:DUMM:CARR 3");
    const Events events = Run("CONF:PP:TRAF:CARR 8");
    ASSERT_EQ(events.size(), 7u);
    EXPECT_EQ(Events(events.begin(), events.begin() + 4),
              (Events{"cell 6A36=03", "mail 6: C3", "cell 6A38=08", "mail 6: 5D 31"}));
    EXPECT_EQ(events[6], "mail 6: C4");
    EXPECT_EQ(Ask("CONF:PP:TRAF:CARR?"), "8");
}

TEST_F(Carriers, FpTrafficCarrierUsesItsOwnCell) {
    const Events events = Run("CONF:FP:TRAF:CARR 2");
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(events[2], "cell 6A2A=02");
    EXPECT_EQ(Ask("CONF:FP:TRAF:CARR?"), "2");
}

TEST_F(Carriers, NoCarrierSucceedsWithoutCorrection) {
    int16_t result = 1;
    const Events events = Run("CONF:PP:TRAF:CARR 255", &result);
    EXPECT_EQ(result, 0);
    const int v = -600 - (sim.link->cal.AttenuatorByteA + 200);
    char low[16], high[16];
    std::snprintf(low, sizeof low, "cell 6A40=%02X", v & 0xFF);
    std::snprintf(high, sizeof high, "cell 6A41=%02X", (v >> 8) & 0xFF);
    EXPECT_EQ(events, (Events{"cell 6A36=FF", "mail 6: C3", "cell 6A38=FF", "mail 6: 5D 31", low,
                              high, "mail 6: C4"}));
}

class Sizes : public DetectedTester {};

TEST_F(Sizes, TrafficSizesAndAntenna) {
    EXPECT_EQ(Run("CONF:PP:TRAF:SIZE 80"), Events{"cell 6A61=50"});
    EXPECT_EQ(Run("CONF:FP:TRAF:SIZE 0"), Events{"cell 6A62=00"});
    int16_t result = 0;
    EXPECT_EQ(Run("CONF:PP:TRAF:SIZE 81", &result), Events{});
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Run("CONF:FP:ANT 7"), Events{"mail 6: C5 07"});
    EXPECT_EQ(Ask("CONF:FP:ANT?"), "7");
    EXPECT_EQ(Run("CONF:FP:ANT 8", &result), Events{});
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Ask("CONF:FP:ANT?"), "7");
}

}  // namespace
}  // namespace tavrin::testing
