// The keyword table of the command language: names matched on their first four bytes, in
// table order, first match wins; a code of 0 ends the scan.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace tavrin {

struct Keyword {
    char name[6];  // up to 5 characters, zero padded (and terminated)
    uint32_t code;
};

inline constexpr size_t kKeywordEntries = 171;

std::span<const Keyword> KeywordTable();  // the 171 entries and the terminator

// Code of the token, 0 when no entry matches.
uint32_t LookUpKeyword(const char* token);

}  // namespace tavrin
