// The user's state folder of Tavrin, where logs, traces and the command history live.
#pragma once

#include <string>

namespace tavrin::common {

// "$XDG_STATE_HOME/tavrin", or "$HOME/.local/state/tavrin" when XDG_STATE_HOME is unset or
// relative (the base directory rules ignore a relative one); empty when neither is usable.
// Either argument may be null.
std::string StateFolder(const char* xdgStateHome, const char* home);
// The same for this process's environment.
std::string StateFolder();

}  // namespace tavrin::common
