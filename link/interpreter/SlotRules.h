// Keeping the PP test's dummy and traffic slots apart, and the hex identities (RFPI, PMID).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace tavrin {

// A four-slot tester (MaxSlot 3) always places the other bearer itself: slot 2 when the new
// slot is 0, else slot 0; the current slot of the other bearer is not looked at.
inline bool IsFourSlotTester(uint8_t maxSlot) { return maxSlot == 3; }
uint8_t FourSlotPartner(uint8_t slot);
// Otherwise the other bearer moves two slots on (modulo 10) only when it sits on the new slot.
std::optional<uint8_t> MovedAside(uint8_t slot, uint8_t otherSlot);

// `count` hex numbers from text spread into pairs from its end ("12345" gives 01 23 45):
// false unless the text is exactly `digits` hex digits.
bool ReadHexGroups(const char* text, size_t digits, uint8_t* out, size_t count);

}  // namespace tavrin
