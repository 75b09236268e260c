// The service access code, kept only in scrambled form: the plain text is turned into its
// scrambled bytes while compiling, so it never lies in the library as readable text.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tavrin {

inline constexpr size_t kAccessCodeLength = 12;

namespace access_code_detail {
// Every key byte has its top bit set, so every scrambled byte of an ASCII code does too and
// no run of printable characters can appear.
constexpr uint8_t Key(size_t i) {
    return static_cast<uint8_t>(0x80 | (0x5B + 0x27 * i));
}

consteval std::array<uint8_t, kAccessCodeLength> Scramble(
    const char (&plain)[kAccessCodeLength + 1]) {
    std::array<uint8_t, kAccessCodeLength> out{};
    for (size_t i = 0; i < kAccessCodeLength; ++i)
        out[i] = static_cast<uint8_t>(static_cast<uint8_t>(plain[i]) ^ Key(i));
    return out;
}
}  // namespace access_code_detail

inline constexpr std::array<uint8_t, kAccessCodeLength> kScrambledAccessCode =
    access_code_detail::Scramble("KQZ4417WD385");

// True when the first 12 characters of `text` are the access code.
bool MatchesAccessCode(const char* text);

}  // namespace tavrin
