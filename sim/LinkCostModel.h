// What one USB exchange with an FT232R costs: answers sit in the bridge until a 62-byte
// packet is full or the latency timer runs out; bytes move at the UART rate.
#pragma once

#include <cstdint>

namespace tavrin::sim {

struct LinkCostModel {
    uint64_t latencyUs = 2000;         // latency timer set to 2 ms at open
    uint64_t packetPayload = 62;       // a 64-byte bulk packet carries 2 status bytes
    double bytesPerSecond = 300000.0;  // 3 Mbaud, 10 bits per byte

    double ByteUs() const { return 1e6 / bytesPerSecond; }
};

}  // namespace tavrin::sim
