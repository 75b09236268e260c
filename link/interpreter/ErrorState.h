// The library-wide error state: the last error only, and the count of the running command.
#pragma once

#include <cstdint>

#include "ErrorTable.h"

namespace tavrin {

struct ErrorState {
    uint8_t LastError = kNoError;
    int16_t ErrorCount = 0;
    int16_t ReportedErrorCount = 0;

    void Record(ErrorIndex index) {
        LastError = index;
        ErrorCount = static_cast<int16_t>(ErrorCount + 1);
    }
};

}  // namespace tavrin
