// Fault rehearsal: a device profile's [faults] section pulls the cable on the tester's clock.
#include <gtest/gtest.h>

#include "SimLink.h"
#include "transport/MailboxLayout.h"

namespace tavrin::testing {
namespace {

// Whether the tester answers one read at `seconds`, and what the read cost.
bool AnswersAt(SimLink& sim, double seconds, uint32_t* costMs = nullptr) {
    sim.clock.sleepUs(static_cast<uint64_t>(seconds * 1e6) - sim.clock.nowUs());
    sim.link->errors = {};
    const uint32_t start = sim.clock.nowMs();
    sim.link->usb.TesterRead(mailbox::kTickCell);
    if (costMs) *costMs = sim.clock.nowMs() - start;
    return sim.link->errors.ErrorCount == 0;
}

TEST(CablePull, ShippedProfileIsSilentFromSecond20For10sThenAnswersAgain) {
    SimulationSettings settings;
    settings.deviceProfile = std::string(TAVRIN_SOURCE_DIR) + "/sim/profiles/cable-pull-pp.ini";
    SimLink sim(settings);  // the port opened at second 0
    EXPECT_TRUE(AnswersAt(sim, 19.9));
    // A second port choice does not restart the rehearsal's clock.
    EXPECT_EQ(sim.link->usb.OpenUsbLink(kFirstUsbPort), 2);
    uint32_t cost = 0;
    EXPECT_FALSE(AnswersAt(sim, 20.1, &cost));
    EXPECT_NEAR(cost, kExchangeTimeoutMs, 20);  // silent: the read waits out its bound
    EXPECT_FALSE(AnswersAt(sim, 28.5));
    EXPECT_TRUE(AnswersAt(sim, 30.1));
    EXPECT_TRUE(AnswersAt(sim, 100.0));  // pulled once only
}

}  // namespace
}  // namespace tavrin::testing
