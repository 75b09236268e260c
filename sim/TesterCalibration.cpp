// The virtual instrument's calibration and where it lies in cells and EEPROM.
#include "TesterCalibration.h"

#include <cmath>

#include "VirtualTester.h"

namespace tavrin::sim {

TesterCalibration InstrumentCalibration(uint8_t modelCode) {
    TesterCalibration cal;
    const int unit = modelCode - 10;  // each model is a slightly different instrument
    // Gains that span the whole measuring range with 10-bit samples: about ±480 kHz of
    // deviation and power up to about 33 dBm at the detector.
    cal.pwrOffset = static_cast<int16_t>(600 + 3 * unit);
    cal.pwrGain = static_cast<int16_t>(98 + unit);
    cal.rxOffset = static_cast<int16_t>(509 - unit);
    cal.rxGain = static_cast<int16_t>(473 + 4 * unit);
    for (int i = 0; i < 75; ++i) {
        cal.powerCarrier[i] =
            static_cast<int8_t>(std::lround(3.0 * std::sin(0.35 * i + unit) + 0.08 * (i - 37)));
        cal.generatorCarrier[i] =
            static_cast<int8_t>(std::lround(-4.0 * std::cos(0.27 * i - unit) + 0.06 * (37 - i)));
    }
    cal.attenuatorA = 0x12;
    cal.attenuatorB = 0x15;
    for (int t = 0; t < 41; ++t) {
        cal.levelThresholds[t] = static_cast<int8_t>(-75 + 3 * t);
        cal.deviationCorrections[t] = static_cast<int16_t>(std::lround(6.0 - 0.35 * t));
    }
    return cal;
}

void WriteCalibration(VirtualTester& tester, const TesterCalibration& cal) {
    SimMemory& memory = tester.Memory();
    memory.WriteWord(kCalibrationCells, static_cast<uint16_t>(cal.pwrOffset));
    memory.WriteWord(kCalibrationCells + 2, static_cast<uint16_t>(cal.pwrGain));
    memory.WriteWord(kCalibrationCells + 4, static_cast<uint16_t>(cal.rxOffset));
    memory.WriteWord(kCalibrationCells + 6, static_cast<uint16_t>(cal.rxGain));
    auto& eeprom = tester.Eeprom();
    for (size_t i = 0; i < 75; ++i) {
        eeprom[kPowerCarrierTable + i] = static_cast<uint8_t>(cal.powerCarrier[i]);
        eeprom[kGeneratorCarrierTable + i] = static_cast<uint8_t>(cal.generatorCarrier[i]);
    }
    eeprom[kAttenuatorA] = cal.attenuatorA;
    eeprom[kAttenuatorB] = cal.attenuatorB;
    for (size_t t = 0; t < 41; ++t) {
        const auto word = static_cast<uint16_t>(cal.deviationCorrections[t]);
        eeprom[kCorrectionTriples + 3 * t] = static_cast<uint8_t>(cal.levelThresholds[t]);
        eeprom[kCorrectionTriples + 3 * t + 1] = static_cast<uint8_t>(word & 0xFF);
        eeprom[kCorrectionTriples + 3 * t + 2] = static_cast<uint8_t>(word >> 8);
    }
}

TesterCalibration ReadCalibration(VirtualTester& tester) {
    TesterCalibration cal;
    SimMemory& memory = tester.Memory();
    cal.pwrOffset = static_cast<int16_t>(memory.ReadWord(kCalibrationCells));
    cal.pwrGain = static_cast<int16_t>(memory.ReadWord(kCalibrationCells + 2));
    cal.rxOffset = static_cast<int16_t>(memory.ReadWord(kCalibrationCells + 4));
    cal.rxGain = static_cast<int16_t>(memory.ReadWord(kCalibrationCells + 6));
    const auto& eeprom = tester.Eeprom();
    for (size_t i = 0; i < 75; ++i) {
        cal.powerCarrier[i] = static_cast<int8_t>(eeprom[kPowerCarrierTable + i]);
        cal.generatorCarrier[i] = static_cast<int8_t>(eeprom[kGeneratorCarrierTable + i]);
    }
    cal.attenuatorA = eeprom[kAttenuatorA];
    cal.attenuatorB = eeprom[kAttenuatorB];
    for (size_t t = 0; t < 41; ++t) {
        cal.levelThresholds[t] = static_cast<int8_t>(eeprom[kCorrectionTriples + 3 * t]);
        cal.deviationCorrections[t] = static_cast<int16_t>(
            eeprom[kCorrectionTriples + 3 * t + 1] | (eeprom[kCorrectionTriples + 3 * t + 2] << 8));
    }
    return cal;
}

int CarrierTableEntry(uint8_t modelCode, uint8_t carrier, int8_t carrierOffset, bool extendedBand,
                      bool generatorTable) {
    int entry;
    if (generatorTable && modelCode == 11) {
        entry = carrier + carrierOffset;
    } else if (extendedBand && carrier >= 10) {
        entry = 22 + 9 - carrier + carrierOffset;
    } else {
        entry = 22 + carrier + carrierOffset;
    }
    return entry >= 0 && entry < 75 ? entry : -1;
}

}  // namespace tavrin::sim
