// Caption suffixes.
#include "CaptionRules.h"

namespace tavrin::app {

std::string CaptionSuffix(bool debugMode, bool catIqEnabled) {
    if (debugMode)
        return catIqEnabled ? " Debug and CAT-iq Enabled" : " Debug Enabled - CAT-iq Disabled";
    return catIqEnabled ? " CAT-iq Enabled" : " CAT-iq Disabled";
}

}  // namespace tavrin::app
