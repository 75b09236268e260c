// The host-side store of the last capture and the values kept about it.
#pragma once

#include <array>
#include <cstdint>

namespace tavrin {

inline constexpr size_t kSampleRecords = 8192;

struct SampleRecord {
    int16_t Frequency = 0;
    int16_t Power = 0;
    int16_t SecondPower = 0;  // from the capture without attenuator
    uint8_t Valid = 0;
};

struct CaptureState {
    std::array<SampleRecord, kSampleRecords> SampleStore{};
    uint16_t CaptureBurstSize = 0;
    uint8_t CaptureCarrier = 0;
    int16_t DemodOffset = 0;
    int16_t BlockDemodOffset = 0;
    int16_t DeviationCorrection = 0;
    int16_t AveragePower = 0;
    std::array<uint8_t, 4> CrcFlags{};
    std::array<uint32_t, 3> PlaneBase{};  // set by the reset command

    void ClearStore() { SampleStore.fill(SampleRecord{}); }
};

}  // namespace tavrin
