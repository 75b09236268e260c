// The state folder from XDG_STATE_HOME and HOME.
#include "StateFolder.h"

#include <cstdlib>

namespace tavrin::common {

std::string StateFolder(const char* xdgStateHome, const char* home) {
    if (xdgStateHome && xdgStateHome[0] == '/') return std::string(xdgStateHome) + "/tavrin";
    if (home && home[0] == '/') return std::string(home) + "/.local/state/tavrin";
    return {};
}

std::string StateFolder() {
    return StateFolder(std::getenv("XDG_STATE_HOME"), std::getenv("HOME"));
}

}  // namespace tavrin::common
