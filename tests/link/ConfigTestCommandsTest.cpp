// The test choice, the RF generator, the frequency band, the number of carriers, carrier and
// timing offsets: what the tester receives, in order, and what the queries answer.
#include <gtest/gtest.h>

#include "ConfigEvents.h"

namespace tavrin::testing {
namespace {

class TestChoice : public DetectedTester {};

TEST_F(TestChoice, PpTestStartsTheFixedPartWithRfpiAndDummyCarrier) {
    const uint32_t before = sim.clock.nowMs();
    EXPECT_EQ(Run("CONF:TEST:TYPE DPP"),
              (Events{"mail 6: C0 02", "mail 6: C2 00 00 00 00 00", "cell 6A36=FF", "mail 6: C3"}));
    // Twenty tester ticks of 10 ms before the RFPI goes out.
    EXPECT_GE(sim.clock.nowMs() - before, 190u);
    EXPECT_EQ(Ask("CONF:TEST?"), "DPP");
    EXPECT_EQ(Ask("CONF:TEST:TYPE?"), "DPP");
    EXPECT_EQ(Run("CONF:TEST PP").front(), "mail 6: C0 02");
    EXPECT_EQ(Ask("CONF:TEST?"), "DPP");
}

TEST_F(TestChoice, FpTestWaitsOnlyTwoTicks) {
    const uint32_t before = sim.clock.nowMs();
    EXPECT_EQ(Run("CONF:TEST:TYPE FP"),
              (Events{"mail 6: C0 01", "mail 6: C2 00 00 00 00 00", "cell 6A36=FF", "mail 6: C3"}));
    EXPECT_LT(sim.clock.nowMs() - before, 100u);
    EXPECT_EQ(Ask("CONF:TEST?"), "DFP");
}

TEST_F(TestChoice, SetupFileNamesAreMatchedAsWritten) {
    EXPECT_EQ(Run("CONF:TEST:TYPE DectPP").front(), "mail 6: C0 02");
    EXPECT_EQ(Ask("CONF:TEST?"), "DPP");
    EXPECT_EQ(Run("CONF:TEST:TYPE DectFP").front(), "mail 6: C0 01");
    EXPECT_EQ(Ask("CONF:TEST?"), "DFP");
    int16_t result = 0;
    EXPECT_EQ(Run("CONF:TEST:TYPE dectpp", &result), Events{});
    EXPECT_EQ(result, 1);
    EXPECT_EQ(sim.LastErrorText(), "-224, \"Parameter not allowed\"");
    EXPECT_EQ(Ask("CONF:TEST?"), "IDLE");
}

TEST_F(TestChoice, OtherTests) {
    EXPECT_EQ(Run("CONF:TEST:TYPE PPODD"), Events{"mail 6: C0 03"});
    EXPECT_EQ(Ask("CONF:TEST?"), "PPODD");
    EXPECT_EQ(Run("CONF:TEST:TYPE NOP0"), Events{"mail 6: 5D 80 00"});
    EXPECT_EQ(Ask("CONF:TEST?"), "IDLE");
    EXPECT_EQ(Run("CONF:TEST:TYPE NONE"), Events{});
    EXPECT_EQ(Ask("CONF:TEST?"), "IDLE");
    EXPECT_EQ(conf().TestType, code::NONE);
}

TEST_F(TestChoice, ARefusedWordIsStillKeptAsTheTest) {
    int16_t result = 0;
    EXPECT_EQ(Run("CONF:TEST:TYPE RFGE", &result), Events{});
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Ask("CONF:TEST?"), "RFGE");
    Run("CONF:TEST:TYPE");
    EXPECT_EQ(sim.LastErrorText(), "-224, \"Parameter not allowed\"");
    EXPECT_EQ(conf().TestType, 0u);
}

class Generator : public DetectedTester {};

TEST_F(Generator, StartsOnItsCarrierWithTheKeptLevel) {
    const Calibration& cal = sim.link->cal;
    int16_t result = 1;
    const Events events = Run("CONF:TEST:TYPE:RFGE 5", &result);
    EXPECT_EQ(result, 0);
    // -60.0 dBm: attenuator out, so its worth comes off; then the generator correction of
    // carrier 5.
    const int v = -600 - (cal.AttenuatorByteA + 200) + cal.GeneratorCarrierTable[22 + 5];
    char low[16], high[16];
    std::snprintf(low, sizeof low, "cell 6A40=%02X", v & 0xFF);
    std::snprintf(high, sizeof high, "cell 6A41=%02X", (v >> 8) & 0xFF);
    EXPECT_EQ(events, (Events{"mail 6: C0 02", "cell 6A38=05", "mail 6: 5D 06", "mail 6: 5D 31",
                              low, high, "mail 6: C4"}));
    EXPECT_EQ(Ask("CONF:TEST?"), "RFGE");
    EXPECT_EQ(Ask("CONF:RFGE:CARR?"), "5");
    EXPECT_FALSE(conf().RxAttenuator);  // the generator role takes the attenuator choice over
}

TEST_F(Generator, ABadCarrierStillSelectsTheGenerator) {
    int16_t result = 0;
    EXPECT_EQ(Run("CONF:TEST:TYPE:RFGE 35", &result), Events{"mail 6: C0 02"});
    EXPECT_EQ(result, 1);
    EXPECT_EQ(sim.LastErrorText(), "-222, \"Data out of Range\"");
    EXPECT_EQ(Ask("CONF:TEST?"), "RFGE");
    EXPECT_EQ(Ask("CONF:RFGE:CARR?"), "0");
    EXPECT_EQ(Run("CONF:TEST:TYPE:RFGE ON", &result), Events{"mail 6: C0 02"});
    EXPECT_EQ(sim.LastErrorText(), "-224, \"Parameter not allowed\"");
}

TEST_F(Generator, CarrierCommandTakesNoCarrierValues) {
    Run("CONF:TEST:TYPE:RFGE 3");
    int16_t result = 1;
    const Events events = Run("CONF:RFGE:CARR 255", &result);
    EXPECT_EQ(result, 0);
    ASSERT_EQ(events.size(), 6u);
    EXPECT_EQ(events[0], "cell 6A38=FF");
    EXPECT_EQ(events[1], "mail 6: 5D 06");
    // Carrier 255 has no entry in the carrier table: no correction is added.
    const int v = -600 - (sim.link->cal.AttenuatorByteA + 200);
    char low[16];
    std::snprintf(low, sizeof low, "cell 6A40=%02X", v & 0xFF);
    EXPECT_EQ(events[3], low);
    EXPECT_EQ(Ask("CONF:RFGE:CARR?"), "255");
    // The level application clears the first reading's error as well.
    EXPECT_EQ(sim.LastErrorText(), "+0, \"No Error\"");
    EXPECT_EQ(Run("CONF:RFGE:CARR 100", &result), Events{});
    EXPECT_EQ(result, 2);  // both readings failed
    EXPECT_EQ(Run("CONF:RFGE:CARR FP", &result), Events{});
    EXPECT_EQ(result, 1);
}

class Band : public DetectedTester {};

TEST_F(Band, ExtendedFrequencySwitch) {
    EXPECT_EQ(Run("CONF:TEST:EXTF 1"), Events{"cell 6A73=80"});
    EXPECT_TRUE(conf().ExtendedFrequency);
    EXPECT_EQ(Ask("CONF:TEST:EXTF?"), "1");
    int16_t result = 0;
    EXPECT_EQ(Run("CONF:TEST:EXTF 2", &result), Events{"cell 6A73=00"});
    EXPECT_EQ(result, 1);
    EXPECT_FALSE(conf().ExtendedFrequency);
    EXPECT_EQ(Ask("CONF:TEST:EXTF?"), "0");
}

TEST_F(Band, ReferenceCarrier) {
    EXPECT_EQ(Run("CONF:CARR:REF 5"), Events{"cell 6A73=80"});
    EXPECT_EQ(Ask("CONF:MATC?"), "0");
    EXPECT_EQ(Run("CONF:MATC 12"), Events{"cell 6A73=8C"});
    EXPECT_EQ(Ask("CONF:CARR:REF?"), "12");
    EXPECT_EQ(Ask("CONF:TEST:EXTF?"), "1");
    int16_t result = 0;
    EXPECT_EQ(Run("CONF:CARR:REF 28", &result), Events{"cell 6A73=80"});
    EXPECT_EQ(result, 1);
    EXPECT_EQ(sim.LastErrorText(), "-222, \"Data out of Range\"");
}

TEST_F(Band, NumberOfCarriersFallsBackToTen) {
    EXPECT_EQ(Run("CONF:NUMB:CARR 4"), Events{"cell 6A74=04"});
    EXPECT_EQ(Ask("CONF:NUMB:CARR?"), "4");
    int16_t result = 0;
    EXPECT_EQ(Run("CONF:NUMB:CARR 0", &result), Events{"cell 6A74=0A"});
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Ask("CONF:NUMB:CARR?"), "10");
}

TEST_F(Band, CarrierOffsetUnderItsThreeSpellings) {
    EXPECT_EQ(Run("CONF:CARR:OFFS -5"), Events{"cell 6A68=FB"});
    EXPECT_EQ(conf().CarrierOffset, -5);
    EXPECT_EQ(Run("CONF:PP:OFFS 3"), Events{"cell 6A68=03"});
    EXPECT_EQ(Run("CONF:FP:OFFS -22"), Events{"cell 6A68=EA"});
    int16_t result = 0;
    EXPECT_EQ(Run("CONF:CARR:OFFS -23", &result), Events{});
    EXPECT_EQ(result, 1);
    EXPECT_EQ(conf().CarrierOffset, -22);
    EXPECT_EQ(Run("CONF:CARR:OFFS 1;*IDN?", &result), Events{});  // a number must end the line
    EXPECT_EQ(conf().CarrierOffset, -22);
}

class Timing : public DetectedTester {};

TEST_F(Timing, OnlyARadioTestHasATimingOffset) {
    int16_t result = 1;
    Run("CONF:TEST:TYPE:RFGE 2");
    sim.ClearLogs();
    EXPECT_EQ(sim.Run("CONF:TIM:OFFS 5", &result), "INV");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(TesterEvents(sim), Events{});
    EXPECT_EQ(sim.LastErrorText(), "+0, \"No Error\"");
}

TEST_F(Timing, RangesOfThePpAndFpTests) {
    Run("CONF:TEST:TYPE DPP");
    EXPECT_EQ(Run("CONF:TIM:OFFS -12"), Events{"mail 6: 5D 50 F4"});
    EXPECT_EQ(Ask("CONF:TIM:OFFS?"), "-12");
    int16_t result = 0;
    EXPECT_EQ(Run("CONF:TIM:OFFS 13", &result), Events{});
    EXPECT_EQ(result, 1);
    Run("CONF:TEST:TYPE DFP");
    EXPECT_EQ(Run("CONF:TIM:OFFS 32"), Events{"mail 6: 5D 50 20"});
    EXPECT_EQ(Run("CONF:TIM:OFFS -33", &result), Events{});
    EXPECT_EQ(sim.LastErrorText(), "-222, \"Data out of Range\"");
    EXPECT_EQ(Run("CONF:TIM:OFFS ON", &result), Events{});
    EXPECT_EQ(sim.LastErrorText(), "-224, \"Parameter not allowed\"");
    EXPECT_EQ(Ask("CONF:TIM:OFFS?"), "32");
}

}  // namespace
}  // namespace tavrin::testing
