// One list of providers by name; the path provider is last as it takes any other text.
#include "UsbDrivers.h"

#include "D2xxLibrary.h"
#include "LibftdiDriver.h"
#include "Link.h"
#include "SimulatedTester.h"

namespace tavrin {
namespace {

struct Provider {
    const char* name;
    std::unique_ptr<UsbDriver> (*make)(Clock&, const SimulationSettings&, std::string&);
};

constexpr Provider kProviders[] = {
    {"libftdi",
     [](Clock&, const SimulationSettings&, std::string&) { return MakeLibftdiDriver(); }},
    {"d2xx", [](Clock&, const SimulationSettings&,
                std::string& reason) { return LoadD2xxLibrary("libftd2xx.so", reason); }},
    {"sim", [](Clock& clock, const SimulationSettings& settings,
               std::string& reason) { return MakeSimulatedTester(clock, settings, reason); }},
};

}  // namespace

std::unique_ptr<UsbDriver> MakeUsbDriver(const std::string& name, Clock& clock,
                                         const SimulationSettings& simulation,
                                         std::string& reason) {
    for (const Provider& p : kProviders)
        if (name == p.name) return p.make(clock, simulation, reason);
    if (name.empty()) {
        reason = "empty driver name";
        return nullptr;
    }
    return LoadD2xxLibrary(name, reason);
}

}  // namespace tavrin
