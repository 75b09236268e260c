// The capture synthesizer on its own: the burst's bit layout, when the trigger clears, the
// cells it writes, and that it follows the tester's calibration as it stands at each capture.
#include <gtest/gtest.h>

#include <numeric>

#include "CaptureSynthesis.h"
#include "VirtualTester.h"

namespace tavrin::sim {
namespace {

int Sum(const std::vector<int8_t>& bits, size_t from, size_t count) {
    return std::accumulate(bits.begin() + static_cast<long>(from),
                           bits.begin() + static_cast<long>(from + count), 0);
}

TEST(BurstBits, LayoutOfAPortableAndAFixedPart) {
    const std::vector<int8_t> pp = BurstBits(false, 0, 320);
    ASSERT_EQ(pp.size(), 32u + 64u + 320u + 8u);
    // 5555 then 1675: the preamble starts with 0, the sync word is 0001 0110 0111 0101.
    EXPECT_EQ(pp[0], -1);
    EXPECT_EQ(pp[1], 1);
    const std::vector<int8_t> sync = {-1, -1, -1, 1, -1, 1, 1, -1, -1, 1, 1, 1, -1, 1, -1, 1};
    EXPECT_EQ(std::vector<int8_t>(pp.begin() + 16, pp.begin() + 32), sync);
    const std::vector<int8_t> fp = BurstBits(true, 0, 640);
    ASSERT_EQ(fp.size(), 32u + 64u + 640u + 8u);
    EXPECT_EQ(fp[0], 1);  // AAAA
}

TEST(BurstBits, BFieldCarriesNoMeanAndEndsWithThePreamble) {
    for (uint8_t pattern :
         {uint8_t{0x80}, uint8_t{0x90}, uint8_t{0xA0}, uint8_t{0xB0}, uint8_t{0x60}}) {
        for (int bField : {320, 640}) {
            const std::vector<int8_t> bits = BurstBits(false, pattern, bField);
            EXPECT_EQ(Sum(bits, 96, static_cast<size_t>(bField)), 0) << int(pattern);
            // The last 16 B-field bits repeat the preamble, so both drift windows see the
            // same modulation; BS0F keeps its pattern there.
            if (pattern == 4) continue;
            EXPECT_EQ(
                std::vector<int8_t>(bits.begin() + 96 + bField - 16, bits.begin() + 96 + bField),
                std::vector<int8_t>(bits.begin(), bits.begin() + 16));
        }
    }
    // BS0F goes out least significant bit first: four ones, then four zeros.
    const std::vector<int8_t> bs0f = BurstBits(false, 4, 320);
    EXPECT_EQ(std::vector<int8_t>(bs0f.begin() + 96, bs0f.begin() + 104),
              (std::vector<int8_t>{1, 1, 1, 1, -1, -1, -1, -1}));
    // FIG31: 64 ones from B-field bit 128, then 64 zeros; the long burst has three such pairs.
    for (int bField : {320, 640}) {
        const std::vector<int8_t> fig = BurstBits(false, 5, bField);
        EXPECT_EQ(Sum(fig, 96 + 128, 64), 64);
        EXPECT_EQ(Sum(fig, 96 + 192, 64), -64);
        if (bField == 640) {
            EXPECT_EQ(Sum(fig, 96 + 256, 64), 64);
            EXPECT_EQ(Sum(fig, 96 + 448, 64), -64);
        }
    }
    // The pseudo-random pattern has runs, so the B-field reaches its full deviation.
    const std::vector<int8_t> prbs = BurstBits(false, 0, 320);
    int longest = 0, run = 0;
    for (size_t i = 97; i < 96 + 320; ++i) {
        run = prbs[i] == prbs[i - 1] ? run + 1 : 1;
        longest = std::max(longest, run);
    }
    EXPECT_GE(longest, 3);
}

class SynthesisTest : public ::testing::Test {
protected:
    void SetUp() override {
        SimMemory& m = tester.Memory();
        m.Write(0x6A5C, 10);
        m.WriteWord(0x6A75, 600);
        m.WriteWord(0x6A77, 100);
        m.WriteWord(0x6A79, 512);
        m.WriteWord(0x6A7B, 500);
        m.Write(0x6A17, 1);
        for (int i = 0; i < 75; ++i) tester.Eeprom()[0x0200 + i] = 0;
        for (int t = 0; t < 41; ++t) {
            tester.Eeprom()[0x031E + 3 * t] = 0x7F;  // every level picks entry 10
            tester.Eeprom()[0x031F + 3 * t] = 0;
            tester.Eeprom()[0x0320 + 3 * t] = 0;
        }
        tester.Eeprom()[0x031D] = 100;
        tester.Eeprom()[0x03A0] = 0xFF;
        device = std::make_shared<DeviceProfile>();
        device->noiseKhz = 0.0;
        device->noiseDb = 0.0;
        device->delayUs = 0.3;
        CaptureSynthesis s;
        s.captureUs = 4000;
        auto owned = MakeCaptureSynthesizer(device, s);
        synth = owned.get();
        tester.AddComponent(std::move(owned));
        tester.radio.trafficCarrier = 6;
    }
    // What the host would read: trigger, then the tester's time moves on.
    void Trigger() {
        tester.Memory().Write(0x6A5F, 1);
        for (auto* c : Components()) c->OnCellWrite(tester, 0x6A5F, 1);
    }
    std::vector<SimComponent*> Components() { return {synth}; }
    void AdvanceTo(uint64_t us) {
        clock.sleepUs(us - clock.nowUs());
        for (auto* c : Components()) c->Advance(tester, clock.nowUs());
    }
    int Power(uint32_t k) {
        const SimMemory& m = tester.Memory();
        return m.Read(0x10000 + 8192 + k) + (((m.Read(0x10000 + 16384 + k) >> 5) & 3) << 8);
    }
    int Frequency(uint32_t k) {
        const SimMemory& m = tester.Memory();
        return m.Read(0x10000 + k) + ((m.Read(0x10000 + 16384 + k) & 3) << 8);
    }

    VirtualClock clock;
    VirtualTester tester{clock};
    std::shared_ptr<DeviceProfile> device;
    SimComponent* synth = nullptr;
};

TEST_F(SynthesisTest, TriggerClearsAfterTheCaptureTimeWithTheCellsWritten) {
    AdvanceTo(1000);
    EXPECT_EQ(tester.Memory().Read(0x6A70), 32);
    EXPECT_EQ(tester.Memory().ReadWord(0x6A63), 40);
    Trigger();
    AdvanceTo(4000);
    EXPECT_EQ(tester.Memory().Read(0x6A5F), 1);
    AdvanceTo(5001);
    EXPECT_EQ(tester.Memory().Read(0x6A5F), 0);
    EXPECT_EQ(tester.Memory().Read(0x6A60), 6);
    EXPECT_EQ(tester.Memory().Read(0x6A67), 3);  // 0.3 us at 10.368 samples a microsecond
    EXPECT_EQ(static_cast<int16_t>(tester.Memory().ReadWord(0x6A59)) +
                  static_cast<int16_t>(tester.Memory().ReadWord(0x6A85)),
              14 - 9);
    EXPECT_EQ(tester.Memory().Read(0x6A72), 1);
}

TEST_F(SynthesisTest, BurstSitsWhereTheHostsAlignmentPutsIt) {
    Trigger();
    AdvanceTo(10000);
    // Store index 450 (the first S-field sample) is capture position 450 + 99 - 3.
    const uint32_t start = 450 + 99 - 3;
    const int full = 600 + 240;  // 24 dBm with gain 100: one code per 0.1 dB
    EXPECT_EQ(Power(start + 100), full);
    EXPECT_EQ(Power(start + 3000), full);
    EXPECT_LT(Power(start - 40), full - 200);  // before the ramp
    EXPECT_LT(Power(start + 3816 + 40), full - 200);
}

TEST_F(SynthesisTest, FollowsTheCalibrationOfEachCapture) {
    Trigger();
    AdvanceTo(10000);
    const uint32_t k = 450 + 96 + 3000;
    const int before = Power(k);
    // A power offset 50 codes higher moves every code up by 50.
    tester.Memory().WriteWord(0x6A75, 650);
    Trigger();
    AdvanceTo(20000);
    EXPECT_EQ(Power(k), before + 50);
    // Model 10 inverts the demodulator: a positive offset lies below the frequency offset cell.
    const int centre = 512 + 5;  // RxOffset + demodulator offset
    int sum = 0;
    for (uint32_t i = 0; i < 2880; ++i) sum += Frequency(1314 + 96 + i);
    EXPECT_NEAR(sum / 2880.0, centre - 12.0, 1.0);  // 12 kHz at 1 kHz a code
}

TEST_F(SynthesisTest, AttenuatorOutRaisesTheDetectorByTheAttenuator) {
    Trigger();
    AdvanceTo(10000);
    const uint32_t k = 450 + 96 + 2000;
    const int in = Power(k);
    tester.radio.rxAttenuator = false;  // what the radio makes of 5D 33
    Trigger();
    AdvanceTo(20000);
    EXPECT_EQ(Power(k), std::min(1023, in + 300));  // (100 + 200) x 0.1 dB
}

}  // namespace
}  // namespace tavrin::sim
