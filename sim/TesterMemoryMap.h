// The virtual tester's memory map: where its firmware keeps what the host reads and writes.
// It is written apart from the library's own map on purpose, so that a wrong address on
// either side shows up in the tests instead of being shared by both.
#pragma once

#include <cstdint>

namespace tavrin::sim::cell {

inline constexpr uint32_t kFirmwareText = 0x6A04;  // 16 characters, zero padded
inline constexpr uint32_t kDeviceState = 0x6A15;
inline constexpr uint32_t kSyncLock = 0x6A16;
inline constexpr uint32_t kLink = 0x6A17;
inline constexpr uint32_t kDetectedRfpi = 0x6A1A;  // five bytes
inline constexpr uint32_t kDetectedDummyCarrier = 0x6A1F;
inline constexpr uint32_t kDetectedDummySlot = 0x6A20;
inline constexpr uint32_t kPmid = 0x6A27;
inline constexpr uint32_t kFpTrafficCarrier = 0x6A2A;
inline constexpr uint32_t kFpTrafficSlot = 0x6A2B;
inline constexpr uint32_t kFpSignallingMode = 0x6A2C;
inline constexpr uint32_t kPacketMode = 0x6A2D;
inline constexpr uint32_t kDummyCarrier = 0x6A36;
inline constexpr uint32_t kDummySlot = 0x6A37;
inline constexpr uint32_t kGeneratorCarrier = 0x6A38;
inline constexpr uint32_t kPpTrafficCarrier = 0x6A38;
inline constexpr uint32_t kPpTrafficSlot = 0x6A39;
inline constexpr uint32_t kPpSignallingMode = 0x6A3A;
inline constexpr uint32_t kLevel = 0x6A40;
inline constexpr uint32_t kBerWindow = 0x6A42;           // 16 bits, written by the host
inline constexpr uint32_t kRunningFrames = 0x6A44;       // 16 bits
inline constexpr uint32_t kRunningBitErrors = 0x6A46;    // 32 bits
inline constexpr uint32_t kRunningFrameErrors = 0x6A4A;  // 32 bits
inline constexpr uint32_t kFrames = 0x6A4E;              // 16 bits: the last full window
inline constexpr uint32_t kBitErrors = 0x6A50;           // 32 bits
inline constexpr uint32_t kFrameErrors = 0x6A54;         // 32 bits
inline constexpr uint32_t kDemodA = 0x6A59;
inline constexpr uint32_t kModel = 0x6A5C;
inline constexpr uint32_t kSlotCount = 0x6A5D;
inline constexpr uint32_t kTrigger = 0x6A5F;
inline constexpr uint32_t kCarrier = 0x6A60;
inline constexpr uint32_t kPpTrafficSize = 0x6A61;
inline constexpr uint32_t kFpTrafficSize = 0x6A62;
inline constexpr uint32_t kBurstSize = 0x6A63;     // 16 bits: the size code of the burst
inline constexpr uint32_t kTimingOffset = 0x6A65;  // signed 16 bits
inline constexpr uint32_t kAlignment = 0x6A67;
inline constexpr uint32_t kCarrierOffset = 0x6A68;
inline constexpr uint32_t kDelayMinimum =
    0x6A69;  // signed bytes; the host restarts them at 127, -128
inline constexpr uint32_t kDelayMaximum = 0x6A6A;
inline constexpr uint32_t kJitterHigh = 0x6A6B;   // largest deviation from the mean delay
inline constexpr uint32_t kJitterLow = 0x6A6C;    // most negative deviation
inline constexpr uint32_t kPacketCount = 0x6A6D;  // 16 bits
inline constexpr uint32_t kFirstPage = 0x6A6F;
inline constexpr uint32_t kPlanePages = 0x6A70;
inline constexpr uint32_t kCrc = 0x6A72;
inline constexpr uint32_t kExtFreq = 0x6A73;
inline constexpr uint32_t kNumberOfCarriers = 0x6A74;
inline constexpr uint32_t kDemodB = 0x6A85;

}  // namespace tavrin::sim::cell
