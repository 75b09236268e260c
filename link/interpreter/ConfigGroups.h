// The themes of the CONF group, each a table in its own file; ConfigHandlers() joins them.
#pragma once

#include <span>

#include "HandlerTable.h"

namespace tavrin {

std::span<const HandlerEntry> ConfigTestHandlers();     // test choice, generator, band, offsets
std::span<const HandlerEntry> ConfigSlotHandlers();     // identity, slots, carriers, sizes
std::span<const HandlerEntry> ConfigRfLevelHandlers();  // RF output level
std::span<const HandlerEntry> ConfigSignalHandlers();   // signalling, frequency, attenuator, sync
std::span<const HandlerEntry> ConfigPatternHandlers();  // modulation and BER patterns, windows
std::span<const HandlerEntry> ConfigMeasureHandlers();  // averaging, power range, packet type
std::span<const HandlerEntry> ConfigPortHandlers();     // connection port

// An integer 0 to `maximum`, where the maximum comes from the detected tester: before a
// tester is detected it is 0, which the integer reader would take as "no range" and then
// keep any number cut to 8 bits; here 0 stays the only value.
bool ReadUpTo(CommandContext& ctx, int32_t& value, int32_t maximum);

// Shared by the themes: a carrier number 0 to MaxCarrier, or else 254 or 255 (the tester's
// "no carrier" values). Either success clears ErrorCount; LastError keeps the first reading's
// error when only the second one succeeded.
bool ReadCarrier(CommandContext& ctx, int32_t& carrier);

// Looks the parameter code up in a table of accepted words; false when it is not there.
struct WordValue {
    uint32_t code;
    int value;
};
bool FindWord(std::span<const WordValue> words, uint32_t code, int& value);
// The word of a kept code, nullptr when none.
struct CodeName {
    uint32_t code;
    const char* name;
};
const char* NameOf(std::span<const CodeName> names, uint32_t code);

}  // namespace tavrin
