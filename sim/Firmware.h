// The firmware parts of the virtual tester, installed in this order.
#pragma once

#include <string>

#include "VirtualTester.h"
#include "transport/SimulationSettings.h"

namespace tavrin::sim {

// Model and slot count (the mailbox and its EEPROM service come with every VirtualTester).
bool InstallIdentity(VirtualTester& tester, const SimulationSettings& settings,
                     std::string& reason);
// The radio: calibration, configuration cells and mails taken over as the tester's state.
bool InstallRadio(VirtualTester& tester, const SimulationSettings& settings, std::string& reason);
// The device under test in front of the tester, from its profile.
bool InstallDeviceUnderTest(VirtualTester& tester, const SimulationSettings& settings,
                            std::string& reason);

// All of the above: false and a reason when one part cannot be installed.
bool InstallFirmware(VirtualTester& tester, const SimulationSettings& settings,
                     std::string& reason);

}  // namespace tavrin::sim
