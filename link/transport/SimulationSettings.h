// Settings the "sim" provider builds its virtual tester with.
#pragma once

#include <cstdint>
#include <string>

namespace tavrin {

struct SimulationSettings {
    uint8_t modelCode = 10;     // the model cell: 10 to 13
    std::string deviceProfile;  // INI file of the device under test; empty: the default device
    // A fault the tester shows from the start: "" (none), "unplugged" (no tester on the bus)
    // or "silent" (the tester takes requests and never answers).
    std::string fault;
};

}  // namespace tavrin
