// The tester's radio: calibration and the configuration it is given.
#include "Firmware.h"

namespace tavrin::sim {

bool InstallRadio(VirtualTester&, const SimulationSettings&, std::string&) { return true; }

}  // namespace tavrin::sim
