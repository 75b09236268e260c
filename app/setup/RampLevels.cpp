// The ramp level table and the ramp field's exit rule.
#include "RampLevels.h"

#include <cmath>

#include "common/LimitSet.h"

namespace tavrin::app {
namespace {

constexpr std::array<RampLevel, kRampLevels> kLevels = {{
    // Limit A takes texts of any length.
    {'A', -60, 0, "-47", "CALC:LIM:POW:RMPA", 0},
    {'B', -20, 0, "-16", "CALC:LIM:POW:RMPB", 7},
    {'C', 0, 10, "4", "CALC:LIM:POW:RMPC", 7},
    {'D', 0, 10, "1", "CALC:LIM:POW:RMPD", 7},
    {'E', -10, 0, "-1", "CALC:LIM:POW:RMPE", 7},
    {'F', -20, 0, "-6", "CALC:LIM:POW:RMPF", 7},
}};

}  // namespace

const std::array<RampLevel, kRampLevels>& RampLevels() {
    return kLevels;
}

RampExit RampFieldExit(int level, std::string_view text) {
    const RampLevel& l = kLevels.at(static_cast<size_t>(level));
    RampExit out;
    out.text = std::string(text);
    std::optional<double> value = common::ParseLimitNumber(text);
    if (!value) {
        out.message = "Error. Setting default (" + std::string(l.preset) + ")";
        out.text = std::string(l.preset);
        value = common::ParseLimitNumber(l.preset);
    } else if (*value < l.minimum || *value > l.maximum) {
        out.text = std::string(l.preset);
        value = common::ParseLimitNumber(l.preset);
    }
    out.command = std::string(l.command) + " " + out.text;
    out.stored = static_cast<int>(std::trunc(*value));
    return out;
}

}  // namespace tavrin::app
