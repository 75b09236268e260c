// LoadCalibration: the detector cells, then the EEPROM tables in their fixed order.
#include "Calibration.h"

#include "Link.h"
#include "TesterCells.h"

namespace tavrin {
namespace {

constexpr uint16_t kPowerCarrierTable = 0x0200;
constexpr uint16_t kGeneratorCarrierTable = 0x025F;
constexpr uint16_t kAttenuatorA = 0x031D;
constexpr uint16_t kCorrectionTriples = 0x031E;
constexpr uint16_t kAttenuatorB = 0x03A0;

int16_t ReadSigned16(Link& link, uint32_t address) {
    return static_cast<int16_t>(link.usb.TesterReadWord(address));
}

}  // namespace

void LoadCalibration(Link& link) {
    Calibration& cal = link.cal;
    cal.PwrOffset = ReadSigned16(link, cell::kPwrOffset);
    cal.PwrGain = ReadSigned16(link, cell::kPwrGain);
    cal.RxOffset = ReadSigned16(link, cell::kRxOffset);
    cal.RxGain = ReadSigned16(link, cell::kRxGain);

    // A read without an answer keeps the previous values of what is not yet read
    // (ReadTesterEeprom leaves the data untouched and records error 7) and ends the load
    // there: an EEPROM that does not answer costs one transaction per try, not fourteen. The
    // load stays incomplete, so the next command line tries again.
    cal.CalibrationLoaded = false;
    uint8_t data[25];
    for (int pass = 0; pass < 3; ++pass) {
        const uint16_t offset = static_cast<uint16_t>(25 * pass);
        if (!link.mail.ReadTesterEeprom(kPowerCarrierTable + offset, 25, data)) return;
        for (int i = 0; i < 25; ++i) cal.PowerCarrierTable[offset + i] = int8_t(data[i]);
        if (!link.mail.ReadTesterEeprom(kGeneratorCarrierTable + offset, 25, data)) return;
        for (int i = 0; i < 25; ++i) cal.GeneratorCarrierTable[offset + i] = int8_t(data[i]);
    }

    if (!link.mail.ReadTesterEeprom(kAttenuatorA, 1, data)) return;
    cal.AttenuatorByteA = data[0];
    if (!link.mail.ReadTesterEeprom(kAttenuatorB, 1, data)) return;
    cal.AttenuatorByteB = data[0] == 0xFF ? cal.AttenuatorByteA : data[0];

    for (int pass = 0; pass < 6; ++pass) {
        if (!link.mail.ReadTesterEeprom(static_cast<uint16_t>(kCorrectionTriples + 21 * pass), 21,
                                        data))
            return;
        for (int q = 0; q < 7; ++q) {
            const int entry = 7 * pass + q;
            if (entry >= 41) break;
            cal.LevelThresholds[entry] = static_cast<int8_t>(data[3 * q]);
            cal.DeviationCorrections[entry] =
                static_cast<int16_t>(data[3 * q + 1] | (data[3 * q + 2] << 8));
        }
    }

    cal.CalibrationLoaded = true;
}

}  // namespace tavrin
