// The virtual tester's firmware: identity cells and the mailbox services.
#include "Firmware.h"

#include <algorithm>
#include <iterator>

#include "SimUsbDriver.h"
#include "SimulatedTester.h"
#include "TesterMemoryMap.h"

namespace tavrin::sim {

namespace eeprom {
constexpr uint32_t kHardwareVersion = 0x03A8;  // four version digits
constexpr uint32_t kSerialNumber = 0x0500;     // four bytes, shown as eight hex digits
}  // namespace eeprom

// What this virtual instrument says about itself.
constexpr char kFirmwareText[] = "FW 4.12 SIM";
constexpr uint8_t kHardwareVersion[] = {1, 0, 2, 0};
constexpr uint8_t kSerialNumber[] = {0x20, 0x26, 0x47, 0x11};

bool InstallIdentity(VirtualTester& tester, const SimulationSettings& settings,
                     std::string& reason) {
    if (settings.modelCode < 10 || settings.modelCode > 13) {
        reason = "model code " + std::to_string(settings.modelCode) + " is not 10 to 13";
        return false;
    }
    tester.Memory().Write(cell::kModel, settings.modelCode);
    tester.Memory().Write(cell::kSlotCount, 12);  // slots 0 to 11 of a DECT half frame
    for (uint32_t i = 0; i < 16; ++i)
        tester.Memory().Write(cell::kFirmwareText + i,
                              i < sizeof kFirmwareText ? uint8_t(kFirmwareText[i]) : 0);
    auto& e = tester.Eeprom();
    std::copy(std::begin(kHardwareVersion), std::end(kHardwareVersion),
              e.begin() + eeprom::kHardwareVersion);
    std::copy(std::begin(kSerialNumber), std::end(kSerialNumber),
              e.begin() + eeprom::kSerialNumber);
    return true;
}

bool InstallFirmware(VirtualTester& tester, const SimulationSettings& settings,
                     std::string& reason) {
    return InstallIdentity(tester, settings, reason) && InstallRadio(tester, settings, reason) &&
           InstallDeviceUnderTest(tester, settings, reason);
}

}  // namespace tavrin::sim

namespace tavrin {

std::unique_ptr<UsbDriver> MakeSimulatedTester(Clock& clock, const SimulationSettings& settings,
                                               std::string& reason) {
    auto tester = std::make_shared<sim::VirtualTester>(clock);
    tester->keepRequestLogs = false;
    if (!sim::InstallFirmware(*tester, settings, reason)) return nullptr;
    tester->SetLiveFault(settings.fault);
    return std::make_unique<sim::SimUsbDriver>(std::move(tester));
}

}  // namespace tavrin
