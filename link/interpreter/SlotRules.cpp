// Slot moving and hex identity reading.
#include "SlotRules.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "Readers.h"

namespace tavrin {

uint8_t FourSlotPartner(uint8_t slot) { return slot == 0 ? 2 : 0; }

std::optional<uint8_t> MovedAside(uint8_t slot, uint8_t otherSlot) {
    if (otherSlot != slot) return std::nullopt;
    return static_cast<uint8_t>((otherSlot + 2) % 10);
}

bool ReadHexGroups(const char* text, size_t digits, uint8_t* out, size_t count) {
    if (std::strlen(text) != digits) return false;
    for (size_t i = 0; i < digits; ++i)
        if (!std::isxdigit(static_cast<unsigned char>(text[i]))) return false;
    char spread[3 * kQuotedSize / 2 + 2];
    SpreadHex(text, spread, sizeof spread);
    const char* p = spread;
    for (size_t i = 0; i < count; ++i) {
        char* end = nullptr;
        const unsigned long v = std::strtoul(p, &end, 16);
        if (end == p || v > 0xFF) return false;
        out[i] = static_cast<uint8_t>(v);
        p = end;
    }
    while (*p == ' ') ++p;
    return *p == '\0';
}

}  // namespace tavrin
