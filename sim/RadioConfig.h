// What the tester's radio has been told by the host: the firmware parts that take over the
// configuration cells and mails fill it, the device model reads it.
#pragma once

#include <array>
#include <cstdint>

namespace tavrin::sim {

struct RadioConfig {
    uint32_t testType = 0;         // the host's test-type code as sent; 0 before any
    std::array<uint8_t, 5> rfpi{};  // identity of the fixed part the tester plays
    uint8_t dummySlot = 2;
    uint8_t dummyCarrier = 0;
    uint8_t trafficSlot = 0;
    uint8_t trafficCarrier = 0;
    uint8_t rfgenCarrier = 0;
    double rfLevelDbm = -60.0;     // output level the host asked for
    bool rxAttenuator = true;
    uint8_t berPattern = 0;        // pattern code as sent
    bool signalling = true;
    bool loopback = true;
    int8_t carrierOffset = 0;
    int8_t timingOffset = 0;
    uint8_t packetType = 2;
};

}  // namespace tavrin::sim
