// Sample conversions: the 16-bit wrap, truncation toward zero and the two saturation cases are
// written out here once.
#include "SampleConversion.h"

namespace tavrin {
namespace {

int16_t Wrap16(int32_t v) {
    return static_cast<int16_t>(static_cast<uint16_t>(v & 0xFFFF));
}

// d and s of the frequency conversion; C++ division truncates toward zero.
void FrequencySteps(int16_t raw, const RxCalibration& cal, int16_t& d, int32_t& s) {
    d = Wrap16(int32_t{raw} - cal.rxOffset - cal.demodOffset);
    if (cal.model != 11) d = Wrap16(-int32_t{d});
    s = int32_t{d} * cal.rxGain / 50;
}

}  // namespace

int16_t FrequencySample(uint8_t plane0, uint8_t plane2) {
    return static_cast<int16_t>(plane0 + ((plane2 & 0x01) ? 256 : 0) + ((plane2 & 0x02) ? 512 : 0));
}

int16_t PowerSample(uint8_t plane1, uint8_t plane2) {
    return static_cast<int16_t>(plane1 + ((plane2 & 0x20) ? 256 : 0) + ((plane2 & 0x40) ? 512 : 0));
}

int16_t ScaleFrequency(int16_t raw, const RxCalibration& cal) {
    int16_t d = 0;
    int32_t s = 0;
    FrequencySteps(raw, cal, d, s);
    if (d < 0 && s >= 0) s = -32768;
    return Wrap16(s);
}

int16_t ConvertFrequency(int16_t raw, const RxCalibration& cal, int16_t deviationCorrection) {
    return Wrap16(int32_t{ScaleFrequency(raw, cal)} + deviationCorrection);
}

int16_t ConvertBlockFrequency(int16_t raw, const RxCalibration& cal) {
    int16_t d = 0;
    int32_t s = 0;
    FrequencySteps(raw, cal, d, s);
    if (d < 0 && s >= 0) s = -32768;
    if (d >= 0 && s < 0) s = 32767;
    return Wrap16(s);
}

int16_t ConvertPower(int16_t raw, const PwrCalibration& cal) {
    // Wider than 16 bits on purpose: the range check below must see the true value.
    int32_t v = (int32_t{raw} - cal.pwrOffset) * cal.pwrGain / 100;
    v += cal.cableLoss;
    v += cal.carrierCorrection;
    if (cal.subtractAttenuator) v -= int32_t{cal.attenuatorByteB} + 200;
    if (v >= 16384 || v < -16384) return kPowerOutOfRange;
    return static_cast<int16_t>(v);
}

int PowerCarrierEntry(int8_t carrierOffset, uint8_t carrier, bool extendedFrequency,
                      size_t tableSize) {
    const int entry = extendedFrequency && carrier > 9 ? 22 + carrierOffset + 9 - carrier
                                                       : 22 + carrierOffset + carrier;
    // A carrier cell holding a value the table does not cover must not index past it.
    if (entry < 0 || static_cast<size_t>(entry) >= tableSize) return -1;
    return entry;
}

int16_t ChooseDeviationCorrection(int16_t averagePower, int16_t cableLoss, bool rxAttenuator,
                                  uint8_t attenuatorByteA, const std::array<int8_t, 41>& thresholds,
                                  const std::array<int16_t, 41>& corrections) {
    int32_t level = int32_t{averagePower} - cableLoss;
    if (rxAttenuator) level -= int32_t{attenuatorByteA} + 200;
    const float x = static_cast<float>(level) * 0.1f;
    for (size_t j = 10; j <= 40; ++j)
        if (static_cast<float>(thresholds[j]) >= x) return corrections[j];
    return 0;
}

}  // namespace tavrin
