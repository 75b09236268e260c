// Settings the "sim" provider builds its virtual tester with.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace tavrin {

// What the virtual tester's USB side does: answer, stay silent (requests are lost and reads
// time out) or be gone from the bus (every call on the open device fails, the device search
// does not see it).
enum class SimulatedFault : uint8_t { None, Silent, Unplugged };

// "" (none), "silent" and "unplugged"; false for any other text.
inline bool ParseSimulatedFault(const std::string& text, SimulatedFault& fault) {
    if (text.empty()) {
        fault = SimulatedFault::None;
    } else if (text == "silent") {
        fault = SimulatedFault::Silent;
    } else if (text == "unplugged") {
        fault = SimulatedFault::Unplugged;
    } else {
        return false;
    }
    return true;
}

struct SimulationSettings {
    uint8_t modelCode = 10;     // the model cell: 10 to 13
    std::string deviceProfile;  // INI file of the device under test; empty: the default device
    // The fault set from outside (ConfigureSimulation). Every virtual tester built from these
    // settings shares it, so a change reaches a tester that is already open at once.
    std::shared_ptr<SimulatedFault> fault = std::make_shared<SimulatedFault>(SimulatedFault::None);
};

}  // namespace tavrin
