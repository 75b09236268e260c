// The capture side of the virtual tester: on each trigger it writes the three sample planes of
// one burst of the device under test, inverting the tester's own calibration.
#pragma once

#include <memory>

#include "DeviceProfile.h"
#include "SimComponent.h"

namespace tavrin::sim {

std::unique_ptr<SimComponent> MakeCaptureSynthesizer(std::shared_ptr<const DeviceProfile> device);

}  // namespace tavrin::sim
