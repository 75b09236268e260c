// The calibration a tester carries: detector gains and offsets in parameter cells, carrier
// tables, attenuator bytes and level-dependent deviation corrections in its EEPROM.
#pragma once

#include <array>
#include <cstdint>

namespace tavrin::sim {

class VirtualTester;

struct TesterCalibration {
    int16_t pwrOffset = 0;  // cells 0x6A75/76
    int16_t pwrGain = 100;  // cells 0x6A77/78, per 100
    int16_t rxOffset = 0;   // cells 0x6A79/7A
    int16_t rxGain = 5;     // cells 0x6A7B/7C, per 50
    std::array<int8_t, 75> powerCarrier{};      // EEPROM 0x0200, 0.1 dB
    std::array<int8_t, 75> generatorCarrier{};  // EEPROM 0x025F, 0.1 dB
    uint8_t attenuatorA = 0;                    // EEPROM 0x031D: worth A + 200 tenths of a dB
    uint8_t attenuatorB = 0;                    // EEPROM 0x03A0; 0xFF: the same as A
    std::array<int8_t, 41> levelThresholds{};   // EEPROM 0x031E + 3t, dBm
    std::array<int16_t, 41> deviationCorrections{};  // EEPROM 0x031F + 3t, low byte first
};

inline constexpr uint32_t kCalibrationCells = 0x6A75;
inline constexpr uint16_t kPowerCarrierTable = 0x0200;
inline constexpr uint16_t kGeneratorCarrierTable = 0x025F;
inline constexpr uint16_t kAttenuatorA = 0x031D;
inline constexpr uint16_t kCorrectionTriples = 0x031E;
inline constexpr uint16_t kAttenuatorB = 0x03A0;

// The factory calibration of one instrument of the model: detector constants near the
// design values, a carrier response with a gentle slope and ripple, a 21.8 dB attenuator.
TesterCalibration InstrumentCalibration(uint8_t modelCode);

void WriteCalibration(VirtualTester& tester, const TesterCalibration& cal);
// What the tester holds now (the host may have rewritten its EEPROM).
TesterCalibration ReadCalibration(VirtualTester& tester);

// Entry of a carrier table for the carrier; -1 when it lies outside the 75 entries.
int CarrierTableEntry(uint8_t modelCode, uint8_t carrier, int8_t carrierOffset,
                      bool extendedBand, bool generatorTable);

}  // namespace tavrin::sim
