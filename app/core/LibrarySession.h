// Library set-up of the program: driver choice, the virtual tester's settings and where the
// trace lines of the library go. Implemented beside the port, the one user of the exports.
#pragma once

#include <string>

namespace tavrin::app {

class TraceSink {
public:
    virtual ~TraceSink() = default;
    virtual void traceLine(const char* text) = 0;
};

// "libftdi", "d2xx", "sim" or a library path; false when the library refused it.
bool SelectDriver(const std::string& name);
// "model" (10 to 13) or "dut" (a device profile file); call before selecting "sim".
bool ConfigureSimulatedTester(const std::string& key, const std::string& value);
struct StartupOptions;
// Sets up the driver the switches ask for ("/SIMULATE" with its "--dut" profile, or
// "--driver"); an empty text when ready, else what went wrong.
std::string ApplyDriverOptions(const StartupOptions& options);

// Every trace line of the library goes to `sink` from now on; nullptr gives them back.
void RouteTrace(TraceSink* sink);

}  // namespace tavrin::app
