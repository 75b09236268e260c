// The tester's radio: its calibration, and the configuration it is given by cells and mails.
#include "RadioState.h"

#include <cstdio>
#include <string>

#include "Firmware.h"
#include "TesterCalibration.h"
#include "TesterMemoryMap.h"
#include "VirtualTester.h"

namespace tavrin::sim {
namespace {

constexpr uint8_t kConfigClass = 6;
constexpr uint8_t kMaxCarrier = 34;
constexpr uint8_t kNoCarrier = 254;  // 254 and 255: the host's "no carrier"
// What the generator can put out at its connector.
constexpr double kLowestOutputDbm = -130.0;
constexpr double kHighestOutputDbm = 0.0;

void Logf(VirtualTester& tester, const char* format, unsigned a, unsigned b = 0) {
    char line[120];
    std::snprintf(line, sizeof line, format, a, b);
    tester.Log(line);
}

bool SlotKnown(VirtualTester& tester, uint8_t slot) {
    return slot < tester.Memory().Read(cell::kSlotCount);
}

bool CarrierKnown(uint8_t carrier) {
    return carrier <= kMaxCarrier || carrier >= kNoCarrier;
}

}  // namespace

void RadioState::RunningTest(VirtualTester& tester) {
    RadioConfig& radio = tester.radio;
    const bool fpTest = radio.testType == 1;
    radio.trafficSlot = fpTest ? radio.fpTrafficSlot : radio.ppTrafficSlot;
    radio.trafficCarrier = fpTest ? radio.fpTrafficCarrier : radio.ppTrafficCarrier;
    radio.signallingMode = fpTest ? radio.fpSignallingMode : radio.ppSignallingMode;
    radio.loopback = radio.signallingMode != 2;
}

void RadioState::OnCellWrite(VirtualTester& tester, uint32_t address, uint8_t value) {
    RadioConfig& radio = tester.radio;
    switch (address) {
        case cell::kPmid:
        case cell::kPmid + 1:
        case cell::kPmid + 2:
            radio.pmid[address - cell::kPmid] = value;
            return;
        case cell::kFpTrafficCarrier:
        case cell::kPpTrafficCarrier:
            if (!CarrierKnown(value))
                Logf(tester, "traffic carrier %u is not a DECT carrier", value);
            (address == cell::kPpTrafficCarrier ? radio.ppTrafficCarrier : radio.fpTrafficCarrier) =
                value;
            break;
        case cell::kFpTrafficSlot:
        case cell::kPpTrafficSlot:
            if (!SlotKnown(tester, value))
                Logf(tester, "traffic slot %u is not a slot here", value);
            (address == cell::kPpTrafficSlot ? radio.ppTrafficSlot : radio.fpTrafficSlot) = value;
            break;
        case cell::kFpSignallingMode:
        case cell::kPpSignallingMode:
            if (value > 2) Logf(tester, "signalling mode %u not known, kept as loopback", value);
            (address == cell::kPpSignallingMode ? radio.ppSignallingMode : radio.fpSignallingMode) =
                value > 2 ? 0 : value;
            break;
        case cell::kBerWindow:
        case cell::kBerWindow + 1:
            radio.berWindow = tester.Memory().ReadWord(cell::kBerWindow);
            return;
        case cell::kPpTrafficSize:
            radio.ppTrafficSize = value;
            return;
        case cell::kFpTrafficSize:
            radio.fpTrafficSize = value;
            return;
        case cell::kCarrierOffset:
            radio.carrierOffset = static_cast<int8_t>(value);
            if (radio.carrierOffset < -22 || radio.carrierOffset > 3)
                Logf(tester, "carrier offset %u outside -22 to 3", value);
            return;
        case cell::kExtFreq:
            radio.extFreqRegister = value;
            radio.extendedBand = (value & 0x80) != 0;
            return;
        case cell::kNumberOfCarriers:
            radio.numberOfCarriers = value;
            if (value < 1 || value > 10)
                Logf(tester, "number of carriers %u outside 1 to 10", value);
            return;
        default:
            return;  // dummy bearer and level cells are taken with their mails
    }
    RunningTest(tester);
}

void RadioState::TakeDummyBearer(VirtualTester& tester) {
    RadioConfig& radio = tester.radio;
    radio.dummySlot = tester.Memory().Read(cell::kDummySlot);
    radio.dummyCarrier = tester.Memory().Read(cell::kDummyCarrier);
    if (!SlotKnown(tester, radio.dummySlot))
        Logf(tester, "dummy slot %u is not a slot here", radio.dummySlot);
    if (!CarrierKnown(radio.dummyCarrier))
        Logf(tester, "dummy carrier %u is not a DECT carrier", radio.dummyCarrier);
}

// The level cells hold the wanted level in 0.1 dB with the host's cable loss and this
// tester's carrier correction added, and without the attenuator when it is out.
void RadioState::TakeLevel(VirtualTester& tester) {
    RadioConfig& radio = tester.radio;
    radio.levelCell = tester.Memory().ReadWord(cell::kLevel);
    const TesterCalibration cal = ReadCalibration(tester);
    const uint8_t carrier = radio.generatorOn ? radio.rfgenCarrier : radio.trafficCarrier;
    int tenths = static_cast<int16_t>(radio.levelCell);
    if (radio.generatorOn || carrier <= kMaxCarrier) {
        const int entry = CarrierTableEntry(tester.Memory().Read(cell::kModel), carrier,
                                            radio.carrierOffset, radio.extendedBand, true);
        if (entry >= 0) tenths -= cal.generatorCarrier[static_cast<size_t>(entry)];
    }
    if (!radio.outputAttenuator) tenths += cal.attenuatorA + 200;
    radio.rfLevelDbm = tenths / 10.0;
    if (radio.rfLevelDbm < kLowestOutputDbm || radio.rfLevelDbm > kHighestOutputDbm) {
        char line[100];
        std::snprintf(line, sizeof line, "RF level %.1f dBm outside the generator's range, clipped",
                      radio.rfLevelDbm);
        tester.Log(line);
        radio.rfLevelDbm =
            radio.rfLevelDbm < kLowestOutputDbm ? kLowestOutputDbm : kHighestOutputDbm;
    }
}

void RadioState::ServiceMail(VirtualTester& tester, const uint8_t* body, uint8_t count) {
    RadioConfig& radio = tester.radio;
    if (count < 2) {
        tester.Log("service mail 5D without its code, ignored");
        return;
    }
    const uint8_t what = body[1];
    switch (what) {
        case 0x06:
            radio.generatorOn = true;
            radio.rfgenCarrier = tester.Memory().Read(cell::kPpTrafficCarrier);
            return;
        case 0x10:
        case 0x11:
            radio.externalReference = what == 0x11;
            return;
        case 0x14:
        case 0x15:
            radio.signalling = what == 0x15;
            return;
        case 0x20:
            radio.freqOffsetKhz = 0;
            return;
        case 0x21:
            radio.freqOffsetKhz = 50;
            return;
        case 0x22:
            radio.freqOffsetKhz = -50;
            return;
        case 0x30:
        case 0x31:
            radio.outputAttenuator = what == 0x30;
            return;
        case 0x32:
        case 0x33:
            radio.rxAttenuator = what == 0x32;
            return;
        case 0x50:
            if (count < 3) {
                tester.Log("timing offset mail without its value");
                return;
            }
            radio.timingOffset = static_cast<int8_t>(body[2]);
            return;
        case 0x80:
            radio.nopTest = true;
            radio.generatorOn = false;
            return;
        default:
            Logf(tester, "service mail 5D %02x not known, ignored", what);
            return;
    }
}

bool RadioState::OnMail(VirtualTester& tester, uint8_t cls, const uint8_t* body, uint8_t count) {
    if (cls != kConfigClass || count == 0) return false;
    RadioConfig& radio = tester.radio;
    switch (body[0]) {
        case 0xC0:
            radio.testType = count > 1 ? body[1] : 0;
            ++radio.testSelections;
            radio.generatorOn = false;
            radio.nopTest = false;
            if (radio.testType > 3) Logf(tester, "test mode %u not known", radio.testType);
            RunningTest(tester);
            return false;  // the link procedure (device model) starts from it too
        case 0xC1:
            radio.berPattern = count > 1 ? body[1] : 0;
            if (radio.berPattern > 7) Logf(tester, "pattern %u not known", radio.berPattern);
            return true;
        case 0xC2:
            if (count < 6) {
                tester.Log("RFPI mail shorter than five bytes, ignored");
                return true;
            }
            for (int i = 0; i < 5; ++i) radio.rfpi[i] = body[1 + i];
            return true;
        case 0xC3:
            TakeDummyBearer(tester);
            return true;
        case 0xC4:
            TakeLevel(tester);
            return true;
        case 0xC5:
            radio.fpAntenna = count > 1 ? body[1] : 0;
            if (radio.fpAntenna > 7) Logf(tester, "antenna %u not fitted", radio.fpAntenna);
            return true;
        case 0xC7:
            radio.errorLamp = count > 1 && body[1] != 0;
            return true;
        case 0x5D:
            if (count > 1 && body[1] == 0xFF) {
                radio = RadioConfig{};  // the reset restarts the firmware
                return false;           // and the device model restarts with it
            }
            ServiceMail(tester, body, count);
            return true;
        default:
            return false;
    }
}

bool InstallRadio(VirtualTester& tester, const SimulationSettings& settings, std::string&) {
    WriteCalibration(tester, InstrumentCalibration(settings.modelCode));
    tester.AddComponent(std::make_unique<RadioState>());
    return true;
}

}  // namespace tavrin::sim
