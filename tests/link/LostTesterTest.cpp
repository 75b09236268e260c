// A tester lost in the middle of a live measurement: what each command line costs, how the
// caller tells a lost tester from a refused command, and the tester picked up again.
#include <gtest/gtest.h>

#include <cstdlib>

#include "MeasurementRig.h"
#include "SimLink.h"
#include "transport/Capture.h"

namespace tavrin::testing {
namespace {

TEST(LostTester, EachLineCostsOneBoundAndTheCallerTellsItFromARefusal) {
    SimLink sim(SimulationSettings{}, false);
    RigCalibration{}.WriteInto(*sim.tester);
    for (const char* line : {"CONF:COMM:PORT USB", "SYST:RESET", "CONF:TEST:TYPE DPP",
                             "PROC:CONN:SET", "CONF:AVER:BURS 300"})
        sim.Run(line);
    for (int i = 0; i < 300 && sim.Run("STAT:DEV?") != "DCE"; ++i) sim.clock.sleepMs(10);
    // A refused command leaves the tester answering.
    EXPECT_EQ(sim.link->TesterLinkState(), kTesterAnswers);
    EXPECT_EQ(sim.LastErrorText(), "-222, \"Data out of Range\"");

    // One tick of the link window with every measurement, and the capture export.
    *sim.fault = SimulatedFault::Silent;
    sim.traceLines.clear();
    for (const char* line :
         {"STAT:DEV?", "PROC:SAMP:FORC", "READ:NTP?", "READ:FREQ:OFFS?", "READ:BF?", "READ:SF?",
          "READ:FREQ:DRIF?", "CALC:LIM:TRAN:MAT?", "FETC:BER:LTER?", "FETC:JITT?", "FETC:PACK:DEL?",
          "READ:TIME:ACC?", "capture"}) {
        const uint32_t start = sim.clock.nowMs();
        int16_t result = 1;
        if (std::string(line) == "capture") {
            ForceADCSample(*sim.link);
        } else {
            sim.Run(line, &result);
        }
        // One exchange bound, however many exchanges and mails the command has.
        EXPECT_NEAR(sim.clock.nowMs() - start, kExchangeTimeoutMs, 20) << line;
        EXPECT_NE(result, 0) << line;
        EXPECT_EQ(sim.link->TesterLinkState(), kTesterSilent) << line;
    }
    // A few trace lines per command, not one per skipped exchange.
    EXPECT_LE(sim.traceLines.size(), 5u * 13);
    // The error is read without waiting on the tester.
    const uint32_t start = sim.clock.nowMs();
    EXPECT_EQ(sim.LastErrorText(), "-366, \"Target Error\"");
    EXPECT_EQ(sim.clock.nowMs(), start);

    // Unplugged, every line fails at once.
    *sim.fault = SimulatedFault::Unplugged;
    int16_t result = 0;
    sim.Run("READ:NTP?", &result);
    EXPECT_NE(result, 0);
    EXPECT_EQ(sim.clock.nowMs(), start);
    EXPECT_EQ(sim.link->TesterLinkState(), kTesterGone);

    // Back: the radio link stood through the loss and is measured again.
    *sim.fault = SimulatedFault::None;
    EXPECT_EQ(sim.Run("STAT:DEV?"), "DCE");
    EXPECT_EQ(sim.link->TesterLinkState(), kTesterAnswers);
    sim.Run("PROC:SAMP:FORC");
    EXPECT_NEAR(std::atof(sim.Run("READ:NTP?", &result).c_str()), 24.0, 0.3);
    EXPECT_EQ(result, 0);
    sim.Run("CONF:COMM:PORT NONE");
    EXPECT_EQ(sim.link->TesterLinkState(), kTesterNoPort);
}

}  // namespace
}  // namespace tavrin::testing
