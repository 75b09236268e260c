// What the tester's radio has been told by the host: the firmware parts that take over the
// configuration cells and mails fill it, the device model reads it.
#pragma once

#include <array>
#include <cstdint>

namespace tavrin::sim {

struct RadioConfig {
    // Test mode of the last C0 mail: 0 idle, 1 FP test (the tester is a portable part),
    // 2 PP test (the tester is a fixed part; also the generator's base), 3 PP test, odd slots.
    uint32_t testType = 0;          // the host's test-type code as sent; 0 before any
    uint32_t testSelections = 0;    // C0 mails taken so far: a new one restarts the radio
    bool generatorOn = false;       // 5D 06 after the test mode: a plain carrier is sent
    bool nopTest = false;           // 5D 80 00: the no-operation test
    std::array<uint8_t, 5> rfpi{};  // identity of the fixed part the tester plays
    std::array<uint8_t, 3> pmid{};  // identity of the portable part the tester plays
    uint8_t dummySlot = 2;          // taken over with the C3 mail
    uint8_t dummyCarrier = 0;
    uint8_t trafficSlot = 0;        // of the running test (PP cells, or FP cells in the FP test)
    uint8_t trafficCarrier = 0;
    uint8_t ppTrafficSlot = 0, ppTrafficCarrier = 0;  // cells 0x6A39, 0x6A38
    uint8_t fpTrafficSlot = 0, fpTrafficCarrier = 0;  // cells 0x6A2B, 0x6A2A
    uint8_t ppTrafficSize = 0, fpTrafficSize = 0;     // cells 0x6A61, 0x6A62
    uint8_t rfgenCarrier = 0;       // cell 0x6A38 when the generator starts
    double rfLevelDbm = -60.0;      // output level at the tester's connector (C4 mail)
    uint16_t levelCell = 0;         // the raw level cells 0x6A40/41 as last taken over
    bool outputAttenuator = true;   // 5D 30 in, 5D 31 out: the generator path's attenuator
    bool rxAttenuator = true;       // 5D 32 in, 5D 33 out
    uint8_t berPattern = 0;         // pattern code as sent (C1): 0 PSRB ... 5 FIG31, 6 off, 7 BS20
    bool signalling = true;         // 5D 15 on, 5D 14 off
    uint8_t signallingMode = 1;     // of the running test: 1 normal, 0 loopback, 2 echo
    uint8_t ppSignallingMode = 1, fpSignallingMode = 1;  // cells 0x6A3A, 0x6A2C
    bool loopback = true;           // off only in echo mode
    int8_t carrierOffset = 0;       // cell 0x6A68
    uint8_t extFreqRegister = 0;    // cell 0x6A73: bit 7 extended band, bits 0-6 reference
    bool extendedBand = false;
    uint8_t numberOfCarriers = 10;  // cell 0x6A74
    int8_t timingOffset = 0;        // 5D 50 n
    int freqOffsetKhz = 0;          // 5D 20 nominal, 5D 21 +50 kHz, 5D 22 -50 kHz
    bool externalReference = false;  // 5D 10 internal, 5D 11 external 10 MHz
    uint8_t fpAntenna = 0;          // C5 n
    uint16_t berWindow = 100;       // cells 0x6A42/43
    uint8_t packetType = 2;
    bool errorLamp = false;         // C7: the front error indicator
};

}  // namespace tavrin::sim
