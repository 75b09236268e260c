// The virtual tester's firmware: identity cells and the mailbox services.
#include "Firmware.h"

#include "SimUsbDriver.h"
#include "SimulatedTester.h"

namespace tavrin::sim {

namespace cell {
constexpr uint32_t kModel = 0x6A5C;
constexpr uint32_t kSlotCount = 0x6A5D;
}  // namespace cell

bool InstallIdentity(VirtualTester& tester, const SimulationSettings& settings,
                     std::string& reason) {
    if (settings.modelCode < 10 || settings.modelCode > 13) {
        reason = "model code " + std::to_string(settings.modelCode) + " is not 10 to 13";
        return false;
    }
    tester.Memory().Write(cell::kModel, settings.modelCode);
    tester.Memory().Write(cell::kSlotCount, 12);  // slots 0 to 11 of a DECT half frame
    return true;
}

bool InstallFirmware(VirtualTester& tester, const SimulationSettings& settings,
                     std::string& reason) {
    return InstallIdentity(tester, settings, reason) &&
           InstallRadio(tester, settings, reason) &&
           InstallDeviceUnderTest(tester, settings, reason);
}

}  // namespace tavrin::sim

namespace tavrin {

std::unique_ptr<UsbDriver> MakeSimulatedTester(Clock& clock, const SimulationSettings& settings,
                                               std::string& reason) {
    auto tester = std::make_shared<sim::VirtualTester>(clock);
    if (!sim::InstallFirmware(*tester, settings, reason)) return nullptr;
    return std::make_unique<sim::SimUsbDriver>(std::move(tester));
}

}  // namespace tavrin
