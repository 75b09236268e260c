// Where the mailbox lies in tester memory, and the status values of its handshake.
#pragma once

#include <cstdint>

namespace tavrin::mailbox {

inline constexpr uint32_t kHostRingRead = 0x6800;    // tester: next host slot it takes
inline constexpr uint32_t kHostRingWrite = 0x6801;   // host: next host slot it fills
inline constexpr uint32_t kReplyRingRead = 0x6802;   // host: next reply slot it takes
inline constexpr uint32_t kReplyRingWrite = 0x6803;  // tester: next reply slot it fills
inline constexpr uint32_t kHostRing = 0x6804;
inline constexpr uint32_t kReplyRing = 0x6904;
inline constexpr uint32_t kSlotSize = 32;
inline constexpr uint32_t kSlots = 8;
inline constexpr uint32_t kTickCell = 0x6A18;
inline constexpr uint32_t kStatusCell = 0x6A5B;

inline constexpr uint8_t COMM_PENDING = 0x23;
inline constexpr uint8_t COMM_IDLE = 0x01;
inline constexpr uint8_t COMM_CRC_ERROR = 0x34;

inline constexpr uint8_t kMaxBody = 29;

inline constexpr uint8_t kEepromClass = 2;
inline constexpr uint8_t kEepromRead = 0x3C;
inline constexpr uint8_t kEepromWrite = 0x3B;
inline constexpr uint8_t kEepromAnswer = 0x3D;
inline constexpr uint8_t kEepromMaxRead = 25;

inline constexpr uint32_t HostSlot(uint32_t i) {
    return kHostRing + kSlotSize * i;
}
inline constexpr uint32_t ReplySlot(uint32_t i) {
    return kReplyRing + kSlotSize * i;
}

}  // namespace tavrin::mailbox
