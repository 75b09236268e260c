// The power-versus-time template check on crafted stores: limits by zone, the 40 dB rule, the
// scan bounded to the store, and the trace file (its place, and a place that cannot be written).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "ScopedEnv.h"
#include "TesterFixture.h"

namespace tavrin::testing {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Lines(const fs::path& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

class TemplateCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A calibration under which a stored power sample reads as itself (0.1 dBm).
        sim::SimMemory& m = sim.tester->Memory();
        m.WriteWord(0x6A75, 0);
        m.WriteWord(0x6A77, 100);
        for (int i = 0; i < 75; ++i) sim.tester->Eeprom()[0x0200 + i] = 0;
        m.Write(0x6A17, 1);
        sim.Run("*IDN?");
        sim.link->conf.LinkOpen = true;
        state = fs::path(::testing::TempDir()) /
                ("template-" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(state);
        env.emplace("XDG_STATE_HOME", state.c_str());
    }
    void TearDown() override { fs::remove_all(state); }

    // A burst of `dbm` from position `start` up to `end`, -70 dBm around it. A burst of the
    // short packet ends at 3816 and ramps down within 5 samples.
    void Burst(double dbm, int end, int start = 0) {
        for (int i = 0; i < static_cast<int>(kSampleRecords); ++i) {
            const int t = i - 450;
            SampleRecord& r = sim.link->capture.SampleStore[static_cast<size_t>(i)];
            r.Power = static_cast<int16_t>(t >= start && t < end ? dbm * 10 : -700);
            r.Valid = 1;
        }
        sim.link->capture.AveragePower = static_cast<int16_t>(dbm * 10);
    }
    void SetSample(int t, int16_t tenthsDb) {
        sim.link->capture.SampleStore[static_cast<size_t>(t + 450)].Power = tenthsDb;
    }
    fs::path TraceFile() const { return state / "tavrin" / "template-check.txt"; }

    SimLink sim;
    fs::path state;
    std::optional<ScopedEnv> env;
};

TEST_F(TemplateCheckTest, CompliantBurstMatchesAndIsTraced) {
    Burst(24.0, 3821);
    EXPECT_EQ(sim.Run("CALC:LIM:TRAN:MAT?"), "MATC");
    const std::vector<std::string> lines = Lines(TraceFile());
    ASSERT_EQ(lines.size(), 450u + 4140u);
    EXPECT_EQ(lines[0], "-450.000000,-70.000000,-16.000000,-90.000000,1");
    EXPECT_EQ(lines[450 - 279], "-279.000000,-70.000000,-16.000000,-90.000000,1");
    EXPECT_EQ(lines[450 - 103], "-103.000000,-70.000000,25.000000,-90.000000,1");
    EXPECT_EQ(lines[450], "0.000000,24.000000,25.000000,23.000000,1");
    EXPECT_EQ(lines[450 + 103], "103.000000,24.000000,25.000000,23.000000,1");
    EXPECT_EQ(lines[450 + 3816], "3816.000000,24.000000,25.000000,18.000000,1");
    EXPECT_EQ(lines[450 + 3821], "3821.000000,-70.000000,25.000000,-90.000000,1");
    EXPECT_EQ(lines[450 + 3919], "3919.000000,-70.000000,-16.000000,-90.000000,1");
    EXPECT_EQ(lines[450 + 4094], "4094.000000,-70.000000,-16.000000,-90.000000,1");
}

TEST_F(TemplateCheckTest, BurstEndHasItsOwnLowerLimitForFiveSamples) {
    Burst(24.0, 3821);
    EXPECT_EQ(sim.Run("CALC:LIM:TRAN:MAT?"), "MATC");
    // 17.5 dB is below p0 + RMPF (18 dB) in the five samples after the end, and fine below
    // p0 + RMPE (23 dB) only there.
    SetSample(3820, 175);
    EXPECT_EQ(sim.Run("CALC:LIM:TRAN:MAT?"), "NMAT");
    Burst(24.0, 3821);
    SetSample(3816, 185);
    EXPECT_EQ(sim.Run("CALC:LIM:TRAN:MAT?"), "MATC");
    SetSample(3815, 185);
    EXPECT_EQ(sim.Run("CALC:LIM:TRAN:MAT?"), "NMAT");
}

TEST_F(TemplateCheckTest, OvershootFailsAndThePassFlagIsTracedBeforeTheSample) {
    Burst(24.0, 3821);
    SetSample(200, 252);  // above p0 + RMPD = 25 dB
    EXPECT_EQ(sim.Run("CALC:LIM:TRAN:MAT?"), "NMAT");
    const std::vector<std::string> lines = Lines(TraceFile());
    EXPECT_EQ(lines[450 + 200], "200.000000,25.200000,25.000000,23.000000,1");
    EXPECT_EQ(lines[450 + 201], "201.000000,24.000000,25.000000,23.000000,0");
}

TEST_F(TemplateCheckTest, StartOfBurstIsCappedAt25Db) {
    Burst(23.0, 3821);
    SetSample(50, 262);  // 26.2 dB: within p0 + RMPC = 27, but above the 25 dB cap
    EXPECT_EQ(sim.Run("CALC:LIM:TRAN:MAT?"), "NMAT");
}

TEST_F(TemplateCheckTest, SamplesOf40DbAndMoreNeverFail) {
    Burst(24.0, 3821);
    SetSample(-400, 400);
    EXPECT_EQ(sim.Run("CALC:LIM:TRAN:MAT?"), "MATC");
    SetSample(-400, 399);
    EXPECT_EQ(sim.Run("CALC:LIM:TRAN:MAT?"), "NMAT");
}

TEST_F(TemplateCheckTest, HighRangeUsesTheFarLimit) {
    Burst(24.0, 3821);
    SetSample(-400, -200);  // -20 dB: above RMPA (-47), below RMPB (-16)
    EXPECT_EQ(sim.Run("CALC:LIM:TRAN:MAT?"), "MATC");
    sim.link->conf.PowerRangeHigh = true;
    EXPECT_EQ(sim.Run("CALC:LIM:TRAN:MAT?"), "NMAT");
}

TEST_F(TemplateCheckTest, EarlyPacketsStart144SamplesSooner) {
    sim.link->conf.PacketType = 3;
    Burst(24.0, 3821, -144);
    EXPECT_EQ(sim.Run("CALC:LIM:TRAN:MAT?"), "MATC");
    sim.link->conf.PacketType = 2;
    EXPECT_EQ(sim.Run("CALC:LIM:TRAN:MAT?"), "NMAT");  // a burst before its window
}

TEST_F(TemplateCheckTest, LongestPacketIsJudgedOnlyWhereTheStoreHoldsSamples) {
    sim.link->conf.PacketType = 7;
    // The whole store is burst: positions beyond it would have read as empty and failed.
    Burst(24.0, 8192, -450);
    EXPECT_EQ(sim.Run("CALC:LIM:TRAN:MAT?"), "NMAT");  // power before the burst fails
    Burst(24.0, 8192, 0);
    EXPECT_EQ(sim.Run("CALC:LIM:TRAN:MAT?"), "MATC");
    const std::vector<std::string> lines = Lines(TraceFile());
    ASSERT_EQ(lines.size(), kSampleRecords);
    EXPECT_EQ(lines.back().rfind("7741.000000,", 0), 0u);
}

TEST_F(TemplateCheckTest, UnwritableTraceFileDoesNotStopTheCheck) {
    ScopedEnv blocked("XDG_STATE_HOME", "/dev/null/state");
    Burst(24.0, 3821);
    EXPECT_EQ(sim.Run("CALC:LIM:TRAN:MAT?"), "MATC");
    SetSample(300, 100);
    int16_t result = -1;
    EXPECT_EQ(sim.Run("CALC:LIM:TRAN:MAT?", &result), "NMAT");
    EXPECT_EQ(result, 0);
    bool traced = false;
    for (const std::string& line : sim.traceLines)
        traced |=
            line.find("template trace /dev/null/state/tavrin/template-check.txt not written") !=
            std::string::npos;
    EXPECT_TRUE(traced);
}

TEST_F(TemplateCheckTest, TraceFileFallsBackToTheHomeStateDirectory) {
    const fs::path home = state / "home";
    ScopedEnv noXdg("XDG_STATE_HOME", "relative/ignored");
    ScopedEnv setHome("HOME", home.c_str());
    Burst(24.0, 3821);
    EXPECT_EQ(sim.Run("CALC:LIM:TRAN:MAT?"), "MATC");
    EXPECT_EQ(Lines(home / ".local/state/tavrin/template-check.txt").size(), 4590u);
    ScopedEnv noHome("HOME", nullptr);
    ScopedEnv none("XDG_STATE_HOME", nullptr);
    EXPECT_EQ(sim.Run("CALC:LIM:TRAN:MAT?"), "MATC");
}

TEST_F(TemplateCheckTest, WithoutLinkInvalidAndCalibrationLoadedFirst) {
    sim.tester->Memory().Write(0x6A17, 0);
    sim.link->cal.CalibrationLoaded = false;
    EXPECT_EQ(sim.Run("CALC:LIM:TRAN:MAT?"), "INV");
    EXPECT_TRUE(sim.link->cal.CalibrationLoaded);
    EXPECT_FALSE(fs::exists(TraceFile()));
}

}  // namespace
}  // namespace tavrin::testing
