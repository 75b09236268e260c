// The sample conversions as exact numbers: plane bits, 16-bit wrap, truncation toward zero and
// the two saturation cases of the frequency, the range check and carrier entry of the power.
#include <gtest/gtest.h>

#include "transport/SampleConversion.h"

namespace tavrin {
namespace {

TEST(SampleConversion, PlaneBitsBuildTenBitSamples) {
    EXPECT_EQ(FrequencySample(0x12, 0x00), 0x12);
    EXPECT_EQ(FrequencySample(0x12, 0x01), 0x112);
    EXPECT_EQ(FrequencySample(0x12, 0x02), 0x212);
    EXPECT_EQ(FrequencySample(0xFF, 0x03), 1023);
    // The power bits of plane 2 do not leak into the frequency, nor the other way round.
    EXPECT_EQ(FrequencySample(0x12, 0x60), 0x12);
    EXPECT_EQ(PowerSample(0x34, 0x03), 0x34);
    EXPECT_EQ(PowerSample(0x34, 0x20), 0x134);
    EXPECT_EQ(PowerSample(0x34, 0x40), 0x234);
    EXPECT_EQ(PowerSample(0xFF, 0x60), 1023);
}

TEST(SampleConversion, FrequencyInvertsAndScalesByGainOverFifty) {
    RxCalibration cal{0, 0, 5, 10};
    EXPECT_EQ(ConvertFrequency(20, cal, 0), -2);  // -20 * 5 / 50
    EXPECT_EQ(ConvertFrequency(20, cal, 7), 5);
    cal.model = 11;  // keeps the sign
    EXPECT_EQ(ConvertFrequency(20, cal, 0), 2);
    cal = {509, 5, 473, 10};
    // d = -(600 - 509 - 5) = -86; -86 * 473 / 50 = -813.56 -> -813 (toward zero).
    EXPECT_EQ(ConvertFrequency(600, cal, 0), -813);
    // d = 428; 428 * 473 / 50 = 4048.88 -> 4048.
    EXPECT_EQ(ConvertFrequency(86, cal, -3), 4045);
}

TEST(SampleConversion, NegativeDifferenceThatTruncatesToZeroGivesMinus32768) {
    RxCalibration cal{0, 0, 5, 11};
    // d = -5: -25 / 50 = 0, which is not negative.
    EXPECT_EQ(ScaleFrequency(-5, cal), -32768);
    EXPECT_EQ(ConvertFrequency(-5, cal, 10), -32758);
    // The correction is added in 16 bits: -32768 + (-1) wraps to 32767.
    EXPECT_EQ(ConvertFrequency(-5, cal, -1), 32767);
    // d = -10: -50 / 50 = -1, a normal result.
    EXPECT_EQ(ConvertFrequency(-10, cal, 0), -1);
}

TEST(SampleConversion, ProductKeepsOnlyItsLowSixteenBits) {
    RxCalibration cal{0, 0, 32000, 11};
    // 1000 * 32000 / 50 = 640000 = 0x9C400 -> low 16 bits 0xC400 = -15360.
    EXPECT_EQ(ScaleFrequency(1000, cal), -15360);
    EXPECT_EQ(ConvertBlockFrequency(1000, cal), -15360);
    // The block read saturates a non-negative d whose product is negative (a negative gain);
    // the single read keeps the product.
    const RxCalibration negative{0, 0, -5, 11};
    EXPECT_EQ(ScaleFrequency(1000, negative), -100);
    EXPECT_EQ(ConvertBlockFrequency(1000, negative), 32767);
    EXPECT_EQ(ConvertBlockFrequency(-5, RxCalibration{0, 0, 5, 11}), -32768);
}

TEST(SampleConversion, DifferenceWrapsInSixteenBits) {
    // raw - offset - demod = 100 - (-32768) - 0 = 32868, which wraps to -32668.
    RxCalibration cal{-32768, 0, 50, 11};
    EXPECT_EQ(ScaleFrequency(100, cal), -32668);
}

TEST(SampleConversion, PowerScalesTruncatesAndAddsItsCorrections) {
    PwrCalibration cal;
    cal.pwrOffset = 600;
    cal.pwrGain = 97;
    // (847 - 600) * 97 / 100 = 239.59 -> 239.
    EXPECT_EQ(ConvertPower(847, cal), 239);
    // (500 - 600) * 97 / 100 = -97.
    EXPECT_EQ(ConvertPower(500, cal), -97);
    cal.cableLoss = 15;
    cal.carrierCorrection = -3;
    EXPECT_EQ(ConvertPower(847, cal), 251);
    cal.subtractAttenuator = true;
    cal.attenuatorByteB = 90;
    EXPECT_EQ(ConvertPower(847, cal), 251 - 290);
}

TEST(SampleConversion, PowerOutsideItsRangeGives32767) {
    PwrCalibration cal;
    cal.cableLoss = 16383;
    EXPECT_EQ(ConvertPower(0, cal), 16383);
    cal.cableLoss = 16384;
    EXPECT_EQ(ConvertPower(0, cal), kPowerOutOfRange);
    cal.cableLoss = -16384;
    EXPECT_EQ(ConvertPower(0, cal), -16384);
    cal.cableLoss = -16385;
    EXPECT_EQ(ConvertPower(0, cal), kPowerOutOfRange);
    // A result beyond 16 bits is caught before it could wrap back into range.
    cal = PwrCalibration{};
    cal.pwrGain = 32767;
    cal.pwrOffset = -32768;
    EXPECT_EQ(ConvertPower(1023, cal), kPowerOutOfRange);
}

TEST(SampleConversion, CarrierEntryStaysInsideTheTable) {
    EXPECT_EQ(PowerCarrierEntry(0, 4, false, 75), 26);
    EXPECT_EQ(PowerCarrierEntry(-22, 0, false, 75), 0);
    EXPECT_EQ(PowerCarrierEntry(3, 12, true, 75), 22 + 3 + 9 - 12);
    EXPECT_EQ(PowerCarrierEntry(0, 9, true, 75), 31);  // 9 is not above 9
    // Carrier cells the table does not cover give no entry.
    EXPECT_EQ(PowerCarrierEntry(3, 255, false, 75), -1);
    EXPECT_EQ(PowerCarrierEntry(-22, 40, true, 75), -1);
}

TEST(SampleConversion, DeviationCorrectionTakesTheFirstThresholdFromEntryTen) {
    std::array<int8_t, 41> thresholds{};
    std::array<int16_t, 41> corrections{};
    for (int t = 0; t < 41; ++t) {
        thresholds[t] = static_cast<int8_t>(-60 + 2 * t);
        corrections[t] = static_cast<int16_t>(100 + t);
    }
    // 240 - 0 - (90 + 200) = -50 -> -5.0 dB: entry 28 (threshold -4) is the first >= -5.
    EXPECT_EQ(ChooseDeviationCorrection(240, 0, true, 90, thresholds, corrections), 128);
    // Exactly on a threshold counts: -4.0 dB picks entry 28 too.
    EXPECT_EQ(ChooseDeviationCorrection(250, 0, true, 90, thresholds, corrections), 128);
    // Without the attenuator: 24.0 dB is above every threshold up to +20: no correction.
    EXPECT_EQ(ChooseDeviationCorrection(240, 0, false, 90, thresholds, corrections), 0);
    // The cable loss comes off first: 240 - 300 = -6.0 dB -> entry 27.
    EXPECT_EQ(ChooseDeviationCorrection(240, 300, false, 90, thresholds, corrections), 127);
    // Entries below 10 are never chosen, even when they would match.
    EXPECT_EQ(ChooseDeviationCorrection(-900, 0, false, 0, thresholds, corrections), 110);
}

}  // namespace
}  // namespace tavrin
