// Reading the limit section of a setup file: the side's section only, factory values for
// missing keys, names without case, the line of each key, unreadable files.
#include "common/SetupLimits.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

namespace tavrin::common {
namespace {

std::string WriteTemp(const std::string& text) {
    char path[] = "/tmp/setup-limits-XXXXXX";
    const int fd = mkstemp(path);
    close(fd);
    std::ofstream(path) << text;
    return path;
}

TEST(SetupLimits, SideSectionWithFactoryForMissingKeysAndLines) {
    const std::string path = WriteTemp(
        "[System]\nNTPMin=1\n"
        "[Setup-PP]\n"
        "ntpmaxok = 25.5\n"  // line 4: names are compared without case
        "LT_BERMax=0.01\n"   // line 5
        "PP_RAMPC=3\n"       // line 6
        "FP_RAMPC=9\n"       // another side's ramp: not this side's
        "[Setup-FP]\n"
        "NTPMaxOK=22\n");
    SetupLimits pp;
    std::string error;
    ASSERT_TRUE(ReadSetupLimits(path, SetupSide::PP, pp, error)) << error;
    const size_t ntp = static_cast<size_t>(LimitRow::NTP);
    const size_t ber = static_cast<size_t>(LimitRow::LT_BER);
    EXPECT_EQ(pp.limits[ntp][2].text, "25.5");
    EXPECT_EQ(pp.limits[ntp][2].line, 4);
    EXPECT_EQ(pp.limits[ntp][0].text, "15");  // [System] NTPMin is not a limit
    EXPECT_EQ(pp.limits[ntp][0].line, 0);
    EXPECT_EQ(pp.limits[ber][3].text, "0.01");
    EXPECT_EQ(pp.limits[ber][3].line, 5);
    EXPECT_EQ(pp.limits[ber][0].text, "");  // two-limit rows have no Min
    EXPECT_EQ(pp.ramps[1].text, "3");
    EXPECT_EQ(pp.ramps[1].line, 6);
    EXPECT_EQ(pp.ramps[0].text, "-16");

    SetupLimits fp;
    ASSERT_TRUE(ReadSetupLimits(path, SetupSide::FP, fp, error));
    EXPECT_EQ(fp.limits[ntp][2].text, "22");
    EXPECT_EQ(fp.limits[ntp][2].line, 9);
    EXPECT_EQ(fp.ramps[1].text, "4");  // FP_RAMPC stood in [Setup-PP]
    unlink(path.c_str());

    EXPECT_FALSE(ReadSetupLimits("/nonexistent/Default.cfg", SetupSide::PP, fp, error));
    EXPECT_NE(error.find("/nonexistent/Default.cfg"), std::string::npos);
}

TEST(SetupLimits, EntriesKeepOrderDuplicatesAndLines) {
    const auto entries = IniEntries("; c\n[a]\n k = v \n# x\nk=w\nnovalue\n[ b ]\nz=\n");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].section, "a");
    EXPECT_EQ(entries[0].key, "k");
    EXPECT_EQ(entries[0].value, "v");
    EXPECT_EQ(entries[0].line, 3);
    EXPECT_EQ(entries[1].line, 5);
    EXPECT_EQ(entries[2].section, "b");
    EXPECT_EQ(entries[2].value, "");
    EXPECT_EQ(entries[2].line, 8);
    EXPECT_EQ(RampKey(SetupSide::FP, 4), "FP_RAMPF");
}

}  // namespace
}  // namespace tavrin::common
