// The virtual tester's radio: the calibration it carries, and the configuration it takes over
// from the host's cells and mails, checked through real command lines.
#include <gtest/gtest.h>

#include <algorithm>

#include "SimLink.h"
#include "TesterCalibration.h"

namespace tavrin::testing {
namespace {

bool Logged(SimLink& sim, const std::string& part) {
    const auto& lines = sim.tester->LogLines();
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& l) { return l.find(part) != std::string::npos; });
}

TEST(RadioCalibration, InstalledInCellsAndEeprom) {
    for (uint8_t model = 10; model <= 13; ++model) {
        SimulationSettings settings;
        settings.modelCode = model;
        SimLink sim(settings);
        const sim::TesterCalibration want = sim::InstrumentCalibration(model);
        const sim::TesterCalibration got = sim::ReadCalibration(*sim.tester);
        EXPECT_EQ(got.pwrGain, want.pwrGain);
        EXPECT_EQ(got.rxOffset, want.rxOffset);
        EXPECT_EQ(got.generatorCarrier, want.generatorCarrier);
        EXPECT_EQ(got.deviationCorrections, want.deviationCorrections);
        EXPECT_EQ(sim.tester->Memory().ReadWord(0x6A77), static_cast<uint16_t>(want.pwrGain));
    }
}

TEST(RadioCalibration, ShapeOfARealInstrument) {
    const sim::TesterCalibration cal = sim::InstrumentCalibration(10);
    // Not flat: the carrier tables vary, and stay within a few dB.
    EXPECT_NE(*std::min_element(cal.generatorCarrier.begin(), cal.generatorCarrier.end()),
              *std::max_element(cal.generatorCarrier.begin(), cal.generatorCarrier.end()));
    for (int8_t v : cal.powerCarrier) EXPECT_LE(std::abs(v), 60);
    EXPECT_NE(cal.attenuatorA, 0xFF);
    EXPECT_NE(cal.attenuatorB, 0xFF);
    // The thresholds rise with the level, so the first one above a level is its correction.
    EXPECT_TRUE(std::is_sorted(cal.levelThresholds.begin(), cal.levelThresholds.end()));
    EXPECT_NE(cal.pwrGain, 100);
    EXPECT_NE(cal.rxGain, 5);
}

class Radio : public ::testing::Test {
protected:
    Radio() { sim.Run("*IDN?"); }
    sim::RadioConfig& radio() { return sim.tester->radio; }
    SimLink sim;
};

TEST_F(Radio, PpTestBearersAndIdentity) {
    sim.Run("CONF:PP:RFPI \"0012345678\"");
    sim.Run("CONF:PP:DUMM:CARR 6");
    sim.Run("CONF:TEST:TYPE DPP");
    sim.Run("CONF:PP:DUMM:SLOT 4");
    sim.Run("CONF:PP:TRAF:SLOT 8");
    sim.Run("CONF:PP:TRAF:CARR 3");
    EXPECT_EQ(radio().testType, 2u);
    EXPECT_EQ(radio().rfpi, (std::array<uint8_t, 5>{0x00, 0x12, 0x34, 0x56, 0x78}));
    EXPECT_EQ(radio().dummySlot, 4);
    EXPECT_EQ(radio().dummyCarrier, 6);
    EXPECT_EQ(radio().trafficSlot, 8);
    EXPECT_EQ(radio().trafficCarrier, 3);
    EXPECT_FALSE(radio().generatorOn);
}

TEST_F(Radio, FpTestUsesTheFpCells) {
    sim.Run("CONF:PP:TRAF:SLOT 2");
    sim.Run("CONF:TEST:TYPE DFP");
    sim.Run("CONF:FP:TRAF:SLOT 6");
    sim.Run("CONF:FP:TRAF:CARR 9");
    sim.Run("CONF:FP:SIGN:MODE ECHO");
    sim.Run("CONF:FP:PMID \"ABCDE\"");
    sim.Run("CONF:FP:ANT 3");
    EXPECT_EQ(radio().testType, 1u);
    EXPECT_EQ(radio().trafficSlot, 6);
    EXPECT_EQ(radio().trafficCarrier, 9);
    EXPECT_EQ(radio().signallingMode, 2);
    EXPECT_FALSE(radio().loopback);
    EXPECT_EQ(radio().ppTrafficSlot, 2);
    EXPECT_EQ(radio().pmid, (std::array<uint8_t, 3>{0x0A, 0xBC, 0xDE}));
    EXPECT_EQ(radio().fpAntenna, 3);
}

TEST_F(Radio, LevelAtTheConnectorIsTheHostsLevelPlusCableLoss) {
    sim.Run("CONF:TEST:TYPE DPP");
    sim.Run("CONF:PP:TRAF:CARR 4");
    for (const char* level : {"-73.5", "-50", "-65", "-99.9", "-40.0"}) {
        sim.Run((std::string("CONF:PP:RF:LEV ") + level).c_str());
        EXPECT_NEAR(radio().rfLevelDbm, std::stod(level), 1e-9) << level;
    }
    EXPECT_FALSE(radio().outputAttenuator);
    sim.Run("CONF:PP:RF:LEV -80");
    EXPECT_TRUE(radio().outputAttenuator);
    sim.link->conf.CableLoss = 50;
    sim.Run("CONF:PP:RF:LEV -70");
    EXPECT_NEAR(radio().rfLevelDbm, -65.0, 1e-9);
}

TEST_F(Radio, GeneratorLevelOnItsCarrierAndBand) {
    sim.Run("CONF:FP:RF:LEV -55.5");
    sim.Run("CONF:TEST:TYPE:RFGE 14");
    EXPECT_TRUE(radio().generatorOn);
    EXPECT_EQ(radio().rfgenCarrier, 14);
    EXPECT_NEAR(radio().rfLevelDbm, -55.5, 1e-9);
    sim.Run("CONF:CARR:OFFS -3");
    sim.Run("CONF:TEST:EXTF 1");
    sim.Run("CONF:RFGE:CARR 12");
    EXPECT_TRUE(radio().extendedBand);
    EXPECT_EQ(radio().carrierOffset, -3);
    EXPECT_NEAR(radio().rfLevelDbm, -55.5, 1e-9);
    sim.Run("CONF:FP:RF:LEV \"MIN\"");
    EXPECT_NEAR(radio().rfLevelDbm, -120.0, 1e-9);
    EXPECT_TRUE(radio().outputAttenuator);
}

TEST_F(Radio, PatternsSignallingAndOffsets) {
    sim.Run("CONF:BER:DATA PSRB");
    EXPECT_EQ(radio().berPattern, 0);
    sim.Run("CONF:RFGE:MOD BS33");
    EXPECT_EQ(radio().berPattern, 3);
    sim.Run("CONF:PP:SIGN:PRO OFF");
    EXPECT_FALSE(radio().signalling);
    sim.Run("CONF:PP:FREQ:OFFS M50K");
    EXPECT_EQ(radio().freqOffsetKhz, -50);
    sim.Run("CONF:SYNC:FREQ:REF E10M");
    EXPECT_TRUE(radio().externalReference);
    sim.Run("CONF:ATT:RX OFF");
    EXPECT_FALSE(radio().rxAttenuator);
    sim.Run("CONF:TEST:TYPE DPP");
    sim.Run("CONF:TIM:OFFS -7");
    EXPECT_EQ(radio().timingOffset, -7);
    sim.Run("CONF:BER:EVAL:WIND 4000");
    EXPECT_EQ(radio().berWindow, 4000);
    sim.Run("CONF:NUMB:CARR 5");
    EXPECT_EQ(radio().numberOfCarriers, 5);
    sim.Run("CONF:PP:TRAF:SIZE 40");
    EXPECT_EQ(radio().ppTrafficSize, 40);
    sim.Run("XYZ");
    EXPECT_TRUE(radio().errorLamp);
    sim.Run("*IDN?");
    EXPECT_FALSE(radio().errorLamp);
}

TEST_F(Radio, WhatItCannotKnowIsLogged) {
    sim.link->mail.SendMail(6, 0x5D, 0x77);
    EXPECT_TRUE(Logged(sim, "service mail 5D 77 not known"));
    sim.link->mail.SendMail(6, 0x5D);
    EXPECT_TRUE(Logged(sim, "service mail 5D without its code"));
    sim.link->mail.SendMail(6, 0xC1, 0x09);
    EXPECT_TRUE(Logged(sim, "pattern 9 not known"));
    sim.link->usb.TesterWrite(0x6A39, 40);
    EXPECT_TRUE(Logged(sim, "traffic slot 40 is not a slot here"));
    sim.link->service.ServiceMode = true;
    sim.Run("CONF:PP:RF:LEV 20");
    EXPECT_TRUE(Logged(sim, "outside the generator's range"));
    EXPECT_LE(radio().rfLevelDbm, 0.0);
}

}  // namespace
}  // namespace tavrin::testing
