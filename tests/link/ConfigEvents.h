// What the virtual tester received, as one ordered list of readable events: parameter cells
// written ("cell 6A36=05") and mails taken ("mail 6: C0 02"), so the command tests read as
// tables of lines and expected traffic.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "SimLink.h"
#include "transport/MailboxLayout.h"

namespace tavrin::testing {

using Events = std::vector<std::string>;

// Mails of class 2 (EEPROM) and the error-indicator mail C7 are left out unless asked for.
inline Events TesterEvents(SimLink& sim, bool all = false) {
    Events events;
    size_t mail = 0;
    for (const auto& r : sim.tester->requestLog) {
        if (r.kind != 2) continue;
        char text[160];
        if (r.address == mailbox::kHostRingWrite) {
            if (mail >= sim.tester->mails.size()) continue;
            const auto& m = sim.tester->mails[mail++];
            const bool indicator = m.cls == 6 && !m.body.empty() && m.body[0] == 0xC7;
            if (!all && (m.cls == mailbox::kEepromClass || indicator)) continue;
            int n = std::snprintf(text, sizeof text, "mail %u:", m.cls);
            for (uint8_t b : m.body)
                n += std::snprintf(text + n, sizeof text - static_cast<size_t>(n), " %02X", b);
            events.emplace_back(text);
        } else if (r.address >= 0x6A04 && r.address < 0x6B00 &&
                   r.address != mailbox::kStatusCell) {
            std::snprintf(text, sizeof text, "cell %04X=%02X", static_cast<unsigned>(r.address),
                          r.value);
            events.emplace_back(text);
        }
    }
    return events;
}

// A link on a detected tester (model, slots and calibration read) with the logs cleared.
class DetectedTester : public ::testing::Test {
protected:
    explicit DetectedTester(SimulationSettings settings = {}) : sim(settings) {
        sim.Run("*IDN?");
        sim.ClearLogs();
    }
    Events Run(const char* line, int16_t* result = nullptr) {
        sim.ClearLogs();
        sim.Run(line, result);
        return TesterEvents(sim);
    }
    std::string Ask(const char* query) { return sim.Run(query); }
    ConfigState& conf() { return sim.link->conf; }
    ErrorState& errors() { return sim.link->errors; }

    SimLink sim;
};

}  // namespace tavrin::testing
