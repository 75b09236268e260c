// The six levels of the power-time template ("Limit A" to "Limit F") and the exit rule of a
// ramp field: text in, field text, message, command and stored level out.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tavrin::app {

struct RampLevel {
    char letter;  // 'A' .. 'F'
    int minimum;  // accepted range in dBm, both ends included
    int maximum;
    std::string_view preset;   // the default text
    std::string_view command;  // "CALC:LIM:POW:RMPA", the field's text follows after a blank
    int maxLength;             // characters the field accepts; 0 = no limit
};

inline constexpr int kRampLevels = 6;
const std::array<RampLevel, kRampLevels>& RampLevels();

struct RampExit {
    std::string text;                    // what the field holds afterwards
    std::optional<std::string> message;  // the error box, for a text that is no number
    std::string command;                 // the line sent to the tester
    int stored = 0;                      // the level kept for the template, toward zero
};

// A text that is no number is reported and replaced by the default; a number outside the
// range is replaced silently.
RampExit RampFieldExit(int level, std::string_view text);

}  // namespace tavrin::app
