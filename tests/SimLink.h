// A link instance on a fresh virtual tester and a virtual clock, with the port open.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Firmware.h"
#include "SimUsbDriver.h"
#include "transport/Link.h"

namespace tavrin::testing {

class SimLink {
public:
    explicit SimLink(SimulationSettings settings = {}, bool open = true) {
        tester = std::make_shared<sim::VirtualTester>(clock);
        std::string reason;
        installed = sim::InstallFirmware(*tester, settings, reason);
        // As the "sim" provider does: `*fault = ...` acts on this tester at once.
        fault = settings.fault;
        tester->SetLiveFault(fault);
        auto owned = std::make_unique<sim::SimUsbDriver>(tester);
        driver = owned.get();
        link = std::make_unique<Link>(clock, std::move(owned));
        link->trace.SetSink(
            [](const char* text, void* self) {
                static_cast<SimLink*>(self)->traceLines.emplace_back(text);
            },
            this);
        if (open) link->usb.OpenUsbLink(kFirstUsbPort);
    }

    // Runs one line and returns its answer; `result` takes ZelkWrt's value.
    std::string Run(const char* line, int16_t* result = nullptr) {
        const int16_t r = link->ZelkWrt(line, true);
        if (result) *result = r;
        char out[kResponseSize] = {};
        link->ZelkRd(out, false);
        return out;
    }
    std::string LastErrorText() { return Run("SYST:ERR?"); }

    // Forget what the tester saw so far, so a test looks only at its own command.
    void ClearLogs() {
        tester->mails.clear();
        tester->requestLog.clear();
        tester->cellWrites.clear();
        traceLines.clear();
    }

    VirtualClock clock;
    std::shared_ptr<sim::VirtualTester> tester;
    std::shared_ptr<SimulatedFault> fault;
    sim::SimUsbDriver* driver = nullptr;
    std::unique_ptr<Link> link;
    std::vector<std::string> traceLines;
    bool installed = false;
};

}  // namespace tavrin::testing
