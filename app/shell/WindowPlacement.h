// The default places of the program's windows on the screen.
#pragma once

class QWidget;

namespace tavrin::app {

struct ProgramWindows {
    QWidget* main;
    QWidget* console;
    QWidget* link;
    QWidget* modulation;
    QWidget* ntp;
};

// Places the windows as the default layout gives it for a screen this high.
void PlaceWindows(const ProgramWindows& windows, int screenHeight);

}  // namespace tavrin::app
