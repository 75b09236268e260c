// The command-line switches of the program, compared without regard to case: "/DEBUG",
// "/SIMULATE" (or "--simulate"), "--dut FILE", "--driver NAME", "--analyzer".
#pragma once

#include <string>
#include <vector>

namespace tavrin::app {

struct StartupOptions {
    bool debugMode = false;
    bool simulate = false;
    bool analyzer = false;  // keep the RF analyzer page's tab, which every known model hides
    std::string dutFile;    // device profile of the virtual tester; empty: its default device
    std::string driver;     // USB driver for SelectUsbDriver; empty: the library's default
    std::string error;      // a switch that lacks its value; empty when all is well
};

// `arguments` includes the program path, which counts like any other argument.
StartupOptions ParseStartupOptions(const std::vector<std::string>& arguments);

// The help text printed for a bad command line.
inline constexpr const char* kUsageText =
    "usage: tavrin [/DEBUG] [/SIMULATE | --simulate] [--dut FILE] [--driver NAME] [--analyzer]\n";

}  // namespace tavrin::app
