// The providers of the USB driver seam, by name.
#pragma once

#include <memory>
#include <string>

#include "Clock.h"
#include "D2xx.h"
#include "SimulationSettings.h"

namespace tavrin {

// "libftdi", "d2xx", "sim", or the path of a D2XX-compatible library (matched last).
// nullptr and a reason when the provider cannot be made.
std::unique_ptr<UsbDriver> MakeUsbDriver(const std::string& name, Clock& clock,
                                         const SimulationSettings& simulation, std::string& reason);

}  // namespace tavrin
