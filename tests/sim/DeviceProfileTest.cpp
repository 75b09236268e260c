// Device profiles: the shipped files, the refusals of a bad file, and the install that uses them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "DeviceProfile.h"
#include "Firmware.h"

namespace tavrin::sim {
namespace {

namespace fs = std::filesystem;

fs::path Profiles() {
    return fs::path(TAVRIN_SOURCE_DIR) / "sim/profiles";
}

fs::path WriteProfile(const std::string& name, const std::string& text) {
    const fs::path path = fs::path(::testing::TempDir()) / name;
    std::ofstream(path) << text;
    return path;
}

TEST(DeviceProfile, CompliantPortablePartIsTheDefault) {
    DeviceProfile loaded;
    loaded.powerDbm = -1;
    std::string reason;
    ASSERT_TRUE(LoadDeviceProfile(Profiles() / "compliant-pp.ini", loaded, reason)) << reason;
    const DeviceProfile defaults;
    EXPECT_EQ(loaded.name, defaults.name);
    EXPECT_FALSE(loaded.fixedPart);
    EXPECT_DOUBLE_EQ(loaded.powerDbm, 24.0);
    EXPECT_DOUBLE_EQ(loaded.freqOffsetKhz, 12.0);
    EXPECT_DOUBLE_EQ(loaded.driftKhzPerMs, defaults.driftKhzPerMs);
    EXPECT_DOUBLE_EQ(loaded.bFieldDeviationKhz, 330.0);
    EXPECT_DOUBLE_EQ(loaded.bitErrorRate, 1e-5);
    EXPECT_EQ(loaded.connectMs, defaults.connectMs);
    EXPECT_EQ(loaded.searchMs, defaults.searchMs);
}

TEST(DeviceProfile, NonCompliantAndFixedPartFiles) {
    DeviceProfile bad;
    std::string reason;
    ASSERT_TRUE(LoadDeviceProfile(Profiles() / "noncompliant-pp.ini", bad, reason)) << reason;
    EXPECT_DOUBLE_EQ(bad.powerDbm, 27.5);
    EXPECT_DOUBLE_EQ(bad.overshootDb, 6.0);
    EXPECT_DOUBLE_EQ(bad.frameErrorRate, 0.05);
    EXPECT_DOUBLE_EQ(bad.timingOffsetUs, 4.0);

    DeviceProfile fp;
    ASSERT_TRUE(LoadDeviceProfile(Profiles() / "compliant-fp.ini", fp, reason)) << reason;
    EXPECT_TRUE(fp.fixedPart);
    EXPECT_EQ(fp.rfpi, (std::array<uint8_t, 5>{0x00, 0x12, 0x34, 0x56, 0x78}));
    EXPECT_EQ(fp.dummySlot, 4);
    EXPECT_EQ(fp.dummyCarrier, 5);
    EXPECT_EQ(fp.searchMs, 500u);
    EXPECT_DOUBLE_EQ(fp.rampUs, DeviceProfile{}.rampUs);  // left out: the default
}

TEST(DeviceProfile, BadFilesAreRefusedWithTheirReasonAndChangeNothing) {
    struct Case {
        const char* text;
        const char* inReason;
    };
    const Case cases[] = {
        {"[transmitter]\npower = 20\n", "[transmitter] power is not a known key"},
        {"[radio]\npower_dbm = 20\n", "[radio] power_dbm is not a known key"},
        {"[transmitter]\npower_dbm = 45\n", "power_dbm needs a number from"},
        {"[transmitter]\npower_dbm = 20 dBm\n", "power_dbm needs a number"},
        {"[device]\nrole = base\n", "role is \"pp\""},
        {"[fixed_part]\nrfpi = 00123\n", "rfpi needs 10 hex digits"},
        {"[fixed_part]\nrfpi = 00123456XY\n", "rfpi needs 10 hex digits"},
        {"[fixed_part]\ndummy_slot = 12\n", "dummy_slot needs a whole number"},
        {"[link]\nsearch_ms = -5\n", "search_ms needs milliseconds"},
        {"[link]\nbit_error_rate = 1.5\n", "bit_error_rate needs a number"},
        {"[faults]\nsilent_after_s = -1\n", "silent_after_s needs a number from"},
        {"[faults]\nsilent_for_s = soon\n", "silent_for_s needs a number from"},
        {"[faults]\nmode = cut\n", "mode is \"silent\" (reads time out) or \"unplugged\""},
    };
    int n = 0;
    for (const Case& c : cases) {
        const fs::path path = WriteProfile("bad-" + std::to_string(n++) + ".ini", c.text);
        DeviceProfile profile;
        profile.powerDbm = 11.0;
        std::string reason;
        EXPECT_FALSE(LoadDeviceProfile(path, profile, reason)) << c.text;
        EXPECT_NE(reason.find(c.inReason), std::string::npos) << reason;
        EXPECT_NE(reason.find(path.string()), std::string::npos) << reason;
        EXPECT_DOUBLE_EQ(profile.powerDbm, 11.0) << c.text;
    }
    DeviceProfile profile;
    std::string reason;
    EXPECT_FALSE(LoadDeviceProfile("/nonexistent/device.ini", profile, reason));
    EXPECT_NE(reason.find("cannot be read"), std::string::npos);
}

TEST(DeviceProfile, CommentsAndBlankLinesAreAllowed) {
    const fs::path path = WriteProfile(
        "commented.ini", "; a comment\n# another\n\n[transmitter]\npower_dbm = -3.5\n");
    DeviceProfile profile;
    std::string reason;
    ASSERT_TRUE(LoadDeviceProfile(path, profile, reason)) << reason;
    EXPECT_DOUBLE_EQ(profile.powerDbm, -3.5);
}

TEST(DeviceProfile, InstallUsesTheSettingsProfile) {
    VirtualClock clock;
    VirtualTester tester(clock);
    std::string reason;
    SimulationSettings settings;
    EXPECT_TRUE(InstallDeviceUnderTest(tester, settings, reason));
    EXPECT_EQ(tester.Memory().Read(0x6A2D), 5);  // packet mode FIG31 at power-on

    VirtualTester other(clock);
    settings.deviceProfile = WriteProfile("unknown.ini", "[device]\ncolour = red\n").string();
    EXPECT_FALSE(InstallDeviceUnderTest(other, settings, reason));
    EXPECT_NE(reason.find("colour is not a known key"), std::string::npos) << reason;
}

}  // namespace
}  // namespace tavrin::sim
