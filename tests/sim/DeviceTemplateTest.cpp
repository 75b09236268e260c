// End to end on the virtual device: a forced sample of the device's burst, then the template
// check. A compliant ramp matches; one that overshoots at the top of the ramp does not.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "link/TesterFixture.h"

namespace tavrin::testing {
namespace {

namespace fs = std::filesystem;

std::string ProfileFile(const std::string& name, const std::string& text) {
    const fs::path path = fs::path(::testing::TempDir()) / name;
    std::ofstream(path) << text;
    return path.string();
}

std::string Shipped(const char* name) {
    return (fs::path(TAVRIN_SOURCE_DIR) / "sim/profiles" / name)
        .string();
}

// The template answer after the PP test, link set-up and one forced sample.
std::string TemplateAnswer(const std::string& profile, double* averageDbm = nullptr) {
    SimLink sim(SimulationSettings{10, profile});
    EXPECT_TRUE(sim.installed);
    WriteCalibration(*sim.tester);
    // The trace goes where the test can leave it.
    setenv("XDG_STATE_HOME", ::testing::TempDir().c_str(), 1);
    sim.Run("*IDN?");
    Link& link = *sim.link;
    // What the port choice and "CONF:TEST:TYPE DPP" would have set.
    link.conf.CommPort = code::CommPortUsb;
    link.conf.LinkOpen = true;
    link.conf.TestType = code::DPP;
    link.mail.SendMail(6, 0xC0, 0x02);
    sim.Run("PROC:CONN:SET");
    for (int i = 0; i < 200 && sim.Run("STAT:DEV?") != "DCE"; ++i) sim.clock.sleepMs(10);
    EXPECT_EQ(sim.Run("STAT:DEV?"), "DCE");
    sim.Run("PROC:SAMP:FORC");
    if (averageDbm) *averageDbm = link.capture.AveragePower * 0.1;
    return sim.Run("CALC:LIM:TRAN:MAT?");
}

TEST(DeviceTemplate, CompliantRampMatches) {
    double average = 0;
    EXPECT_EQ(TemplateAnswer(Shipped("compliant-pp.ini"), &average), "MATC");
    EXPECT_NEAR(average, 24.0, 0.3);
}

TEST(DeviceTemplate, NonCompliantPartDoesNotMatch) {
    EXPECT_EQ(TemplateAnswer(Shipped("noncompliant-pp.ini")), "NMAT");
}

TEST(DeviceTemplate, OvershootAloneFailsTheTemplate) {
    // 22 dBm leaves the start-of-burst limit (p0 + 4 dB, at most 25 dB) 3 dB of room: a clean
    // ramp passes, a 6 dB overshoot does not.
    EXPECT_EQ(TemplateAnswer(ProfileFile("clean.ini", "[transmitter]\npower_dbm = 22\n")), "MATC");
    EXPECT_EQ(TemplateAnswer(ProfileFile("overshoot.ini",
                                         "[transmitter]\npower_dbm = 22\novershoot_db = 6\n")),
              "NMAT");
}

}  // namespace
}  // namespace tavrin::testing
