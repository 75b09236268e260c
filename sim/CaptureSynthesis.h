// The capture side of the virtual tester: on each trigger it writes the three sample planes of
// one burst of the device under test, inverting the tester's own calibration.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "DeviceProfile.h"
#include "SimComponent.h"

namespace tavrin::sim {

// How the tester itself captures, apart from what the device sends.
struct CaptureSynthesis {
    // From the trigger until the planes are written and the trigger cleared: on average half
    // a frame passes until the device's slot comes round.
    uint64_t captureUs = 5000;
    uint8_t firstPage = 0;      // cell 0x6A6F when it holds no geometry yet
    uint8_t planePages = 32;    // cell 0x6A70 likewise: 8192 bytes per plane
    uint16_t burstSize = 40;    // cell 0x6A63 when nobody set it: 40 B-field bytes; 80 the long one
    int16_t demodOffsetA = 14;  // cells 0x6A59 and 0x6A85: the demodulator's own offset
    int16_t demodOffsetB = -9;
    double generatorDeviationKhz = 288.0;  // the tester's own generator in the RF generator test
    double floorDbm = -70.0;               // what the power detector shows without a signal
    uint32_t seed = 1;
};

std::unique_ptr<SimComponent> MakeCaptureSynthesizer(std::shared_ptr<const DeviceProfile> device);
std::unique_ptr<SimComponent> MakeCaptureSynthesizer(std::shared_ptr<const DeviceProfile> device,
                                                     const CaptureSynthesis& synthesis);

// The bits of one burst as the device sends them: the S-field (preamble and sync word of a
// portable or fixed part), the A-field, `bFieldBits` of B-field data in the pattern of the
// host's pattern code (0 PSRB, 1 SPSR, 2 BS55, 3 BS33, 4 BS0F, 5 FIG31, others PSRB), and the
// X and Z fields. The last 16 B-field bits repeat the preamble (except for BS0F), so the drift
// windows at both ends of the burst see the same modulation.
std::vector<int8_t> BurstBits(bool fixedPart, uint8_t patternCode, int bFieldBits);

}  // namespace tavrin::sim
