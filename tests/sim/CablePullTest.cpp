// Fault rehearsal on the "sim" provider: the [faults] keys of a device profile and the fault
// set from outside, seen through a link on the virtual clock.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "DeviceProfile.h"
#include "transport/Link.h"
#include "transport/MailboxLayout.h"

namespace tavrin::sim {
namespace {

namespace fs = std::filesystem;

fs::path WriteProfile(const std::string& name, const std::string& text) {
    const fs::path path = fs::path(::testing::TempDir()) / name;
    std::ofstream(path) << text;
    return path;
}

// A link on the built-in virtual tester, as tavrin-cli --simulate makes it.
struct SimulatedLink {
    explicit SimulatedLink(const std::string& profile = "") : link(clock) {
        link.trace.SetSink([](const char*, void*) {}, nullptr);
        link.simulation.deviceProfile = profile;
        EXPECT_EQ(link.SelectUsbDriver("sim"), 0);
        EXPECT_EQ(link.usb.OpenUsbLink(kFirstUsbPort), 2);
    }
    // One read of the tick cell: whether it was answered, and what it cost.
    bool Answers(uint32_t* costMs = nullptr) {
        link.errors = {};
        const uint32_t start = clock.nowMs();
        link.usb.TesterRead(mailbox::kTickCell);
        if (costMs) *costMs = clock.nowMs() - start;
        return link.errors.ErrorCount == 0;
    }
    void At(double seconds) {
        const auto at = static_cast<uint64_t>(seconds * 1e6);
        ASSERT_GT(at, clock.nowUs());
        clock.sleepUs(at - clock.nowUs());
    }

    VirtualClock clock;
    Link link;
};

TEST(CablePull, ShippedProfileIsTheDefaultPortablePartSilentFromSecond20For10s) {
    DeviceProfile loaded;
    std::string reason;
    ASSERT_TRUE(LoadDeviceProfile(fs::path(TAVRIN_SOURCE_DIR) / "sim/profiles/cable-pull-pp.ini",
                                  loaded, reason))
        << reason;
    EXPECT_DOUBLE_EQ(loaded.silentAfterS, 20.0);
    EXPECT_DOUBLE_EQ(loaded.silentForS, 10.0);
    EXPECT_EQ(loaded.faultMode, SimulatedFault::Silent);
    const DeviceProfile defaults;
    EXPECT_FALSE(loaded.fixedPart);
    EXPECT_DOUBLE_EQ(loaded.powerDbm, defaults.powerDbm);
    EXPECT_DOUBLE_EQ(loaded.freqOffsetKhz, defaults.freqOffsetKhz);
    EXPECT_EQ(defaults.silentAfterS, 0.0);  // without the section: never
}

TEST(CablePull, BadFaultValuesAreRefusedLikeEveryOtherKey) {
    const std::pair<const char*, const char*> cases[] = {
        {"[faults]\nsilent_after_s = -1\n", "silent_after_s needs a number from"},
        {"[faults]\nsilent_for_s = soon\n", "silent_for_s needs a number from"},
        {"[faults]\nsilent_after_s = 90000\n", "silent_after_s needs a number from"},
        {"[faults]\nmode = cut\n", "mode is \"silent\""},
        {"[faults]\nmode =\n", "mode is \"silent\""},
        {"[faults]\nsilent_after = 5\n", "[faults] silent_after is not a known key"},
    };
    int n = 0;
    for (const auto& [text, inReason] : cases) {
        const fs::path path = WriteProfile("bad-fault-" + std::to_string(n++) + ".ini", text);
        DeviceProfile profile;
        std::string reason;
        EXPECT_FALSE(LoadDeviceProfile(path, profile, reason)) << text;
        EXPECT_NE(reason.find(inReason), std::string::npos) << reason;
        EXPECT_EQ(profile.silentAfterS, 0.0);
    }
    // Such a profile keeps the simulated port from opening, as any bad profile does.
    VirtualClock clock;
    Link link(clock);
    link.trace.SetSink([](const char*, void*) {}, nullptr);
    link.simulation.deviceProfile = WriteProfile("bad-fault-port.ini", "[faults]\nmode = x\n");
    EXPECT_NE(link.SelectUsbDriver("sim"), 0);
}

TEST(CablePull, SilentFromSecondNForMSecondsThenAnswersAgain) {
    SimulatedLink sim(fs::path(TAVRIN_SOURCE_DIR) / "sim/profiles/cable-pull-pp.ini");
    sim.At(19.9);
    EXPECT_TRUE(sim.Answers());
    // A second port choice does not restart the rehearsal's clock.
    EXPECT_EQ(sim.link.usb.OpenUsbLink(kFirstUsbPort), 2);
    sim.At(20.1);
    uint32_t cost = 0;
    EXPECT_FALSE(sim.Answers(&cost));
    EXPECT_GE(cost, kExchangeTimeoutMs);  // a silent tester: the read waits out its bound
    EXPECT_LE(cost, kExchangeTimeoutMs + 50);
    // The device stays on the bus while it is silent.
    EXPECT_EQ(sim.link.usb.OpenUsbLink(kFirstUsbPort), 2);
    sim.At(28.5);
    EXPECT_FALSE(sim.Answers());
    sim.At(30.1);
    EXPECT_TRUE(sim.Answers());
    sim.At(100.0);
    EXPECT_TRUE(sim.Answers());  // pulled once only
}

TEST(CablePull, UnpluggedForGoodFailsAtOnceAndLeavesTheBus) {
    SimulatedLink sim(
        WriteProfile("unplug.ini", "[faults]\nsilent_after_s = 2.5\nmode = unplugged\n"));
    sim.At(2.4);
    EXPECT_TRUE(sim.Answers());
    sim.At(2.6);
    uint32_t cost = 1;
    EXPECT_FALSE(sim.Answers(&cost));
    EXPECT_EQ(cost, 0u);  // the port reports the device gone: no wait
    EXPECT_NE(sim.link.usb.LastStatus(), FT_OK);
    EXPECT_EQ(sim.link.usb.OpenUsbLink(kFirstUsbPort), 3);
    sim.At(3600.0);
    EXPECT_EQ(sim.link.usb.OpenUsbLink(kFirstUsbPort), 3);
}

TEST(CablePull, FaultSetFromOutsideActsOnTheOpenTesterAtOnce) {
    SimulatedLink sim;
    EXPECT_TRUE(sim.Answers());
    *sim.link.simulation.fault = SimulatedFault::Silent;
    uint32_t cost = 0;
    EXPECT_FALSE(sim.Answers(&cost));
    EXPECT_GE(cost, kExchangeTimeoutMs);
    *sim.link.simulation.fault = SimulatedFault::None;
    EXPECT_TRUE(sim.Answers());
    // A command line after the silence runs as before it.
    EXPECT_EQ(sim.link.ZelkWrt("STAT:DEV?", false), 0);

    *sim.link.simulation.fault = SimulatedFault::Unplugged;
    EXPECT_FALSE(sim.Answers(&cost));
    EXPECT_EQ(cost, 0u);
    *sim.link.simulation.fault = SimulatedFault::None;
    EXPECT_TRUE(sim.Answers());
    // The fault set from outside wins over the profile's rehearsal and ends with it.
    SimulatedLink pulled(
        WriteProfile("pull-1s.ini", "[faults]\nsilent_after_s = 1\nsilent_for_s = 1\n"));
    *pulled.link.simulation.fault = SimulatedFault::Unplugged;
    EXPECT_FALSE(pulled.Answers(&cost));
    EXPECT_EQ(cost, 0u);
    *pulled.link.simulation.fault = SimulatedFault::None;
    pulled.At(1.5);
    EXPECT_FALSE(pulled.Answers(&cost));
    EXPECT_GE(cost, kExchangeTimeoutMs);
}

}  // namespace
}  // namespace tavrin::sim
