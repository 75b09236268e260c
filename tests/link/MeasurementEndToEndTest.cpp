// Every measurement query end to end on the virtual tester with a device in front of it: the
// capture synthesizer writes bursts from the device profile through the inverse of the
// tester's calibration, and the calibrated answers must give the profile's values back.
//
// Tolerances, over 8 averaged bursts:
// - NTP +-0.3 dB: the mean runs over 3816 (6696) samples, so the power noise averages out;
//   what remains is the truncation of each conversion (under one code, 0.1 dB) and the
//   choice of the nearest code (half a code).
// - Frequency offset +-2 kHz: a 2880-sample mean; the integer mean truncates to 0.1 kHz, one
//   frequency code is about 0.95 kHz (averaged away by the noise), and the bit transitions at
//   the window's two ends shift the mean by well under 0.5 kHz.
// - B-field and S-field +-5 kHz: the extremes carry the noise peak, about 3.5 sigma of the
//   band-limited noise (1.75 kHz at 0.5 kHz rms), plus half a code and the reference's error.
// - Drift +-1 kHz/ms: each burst's drift is a difference of two 126-sample means, truncated to
//   0.1 kHz over 345 us (0.29 kHz/ms); with 0.5 kHz rms noise one burst scatters by about
//   0.4 kHz/ms, eight bursts by 0.15; the query's 3582-sample span against the burst's 3600
//   adds 0.5 %.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "MeasurementRig.h"
#include "SimLink.h"
#include "transport/Capture.h"

namespace tavrin::testing {
namespace {

std::vector<double> Numbers(const std::string& text) {
    std::vector<double> out;
    const char* p = text.c_str();
    while (*p) {
        char* end = nullptr;
        const double v = std::strtod(p, &end);
        if (end == p) {
            ++p;
            continue;
        }
        out.push_back(v);
        p = end;
    }
    return out;
}

struct Case {
    const char* name;
    sim::DeviceProfile device;
    uint8_t model = 10;
    uint16_t burstSize = 40;
    bool powerRangeHigh = false;
    bool rxAttenuator = true;
};

sim::DeviceProfile Quiet() {
    sim::DeviceProfile p;
    p.noiseKhz = 0.5;
    p.noiseDb = 0.05;
    return p;
}

std::vector<Case> Cases() {
    std::vector<Case> cases;
    cases.push_back({"compliant portable part", Quiet()});
    {
        sim::DeviceProfile p = Quiet();
        p.powerDbm = 27.5;
        p.freqOffsetKhz = -48.0;
        p.driftKhzPerMs = 12.0;
        p.bFieldDeviationKhz = 410.0;
        p.sFieldDeviationKhz = 250.0;
        p.overshootDb = 2.0;
        cases.push_back({"non-compliant portable part", p});
    }
    {
        sim::DeviceProfile p = Quiet();
        p.fixedPart = true;
        p.powerDbm = 21.0;
        p.freqOffsetKhz = 5.0;
        p.driftKhzPerMs = -3.0;
        p.bFieldDeviationKhz = 300.0;
        p.sFieldDeviationKhz = 310.0;
        p.delayUs = 0.5;  // the alignment cell then moves the burst by 5 samples
        cases.push_back({"fixed part on a model 11 tester", p, 11});
    }
    {
        sim::DeviceProfile p = Quiet();
        p.powerDbm = 19.0;
        p.freqOffsetKhz = 30.0;
        p.driftKhzPerMs = 4.0;
        cases.push_back({"long burst on a model 13 tester", p, 13, 80});
    }
    {
        sim::DeviceProfile p = Quiet();
        p.powerDbm = 10.0;
        cases.push_back({"high power range with a second capture", p, 10, 40, true});
    }
    {
        sim::DeviceProfile p = Quiet();
        p.powerDbm = -5.0;
        p.freqOffsetKhz = -20.0;
        cases.push_back({"weak part, attenuator out", p, 12, 40, false, false});
    }
    return cases;
}

class EndToEnd : public ::testing::TestWithParam<size_t> {};

TEST_P(EndToEnd, QueriesAnswerTheProfilesValues) {
    const Case c = Cases()[GetParam()];
    SimulationSettings settings;
    settings.modelCode = c.model;
    sim::CaptureSynthesis synthesis;
    synthesis.burstSize = c.burstSize;
    MeasurementRig rig(c.device, synthesis, settings);
    // Carrier 9 has no model-12 frequency correction (which the B-field answer would carry).
    rig.tester->radio.trafficCarrier = 9;
    rig.link->conf.AverageBursts = 8;
    rig.link->conf.PowerRangeHigh = c.powerRangeHigh;
    rig.link->conf.RxAttenuator = c.rxAttenuator;
    rig.tester->radio.rxAttenuator = c.rxAttenuator;
    const sim::DeviceProfile& d = c.device;
    SCOPED_TRACE(c.name);

    const std::vector<double> ntp = Numbers(rig.Run("READ:NTP?"));
    ASSERT_EQ(ntp.size(), 1u);
    EXPECT_NEAR(ntp[0], d.powerDbm, 0.3);

    const std::vector<double> offset = Numbers(rig.Run("READ:FREQ:OFFS?"));
    ASSERT_EQ(offset.size(), 1u);
    EXPECT_NEAR(offset[0], d.freqOffsetKhz * 1000.0, 2000.0);

    const std::vector<double> bf = Numbers(rig.Run("READ:BF?"));
    ASSERT_EQ(bf.size(), 2u);
    EXPECT_NEAR(bf[0], d.bFieldDeviationKhz * 1000.0, 5000.0);
    EXPECT_NEAR(bf[1], -d.bFieldDeviationKhz * 1000.0, 5000.0);

    const std::vector<double> sf = Numbers(rig.Run("READ:SF?"));
    ASSERT_EQ(sf.size(), 2u);
    EXPECT_NEAR(sf[0], d.sFieldDeviationKhz * 1000.0, 5000.0);
    EXPECT_NEAR(sf[1], -d.sFieldDeviationKhz * 1000.0, 5000.0);

    const std::vector<double> driftMs = Numbers(rig.Run("READ:FREQ:DRIF:MS?"));
    ASSERT_EQ(driftMs.size(), 1u);
    EXPECT_NEAR(driftMs[0], d.driftKhzPerMs * 1000.0, 1000.0);
    EXPECT_EQ(Numbers(rig.Run("READ:FREQ:DRIF?")).size(), 1u);

    // Accuracy: the frequency change over the 3600 samples between the two windows, in Hz.
    const std::vector<double> accuracy = Numbers(rig.Run("READ:FREQ:ACC?"));
    ASSERT_EQ(accuracy.size(), 1u);
    const double spanMs = (c.burstSize == 80 ? 6480.0 : 3600.0) / 10368.0;
    EXPECT_NEAR(accuracy[0], d.driftKhzPerMs * spanMs * 1000.0, 400.0);

    // The combined query gives the same values from the same kind of bursts.
    const std::vector<double> all = Numbers(rig.Run("READ:MEAS:ALTX?"));
    ASSERT_EQ(all.size(), 9u);
    EXPECT_NEAR(all[0], d.powerDbm, 0.3);
    EXPECT_NEAR(all[1], d.freqOffsetKhz * 1000.0, 2000.0);
    // The B-field extremes of later bursts start from the S-field's, so they are never
    // smaller than the larger of the two deviations.
    const double wider = std::max(d.bFieldDeviationKhz, d.sFieldDeviationKhz) * 1000.0;
    EXPECT_NEAR(all[2], wider, 5000.0);
    EXPECT_NEAR(all[3], -wider, 5000.0);
    EXPECT_NEAR(all[4], d.sFieldDeviationKhz * 1000.0, 5000.0);
    EXPECT_NEAR(all[5], -d.sFieldDeviationKhz * 1000.0, 5000.0);
    EXPECT_NEAR(all[6], d.driftKhzPerMs * 1000.0, 1000.0);
    EXPECT_NEAR(all[8], d.driftKhzPerMs * 1000.0, 1000.0);

    EXPECT_EQ(rig.Run("READ:CRC?"), "1,1,1,1");
    EXPECT_EQ(rig.Run("READ:SLOT:SIZE?"), std::to_string(c.burstSize));
    EXPECT_EQ(rig.link->errors.LastError, kNoError);
}

INSTANTIATE_TEST_SUITE_P(Profiles, EndToEnd, ::testing::Range<size_t>(0, Cases().size()));

TEST(EndToEndDefault, NoisyExtremesLieAboveTheDeviationByTheNoisePeak) {
    // The default device has 2 kHz rms of noise: the extremes read beyond the deviation by
    // up to about 4 sigma, never below it by more than the code and reference errors.
    MeasurementRig rig;
    rig.link->conf.AverageBursts = 4;
    rig.Run("READ:FREQ:OFFS?");
    const std::vector<double> bf = Numbers(rig.Run("READ:BF?"));
    ASSERT_EQ(bf.size(), 2u);
    EXPECT_GT(bf[0], 330000.0 - 2000.0);
    EXPECT_LT(bf[0], 330000.0 + 4 * 2000.0 + 2000.0);
    EXPECT_LT(bf[1], -330000.0 + 2000.0);
    EXPECT_GT(bf[1], -330000.0 - 4 * 2000.0 - 2000.0);
    EXPECT_NEAR(Numbers(rig.Run("READ:NTP?"))[0], 24.0, 0.3);
}

TEST(EndToEndDefault, LostFramesShowInTheCrcFlags) {
    sim::DeviceProfile p;
    p.frameErrorRate = 1.0;
    MeasurementRig rig(p);
    rig.Run("READ:NTP?");
    EXPECT_EQ(rig.Run("READ:CRC?"), "0,0,0,0");
}

TEST(EndToEndDefault, CtrlModeMeasuresTheLastForcedSample) {
    MeasurementRig rig;
    rig.link->conf.SampleModeCtrl = true;
    ForceADCSample(*rig.link);
    rig.ClearLogs();
    EXPECT_NEAR(Numbers(rig.Run("READ:NTP?"))[0], 24.0, 0.3);
    EXPECT_NEAR(Numbers(rig.Run("READ:FREQ:OFFS?"))[0], 12000.0, 2000.0);
    for (const auto& w : rig.tester->cellWrites) EXPECT_NE(w.first, 0x6A5Fu);
}

TEST(EndToEndDefault, RfGeneratorDeviation) {
    MeasurementRig rig;
    rig.link->conf.TestType = code::RFGE;
    rig.SetLink(false);
    // The generator's start mails, as the generator test sends them.
    rig.link->mail.SendMail(6, 0xC0, 0x02);
    rig.link->mail.SendMail(6, 0x5D, 0x06);
    ForceADCSample(*rig.link);
    // The tester's own generator at 288 kHz; the mean of the samples beyond the group means
    // takes in some of the transitions, so it reads up to 3 % low.
    const std::vector<double> dev = Numbers(rig.Run("READ:BF?"));
    ASSERT_EQ(dev.size(), 1u);
    EXPECT_NEAR(dev[0], 288000.0 * 0.985, 288000.0 * 0.02);
    // A new test selection stops the generator: the capture then holds no modulation.
    rig.link->mail.SendMail(6, 0xC0, 0x02);
    ForceADCSample(*rig.link);
    EXPECT_LT(Numbers(rig.Run("READ:BF?"))[0], 20000.0);
}

// The B-field forms of packet modes 4 (BS0F) and 5 (FIG31) on the data patterns that make
// them: the extremes (any model) or the window means (model 12) come out as the deviation.
TEST(EndToEndDefault, BFieldFormsOfTheirPatterns) {
    for (uint8_t model : {uint8_t{10}, uint8_t{12}}) {
        for (uint8_t mode : {uint8_t{4}, uint8_t{5}}) {
            for (uint16_t size : {uint16_t{40}, uint16_t{80}}) {
                SCOPED_TRACE("model " + std::to_string(model) + " mode " + std::to_string(mode) +
                             " size " + std::to_string(size));
                SimulationSettings settings;
                settings.modelCode = model;
                sim::CaptureSynthesis synthesis;
                synthesis.burstSize = size;
                sim::DeviceProfile p = Quiet();
                p.bFieldDeviationKhz = 350.0;
                MeasurementRig rig(p, synthesis, settings);
                rig.tester->radio.trafficCarrier = 9;
                rig.tester->radio.berPattern = mode;  // the pattern whose packet mode this is
                rig.SetPacketMode(mode);
                rig.link->conf.AverageBursts = 4;
                rig.Run("READ:FREQ:OFFS?");
                const std::vector<double> bf = Numbers(rig.Run("READ:BF?"));
                ASSERT_EQ(bf.size(), 2u);
                // The window means average the noise away; the extremes carry its peak.
                EXPECT_NEAR(bf[0], 350000.0, 5000.0);
                EXPECT_NEAR(bf[1], -350000.0, 5000.0);
            }
        }
    }
}

}  // namespace
}  // namespace tavrin::testing

namespace tavrin::testing {
namespace {

// The whole virtual tester as the program meets it: the device's own states bring the link
// up after the connect mail, and its counters give the error rates.
TEST(EndToEndFirmware, LinkWindowOnTheInstalledDevice) {
    SimLink window(SimulationSettings{}, false);
    ASSERT_TRUE(window.installed);
    RigCalibration{}.WriteInto(*window.tester);
    for (const char* line :
         {"CONF:COMM:PORT USB", "SYST:RESET", "CONF:TEST:TYPE DPP", "CONF:AVER:BURS 4"}) {
        int16_t result = -1;
        window.Run(line, &result);
        EXPECT_EQ(result, 0) << line;
    }
    EXPECT_EQ(window.Run("READ:NTP?"), "INV");
    window.Run("PROC:CONN:SET");
    for (int i = 0; i < 300 && window.Run("STAT:DEV?") != "DCE"; ++i) window.clock.sleepMs(10);
    ASSERT_EQ(window.Run("STAT:DEV?"), "DCE");

    EXPECT_NEAR(Numbers(window.Run("READ:NTP?"))[0], 24.0, 0.3);
    EXPECT_NEAR(Numbers(window.Run("READ:FREQ:OFFS?"))[0], 12000.0, 2000.0);
    // The default device's 2 kHz of noise lifts the extremes by up to about 4 sigma.
    const std::vector<double> bf = Numbers(window.Run("READ:BF?"));
    ASSERT_EQ(bf.size(), 2u);
    EXPECT_NEAR(bf[0], 330000.0 + 4000.0, 6000.0);
    EXPECT_NEAR(bf[1], -330000.0 - 4000.0, 6000.0);

    // Let frames be counted, then the rates are the counters' own.
    window.clock.sleepMs(3000);
    const std::string ber = window.Run("FETC:BER:LTER?");
    const sim::SimMemory& m = window.tester->Memory();
    const uint16_t n = m.ReadWord(0x6A4E);
    const uint32_t w = m.ReadLong(0x6A50), v = m.ReadLong(0x6A54);
    ASSERT_GT(n, v);
    char expected[64];
    std::snprintf(expected, sizeof expected, "%1.8f,%f", w / (m.ReadWord(0x6A63) * 8.0 * (n - v)),
                  double(v) / n * 100.0);
    EXPECT_EQ(ber, expected);

    window.Run("PROC:CONN:REL");
    for (int i = 0; i < 100 && window.tester->Memory().Read(0x6A17) != 0; ++i) {
        window.clock.sleepMs(10);
        window.Run("STAT:DEV?");
    }
    EXPECT_EQ(window.Run("READ:NTP?"), "INV");
}

}  // namespace
}  // namespace tavrin::testing

namespace tavrin::testing {
namespace {

// The power carrier table entry moves with the carrier offset and, in the extended band,
// counts down from carrier 10: the tester's table and the host's lookup must agree.
TEST(EndToEndDefault, CarrierTableFollowsOffsetAndExtendedBand) {
    for (bool extended : {false, true}) {
        sim::DeviceProfile p = Quiet();
        p.powerDbm = 20.0;
        MeasurementRig rig(p);
        rig.tester->radio.trafficCarrier = 12;
        rig.tester->radio.carrierOffset = -5;
        rig.tester->radio.extendedBand = extended;
        rig.link->conf.CarrierOffset = -5;
        rig.link->conf.ExtendedFrequency = extended;
        rig.link->conf.AverageBursts = 2;
        // Entry 29 (22 + 12 - 5) and entry 14 (22 + 9 - 12 - 5) differ by 6 dB.
        rig.tester->Eeprom()[0x0200 + 29] = static_cast<uint8_t>(int8_t{-30});
        rig.tester->Eeprom()[0x0200 + 14] = static_cast<uint8_t>(int8_t{30});
        LoadCalibration(*rig.link);
        EXPECT_NEAR(Numbers(rig.Run("READ:NTP?"))[0], 20.0, 0.3) << extended;
    }
}

}  // namespace
}  // namespace tavrin::testing
