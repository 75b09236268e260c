// The limit section of a program setup file ("Setup-PP" or "Setup-FP"): the 24 limit texts
// and the five template ramps, as the program's setup load reads them, so the desktop program
// and a production line judge by the same file.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "common/LimitSet.h"

namespace tavrin::common {

enum class SetupSide { PP, FP };

// "Setup-PP" or "Setup-FP".
std::string_view SetupSection(SetupSide side);

// A text read from a file, with the line it stood on (0: not in the file, a factory value).
struct LineText {
    std::string text;
    int line = 0;
};

// Ramps B to F of the template; ramp A is neither written nor read by setup files.
inline constexpr std::array<std::string_view, 5> kRampFactory = {"-16", "4", "1", "-1", "-6"};
// "PP_RAMPB" ... "FP_RAMPF" for ramp 0 (B) to 4 (F).
std::string RampKey(SetupSide side, int ramp);

struct SetupLimits {
    // Indexed by the row's place in LimitRows() and by column; columns a two-limit row lacks
    // stay empty.
    std::array<std::array<LineText, 4>, 7> limits;
    std::array<LineText, 5> ramps;  // B to F
};

// The factory limits and ramps: what the program's "Factory Settings" gives.
SetupLimits FactorySetupLimits();

// Reads the side's section of a setup file. A key that is missing keeps its factory value, as
// in the program's load; names are compared without case. False and a message naming the file
// when it cannot be read or is not an ini-style file.
bool ReadSetupLimits(const std::string& path, SetupSide side, SetupLimits& out, std::string& error);

// One "key = value" line of an ini-style text with the section it belongs to and its line
// number (from 1). Comment lines (";" or "#") and section headers are not entries.
struct IniEntry {
    std::string section, key, value;
    int line = 0;
};
// The entries in file order, duplicates included; SimpleIni gives no line numbers, and error
// messages must name the line.
std::vector<IniEntry> IniEntries(std::string_view text);
// Case-insensitive comparison of section and key names, as SimpleIni compares them.
bool SameName(std::string_view a, std::string_view b);

}  // namespace tavrin::common
