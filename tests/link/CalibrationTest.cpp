// LoadCalibration on the virtual tester: its order and addresses, the values it takes, the
// attenuator fallback, the correction triples, and a tester that does not answer.
#include <gtest/gtest.h>

#include "ConfigEvents.h"
#include "TesterCalibration.h"

namespace tavrin::testing {
namespace {

struct EepromRead {
    uint16_t address;
    uint8_t count;
    bool operator==(const EepromRead&) const = default;
};

std::vector<EepromRead> EepromReads(SimLink& sim) {
    std::vector<EepromRead> reads;
    for (const auto& m : sim.tester->mails)
        if (m.cls == 2 && m.body.size() >= 6 && m.body[0] == 0x3C)
            reads.push_back({static_cast<uint16_t>(m.body[4] | (m.body[5] << 8)), m.body[3]});
    return reads;
}

TEST(Calibration, DefaultsBeforeAnyLoad) {
    SimLink sim;
    EXPECT_EQ(sim.link->cal.PwrGain, 100);
    EXPECT_EQ(sim.link->cal.RxGain, 5);
    EXPECT_EQ(sim.link->cal.PwrOffset, 0);
    EXPECT_FALSE(sim.link->cal.CalibrationLoaded);
}

TEST(Calibration, OrderAndAddresses) {
    SimLink sim;
    sim.Run("*IDN?");
    // The four detector cells first, as 2-byte block reads.
    std::vector<uint32_t> wordReads;
    for (const auto& r : sim.tester->requestLog) {
        if (r.kind == 2 && r.address == mailbox::kHostRingWrite) break;  // the first mail
        if (r.kind == 1 && r.value == 1 && r.address >= 0x6A75 && r.address <= 0x6A7C)
            wordReads.push_back(r.address);
    }
    EXPECT_EQ(wordReads, (std::vector<uint32_t>{0x6A75, 0x6A77, 0x6A79, 0x6A7B}));
    EXPECT_EQ(EepromReads(sim), (std::vector<EepromRead>{{0x0200, 25},
                                                         {0x025F, 25},
                                                         {0x0219, 25},
                                                         {0x0278, 25},
                                                         {0x0232, 25},
                                                         {0x0291, 25},
                                                         {0x031D, 1},
                                                         {0x03A0, 1},
                                                         {0x031E, 21},
                                                         {0x0333, 21},
                                                         {0x0348, 21},
                                                         {0x035D, 21},
                                                         {0x0372, 21},
                                                         {0x0387, 21}}));
    EXPECT_TRUE(sim.link->cal.CalibrationLoaded);
    sim.ClearLogs();
    sim.Run("*IDN?");
    EXPECT_TRUE(EepromReads(sim).empty());  // once per load
}

TEST(Calibration, TakesTheInstrumentsValues) {
    SimulationSettings settings;
    settings.modelCode = 12;
    SimLink sim(settings);
    sim.Run("*IDN?");
    const sim::TesterCalibration want = sim::InstrumentCalibration(12);
    const Calibration& got = sim.link->cal;
    EXPECT_EQ(got.PwrOffset, want.pwrOffset);
    EXPECT_EQ(got.PwrGain, want.pwrGain);
    EXPECT_EQ(got.RxOffset, want.rxOffset);
    EXPECT_EQ(got.RxGain, want.rxGain);
    for (size_t i = 0; i < 75; ++i) {
        EXPECT_EQ(got.PowerCarrierTable[i], want.powerCarrier[i]) << i;
        EXPECT_EQ(got.GeneratorCarrierTable[i], want.generatorCarrier[i]) << i;
    }
    EXPECT_EQ(got.AttenuatorByteA, want.attenuatorA);
    EXPECT_EQ(got.AttenuatorByteB, want.attenuatorB);
    for (size_t t = 0; t < 41; ++t) {
        EXPECT_EQ(got.LevelThresholds[t], want.levelThresholds[t]) << t;
        EXPECT_EQ(got.DeviationCorrections[t], want.deviationCorrections[t]) << t;
    }
}

TEST(Calibration, NegativeDetectorConstantsStaySigned) {
    SimLink sim;
    sim.tester->Memory().WriteWord(0x6A75, static_cast<uint16_t>(-321));
    sim.tester->Memory().WriteWord(0x6A7B, static_cast<uint16_t>(-7));
    sim.Run("*IDN?");
    EXPECT_EQ(sim.link->cal.PwrOffset, -321);
    EXPECT_EQ(sim.link->cal.RxGain, -7);
}

TEST(Calibration, SecondAttenuatorFallsBackToTheFirst) {
    SimLink sim;
    sim.tester->Eeprom()[0x031D] = 0x12;
    sim.tester->Eeprom()[0x03A0] = 0xFF;
    sim.Run("*IDN?");
    EXPECT_EQ(sim.link->cal.AttenuatorByteA, 0x12);
    EXPECT_EQ(sim.link->cal.AttenuatorByteB, 0x12);
}

TEST(Calibration, TriplesFillAllFortyOneEntries) {
    SimLink sim;
    auto& eeprom = sim.tester->Eeprom();
    for (int t = 0; t < 42; ++t) {  // one triple more than the table holds
        eeprom[0x031E + 3 * t] = static_cast<uint8_t>(t);
        eeprom[0x031E + 3 * t + 1] = static_cast<uint8_t>(0x10 + t);
        eeprom[0x031E + 3 * t + 2] = 0x80;
    }
    sim.Run("*IDN?");
    const Calibration& cal = sim.link->cal;
    // The fourth pass reads 0x035D and fills entries 21 to 27.
    for (int t = 21; t <= 27; ++t) {
        EXPECT_EQ(cal.LevelThresholds[t], t);
        EXPECT_EQ(cal.DeviationCorrections[t], static_cast<int16_t>(0x8010 + t));
    }
    EXPECT_EQ(cal.LevelThresholds[40], 40);
    EXPECT_EQ(cal.DeviationCorrections[40], static_cast<int16_t>(0x8010 + 40));
}

TEST(Calibration, MissingAnswersKeepTheTablesUntilTheNextLoad) {
    SimLink sim;
    sim.tester->faults.loseReplies = true;
    const uint32_t before = sim.clock.nowMs();
    sim.Run("*IDN?");
    const Calibration& cal = sim.link->cal;
    EXPECT_FALSE(cal.CalibrationLoaded);
    EXPECT_EQ(sim.link->errors.LastError, kTimeOutError);
    // Nothing of the request bytes ended up in the tables.
    for (size_t i = 0; i < 75; ++i) ASSERT_EQ(cal.GeneratorCarrierTable[i], 0) << i;
    EXPECT_EQ(cal.AttenuatorByteA, 0);
    EXPECT_EQ(cal.LevelThresholds[0], 0);
    // The detector cells need no mail and were read.
    EXPECT_EQ(cal.PwrGain, sim::InstrumentCalibration(10).pwrGain);
    // The first read polls 50 times with a 2-tick wait, and the load ends there.
    EXPECT_LT(sim.clock.nowMs() - before, 2000u);
    size_t requests = 0;
    for (const auto& m : sim.tester->mails) requests += (m.cls == 2 && m.body[0] == 0x3C);
    EXPECT_EQ(requests, 1u);

    // Every line tries again, at the cost of one transaction, until the answers come.
    const uint32_t second = sim.clock.nowMs();
    sim.Run("*IDN?");
    EXPECT_FALSE(cal.CalibrationLoaded);
    EXPECT_LT(sim.clock.nowMs() - second, 2000u);
    sim.tester->faults.loseReplies = false;
    sim.Run("*IDN?");
    EXPECT_TRUE(cal.CalibrationLoaded);
    EXPECT_EQ(cal.AttenuatorByteA, sim::InstrumentCalibration(10).attenuatorA);

    // A port choice makes the next line detect the tester and load again.
    sim.Run("CONF:COMM:PORT USB");
    sim.Run("*IDN?");
    EXPECT_TRUE(cal.CalibrationLoaded);
}

TEST(Calibration, NotLoadedWithoutATester) {
    SimLink sim(SimulationSettings{}, false);
    sim.Run("*IDN?");
    EXPECT_FALSE(sim.link->hw.HardwareDetected);
    EXPECT_FALSE(sim.link->cal.CalibrationLoaded);
    EXPECT_EQ(sim.link->cal.PwrGain, 100);
}

}  // namespace
}  // namespace tavrin::testing
