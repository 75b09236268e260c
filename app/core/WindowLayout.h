// The default placement of the program's windows: the main window in the top-left corner, the
// console under it, the link window to its right and the two charts stacked under the link
// window, sized by the screen height.
#pragma once

#include <optional>

namespace tavrin::app {

struct WindowRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const WindowRect&) const = default;
};

struct WindowSet {
    WindowRect main;        // TWenloForm
    WindowRect console;     // TCommForm
    WindowRect link;        // TLinkConnectForm
    WindowRect modulation;  // TModulationForm
    WindowRect ntp;         // TNTPForm
};

// The chart height for a screen height, or empty when the height keeps the current one.
std::optional<int> ChartHeightForScreen(int screenHeight);

// Places the windows of `current` in row order (each uses the ones placed before it).
WindowSet DefaultLayout(const WindowSet& current, int screenHeight);

}  // namespace tavrin::app
