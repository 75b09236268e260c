// The host copies of the tester's calibration: detector gains and offsets, the carrier
// tables, the attenuator bytes and the level-dependent deviation corrections.
#pragma once

#include <array>
#include <cstdint>

namespace tavrin {

class Link;

struct Calibration {
    int16_t PwrOffset = 0;
    int16_t PwrGain = 100;
    int16_t RxOffset = 0;
    int16_t RxGain = 5;
    std::array<int8_t, 75> PowerCarrierTable{};
    std::array<int8_t, 75> GeneratorCarrierTable{};
    uint8_t AttenuatorByteA = 0;
    uint8_t AttenuatorByteB = 0;
    std::array<int8_t, 41> LevelThresholds{};
    std::array<int16_t, 41> DeviationCorrections{};
    bool CalibrationLoaded = false;
};

// Reads the calibration from the tester's cells and EEPROM into link.cal.
void LoadCalibration(Link& link);

}  // namespace tavrin
