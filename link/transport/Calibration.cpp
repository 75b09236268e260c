// LoadCalibration: the detector cells, then the EEPROM tables in their fixed order.
#include "Calibration.h"

#include "Link.h"

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
    cal.PwrOffset = ReadSigned16(link, 0x6A75);
    cal.PwrGain = ReadSigned16(link, 0x6A77);
    cal.RxOffset = ReadSigned16(link, 0x6A79);
    cal.RxGain = ReadSigned16(link, 0x6A7B);

    // A read without an answer keeps that table's previous values (ReadTesterEeprom leaves
    // the data untouched and records error 7), and the load stays incomplete so the next
    // command line tries again.
    bool complete = true;
    uint8_t data[25];
    for (int pass = 0; pass < 3; ++pass) {
        const uint16_t offset = static_cast<uint16_t>(25 * pass);
        if (link.mail.ReadTesterEeprom(kPowerCarrierTable + offset, 25, data)) {
            for (int i = 0; i < 25; ++i) cal.PowerCarrierTable[offset + i] = int8_t(data[i]);
        } else {
            complete = false;
        }
        if (link.mail.ReadTesterEeprom(kGeneratorCarrierTable + offset, 25, data)) {
            for (int i = 0; i < 25; ++i) cal.GeneratorCarrierTable[offset + i] = int8_t(data[i]);
        } else {
            complete = false;
        }
    }

    if (link.mail.ReadTesterEeprom(kAttenuatorA, 1, data)) {
        cal.AttenuatorByteA = data[0];
    } else {
        complete = false;
    }
    if (link.mail.ReadTesterEeprom(kAttenuatorB, 1, data)) {
        cal.AttenuatorByteB = data[0] == 0xFF ? cal.AttenuatorByteA : data[0];
    } else {
        complete = false;
    }

    for (int pass = 0; pass < 6; ++pass) {
        if (!link.mail.ReadTesterEeprom(static_cast<uint16_t>(kCorrectionTriples + 21 * pass),
                                        21, data)) {
            complete = false;
            continue;
        }
        for (int q = 0; q < 7; ++q) {
            const int entry = 7 * pass + q;
            if (entry >= 41) break;
            cal.LevelThresholds[entry] = static_cast<int8_t>(data[3 * q]);
            cal.DeviationCorrections[entry] =
                static_cast<int16_t>(data[3 * q + 1] | (data[3 * q + 2] << 8));
        }
    }

    cal.CalibrationLoaded = complete;
}

}  // namespace tavrin
