// The parameter readers that every handler shares.
#pragma once

#include <cstddef>
#include <cstdint>

#include "CommandContext.h"

namespace tavrin {

inline constexpr size_t kQuotedSize = 80;  // including the terminator

// Base-10 integer that must run to the end of the line. Error 4 when absent, empty or not
// ending the line; error 5 outside [minimum, maximum] unless minimum == maximum (no range).
bool ReadInteger(CommandContext& ctx, const char* text, int32_t& value, int32_t minimum,
                 int32_t maximum);
// The same for a decimal real number.
bool ReadReal(CommandContext& ctx, const char* text, double& value, double minimum, double maximum);
// A quoted string at `cursor` into out (kQuotedSize). Error 2 unless the last error is 5 when
// a quote is missing; a text longer than 79 characters fails with error 4 (nothing is taken).
bool ReadQuoted(CommandContext& ctx, const char*& cursor, char* out);
// A blank between each pair of characters counted from the end: "0A1B2" -> "0 A1 B2".
// `out` holds 3 * strlen(text) / 2 + 2 characters.
void SpreadHex(const char* text, char* out, size_t outSize);

// A setter's word check: true when no parameter word is given; error 4 otherwise.
bool NoParameterWord(CommandContext& ctx);

}  // namespace tavrin
