// The device under test in front of the virtual tester: what it transmits and how it behaves.
// Loaded from a small INI file; the defaults are a compliant portable part.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "transport/SimulationSettings.h"

namespace tavrin::sim {

struct DeviceProfile {
    std::string name = "compliant portable part";
    bool fixedPart = false;             // a fixed part (FP test) rather than a portable part
    double powerDbm = 24.0;             // normal transmit power
    double freqOffsetKhz = 12.0;        // carrier offset from nominal
    double driftKhzPerMs = 0.5;         // linear drift over the burst
    double bFieldDeviationKhz = 330.0;  // peak deviation of the B-field data
    double sFieldDeviationKhz = 330.0;  // peak deviation of the preamble and sync word
    double rampUs = 2.0;                // power ramp-up and ramp-down time
    double overshootDb = 0.0;           // overshoot at the top of the ramp
    double noiseKhz = 0.5;              // rms frequency noise
    double noiseDb = 0.05;              // rms power noise
    double bitErrorRate = 1e-5;
    double frameErrorRate = 0.0;
    double jitterUs = 0.1;        // rms spread of the packet timing
    double delayUs = 0.0;         // packet delay against the expected position
    double timingOffsetUs = 0.0;  // slot timing error the tester measures
    std::array<uint8_t, 5> rfpi = {0x00, 0x12, 0x34, 0x56, 0x78};  // a fixed part's identity
    uint8_t dummySlot = 4;
    uint8_t dummyCarrier = 5;
    uint32_t searchMs = 300;   // a fixed part is found after this long
    uint32_t connectMs = 200;  // link set-up time
    // Fault rehearsal: the tester's USB side fails this long after the tester was first opened.
    double silentAfterS = 0.0;  // 0: never
    double silentForS = 0.0;    // 0: for good
    SimulatedFault faultMode = SimulatedFault::Silent;
};

// False and a reason when the file cannot be read or a value is out of its range.
bool LoadDeviceProfile(const std::string& path, DeviceProfile& profile, std::string& reason);

}  // namespace tavrin::sim
