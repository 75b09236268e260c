// What the main window's caption says after the System page's activation.
#pragma once

#include <string>

namespace tavrin::app {

// The suffix after the caption base text, by debug mode and the CAT-iq tick.
std::string CaptionSuffix(bool debugMode, bool catIqEnabled);

// The caption a reset leaves in debug mode, before the page's activation adds its suffix.
inline constexpr const char* kDebugResetSuffix = " Debug Enabled";

}  // namespace tavrin::app
