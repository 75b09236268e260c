// Signalling, frequency, attenuator, patterns, windows and the host-side measurement
// settings: a table of lines with the traffic they cause and the count ZelkWrt returns, then
// the queries and the state the failing lines leave.
#include <gtest/gtest.h>

#include "ConfigEvents.h"

namespace tavrin::testing {
namespace {

struct LineCase {
    const char* line;
    Events events;
    int16_t result;
};

class Settings : public DetectedTester, public ::testing::WithParamInterface<LineCase> {};

TEST_P(Settings, TrafficAndResult) {
    const LineCase& c = GetParam();
    int16_t result = -1;
    EXPECT_EQ(Run(c.line, &result), c.events) << c.line;
    EXPECT_EQ(result, c.result) << c.line;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, Settings,
    ::testing::Values(
        LineCase{"CONF:PP:SIGN:MODE NORM", {"cell 6A3A=01"}, 0},
        LineCase{"CONF:PP:SIGN:MODE LOOP", {"cell 6A3A=00"}, 0},
        LineCase{"CONF:PP:SIGN:MODE ECHO", {"cell 6A3A=02"}, 0},
        LineCase{"CONF:PP:SIGN:MODE ON", {"cell 6A3A=00"}, 1},
        LineCase{"CONF:FP:SIGN:MODE ECH", {"cell 6A2C=02"}, 0},
        LineCase{"CONF:FP:SIGN:MODE", {"cell 6A2C=00"}, 1},
        LineCase{"CONF:PP:SIGN:PRO OFF", {"mail 6: 5D 14"}, 0},
        LineCase{"CONF:FP:SIGN:PRO ON", {"mail 6: 5D 15"}, 0},
        LineCase{"CONF:PP:SIGN:PRO NORM", {}, 1},
        LineCase{"CONF:PP:FREQ:OFFS NORM", {"mail 6: 5D 20"}, 0},
        LineCase{"CONF:FP:FREQ:OFFS P50K", {"mail 6: 5D 21"}, 0},
        LineCase{"CONF:PP:FREQ:OFFS M50K", {"mail 6: 5D 22"}, 0},
        LineCase{"CONF:PP:FREQ:OFFS NORM P50K", {}, 1},
        LineCase{"CONF:ATT:RX OFF", {"mail 6: 5D 33"}, 0},
        LineCase{"CONF:ATT:RX ON", {"mail 6: 5D 32"}, 0},
        LineCase{"CONF:ATT:RX 1", {}, 1},
        LineCase{"CONF:SYNC:FREQ:REF I10M", {"mail 6: 5D 10"}, 0},
        LineCase{"CONF:SYNC:FREQ:REF E10M", {"mail 6: 5D 11"}, 0},
        LineCase{"CONF:SYNC:FREQ:REF EXT", {}, 1},
        LineCase{"CONF:SYNC:PORT MAST", {}, 0},
        LineCase{"CONF:SYNC:PORT", {}, 1},
        LineCase{"CONF:RFGE:MOD BS33", {"mail 6: C1 03", "mail 6: 5D 06"}, 0},
        LineCase{"CONF:RFGE:MOD OFF", {"mail 6: C1 06", "mail 6: 5D 06"}, 0},
        LineCase{"CONF:RFGE:MOD PSRB", {"mail 6: C1 00", "mail 6: 5D 06"}, 0},
        LineCase{"CONF:RFGE:MOD PATTERN", {}, 1},
        LineCase{"CONF:BER:DATA PSRB", {"mail 6: C1 00"}, 0},
        LineCase{"CONF:BER:DATA SPSR", {"mail 6: C1 01"}, 0},
        LineCase{"CONF:BER:DATA FIG31", {"mail 6: C1 05"}, 0},
        LineCase{"CONF:MOD:DATA BS20", {"mail 6: C1 07"}, 0},
        LineCase{"CONF:BER:DEL BS0F", {"mail 6: C1 04"}, 0},
        LineCase{"CONF:MOD:DEL ON", {"mail 6: C1 00"}, 0},
        LineCase{"CONF:BER:DATA", {}, 1},
        LineCase{"CONF:BER:EVAL:WIND 1000", {"cell 6A42=E8", "cell 6A43=03"}, 0},
        LineCase{"CONF:BER:EVAL:WIND 65535", {"cell 6A42=FF", "cell 6A43=FF"}, 0},
        LineCase{"CONF:BER:EVAL:WIND 65536", {}, 1},
        LineCase{"CONF:BER:EVAL:WIND MAX", {}, 1},
        LineCase{"CONF:JITT:EVAL:WIND 500",
                 {"cell 6A69=7F", "cell 6A6A=80", "cell 6A6B=00", "cell 6A6C=00", "cell 6A6D=00",
                  "cell 6A6E=00"},
                 0},
        LineCase{"CONF:PACK:EVAL:WIND 100001", {}, 1},
        LineCase{"CONF:AVER:BURS 200", {}, 0},
        LineCase{"CONF:AVER:BURS 300", {}, 1},
        LineCase{"CONF:AVER:BURS 3X", {}, 1},
        LineCase{"CONF:POW:DYN:RANG HIGH", {}, 0},
        LineCase{"CONF:POW:DYN:RANG MID", {}, 1},
        LineCase{"CONF:POW:PACK PP64Z", {}, 0},
        LineCase{"CONF:LIM P80Z", {}, 0},
        LineCase{"CONF:POW:PACK P16", {}, 1},
        LineCase{"CONF:MOD:DRIF:UNIT SLOT", {}, 0},
        LineCase{"CONF:MOD:DRIF:UNIT US", {}, 1},
        LineCase{"CONF:TIM:AVER:BURS -77", {}, 0},
        LineCase{"CONF:FIRM:BURS 5", {}, 0},
        LineCase{"CONF:POW:ALTX:RANG x", {}, 1},
        LineCase{"CONF:SAMP:MODE CTRL", {}, 0},
        LineCase{"CONF:SAMPLE:MODE FAST", {}, 1}));

class SettingsKept : public DetectedTester {};

TEST_F(SettingsKept, SignallingQueriesAndFlags) {
    EXPECT_EQ(Ask("CONF:PP:SIGN:PRO?"), "ON");
    Run("CONF:FP:SIGN:PRO OFF");
    EXPECT_EQ(Ask("CONF:PP:SIGN:PRO?"), "OFF");
    Run("CONF:PP:SIGN:MODE ECHO");
    EXPECT_FALSE(conf().LoopbackMode);
    Run("CONF:PP:SIGN:MODE ON");
    EXPECT_FALSE(conf().LoopbackMode);  // a refused word leaves the flag
    Run("CONF:PP:SIGN:MODE LOOP");
    EXPECT_TRUE(conf().LoopbackMode);
}

TEST_F(SettingsKept, GeneratorRefusesTheProtocolAndUsesItsAttenuatorMails) {
    Run("CONF:TEST:TYPE:RFGE 0");
    int16_t result = 0;
    EXPECT_EQ(Run("CONF:PP:SIGN:PRO OFF", &result), Events{});
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Ask("CONF:PP:SIGN:PRO?"), "ON");
    EXPECT_EQ(Run("CONF:ATT:RX ON"), Events{"mail 6: 5D 30"});
    EXPECT_EQ(Ask("CONF:ATT:RX?"), "ON");
    EXPECT_EQ(Run("CONF:ATT:RX OFF"), Events{"mail 6: 5D 31"});
    EXPECT_EQ(Ask("CONF:ATT:RX?"), "OFF");
}

TEST_F(SettingsKept, PatternQueriesAnswerTheKeptWord) {
    EXPECT_EQ(Ask("CONF:RFGE:MOD?"), "BS55");
    EXPECT_EQ(Ask("CONF:BER:DATA?"), "FIG31");
    Run("CONF:RFGE:MOD BS0F");
    EXPECT_EQ(Ask("CONF:RFGE:MOD?"), "BS0F");
    Run("CONF:RFGE:MOD PSRB");  // pattern 0 for a word of no modulation: no answer then
    EXPECT_EQ(Ask("CONF:RFGE:MOD?"), "");
    Run("CONF:MOD:DEL BS20");
    EXPECT_EQ(Ask("CONF:BER:DATA?"), "BS20");
    EXPECT_EQ(Ask("CONF:MOD:DATA?"), "BS20");
    Run("CONF:BER:DATA");
    EXPECT_EQ(Ask("CONF:BER:DATA?"), "BS20");
}

TEST_F(SettingsKept, WindowsAndAveraging) {
    EXPECT_EQ(Ask("CONF:BER:EVAL:WIND?"), "100");
    Run("CONF:BER:EVAL:WIND 65536");
    EXPECT_EQ(Ask("CONF:BER:EVAL:WIND?"), "100");
    Run("CONF:PACK:EVAL:WIND 1234");
    EXPECT_EQ(conf().PackWindow, 1234u);
    sim.link->meas.Power.Push(3.0f, 1);
    Run("CONF:AVER:BURS 300");
    EXPECT_EQ(sim.link->meas.Power.count, 1);  // a refused count keeps the histories
    Run("CONF:AVER:BURS 20");
    EXPECT_EQ(Ask("CONF:AVER:BURS?"), "20");
    EXPECT_EQ(sim.link->meas.Power.count, 0);
}

TEST_F(SettingsKept, HostSideMeasurementSettings) {
    EXPECT_EQ(Ask("CONF:SAMP:MODE?"), "AUTO");
    Run("CONF:SAMP:MODE CTRL");
    EXPECT_EQ(Ask("CONF:SAMP:MODE?"), "CTRL");
    Run("CONF:POW:DYN:RANG HIGH");
    EXPECT_TRUE(conf().PowerRangeHigh);
    Run("CONF:POW:DYN:RANG LOW");
    EXPECT_FALSE(conf().PowerRangeHigh);
    const std::pair<const char*, int> packets[] = {{"P32", 1},  {"P32Z", 2}, {"PP32Z", 3},
                                                   {"P64", 4},  {"P64Z", 5}, {"PP64Z", 6},
                                                   {"P80Z", 7}};
    for (const auto& [word, type] : packets) {
        Run(("CONF:POW:PACK " + std::string(word)).c_str());
        EXPECT_EQ(conf().PacketType, type) << word;
    }
    // Parameter words are ORed: P32 and P64 make PP64Z, P32 and M50K make no packet type.
    Run("CONF:POW:PACK P32 P64");
    EXPECT_EQ(conf().PacketType, 6);
    int16_t result = 0;
    Run("CONF:POW:PACK P32 M50K", &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(conf().PacketType, 6);
    Run("CONF:MOD:DRIF:UNIT SLOT");
    EXPECT_TRUE(conf().DriftPerSlot);
    Run("CONF:MOD:DRIF:UNIT MS");
    EXPECT_FALSE(conf().DriftPerSlot);
}

}  // namespace
}  // namespace tavrin::testing
