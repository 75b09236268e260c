// The measurement queries on crafted stores and cells: their arithmetic and formats, the
// "INV" cases, gating, the frequency reference, the restarts and the mended divisions.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "MeasurementRig.h"

namespace tavrin::testing {
namespace {

// Calls back on every request the tester carries out, with its time.
class Script final : public sim::SimComponent {
public:
    explicit Script(std::function<void(sim::VirtualTester&, uint64_t)> f) : step(std::move(f)) {}
    void Advance(sim::VirtualTester& t, uint64_t nowUs) override { step(t, nowUs); }
    std::function<void(sim::VirtualTester&, uint64_t)> step;
};

class QueryTest : public ::testing::Test {
protected:
    void SetUp() override {
        Link& l = L();
        // Detected and calibrated: a gain of 50 makes a stored frequency -v read as v.
        l.hw.HardwareDetected = true;
        l.hw.Model = 10;
        l.cal = Calibration{};
        l.cal.RxGain = 50;
        l.cal.CalibrationLoaded = true;
        l.conf.CommPort = code::CommPortUsb;
        l.conf.LinkOpen = true;
        l.conf.TestType = code::DPP;
        // CTRL mode with one burst: the queries work on the store as it is.
        l.conf.SampleModeCtrl = true;
        l.capture.CaptureBurstSize = 40;
        Memory().Write(0x6A17, 1);
        Memory().Write(0x6A2D, 2);
    }
    Link& L() { return *sim.link; }
    sim::SimMemory& Memory() { return sim.tester->Memory(); }
    void SetFrequency(int index, int value) {
        L().capture.SampleStore[static_cast<size_t>(index)].Frequency =
            static_cast<int16_t>(-value);
    }
    int Triggers() const {
        int n = 0;
        for (const auto& w : sim.tester->cellWrites) n += w.first == 0x6A5F && w.second == 1;
        return n;
    }
    std::string Run(const char* line) { return sim.Run(line); }

    BareTester sim;
};

TEST_F(QueryTest, WithoutLinkEveryLinkQueryAnswersInvAndRecordsNothing) {
    Memory().Write(0x6A17, 0);
    L().meas.FreqRefValid = true;
    for (const char* q :
         {"READ:NTP?",       "FETC:NTP?",       "READ:FREQ:OFFS?",    "READ:BF?",
          "READ:SF?",        "READ:FREQ:DRIF?", "READ:FREQ:DRIF:MS?", "READ:FREQ:ACC?",
          "READ:SLOT:SIZE?", "READ:XZF:MATC?",  "READ:CRC?",          "READ:BER?",
          "READ:BER:NOW?",   "READ:BER:LTER?",  "FETC:BER:LTER?",     "READ:PACK:DEL?",
          "FETC:PACK:DEL?",  "READ:JITT?",      "FETC:JITT?",         "READ:MEAS:ALTX?",
          "READ:TIME:ACC?"}) {
        int16_t result = -1;
        EXPECT_EQ(sim.Run(q, &result), "INV") << q;
        EXPECT_EQ(result, 0) << q;
    }
    EXPECT_FALSE(L().meas.FreqRefValid);
    EXPECT_EQ(Triggers(), 0);
}

TEST_F(QueryTest, DriftRunsWithoutLinkInPacketModeSeven) {
    Memory().Write(0x6A17, 0);
    Memory().Write(0x6A2D, 7);
    EXPECT_NE(Run("READ:FREQ:ACC?"), "INV");
    Memory().Write(0x6A17, 1);
    Memory().Write(0x6A2D, 4);  // link, but not a drift packet mode
    EXPECT_EQ(Run("READ:FREQ:ACC?"), "INV");
    Memory().Write(0x6A2D, 5);
    EXPECT_NE(Run("READ:FREQ:ACC?"), "INV");
}

TEST_F(QueryTest, AutoModeForcesOneSamplePerBurst) {
    L().conf.SampleModeCtrl = false;
    Memory().Write(0x6A5F, 0);  // a capture that completes at once (nothing in the planes)
    Run("READ:NTP?");
    EXPECT_EQ(Triggers(), 1);
    L().conf.AverageBursts = 3;
    sim.ClearLogs();
    Run("READ:NTP?");
    EXPECT_EQ(Triggers(), 3);
}

TEST_F(QueryTest, CtrlModeUsesTheLastSampleForTheFirstBurst) {
    L().capture.AveragePower = 237;
    EXPECT_EQ(Run("READ:NTP?"), "23.7");
    EXPECT_EQ(Triggers(), 0);
    // With three bursts the second and third capture (the history is then partly filled).
    L().conf.AverageBursts = 3;
    Run("READ:NTP?");
    EXPECT_EQ(Triggers(), 2);
}

TEST_F(QueryTest, FrequencyOffsetIsTheBFieldMeanAndBecomesTheReference) {
    for (int i = 0; i < 2880; ++i) SetFrequency(1314 + i, i < 1440 ? 130 : 110);
    SetFrequency(1313, 5000);  // outside the window
    EXPECT_EQ(Run("READ:FREQ:OFFS?"), "12000");
    EXPECT_TRUE(L().meas.FreqRefValid);
    EXPECT_FLOAT_EQ(L().meas.FreqRef, 12000.0f);
    // Model 12 subtracts its correction of the captured carrier (-6341 at carrier 1).
    L().hw.Model = 12;
    L().capture.CaptureCarrier = 1;
    EXPECT_EQ(Run("READ:FREQ:OFFS?"), "18341");
    // A carrier beyond the correction table has none.
    L().capture.CaptureCarrier = 200;
    EXPECT_EQ(Run("FETC:FREQ:OFFS?"), "12000");
}

TEST_F(QueryTest, IntegerMeanTruncatesBeforeScaling) {
    // 2879 samples of 0 and one of 2879: the mean 0.9997 truncates to 0.
    SetFrequency(1314, 2879);
    EXPECT_EQ(Run("READ:FREQ:OFFS?"), "0");
    // The long burst takes 5760 samples.
    L().capture.CaptureBurstSize = 80;
    for (int i = 0; i < 5760; ++i) SetFrequency(1314 + i, 3);
    SetFrequency(1314 + 5760, 5000);
    EXPECT_EQ(Run("READ:FREQ:OFFS?"), "300");
}

TEST_F(QueryTest, BFieldExtremesLessTheReference) {
    SetFrequency(1314 + 5, 9000);  // before the window (P starts at 9)
    SetFrequency(1314 + 9, 3300);
    SetFrequency(1314 + 2879, -3200);
    SetFrequency(1314 + 2880, -9000);  // after it
    L().meas.FreqRefValid = true;
    L().meas.FreqRef = 1000.0f;
    EXPECT_EQ(Run("READ:BF?"), "329000,-321000");
    EXPECT_EQ(Run("READ:SCAL:BF?"), "329000,-321000");
}

TEST_F(QueryTest, FrequencyReferenceIsTakenWhenTheLastCaptureInvalidatedIt) {
    SetFrequency(1314 + 100, 10);
    L().meas.FreqRefValid = false;
    // Loopback, packet mode 2: the offset history's average, here empty: 0.
    L().meas.FreqOffset.Empty();
    EXPECT_EQ(Run("READ:BF?"), "1000,0");
    // Mode 4 pushes one offset burst first; its mean is 10 / 2880 = 0.
    L().meas.FreqRefValid = false;
    for (int i = 0; i < 2880; ++i) SetFrequency(1314 + i, 2);
    Memory().Write(0x6A2D, 4);
    EXPECT_EQ(Run("READ:BF?"), "0,0");
    EXPECT_FLOAT_EQ(L().meas.FreqRef, 200.0f);
    // Without loopback the reference is 0.
    L().meas.FreqRefValid = false;
    L().conf.LoopbackMode = false;
    EXPECT_EQ(Run("READ:BF?"), "200,200");
}

TEST_F(QueryTest, BFieldPacketModeFiveTracksTheBlocks) {
    Memory().Write(0x6A2D, 5);
    L().meas.FreqRefValid = true;
    SetFrequency(2475 + 557, 40);
    SetFrequency(3051, -30);
    SetFrequency(3627, 90);  // a long-burst block
    EXPECT_EQ(Run("READ:BF?"), "4000,-3000");
    L().capture.CaptureBurstSize = 80;
    EXPECT_EQ(Run("READ:BF?"), "9000,-3000");
}

TEST_F(QueryTest, BFieldModelTwelveMeansItsWindows) {
    L().hw.Model = 12;
    Memory().Write(0x6A2D, 5);
    Memory().WriteWord(0x6A63, 40);
    L().meas.FreqRefValid = true;
    for (int i = 0; i < 540; ++i) {
        SetFrequency(2475 + i, 7);
        SetFrequency(3051 + i, -5);
    }
    EXPECT_EQ(Run("READ:BF?"), "700,-500");
    // It takes one burst more than the average: in CTRL mode with 2 bursts that is one capture.
    L().conf.AverageBursts = 2;
    Memory().Write(0x6A5F, 0);
    sim.ClearLogs();
    Run("READ:BF?");
    EXPECT_EQ(Triggers(), 1);
}

TEST_F(QueryTest, SFieldExtremesOfThePreamble) {
    SetFrequency(458, 9000);
    SetFrequency(459, 3100);
    SetFrequency(584, -3000);
    SetFrequency(585, -9000);
    L().meas.FreqRefValid = true;
    L().meas.FreqRef = -500.0f;
    EXPECT_EQ(Run("READ:SF?"), "310500,-299500");
}

TEST_F(QueryTest, GeneratorDeviation) {
    L().conf.TestType = code::RFGE;
    Memory().Write(0x6A17, 0);  // the generator needs no link
    // A flat trace is unmodulated: 0, where the group means would divide by zero.
    for (int i = 0; i < 144; ++i) SetFrequency(66 + i, 50);
    EXPECT_EQ(Run("READ:BF?"), "0");
    // A two-level trace has nothing beyond its group means: all magnitudes count.
    for (int i = 0; i < 144; ++i) SetFrequency(66 + i, i % 2 ? 30 : -30);
    EXPECT_EQ(Run("READ:SF?"), "3000");
    // Peaks of 30 between shoulders of 10: hi 20, lo -20, the peaks are beyond.
    for (int i = 0; i < 144; ++i)
        SetFrequency(66 + i, (i % 4 == 0 ? 30 : 10) * (i % 8 < 4 ? 1 : -1));
    EXPECT_EQ(Run("READ:BF?"), "3000");
}

TEST_F(QueryTest, DriftAccuracyAndPerMillisecond) {
    for (int i = 0; i < 126; ++i) {
        SetFrequency(459 + i, 10);
        SetFrequency(4059 + i, 16);
    }
    EXPECT_EQ(Run("READ:FREQ:ACC?"), "600");
    EXPECT_EQ(Run("READ:FREQ:DRIF:MS?"), "1737");  // 6 x 1036800 / 3582
    EXPECT_EQ(Run("READ:FREQ:DRIF?"), "1737");
    L().conf.DriftPerSlot = true;
    EXPECT_EQ(Run("READ:FREQ:DRIF?"), "600");
    // The long burst moves the end window by 9 x 320 and scales by 6462.
    L().capture.CaptureBurstSize = 80;
    for (int i = 0; i < 126; ++i) SetFrequency(4059 + 2880 + i, 16);
    EXPECT_EQ(Run("READ:FREQ:DRIF:MS?"), "963");
}

TEST_F(QueryTest, DriftDividesTruncating) {
    for (int i = 0; i < 126; ++i) SetFrequency(459 + i, 0);
    SetFrequency(4059, -251);  // -251 / 126 = -1.99 -> -1
    EXPECT_EQ(Run("READ:FREQ:ACC?"), "-100");
}

TEST_F(QueryTest, BitAndFrameErrorRates) {
    Memory().WriteWord(0x6A63, 40);
    Memory().WriteWord(0x6A4E, 100);
    Memory().WriteLong(0x6A50, 0);
    Memory().WriteLong(0x6A54, 100);
    EXPECT_EQ(Run("READ:BER?"), "0.00000000,100.000000");
    Memory().WriteWord(0x6A4E, 1000);
    Memory().WriteLong(0x6A50, 64);
    Memory().WriteLong(0x6A54, 200);
    EXPECT_EQ(Run("READ:BER?"), "0.00025000,20.000000");  // 64 / (320 x 800)
    EXPECT_EQ(Run("FETC:BER:LTER?"), "0.00025000,20.000000");
    EXPECT_EQ(Run("FETC:SCAL:LTER?"), "0.00025000,20.000000");
    Memory().WriteWord(0x6A4E, 0);
    EXPECT_EQ(Run("READ:BER?"), "INV");
    EXPECT_EQ(Run("FETC:BER:LTER?"), "INV");
}

TEST_F(QueryTest, RatesWithoutBurstSizeAnswerInvInsteadOfDividingByZero) {
    Memory().WriteWord(0x6A63, 0);
    Memory().WriteWord(0x6A4E, 1000);
    Memory().WriteLong(0x6A50, 64);
    Memory().WriteWord(0x6A44, 10);
    EXPECT_EQ(Run("READ:BER?"), "INV");
    EXPECT_EQ(Run("FETC:BER:LTER?"), "INV");
    EXPECT_EQ(Run("READ:BER:NOW?"), "INV");
    EXPECT_EQ(Run("READ:BER:LTER?"), "INV");
}

TEST_F(QueryTest, RunningRate) {
    Memory().WriteWord(0x6A63, 40);
    Memory().WriteWord(0x6A44, 100);
    Memory().WriteLong(0x6A46, 32);
    Memory().WriteLong(0x6A4A, 20);
    EXPECT_EQ(Run("READ:BER:NOW?"), "0.00125000,20.000000,100");  // 32 / (320 x 80)
    Memory().WriteLong(0x6A4A, 100);
    EXPECT_EQ(Run("READ:BER:NOW?"), "0.00000000,100.000000,100");
}

TEST_F(QueryTest, LongTermRestartClearsTheCountersAndWaitsForFrames) {
    Memory().WriteWord(0x6A63, 40);
    Memory().WriteWord(0x6A42, 100);
    Memory().WriteWord(0x6A4E, 999);
    uint64_t clearedAt = 0;
    sim.tester->AddComponent(std::make_unique<Script>([&](sim::VirtualTester& t, uint64_t now) {
        if (clearedAt == 0 && t.Memory().ReadWord(0x6A4E) == 0 && t.Memory().ReadWord(0x6A44) == 0)
            clearedAt = now;
        if (clearedAt == 0) return;
        // Frames counted from 30 ms after the restart, complete after 300 ms.
        if (now > clearedAt + 30000) t.Memory().WriteWord(0x6A44, 1);
        if (now > clearedAt + 300000 && t.Memory().ReadWord(0x6A4E) == 0) {
            t.Memory().WriteWord(0x6A4E, 500);
            t.Memory().WriteLong(0x6A50, 16);
            t.Memory().WriteLong(0x6A54, 0);
        }
    }));
    sim.ClearLogs();
    EXPECT_EQ(Run("READ:BER:LTER?"), "0.00010000,0.000000");  // 16 / (320 x 500)
    // The twelve counter bytes were cleared in their order.
    std::vector<uint32_t> cleared;
    for (const auto& w : sim.tester->cellWrites)
        if (w.second == 0 && w.first >= 0x6A44 && w.first <= 0x6A4F) cleared.push_back(w.first);
    const std::vector<uint32_t> order = {0x6A46, 0x6A47, 0x6A48, 0x6A49, 0x6A4A, 0x6A4B,
                                         0x6A4C, 0x6A4D, 0x6A44, 0x6A45, 0x6A4E, 0x6A4F};
    EXPECT_EQ(cleared, order);
}

TEST_F(QueryTest, LongTermRestartWithoutFramesGivesNoAnswer) {
    Memory().WriteWord(0x6A63, 40);
    Memory().WriteWord(0x6A42, 20);
    const uint64_t start = sim.clock.nowUs();
    int16_t result = -1;
    EXPECT_EQ(sim.Run("READ:BER:LTER?", &result), "");
    EXPECT_EQ(result, 0);
    // Nothing counts running frames either, so it does not wait beyond the five ticks.
    EXPECT_LT(sim.clock.nowUs() - start, 200000u);
}

TEST_F(QueryTest, PacketDelayAndJitter) {
    Memory().Write(0x6A67, static_cast<uint8_t>(-10));
    Memory().Write(0x6A69, 20);
    Memory().Write(0x6A6A, 104);
    EXPECT_EQ(Run("FETC:PACK:DEL?"), "0.96,-1.93,-10.03");
    EXPECT_EQ(Run("FETC:MEAS:DEL?"), "0.96,-1.93,-10.03");
    Memory().Write(0x6A6B, 5);
    Memory().Write(0x6A6C, static_cast<uint8_t>(-20));
    EXPECT_EQ(Run("FETC:JITT?"), "1.9,-0.5");
    EXPECT_EQ(Run("FETC:MEAS?"), "1.9,-0.5");
    // A zero cell reads as 0, without the sign the negative scale would give it.
    Memory().Write(0x6A67, 0);
    Memory().Write(0x6A6B, 0);
    EXPECT_EQ(Run("FETC:PACK:DEL?"), "0.00,-1.93,-10.03");
    EXPECT_EQ(Run("FETC:JITT?"), "1.9,0.0");
}

TEST_F(QueryTest, DelayRestartWithoutPacketsAnswersInv) {
    sim.ClearLogs();
    EXPECT_EQ(Run("READ:PACK:DEL?"), "INV");
    std::vector<std::pair<uint32_t, uint8_t>> restart(sim.tester->cellWrites.begin(),
                                                      sim.tester->cellWrites.begin() + 4);
    const std::vector<std::pair<uint32_t, uint8_t>> expected = {
        {0x6A69, 127}, {0x6A6A, 128}, {0x6A6D, 0}, {0x6A6E, 0}};
    EXPECT_EQ(restart, expected);
    EXPECT_EQ(Run("READ:JITT?"), "INV");
}

TEST_F(QueryTest, DelayRestartWaitsUntilTheWindowIsFull) {
    L().conf.PackWindow = 20;
    uint64_t restartAt = 0;
    sim.tester->AddComponent(std::make_unique<Script>([&](sim::VirtualTester& t, uint64_t now) {
        if (restartAt == 0 && t.Memory().Read(0x6A69) == 127) restartAt = now;
        if (restartAt == 0) return;
        // One packet a frame after the restart; the delay cells settle to their values.
        t.Memory().WriteWord(0x6A6D, static_cast<uint16_t>((now - restartAt) / 10000));
        t.Memory().Write(0x6A67, 10);
        t.Memory().Write(0x6A69, 11);
        t.Memory().Write(0x6A6A, 12);
        t.Memory().Write(0x6A6B, 13);
        t.Memory().Write(0x6A6C, 14);
    }));
    EXPECT_EQ(Run("READ:MEAS:DEL?"), "-0.96,-1.06,-1.16");
    EXPECT_GE(sim.tester->Memory().ReadWord(0x6A6D), 20);
    restartAt = 0;
    sim.tester->Memory().Write(0x6A69, 127);
    EXPECT_EQ(Run("READ:JITT?"), "-1.4,-1.3");
    // A window the packets never fill runs out: 20 + 500 tick waits, then "INV".
    L().conf.PackWindow = 60000;
    restartAt = 0;
    const uint64_t start = sim.clock.nowUs();
    EXPECT_EQ(Run("READ:MEAS?"), "INV");
    EXPECT_LT(sim.clock.nowUs() - start, (60000u + 600u) * 10000u);
}

TEST_F(QueryTest, TimingAccuracyNeedsSynchronisation) {
    Memory().WriteWord(0x6A65, static_cast<uint16_t>(-1037));
    Memory().Write(0x6A16, 0);
    EXPECT_EQ(Run("READ:TIME:ACC?"), "INV");
    Memory().Write(0x6A16, 1);
    EXPECT_EQ(Run("READ:TIME:ACC?"), "100.02");
    EXPECT_EQ(Run("FETC:SCAL:TIME:ACC?"), "100.02");
}

TEST_F(QueryTest, SlotSizeCrcAndMatch) {
    Memory().WriteWord(0x6A63, 80);
    EXPECT_EQ(Run("READ:SLOT:SIZE?"), "80");
    EXPECT_EQ(L().capture.CaptureBurstSize, 80);
    EXPECT_EQ(Run("FETC:SLOT:SIZE?"), "80");
    L().capture.CrcFlags = {1, 0, 1, 1};
    EXPECT_EQ(Run("READ:CRC?"), "1,0,1,1");
    EXPECT_EQ(Run("READ:XZF:MATC?"), "INV");  // packet mode 2
    Memory().Write(0x6A2D, 0);
    EXPECT_EQ(Run("READ:XZF:MATC?"), "MATC");
    L().capture.CrcFlags = {1, 1, 1, 0};
    EXPECT_EQ(Run("READ:XZF:MATC?"), "NMAT");
}

TEST_F(QueryTest, CombinedQueryAnswersNineValues) {
    L().capture.AveragePower = 241;
    for (int i = 0; i < 2880; ++i) SetFrequency(1314 + i, 120);
    SetFrequency(1314 + 50, 3420);
    SetFrequency(1314 + 60, -3180);
    for (int i = 0; i < 126; ++i) {
        SetFrequency(459 + i, i % 2 ? 3400 : -3200);
        SetFrequency(4059 + i, i % 2 ? 126 : 114);  // inside the B-field, mean 120
    }
    // Drift (126 x 120 - 126 x 100) / 126 = 20: accuracy 2000, per millisecond
    // 20 x 1036800 / 3582 = 5789, the drift itself in the per-millisecond unit.
    EXPECT_EQ(Run("READ:MEAS:ALTX?"),
              "24.1, 12000, 330000, -330000, 328000, -332000, 5789, 2000, 5789");
    EXPECT_TRUE(L().meas.FreqRefValid);
    EXPECT_FLOAT_EQ(L().meas.FreqRef, 12000.0f);
}

TEST_F(QueryTest, HistoriesAverageTheLastBursts) {
    AveragingHistory h;
    float out = -1.0f;
    EXPECT_FALSE(h.Average(out, 3));
    EXPECT_EQ(out, -1.0f);  // an empty history leaves the target alone
    for (float v : {1.0f, 2.0f, 3.0f, 10.0f}) h.Push(v, 3);
    EXPECT_EQ(h.count, 3);
    ASSERT_TRUE(h.Average(out, 3));
    EXPECT_FLOAT_EQ(out, 5.0f);  // 2, 3, 10
    h.Empty();
    h.Push(4.0f, 3);
    ASSERT_TRUE(h.Average(out, 3));
    EXPECT_FLOAT_EQ(out, 4.0f);
}

}  // namespace
}  // namespace tavrin::testing
