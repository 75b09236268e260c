// The default places of the program's windows on the screen, and the screen's size.
#pragma once

#include <QSize>

class QWidget;

namespace tavrin::app {

struct ProgramWindows {
    QWidget* main;
    QWidget* console;
    QWidget* link;
    QWidget* modulation;
    QWidget* ntp;
};

// The primary screen's size (1280 x 1024 when there is none).
QSize PrimaryScreenSize();
// Places the windows as the default layout gives it for a screen this high.
void PlaceWindows(const ProgramWindows& windows, int screenHeight);

}  // namespace tavrin::app
