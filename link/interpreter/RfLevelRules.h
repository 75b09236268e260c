// The RF level rules without the link: the setter's range, the level in tenths of a dB, and
// the cell value with the attenuator choice and the generator carrier correction.
#pragma once

#include <array>
#include <cstdint>

namespace tavrin {

enum class RfRole { Test, Generator };

// Lower bound of the settable level for a cable loss in 0.1 dB; the upper bound is 60 dB above.
double RfLevelLowerBound(int16_t cableLoss);

// round(level x 10 - 0.1), halves away from zero, held within the int32 range so that any level
// taken in service mode converts.
int32_t LevelTenths(double level);

struct RfLevelInputs {
    int16_t cableLoss = 0;        // 0.1 dB
    uint8_t attenuatorByteA = 0;  // the attenuator is worth AttenuatorByteA + 200 tenths
    const std::array<int8_t, 75>* generatorCarrierTable = nullptr;
    uint8_t model = 10;
    int8_t carrierOffset = 0;
    bool extendedFrequency = false;
    bool rfGenerator = false;  // the RF generator test is selected
    uint8_t maxCarrier = 34;
};

struct RfLevelSetting {
    bool attenuatorIn = false;  // mail 5D 30 (in) or 5D 31 (out)
    uint16_t cellValue = 0;     // cells 0x6A40 (low) and 0x6A41 (high), a signed 16-bit value
};

// Entry of the generator carrier table for the carrier, or -1 when the entry lies outside the
// table (a carrier of 254 or 255 on the generator, or an offset that runs below entry 0).
int GeneratorCarrierEntry(uint8_t model, uint8_t carrier, int8_t carrierOffset,
                          bool extendedFrequency);

RfLevelSetting ComputeRfLevel(double level, uint8_t carrier, const RfLevelInputs& in);

}  // namespace tavrin
