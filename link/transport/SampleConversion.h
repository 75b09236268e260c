// The arithmetic that turns raw 10-bit samples into calibrated values: plane bytes to samples,
// frequency samples to 0.1 kHz, power samples to 0.1 dBm. Pure functions, no link access.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tavrin {

// Sample position k of the three planes: plane 0 and bits 0/1 of plane 2 give the frequency,
// plane 1 and bits 5/6 of plane 2 the power; both 0 to 1023.
int16_t FrequencySample(uint8_t plane0, uint8_t plane2);
int16_t PowerSample(uint8_t plane1, uint8_t plane2);

// What a frequency conversion needs besides the raw value.
struct RxCalibration {
    int16_t rxOffset = 0;
    int16_t demodOffset = 0;
    int16_t rxGain = 5;
    uint8_t model = 0;  // model 11 keeps the demodulator's sign, the others invert it
};

// d = raw - offset - demod (16 bits), inverted unless model 11, s = d * gain / 50 truncated
// toward zero; a negative d whose product came out non-negative gives -32768. Returns the low
// 16 bits of s, before any deviation correction.
int16_t ScaleFrequency(int16_t raw, const RxCalibration& cal);
// The single read: ScaleFrequency plus the deviation correction, in 16 bits.
int16_t ConvertFrequency(int16_t raw, const RxCalibration& cal, int16_t deviationCorrection);
// The block read: as ScaleFrequency, and in addition a non-negative d whose product came out
// negative gives 32767; no deviation correction.
int16_t ConvertBlockFrequency(int16_t raw, const RxCalibration& cal);

inline constexpr int16_t kPowerOutOfRange = 32767;

// What a power conversion needs besides the raw value.
struct PwrCalibration {
    int16_t pwrOffset = 0;
    int16_t pwrGain = 100;
    int16_t cableLoss = 0;            // 0.1 dB
    int8_t carrierCorrection = 0;     // 0.1 dB, from the power carrier table
    bool subtractAttenuator = false;  // the attenuator was out for this sample
    uint8_t attenuatorByteB = 0;
};

// v = (raw - offset) * gain / 100 truncated, + cable loss, + carrier correction, minus
// (attenuator byte B + 200) when the sample was taken without the attenuator; 32767 when v
// lies outside -16384 to 16383.
int16_t ConvertPower(int16_t raw, const PwrCalibration& cal);

// Entry of the power carrier table for a captured carrier, or -1 when it lies outside the
// table (then no correction applies). With the extended band a carrier above 9 counts down.
int PowerCarrierEntry(int8_t carrierOffset, uint8_t carrier, bool extendedFrequency,
                      size_t tableSize);

// The level-dependent deviation correction of a capture: x = (average power - cable loss
// [- (attenuator byte A + 200) with the attenuator in]) * 0.1 in dB; the correction of the
// first threshold from entry 10 on that is >= x, else 0.
int16_t ChooseDeviationCorrection(int16_t averagePower, int16_t cableLoss, bool rxAttenuator,
                                  uint8_t attenuatorByteA, const std::array<int8_t, 41>& thresholds,
                                  const std::array<int16_t, 41>& corrections);

}  // namespace tavrin
