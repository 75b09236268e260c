// The interpreter's state: hardware detection, configuration, service lock, template limits
// and the averaging histories. Load values are the initialisers; reset values are applied by
// the reset command.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tavrin {

// Parameter codes that the state keeps.
namespace code {
inline constexpr uint32_t DPP = 0x00000010;
inline constexpr uint32_t DFP = 0x00000020;
inline constexpr uint32_t PP = 0x04000000;
inline constexpr uint32_t FP = 0x05000000;
inline constexpr uint32_t PPODD = 0x00000120;
inline constexpr uint32_t RFGE = 0x00190000;
inline constexpr uint32_t NOP0 = 0x00000130;
inline constexpr uint32_t NONE = 0x00005000;
inline constexpr uint32_t BS55 = 0x00000080;
inline constexpr uint32_t FIG3 = 0x000000B0;
inline constexpr uint32_t USB = 0x00000115;
inline constexpr uint32_t CommPortUsb = 0x00001000;
inline constexpr uint32_t CommPortNone = 0x0000FFFF;
inline constexpr uint32_t CommPortUnset = 0x000000FF;
}  // namespace code

struct HardwareState {
    bool HardwareDetected = false;
    uint8_t ModelCode = 0;
    uint8_t Model = 0;
    uint8_t MaxSlot = 0;
    uint8_t MaxCarrier = 0;
};

struct ConfigState {
    uint32_t TestType = code::NONE;
    std::array<uint8_t, 6> RfpiMail = {0, 0, 0, 0, 0, 0};  // byte 0 becomes 0xC2 when sent
    uint8_t DummyCarrier = 255;
    uint8_t DummySlot = 2;
    uint8_t PpTrafficSlot = 0;
    uint8_t FpTrafficSlot = 0;
    uint8_t TrafficCarrier = 255;
    uint8_t RfgenCarrier = 0;
    float RfLevel = -60.0f;
    int16_t CableLoss = 0;  // 0.1 dB
    int8_t CarrierOffset = 0;
    uint32_t ExtFreqRegister = 0;
    bool ExtendedFrequency = false;
    uint32_t NumberOfCarriers = 10;
    int8_t TimingOffset = 0;
    bool SignallingProtocol = true;
    bool LoopbackMode = true;
    uint8_t FpAntenna = 0;
    bool RxAttenuator = true;
    uint32_t RfgenModulation = code::BS55;
    uint32_t BerPattern = code::FIG3;
    uint32_t BerWindow = 100;
    uint32_t PackWindow = 200;
    uint8_t AverageBursts = 1;
    bool SampleModeCtrl = false;
    bool PowerRangeHigh = false;
    uint8_t PacketType = 2;
    bool DriftPerSlot = false;
    uint32_t CommPort = code::CommPortUnset;
    bool LinkOpen = false;

    bool IsRfGenerator() const { return TestType == code::RFGE; }
    bool IsPpTest() const { return TestType == code::DPP || TestType == code::PP; }
    bool IsFpTest() const { return TestType == code::DFP || TestType == code::FP; }
};

struct ServiceState {
    bool ServiceMode = false;
    uint8_t PasswordTries = 3;
};

struct TemplateLimits {
    int32_t LimitRmpa = -47;
    int32_t LimitRmpb = -16;
    int32_t LimitRmpc = 4;
    int32_t LimitRmpd = 1;
    int32_t LimitRmpe = -1;
    int32_t LimitRmpf = -6;
};

// Up to 200 values and a fill count, averaged over the last `count`.
struct AveragingHistory {
    std::array<float, 200> values{};
    uint8_t count = 0;

    void Empty() { count = 0; }
    void Push(float value, uint8_t averageBursts);
    // False (and `out` untouched) when the history is empty.
    bool Average(float& out, uint8_t averageBursts) const;
};

struct MeasurementState {
    AveragingHistory Power, FreqOffset, BfMax, BfMin, SfMax, SfMin, Drift, AccDrift, MsDrift;
    float FreqRef = 0.0f;
    bool FreqRefValid = false;
    // The last result of each history: a query whose history has no average keeps it.
    float PowerAvg = 0.0f, FreqOffsetAvg = 0.0f, BfMaxAvg = 0.0f, BfMinAvg = 0.0f, SfMaxAvg = 0.0f,
          SfMinAvg = 0.0f, DriftAvg = 0.0f, AccDriftAvg = 0.0f, MsDriftAvg = 0.0f;

    void EmptyAll() {
        for (AveragingHistory* h :
             {&Power, &FreqOffset, &BfMax, &BfMin, &SfMax, &SfMin, &Drift, &AccDrift, &MsDrift})
            h->Empty();
    }
};

}  // namespace tavrin
