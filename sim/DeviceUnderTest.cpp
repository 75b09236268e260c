// The device under test in front of the tester.
#include "Firmware.h"

namespace tavrin::sim {

bool InstallDeviceUnderTest(VirtualTester&, const SimulationSettings&, std::string&) {
    return true;
}

}  // namespace tavrin::sim
