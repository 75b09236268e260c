// The error table: index, number and text of every error the command language reports.
#pragma once

#include <array>
#include <cstdint>

namespace tavrin {

enum ErrorIndex : uint8_t {
    kNoError = 0,
    kTargetError = 1,
    kSyntaxError = 2,
    kSettingsConflict = 3,
    kParameterNotAllowed = 4,
    kDataOutOfRange = 5,
    kSettingsConflictSpare = 6,  // never recorded
    kTimeOutError = 7,
};

inline constexpr std::array<const char*, 8> kErrorTexts = {
    "+0, \"No Error\"",
    "-366, \"Target Error\"",
    "-102, \"Syntax Error\"",
    "-221, \"Settings Conflict\"",
    "-224, \"Parameter not allowed\"",
    "-222, \"Data out of Range\"",
    "-221, \"Settings Conflict\"",
    "-365, \"Time out Error\"",
};

}  // namespace tavrin
