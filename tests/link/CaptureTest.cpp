// The capture and the sample reads on crafted planes written straight into tester memory:
// alignment, the records a capture leaves alone, the second capture, the power thresholds,
// the index cases, the bounded waits and the link-off and block reads.
#include <gtest/gtest.h>

#include <functional>

#include "MeasurementRig.h"
#include "transport/Capture.h"

namespace tavrin::testing {
namespace {

constexpr uint32_t kPlanes = 0x10000 + 256 * 4;  // first page 4
constexpr uint32_t kPlaneSize = 8192;

// Clears the trigger as soon as it is written, and counts the captures.
class InstantCapture final : public sim::SimComponent {
public:
    void OnCellWrite(sim::VirtualTester& t, uint32_t address, uint8_t value) override {
        if (address == 0x6A5F && value == 1) {
            ++captures;
            if (onCapture) onCapture(t, captures);
            t.Memory().Write(0x6A5F, 0);
        }
    }
    std::function<void(sim::VirtualTester&, int)> onCapture;
    int captures = 0;
};

class CaptureTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto owned = std::make_unique<InstantCapture>();
        capture = owned.get();
        sim.tester->AddComponent(std::move(owned));
        Memory().Write(0x6A6F, 4);
        Memory().Write(0x6A70, 32);
        Memory().WriteWord(0x6A63, 40);
        sim.link->conf.CommPort = code::CommPortUsb;
        sim.link->conf.LinkOpen = true;
        sim.link->conf.TestType = code::DPP;
    }
    sim::SimMemory& Memory() { return sim.tester->Memory(); }
    // Frequency and power of capture position k, with their high bits in plane 2.
    void Put(uint32_t k, int frequency, int power, uint32_t base = kPlanes) {
        Memory().Write(base + k, static_cast<uint8_t>(frequency));
        Memory().Write(base + kPlaneSize + k, static_cast<uint8_t>(power));
        Memory().Write(base + 2 * kPlaneSize + k,
                       static_cast<uint8_t>(((frequency >> 8) & 3) | (((power >> 8) & 3) << 5)));
    }
    // Position k carries k % 1000 as frequency and (k + 7) % 1000 as power.
    void FillRamp() {
        for (uint32_t k = 0; k < kPlaneSize; ++k) Put(k, k % 1000, (k + 7) % 1000);
    }
    Link& L() { return *sim.link; }

    BareTester sim;
    InstantCapture* capture = nullptr;
};

TEST_F(CaptureTest, PortableTestAlignsByNinetyNineLessTheAlignmentCell) {
    FillRamp();
    Memory().Write(0x6A67, 3);
    // Records past the aligned end keep what they held.
    L().capture.SampleStore[8096].Frequency = 1234;
    L().capture.SampleStore[8191].Power = 4321;
    ForceADCSample(L());
    const auto& store = L().capture.SampleStore;
    for (size_t i : {size_t{0}, size_t{1}, size_t{500}, size_t{8095}}) {
        EXPECT_EQ(store[i].Frequency, int((i + 96) % 1000)) << i;
        EXPECT_EQ(store[i].Power, int((i + 96 + 7) % 1000)) << i;
        EXPECT_EQ(store[i].Valid, 1);
    }
    EXPECT_EQ(store[8096].Frequency, 1234);
    EXPECT_EQ(store[8096].Valid, 0);
    EXPECT_EQ(store[8191].Power, 4321);
}

TEST_F(CaptureTest, FixedPartTestAlignsByOneHundredEighteenAndNegativeCellsShiftBack) {
    FillRamp();
    L().conf.TestType = code::DFP;
    Memory().Write(0x6A67, static_cast<uint8_t>(-2));  // 118 + 2 = 120
    ForceADCSample(L());
    EXPECT_EQ(L().capture.SampleStore[0].Frequency, 120);
    EXPECT_EQ(L().capture.SampleStore[8071].Frequency, (8071 + 120) % 1000);
    EXPECT_EQ(L().capture.SampleStore[8072].Valid, 0);
}

TEST_F(CaptureTest, KeepsCarrierDemodulatorOffsetBurstSizeAndCrc) {
    Memory().Write(0x6A60, 7);
    Memory().Write(0x6A38, 21);
    Memory().WriteWord(0x6A59, 30);
    Memory().WriteWord(0x6A85, static_cast<uint16_t>(-12));
    Memory().Write(0x6A72, 0x05);
    Memory().WriteWord(0x6A63, 80);
    EXPECT_EQ(ForceADCSample(L()), 0x05u);
    EXPECT_EQ(L().capture.CaptureCarrier, 7);
    EXPECT_EQ(L().capture.DemodOffset, 18);
    EXPECT_EQ(L().capture.CaptureBurstSize, 80);
    EXPECT_EQ(L().capture.CrcFlags, (std::array<uint8_t, 4>{1, 1, 1, 1}));
    EXPECT_FALSE(L().meas.FreqRefValid);

    // The generator's carrier comes from its own cell, and the demodulator offset stays.
    L().conf.TestType = code::RFGE;
    Memory().WriteWord(0x6A59, 0);
    Memory().Write(0x6A72, 0);
    EXPECT_EQ(ForceADCSample(L()), 0u);
    EXPECT_EQ(L().capture.CaptureCarrier, 21);
    EXPECT_EQ(L().capture.DemodOffset, 18);
    EXPECT_EQ(L().capture.CrcFlags, (std::array<uint8_t, 4>{0, 0, 0, 0}));
}

TEST_F(CaptureTest, PlanesAreReadInOnePipelinedTransferWhenTheyLieBackToBack) {
    FillRamp();
    sim.ClearLogs();
    ForceADCSample(L());
    size_t planeRequests = 0;
    for (const auto& r : sim.tester->requestLog)
        if (r.kind == 1 && r.address >= kPlanes && r.address < kPlanes + 3 * kPlaneSize) {
            ++planeRequests;
            EXPECT_EQ(r.value, 127);  // every request asks for 128 bytes
        }
    EXPECT_EQ(planeRequests, 3 * kPlaneSize / 128);
}

TEST_F(CaptureTest, PlanesOfAnotherSizeAreReadOneByOne) {
    Memory().Write(0x6A70, 40);  // 10240-byte planes
    const uint32_t size = 40 * 256;
    Memory().Write(kPlanes + 5, 0x11);
    Memory().Write(kPlanes + size + 5, 0x22);
    Memory().Write(kPlanes + 2 * size + 5, 0x21);  // frequency +256, power +256
    Memory().Write(0x6A67, 99 - 5);                // record 0 is position 5
    ForceADCSample(L());
    EXPECT_EQ(L().capture.SampleStore[0].Frequency, 0x111);
    EXPECT_EQ(L().capture.SampleStore[0].Power, 0x122);
}

TEST_F(CaptureTest, NoPortEverChosenCapturesNothing) {
    L().conf.CommPort = code::CommPortUnset;
    sim.ClearLogs();
    EXPECT_EQ(ForceADCSample(L()), 0u);
    EXPECT_EQ(capture->captures, 0);
    EXPECT_EQ(L().capture.CaptureBurstSize, 40);  // read before the port check
    for (const auto& w : sim.tester->cellWrites) EXPECT_NE(w.first, 0x6A5Fu);
}

TEST_F(CaptureTest, CaptureThatNeverCompletesIsWaitedForTwoHundredMillisecondsOnly) {
    BareTester silent;  // nobody clears the trigger there
    silent.link->conf.CommPort = code::CommPortUsb;
    silent.link->conf.LinkOpen = true;
    silent.link->conf.PowerRangeHigh = true;  // with the second capture as well
    silent.link->conf.RxAttenuator = true;
    const uint64_t start = silent.clock.nowUs();
    ForceADCSample(*silent.link);
    const uint64_t elapsedMs = (silent.clock.nowUs() - start) / 1000;
    // One 200 ms wait and a single look for the second capture, plus the transfers and mails.
    EXPECT_GE(elapsedMs, 200u);
    EXPECT_LT(elapsedMs, 200u + 400u);
    EXPECT_EQ(silent.link->errors.ErrorCount, 0);
}

TEST_F(CaptureTest, SecondCaptureWithoutAttenuatorFeedsTheWeakSamples) {
    L().conf.PowerRangeHigh = true;
    L().conf.RxAttenuator = true;
    L().cal.AttenuatorByteB = 50;
    Memory().Write(0x6A67, 99);  // record i is position i
    capture->onCapture = [&](sim::VirtualTester&, int n) {
        // First capture: power 499 at 10 and 500 at 11; second: 800 and 900 there.
        Put(10, 0, n == 1 ? 499 : 800);
        Put(11, 0, n == 1 ? 500 : 900);
    };
    ForceADCSample(L());
    EXPECT_EQ(capture->captures, 2);
    // Attenuator out before the second trigger, in again after it.
    std::vector<std::vector<uint8_t>> attenuatorMails;
    for (const auto& m : sim.tester->mails)
        if (m.cls == 6 && m.body.size() == 2 && m.body[0] == 0x5D)
            attenuatorMails.push_back(m.body);
    ASSERT_EQ(attenuatorMails.size(), 2u);
    EXPECT_EQ(attenuatorMails[0][1], 0x33);
    EXPECT_EQ(attenuatorMails[1][1], 0x32);
    EXPECT_EQ(L().capture.SampleStore[10].SecondPower, 800);
    // 499 uses the second sample and subtracts attenuator B + 200; 500 uses the first as is.
    EXPECT_EQ(ReadPwrValue(L(), 10), 800 - 250);
    EXPECT_EQ(ReadPwrValue(L(), 11), 500);
}

TEST_F(CaptureTest, WithoutSecondCaptureTheAttenuatorOffSubtractsAttenuatorB) {
    L().conf.RxAttenuator = false;
    L().cal.AttenuatorByteB = 50;
    L().capture.SampleStore[3].Power = 700;
    EXPECT_EQ(ReadPwrValue(L(), 3), 450);
    L().conf.RxAttenuator = true;
    EXPECT_EQ(ReadPwrValue(L(), 3), 700);
}

TEST_F(CaptureTest, MeanPowerRunsOverTheBurstOfItsSize) {
    Memory().Write(0x6A67, 99);
    // 10 everywhere, 1000 right before and right after the short burst's window.
    for (uint32_t k = 0; k < kPlaneSize; ++k) Put(k, 0, 10);
    Put(449, 0, 1000);
    Put(4266, 0, 1000);
    ForceADCSample(L());
    EXPECT_EQ(L().capture.AveragePower, 10);
    // Four samples inside the window at the end add 4 x 954 = 3816: exactly 1 to the mean.
    for (uint32_t k = 4262; k <= 4265; ++k) Put(k, 0, 10 + 954);
    ForceADCSample(L());
    EXPECT_EQ(L().capture.AveragePower, 11);
    // The long burst's window (450 to 7145) takes 4266 in as well.
    Memory().WriteWord(0x6A63, 80);
    ForceADCSample(L());
    EXPECT_EQ(L().capture.AveragePower, (6696 * 10 + 4 * 954 + 990) / 6696);
}

TEST_F(CaptureTest, DeviationCorrectionIsAddedToEverySingleFrequencyRead) {
    Memory().Write(0x6A67, 99);
    for (uint32_t k = 0; k < kPlaneSize; ++k) Put(k, 20, 240);
    for (int t = 0; t < 41; ++t) {
        L().cal.LevelThresholds[t] = static_cast<int8_t>(-60 + 2 * t);
        L().cal.DeviationCorrections[t] = static_cast<int16_t>(t);
    }
    L().cal.AttenuatorByteA = 90;
    ForceADCSample(L());
    // 240 - 290 = -5.0 dB: entry 28. 20 -> -20 * 5 / 50 = -2, plus 28.
    EXPECT_EQ(L().capture.DeviationCorrection, 28);
    EXPECT_EQ(ReadRxValue(L(), 5), 26);
}

TEST_F(CaptureTest, IndexCases) {
    auto& store = L().capture.SampleStore;
    store[0].Frequency = 20;
    store[0].Power = 77;
    store[8191].Frequency = 30;
    EXPECT_EQ(ReadRxValue(L(), 8191), -3);
    // Above 25000 an index reads sample 0.
    EXPECT_EQ(ReadRxValue(L(), 30000), -2);
    EXPECT_EQ(ReadPwrValue(L(), 30000), 77);
    EXPECT_EQ(ReadRxValue(L(), 25001), -2);
    // 8192 to 25000 lie past the store: they read as an empty record (raw 0).
    L().cal.RxOffset = 10;
    L().cal.PwrOffset = 5;
    EXPECT_EQ(ReadRxValue(L(), 8192), 1);  // -(0 - 10) * 5 / 50
    EXPECT_EQ(ReadRxValue(L(), 25000), 1);
    EXPECT_EQ(ReadPwrValue(L(), 12000), -5);  // (0 - 5) * 100 / 100
}

TEST_F(CaptureTest, DemodulatorOffsetCommands) {
    Memory().WriteWord(0x6A59, 0x7FFF);
    Memory().WriteWord(0x6A85, 2);  // 16-bit sum wraps
    EXPECT_EQ(ReadRxValue(L(), 0xFFFF), -32767);
    EXPECT_EQ(L().capture.DemodOffset, -32767);
    EXPECT_EQ(ReadRxValue(L(), 0xFFFE), 0);
    EXPECT_EQ(L().capture.DemodOffset, 0);
    L().capture.SampleStore[1].Frequency = 20;
    EXPECT_EQ(ReadRxValue(L(), 1), -2);  // the cleared offset stays cleared
}

TEST_F(CaptureTest, LinkOffReadsThePlanesDirectlyUntilTwoReadsAgree) {
    L().conf.LinkOpen = false;
    Put(300, 20, 0x155);
    sim.ClearLogs();
    EXPECT_EQ(ReadRxValue(L(), 300), -2);
    // Geometry (three reads), then plane byte and plane-2 byte twice.
    ASSERT_EQ(sim.tester->requestLog.size(), 7u);
    EXPECT_EQ(sim.tester->requestLog[0].address, 0x6A6Fu);
    EXPECT_EQ(sim.tester->requestLog[1].address, 0x6A70u);
    EXPECT_EQ(sim.tester->requestLog[2].address, 0x6A70u);
    EXPECT_EQ(sim.tester->requestLog[3].address, kPlanes + 300);
    EXPECT_EQ(sim.tester->requestLog[4].address, kPlanes + 2 * kPlaneSize + 300);
    EXPECT_EQ(ReadPwrValue(L(), 300), 0x155);
}

// A plane byte that changes on every read: the direct read must still end.
class Flicker final : public sim::SimComponent {
public:
    explicit Flicker(uint32_t a) : address(a) {}
    void OnCellRead(sim::VirtualTester& t, uint32_t a) override {
        if (a == address) t.Memory().Write(a, static_cast<uint8_t>(t.Memory().Read(a) + 1));
    }
    uint32_t address;
};

TEST_F(CaptureTest, DirectReadOfBytesThatNeverSettleEnds) {
    L().conf.LinkOpen = false;
    sim.tester->AddComponent(std::make_unique<Flicker>(kPlanes + 9));
    sim.ClearLogs();
    ReadRxValue(L(), 9);
    EXPECT_LE(sim.tester->requestLog.size(), 3u + 4u * 16u);
}

TEST_F(CaptureTest, BlockReadConvertsFromThePlanesAndIsCutToItsBuffers) {
    L().capture.PlaneBase = {kPlanes, kPlanes + kPlaneSize, kPlanes + 2 * kPlaneSize};
    Put(100, 20, 0);
    Put(101, 0x215, 0);
    L().capture.DeviationCorrection = 50;  // not added by the block read
    int16_t results[2] = {};
    EXPECT_EQ(ReadRxValueBlock(L(), 100, 2, results), 0);
    EXPECT_EQ(results[0], -2);
    EXPECT_EQ(results[1], -0x215 / 10);

    std::vector<int16_t> big(20000, 7);
    sim.ClearLogs();
    ReadRxValueBlock(L(), 0, 20000, big.data());
    EXPECT_NE(big[9215], 7);
    EXPECT_EQ(big[9216], 7);  // beyond the 9216 staged samples nothing is written
}

TEST_F(CaptureTest, BlockReadBeforeAnyResetFindsThePlanesFromTheGeometryCells) {
    L().capture.PlaneBase = {0, 0, 0};
    Put(40, 0x150, 0);
    int16_t result = 0;
    ReadRxValueBlock(L(), 40, 1, &result);
    EXPECT_EQ(result, -0x150 / 10);
}

TEST_F(CaptureTest, BlockReadAtTheCommandIndexesRefreshesItsOwnOffset) {
    L().capture.PlaneBase = {kPlanes, kPlanes + kPlaneSize, kPlanes + 2 * kPlaneSize};
    Memory().WriteWord(0x6A59, 4);
    Memory().WriteWord(0x6A85, 6);
    int16_t results[3] = {111, 222, 333};
    // Positions 0xFFFD, 0xFFFE, 0xFFFF: only the first is a sample.
    ReadRxValueBlock(L(), 0xFFFD, 3, results);
    EXPECT_EQ(results[1], 222);
    EXPECT_EQ(results[2], 333);
    EXPECT_EQ(L().capture.BlockDemodOffset, 10);  // 0xFFFF came last
    EXPECT_EQ(L().capture.DemodOffset, 0);        // the single reads' offset is apart
}

}  // namespace
}  // namespace tavrin::testing
