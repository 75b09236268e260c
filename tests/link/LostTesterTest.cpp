// A tester lost in the middle of a live measurement: what each command line costs, how the
// caller tells a lost tester from a refused command, and the tester picked up again.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "MeasurementRig.h"
#include "SimLink.h"
#include "transport/Capture.h"

namespace tavrin::testing {
namespace {

// The commands of one tick of the link window with every measurement ticked.
const char* const kPollTick[] = {"STAT:DEV?",       "PROC:SAMP:FORC",     "READ:NTP?",
                                 "READ:FREQ:OFFS?", "READ:BF?",           "READ:SF?",
                                 "READ:FREQ:DRIF?", "CALC:LIM:TRAN:MAT?", "FETC:BER:LTER?",
                                 "FETC:JITT?",      "FETC:PACK:DEL?",     "READ:TIME:ACC?"};

class LostTester : public ::testing::Test {
protected:
    // A session as the program runs it: port, reset, PP test, the link up.
    void SetUp() override {
        RigCalibration{}.WriteInto(*sim.tester);
        for (const char* line :
             {"CONF:COMM:PORT USB", "SYST:RESET", "CONF:TEST:TYPE DPP", "PROC:CONN:SET"}) {
            int16_t result = -1;
            sim.Run(line, &result);
            ASSERT_EQ(result, 0) << line;
        }
        for (int i = 0; i < 300 && sim.Run("STAT:DEV?") != "DCE"; ++i) sim.clock.sleepMs(10);
        ASSERT_EQ(sim.Run("STAT:DEV?"), "DCE");
        sim.traceLines.clear();
    }
    // Runs a line; what it cost on the virtual clock.
    uint32_t Cost(const char* line, int16_t* result = nullptr, std::string* answer = nullptr) {
        const uint32_t start = sim.clock.nowMs();
        const std::string a = sim.Run(line, result);
        if (answer) *answer = a;
        return sim.clock.nowMs() - start;
    }
    int32_t State() const { return sim.link->TesterLinkState(); }

    SimLink sim{SimulationSettings{}, false};
};

TEST_F(LostTester, SilentTesterCostsOneBoundPerLineAndIsToldApartFromARefusal) {
    // A refused command leaves the tester answering.
    int16_t result = 0;
    sim.Run("CONF:AVER:BURS 300", &result);
    EXPECT_NE(result, 0);
    EXPECT_EQ(State(), kTesterAnswers);
    EXPECT_EQ(sim.LastErrorText(), "-222, \"Data out of Range\"");

    *sim.fault = SimulatedFault::Silent;
    uint32_t tick = 0;
    for (const char* line : kPollTick) {
        const uint32_t cost = Cost(line, &result);
        EXPECT_NE(result, 0) << line;
        EXPECT_EQ(State(), kTesterSilent) << line;
        // One exchange bound, however many exchanges and mails the command has.
        EXPECT_LE(cost, kExchangeTimeoutMs + 20) << line;
        tick += cost;
    }
    EXPECT_LE(tick, std::size(kPollTick) * (kExchangeTimeoutMs + 20));
    // The capture export is one call with one bound as well.
    const uint32_t start = sim.clock.nowMs();
    ForceADCSample(*sim.link);
    EXPECT_LE(sim.clock.nowMs() - start, kExchangeTimeoutMs + 20);

    // The error is read without waiting on the tester, and says the link failed.
    std::string error;
    EXPECT_EQ(Cost("SYST:ERR?", &result, &error), 0u);
    EXPECT_EQ(error, "-366, \"Target Error\"");
    EXPECT_EQ(State(), kTesterSilent);
    // A handful of trace lines per command, not one per skipped exchange.
    EXPECT_LE(sim.traceLines.size(), 5 * (std::size(kPollTick) + 2));

    // The tester answers again: the radio link stood through the silence and is measured.
    *sim.fault = SimulatedFault::None;
    EXPECT_EQ(sim.Run("STAT:DEV?"), "DCE");
    EXPECT_EQ(State(), kTesterAnswers);
    sim.Run("PROC:SAMP:FORC", &result);
    EXPECT_EQ(result, 0);
    std::string ntp;
    Cost("READ:NTP?", &result, &ntp);
    EXPECT_EQ(result, 0);
    EXPECT_NEAR(std::atof(ntp.c_str()), 24.0, 0.3) << ntp;
}

TEST_F(LostTester, UnpluggedTesterFailsAtOnceUntilItIsBackAndChosenAgain) {
    *sim.fault = SimulatedFault::Unplugged;
    int16_t result = 0;
    for (const char* line : kPollTick) {
        EXPECT_EQ(Cost(line, &result), 0u) << line;
        EXPECT_NE(result, 0) << line;
        EXPECT_EQ(State(), kTesterGone) << line;
    }
    // A port choice finds no tester.
    sim.Run("CONF:COMM:PORT USB");
    EXPECT_EQ(sim.Run("CONF:COMM:PORT?"), "NONE");
    EXPECT_EQ(State(), kTesterNoPort);

    *sim.fault = SimulatedFault::None;
    sim.Run("CONF:COMM:PORT USB");
    EXPECT_EQ(sim.Run("CONF:COMM:PORT?"), "USB");
    EXPECT_EQ(State(), kTesterAnswers);
    EXPECT_EQ(sim.Run("STAT:DEV?", &result), "DCE");
    EXPECT_EQ(result, 0);
}

TEST(LostTesterState, NoPortUntilOneIsChosen) {
    SimLink sim(SimulationSettings{}, false);
    EXPECT_EQ(sim.link->TesterLinkState(), kTesterNoPort);
    sim.Run("CONF:COMM:PORT USB");
    EXPECT_EQ(sim.link->TesterLinkState(), kTesterAnswers);
    sim.Run("CONF:COMM:PORT NONE");
    EXPECT_EQ(sim.link->TesterLinkState(), kTesterNoPort);
}

}  // namespace
}  // namespace tavrin::testing
