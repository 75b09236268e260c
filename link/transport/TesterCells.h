// The tester's parameter and result cells that the library reads and writes: one name per
// cell. Words are little-endian; the mailbox's own cells are in MailboxLayout.h.
//
// The virtual tester keeps a map of its own (sim/), so that a wrong address here is caught by
// the tests instead of being repeated on both sides.
#pragma once

#include <cstdint>

namespace tavrin::cell {

inline constexpr uint32_t kFirmwareText = 0x6A04;  // 16 characters
inline constexpr uint32_t kDeviceState = 0x6A15;
inline constexpr uint32_t kSyncLock = 0x6A16;
inline constexpr uint32_t kLinkEstablished = 0x6A17;
inline constexpr uint32_t kDetectedRfpi = 0x6A1A;  // five bytes
inline constexpr uint32_t kDetectedDummyCarrier = 0x6A1F;
inline constexpr uint32_t kDetectedDummySlot = 0x6A20;
inline constexpr uint32_t kPmid = 0x6A27;  // three cells, 0x6A27 to 0x6A29
inline constexpr uint32_t kFpTrafficCarrier = 0x6A2A;
inline constexpr uint32_t kFpTrafficSlot = 0x6A2B;
inline constexpr uint32_t kFpSignallingMode = 0x6A2C;
inline constexpr uint32_t kPacketMode = 0x6A2D;
inline constexpr uint32_t kDummyCarrier = 0x6A36;
inline constexpr uint32_t kDummySlot = 0x6A37;
inline constexpr uint32_t kPpTrafficCarrier = 0x6A38;
inline constexpr uint32_t kGeneratorCarrier = 0x6A38;  // the same cell, in the RF generator
inline constexpr uint32_t kPpTrafficSlot = 0x6A39;
inline constexpr uint32_t kPpSignallingMode = 0x6A3A;
inline constexpr uint32_t kLevelLow = 0x6A40;
inline constexpr uint32_t kLevelHigh = 0x6A41;
inline constexpr uint32_t kBerWindow = 0x6A42;  // 16 bits
inline constexpr uint32_t kBerWindowHigh = 0x6A43;
inline constexpr uint32_t kRunningFrames = 0x6A44;       // 16 bits
inline constexpr uint32_t kRunningBitErrors = 0x6A46;    // 32 bits
inline constexpr uint32_t kRunningFrameErrors = 0x6A4A;  // 32 bits
inline constexpr uint32_t kFrames = 0x6A4E;        // 16 bits, then bit errors and frame errors
inline constexpr uint32_t kDemodOffsetA = 0x6A59;  // 16 bits
inline constexpr uint32_t kModel = 0x6A5C;
inline constexpr uint32_t kSlotCount = 0x6A5D;
inline constexpr uint32_t kCaptureTrigger = 0x6A5F;
inline constexpr uint32_t kCaptureCarrier = 0x6A60;
inline constexpr uint32_t kPpTrafficSize = 0x6A61;
inline constexpr uint32_t kFpTrafficSize = 0x6A62;
inline constexpr uint32_t kBurstSize = 0x6A63;    // 16 bits
inline constexpr uint32_t kAlignment = 0x6A67;    // signed
inline constexpr uint32_t kPacketDelay = 0x6A67;  // signed bytes 0x6A67, 0x6A69, 0x6A6A
inline constexpr uint32_t kCarrierOffset = 0x6A68;
inline constexpr uint32_t kPacketCounters = 0x6A69;  // six cells, 0x6A69 to 0x6A6E
inline constexpr uint32_t kJitter = 0x6A6B;          // signed bytes 0x6A6B, 0x6A6C
inline constexpr uint32_t kPacketCount = 0x6A6D;     // 16 bits
inline constexpr uint32_t kFirstPlanePage = 0x6A6F;
inline constexpr uint32_t kPlanePages = 0x6A70;
inline constexpr uint32_t kCaptureCrc = 0x6A72;
inline constexpr uint32_t kExtendedFrequency = 0x6A73;
inline constexpr uint32_t kNumberOfCarriers = 0x6A74;
inline constexpr uint32_t kPwrOffset = 0x6A75;  // calibration words
inline constexpr uint32_t kPwrGain = 0x6A77;
inline constexpr uint32_t kRxOffset = 0x6A79;
inline constexpr uint32_t kRxGain = 0x6A7B;
inline constexpr uint32_t kDemodOffsetB = 0x6A85;  // 16 bits

}  // namespace tavrin::cell
