// The "sim" provider: a virtual tester with its firmware on the USB driver seam.
#pragma once

#include <memory>
#include <string>

#include "transport/Clock.h"
#include "transport/D2xx.h"
#include "transport/SimulationSettings.h"

namespace tavrin {

// nullptr and a reason when the settings cannot be honoured (a device profile that does not
// load, a model code outside 10 to 13).
std::unique_ptr<UsbDriver> MakeSimulatedTester(Clock& clock, const SimulationSettings& settings,
                                               std::string& reason);

}  // namespace tavrin
