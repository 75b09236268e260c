// Reading test plans: the shipped examples, every kind of error with its file, line and key,
// and limits from a setup file with the plan's own on top.
#include <gtest/gtest.h>


#include "ScratchFolder.h"
#include "TestPlan.h"

namespace tavrin::cli {
namespace {

using common::LimitRow;

constexpr const char* kMinimal =
    "[test]\nrole = PP\n"
    "[measure]\nntp = yes\n";

class Plan : public ::testing::Test {
protected:
    std::string File(const std::string& name, const std::string& text) {
        return m_scratch.File(name, text);
    }
    // The error text of a plan that must be refused.
    std::string Refused(const std::string& text) {
        PlanError error;
        const std::string path = File("plan.ini", text);
        EXPECT_FALSE(ReadTestPlan(path, error).has_value()) << text;
        std::string message = error.Text();
        // The messages name the plan by its path; the tests read them without the folder.
        if (message.rfind(m_dir + "/", 0) == 0) message.erase(0, m_dir.size() + 1);
        return message;
    }
    TestPlan Read(const std::string& text) {
        PlanError error;
        const auto plan = ReadTestPlan(File("plan.ini", text), error);
        EXPECT_TRUE(plan.has_value()) << error.Text();
        return plan.value_or(TestPlan{});
    }

    fixtures::ScratchFolder m_scratch;
    const std::string m_dir = m_scratch.Path();
};

TEST_F(Plan, ShippedExamples) {
    PlanError error;
    const auto pp = ReadTestPlan(TAVRIN_PLANS "/pp.ini", error);
    ASSERT_TRUE(pp) << error.Text();
    EXPECT_EQ(pp->role, Role::PP);
    EXPECT_EQ(pp->bursts, 10);
    EXPECT_EQ(pp->radio.rfpi, "0000000010");
    EXPECT_TRUE(pp->Takes(Measurement::PacketDelay));
    EXPECT_FALSE(pp->Takes(Measurement::TimingAccuracy));
    EXPECT_EQ(pp->limits.rows[static_cast<size_t>(LimitRow::NTP)],
              (std::array<double, 4>{15, 19, 25, 30}));
    const auto fp = ReadTestPlan(TAVRIN_PLANS "/fp.ini", error);
    ASSERT_TRUE(fp) << error.Text();
    EXPECT_EQ(fp->role, Role::FP);
    EXPECT_EQ(fp->radio.trafficSlot, 0);
    EXPECT_TRUE(fp->radio.rfpiGiven);
    EXPECT_TRUE(fp->Takes(Measurement::TimingAccuracy));
}

TEST_F(Plan, DefaultsAndValues) {
    const TestPlan p = Read(
        "[test]\nRole = fp\n"
        "[radio]\nrf_level = -70.5\ncoupling_loss = 5\nrx_attenuator = off\ndata_pattern = bs55\n"
        "[measure]\nNTP = on\ntemplate = 1\nbursts = 200\n"
        "[timeouts]\nconnect_s = 2.5\n");
    EXPECT_EQ(p.role, Role::FP);
    EXPECT_EQ(p.radio.trafficSlot, 0);
    EXPECT_DOUBLE_EQ(p.radio.rfLevel, -70.5);
    EXPECT_FALSE(p.radio.rxAttenuator);
    EXPECT_EQ(p.radio.dataPattern, "BS55");
    EXPECT_EQ(p.radio.signallingMode, "LOOP");
    EXPECT_TRUE(p.Takes(Measurement::NTP) && p.Takes(Measurement::Template));
    EXPECT_FALSE(p.Takes(Measurement::Ber));
    EXPECT_EQ(p.bursts, 200);
    EXPECT_DOUBLE_EQ(p.connectS, 2.5);
    EXPECT_DOUBLE_EQ(p.searchS, 10.0);
    EXPECT_EQ(p.limits.source, "factory");
    EXPECT_EQ(p.limits.ramps, (std::array<int, 5>{-16, 4, 1, -1, -6}));
}

TEST_F(Plan, ErrorsNameFileLineAndKey) {
    EXPECT_EQ(Refused(std::string(kMinimal) + "[radio]\ntraffic_slt = 2\n"),
              "plan.ini:6: traffic_slt: unknown key in [radio]");
    EXPECT_EQ(Refused(std::string(kMinimal) + "[radio]\nrf_level = -60,5\n"),
              "plan.ini:6: rf_level: \"-60,5\" is not a number (decimal point \".\")");
    EXPECT_EQ(Refused(std::string(kMinimal) + "bursts = 201\n"),
              "plan.ini:5: bursts: 201 is outside 1 to 200");
    EXPECT_EQ(Refused(std::string(kMinimal) + "jitter = maybe\n"),
              "plan.ini:5: jitter: \"maybe\" is not yes or no");
    EXPECT_EQ(Refused(std::string(kMinimal) + "ntp = no\n"),
              "plan.ini:5: ntp: given twice (first on line 4)");
    EXPECT_EQ(Refused("[test]\nrole = DECT\n"), "plan.ini:2: role: \"DECT\" is not one of PP FP");
    EXPECT_EQ(Refused("[measure]\nntp = yes\n"),
              "plan.ini: role: the plan names no role ([test] role = PP or FP)");
    EXPECT_EQ(Refused("[test]\nrole = PP\n"),
              "plan.ini: the plan takes no measurement ([measure] ntp = yes, ...)");
    EXPECT_EQ(Refused(std::string(kMinimal) + "[extras]\nx = 1\n"),
              "plan.ini: unknown section [extras]");
    EXPECT_EQ(Refused(std::string(kMinimal) + "[radio]\nrfpi = 00000000G0\n"),
              "plan.ini:6: rfpi: \"00000000G0\" is not 10 hexadecimal digits");
    EXPECT_EQ(Refused("[test]\nrole = FP\n[radio]\ndummy_slot = 2\n[measure]\nntp = yes\n"),
              "plan.ini:4: dummy_slot: only in a PP plan: the FP test finds the fixed part's "
              "dummy bearer");
    EXPECT_EQ(Refused(std::string(kMinimal) + "[radio]\ndummy_slot = 4\n"),
              "plan.ini: traffic_slot: equals dummy_slot 4");
    // The level range moves with the coupling loss, as the tester's does.
    EXPECT_EQ(Refused(std::string(kMinimal) + "[radio]\ncoupling_loss = 10\nrf_level = -45\n"),
              "plan.ini:7: rf_level: -45 is outside -110 to -50 dBm for a coupling loss of 10 dB");
    EXPECT_EQ(Refused(std::string(kMinimal) + "b_field = yes\n[radio]\nsignalling_mode = echo\n"),
              "plan.ini:5: b_field: needs signalling_mode = LOOP");
    EXPECT_EQ(Refused(std::string(kMinimal) + "jitter = yes\n"),
              "plan.ini:5: jitter: needs JitterMax in [limits]");
    EXPECT_EQ(Refused(std::string(kMinimal) + "[timeouts]\nber_s = 0\n"),
              "plan.ini:6: ber_s: 0 is outside 0.1 to 3600");
    EXPECT_EQ(Refused("[test]\nrole = PP\nlimits = missing.cfg\n[measure]\nntp = yes\n"),
              "plan.ini:3: limits: cannot read the setup file " + m_dir + "/missing.cfg");
    PlanError error;
    EXPECT_FALSE(ReadTestPlan(m_dir + "/none.ini", error));
    EXPECT_EQ(error.Text(), m_dir + "/none.ini: cannot read the plan file");
}

TEST_F(Plan, LimitsFromTheSetupFileWithThePlansOnTop) {
    File("Line.cfg",
         "[Setup-PP]\nNTPMinOK=20\nNTPMaxOK=23\nLT_FERMaxOK=2\nPP_RAMPC=6.5\n"
         "[Setup-FP]\nNTPMaxOK=29\n");
    const TestPlan p = Read(
        "[test]\nrole = PP\nlimits = Line.cfg\n[measure]\nntp = yes\npacket_delay = yes\n"
        "[limits]\nntpmaxok = 24.5\nPacketDelayMax = 1.5\n");
    EXPECT_EQ(p.limits.rows[static_cast<size_t>(LimitRow::NTP)],
              (std::array<double, 4>{15, 20, 24.5, 30}));
    EXPECT_EQ(p.limits.rows[static_cast<size_t>(LimitRow::LT_FER)][2], 2.0);
    EXPECT_EQ(p.limits.ramps[1], 7);  // rounded half away from zero, as the tester does
    EXPECT_FALSE(p.limits.packetDelay.min.has_value());
    EXPECT_EQ(p.limits.packetDelay.max, 1.5);
    EXPECT_EQ(p.limitsFile, m_dir + "/Line.cfg");
    EXPECT_EQ(p.limits.source, m_dir + "/Line.cfg [Setup-PP] with the plan's [limits]");

    // Out of order in the file: the file's line is named; in the plan: the plan's.
    File("Bad.cfg", "[Setup-PP]\nNTPMin=15\nB_FieldMaxOK=600\n");
    PlanError e;
    EXPECT_FALSE(ReadTestPlan(
        File("p2.ini", "[test]\nrole = PP\nlimits = Bad.cfg\n[measure]\nb_field = yes\n"), e));
    EXPECT_EQ(e.file, m_dir + "/Bad.cfg");
    EXPECT_EQ(e.line, 3);
    EXPECT_EQ(e.key, "B_FieldMaxOK");
    EXPECT_EQ(e.message, "limits of B_Field are out of order (Min < MinOK < MaxOK < Max)");
    EXPECT_EQ(Refused(std::string(kMinimal) + "[limits]\nLT_BERMax = lots\n"),
              "plan.ini:6: LT_BERMax: \"lots\" is not a number");
    EXPECT_EQ(Refused(std::string(kMinimal) + "[limits]\nFP_RAMPB = -3\n"),
              "plan.ini:6: FP_RAMPB: unknown key in [limits]");
    EXPECT_EQ(Refused(std::string(kMinimal) + "[limits]\nPP_RAMPC = 11\n"),
              "plan.ini:6: PP_RAMPC: \"11\" is not a ramp from 0 to 10 dB");
    EXPECT_EQ(Refused(std::string(kMinimal) +
                      "timing_accuracy = yes\n[limits]\nTimingAccMin = 2\nTimingAccMax = 1\n"),
              "plan.ini:8: TimingAccMax: is below the Min");
}

}  // namespace
}  // namespace tavrin::cli
