// The command-line switches of the program, compared without regard to case: "/DEBUG",
// "/SIMULATE" (or "--simulate"), "--dut FILE", "--driver NAME", "--analyzer", "--help" (or
// "-h"), "--version".
#pragma once

#include <string>
#include <vector>

namespace tavrin::app {

struct StartupOptions {
    bool debugMode = false;
    bool simulate = false;
    bool analyzer = false;  // keep the RF analyzer page's tab, which every known model hides
    bool help = false;      // print kHelpText and end, before any window or tester
    bool version = false;   // print the version and end, likewise
    std::string dutFile;    // device profile of the virtual tester; empty: its default device
    std::string driver;     // USB driver for SelectUsbDriver; empty: the library's default
    std::string error;      // a switch that lacks its value; empty when all is well
};

// `arguments` includes the program path, which counts like any other argument.
StartupOptions ParseStartupOptions(const std::vector<std::string>& arguments);

// The help text printed for a bad command line.
inline constexpr const char* kUsageText =
    "Usage: tavrin [/DEBUG] [/SIMULATE | --simulate] [--dut FILE] [--driver NAME] [--analyzer]\n";

// What --help prints after kUsageText; the manual page tavrin(1) is made from both.
inline constexpr const char* kHelpText =
    "\n"
    "The desktop program of the Tavrin DECT radio-communication tester: PP and FP tests, the\n"
    "RF generator, live measurements against limits with power-time and modulation charts,\n"
    "measurement logs and setup files. Switches are compared without regard to case.\n"
    "\n"
    "Options:\n"
    "  --debug, /DEBUG     show the communication console and log switch, echo all traffic\n"
    "                      and keep running without a tester\n"
    "  --simulate, /SIMULATE\n"
    "                      run on the virtual tester instead of a real one\n"
    "  --dut FILE          device-under-test profile of the virtual tester (implies\n"
    "                      --simulate)\n"
    "  --driver NAME       USB driver: libftdi (default), d2xx (FTDI's libftd2xx.so), or the\n"
    "                      path of a library with the D2XX functions\n"
    "  --analyzer          keep the RF analyzer page, which every known model hides\n"
    "  -h, --help          show this text and exit\n"
    "  --version           show the version and exit\n"
    "\n"
    "Files:\n"
    "  Default.cfg in the working directory is the setup loaded at start. The library's\n"
    "  trace lines go to $XDG_STATE_HOME/tavrin/tavrin.log (~/.local/state/tavrin when\n"
    "  XDG_STATE_HOME is unset), in debug mode to the console.\n";

}  // namespace tavrin::app
