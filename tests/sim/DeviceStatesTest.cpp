// The device under test on the tester's clock: states after the selection, lock and detection
// after the search, link after the connect, release, and the counters of the link's frames.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "SimLink.h"

namespace tavrin::testing {
namespace {

namespace fs = std::filesystem;

std::string Profile(const char* name) {
    return (fs::path(TAVRIN_SOURCE_DIR) / "sim/profiles" / name)
        .string();
}

class DeviceTest : public ::testing::Test {
protected:
    explicit DeviceTest(const char* profile = "compliant-pp.ini")
        : sim(SimulationSettings{10, Profile(profile)}) {}
    void SetUp() override {
        ASSERT_TRUE(sim.installed);
        sim.Run("*IDN?");
    }

    uint32_t Now() { return sim.clock.nowMs(); }
    // Polls once a millisecond of the virtual clock; the milliseconds from `since` until the
    // condition held, or a large number when it did not within `limitMs`.
    uint32_t MsUntil(const std::function<bool()>& condition, uint32_t since, uint32_t limitMs) {
        for (uint32_t waited = 0; waited <= limitMs; ++waited) {
            if (condition()) return Now() - since;
            sim.clock.sleepMs(1);
        }
        return 1u << 30;
    }
    uint8_t Cell(uint32_t address) { return sim.link->usb.TesterRead(address); }
    uint16_t Word(uint32_t address) { return sim.link->usb.TesterReadWord(address); }
    uint32_t Long(uint32_t address) { return sim.link->usb.TesterReadLong(address); }
    void Select(uint8_t test) { sim.link->mail.SendMail(6, 0xC0, test); }
    void Wait(uint32_t ms) {
        sim.clock.sleepMs(ms);
        Cell(0x6A18);  // the tester moves on with the next request
    }
    // The PP test selected and the link up.
    void Connect() {
        Select(0x02);
        sim.Run("PROC:CONN:SET");
        const uint32_t t0 = Now();
        ASSERT_LT(MsUntil([&] { return sim.Run("STAT:DEV?") == "DCE"; }, t0, 2000), 2000u);
    }

    SimLink sim;
};

TEST_F(DeviceTest, PpTestMovesThroughItsStates) {
    const uint32_t t0 = Now();
    Select(0x02);
    const uint32_t dpp = MsUntil([&] { return sim.Run("STAT:DEV?") == "DPP"; }, t0, 1000);
    EXPECT_GE(dpp, 10u);
    EXPECT_LE(dpp, 25u);
    EXPECT_EQ(sim.Run("SOUR:SIGN?"), "UNL");
    const uint32_t lock = MsUntil([&] { return sim.Run("SOUR:SIGN?") == "LOCK"; }, t0, 1000);
    EXPECT_GE(lock, 300u);
    EXPECT_LE(lock, 315u);

    const uint32_t t1 = Now();
    sim.Run("PROC:CONN:SET");
    EXPECT_EQ(Cell(0x6A17), 0);
    const uint32_t linked = MsUntil([&] { return Cell(0x6A17) == 1; }, t1, 1000);
    EXPECT_GE(linked, 195u);
    EXPECT_LE(linked, 215u);
    EXPECT_EQ(sim.Run("STAT:DEV?"), "DCE");
    Wait(20);
    EXPECT_EQ(Cell(0x6A15), 3);  // the state cell follows the link cell

    const uint32_t t2 = Now();
    sim.Run("PROC:CONN:REL");
    const uint32_t released = MsUntil([&] { return sim.Run("STAT:DEV?") == "DPP"; }, t2, 1000);
    EXPECT_LE(released, 25u);
    EXPECT_EQ(Cell(0x6A17), 0);
    EXPECT_EQ(Word(0x6A63), 40);

    sim.Run("PROC:SEL:TEST NONE");
    EXPECT_LT(MsUntil([&] { return sim.Run("STAT:DEV?") == "IDLE"; }, Now(), 100), 100u);
    EXPECT_EQ(sim.Run("SOUR:SIGN?"), "UNL");
}

TEST_F(DeviceTest, ConfigurationCommandsDriveTheDevice) {
    // The selection waits 20 ticks itself, so its state is there when the command returns.
    EXPECT_EQ(sim.Run("CONF:TEST:TYPE DPP;STAT:DEV?"), "DPP");
    sim.Run("CONF:BER:DATA BS0F");
    EXPECT_EQ(Cell(0x6A2D), 4);
    EXPECT_EQ(sim.tester->radio.berPattern, 4);
    sim.Run("PROC:CONN:SET");
    EXPECT_LT(MsUntil([&] { return sim.Run("STAT:DEV?") == "DCE"; }, Now(), 1000), 1000u);
    EXPECT_EQ(sim.Run("PROC:SEL:TEST NONE;STAT:DEV?"), "IDLE");
    EXPECT_EQ(Cell(0x6A17), 0);
}

TEST_F(DeviceTest, ConnectBeforeTheLockWaitsForIt) {
    const uint32_t t0 = Now();
    Select(0x02);
    sim.Run("PROC:CONN:SET");
    const uint32_t linked = MsUntil([&] { return Cell(0x6A17) == 1; }, t0, 2000);
    EXPECT_GE(linked, 500u);  // search 300 ms, then the connect's 200 ms
    EXPECT_LE(linked, 520u);
}

TEST_F(DeviceTest, PortablePartIsNeverFoundInTheFpTest) {
    Select(0x01);
    sim.Run("PROC:CONN:SET");
    Wait(3000);
    EXPECT_EQ(sim.Run("STAT:DEV?"), "DFP");
    EXPECT_EQ(sim.Run("SOUR:SIGN?"), "UNL");
    EXPECT_EQ(Cell(0x6A17), 0);
    EXPECT_EQ(sim.Run("SENS:DET:RFPI?"), "\"0000000000\"");
}

TEST_F(DeviceTest, ResetPutsEverythingBackAtOnce) {
    Connect();
    sim.Run("SYST:RESE");
    EXPECT_EQ(Cell(0x6A17), 0);
    EXPECT_EQ(sim.Run("STAT:DEV?"), "IDLE");
    EXPECT_EQ(sim.Run("SOUR:SIGN?"), "UNL");
}

TEST_F(DeviceTest, NewSelectionEndsTheLink) {
    Connect();
    Select(0x01);
    EXPECT_EQ(Cell(0x6A17), 0);
    EXPECT_EQ(Cell(0x6A16), 0);
}

TEST_F(DeviceTest, PacketModeFollowsThePattern) {
    EXPECT_EQ(Cell(0x6A2D), 5);
    sim.link->mail.SendMail(6, 0xC1, 0x04);
    EXPECT_EQ(Cell(0x6A2D), 4);
    sim.link->mail.SendMail(6, 0xC1, 0x00);
    EXPECT_EQ(Cell(0x6A2D), 0);
    sim.Run("SYST:RESE");
    EXPECT_EQ(Cell(0x6A2D), 5);
}

TEST_F(DeviceTest, SlotSizeFollowsTheTrafficSize) {
    Connect();
    EXPECT_EQ(Word(0x6A63), 40);
    sim.link->usb.TesterWrite(0x6A61, 80);
    Wait(10);
    EXPECT_EQ(Word(0x6A63), 80);
}

TEST_F(DeviceTest, PacketCountGrowsOnePerFrameFromTheRestart) {
    Connect();
    for (uint32_t a = 0x6A6B; a <= 0x6A6E; ++a) sim.link->usb.TesterWrite(a, 0);
    Wait(1000);
    const uint16_t packets = Word(0x6A6D);
    EXPECT_GE(packets, 99);
    EXPECT_LE(packets, 102);
}

TEST_F(DeviceTest, BerCountersLatchAtTheWindowAndHonourTheRestart) {
    Connect();
    sim.link->usb.TesterWrite(0x6A42, 100);
    sim.link->usb.TesterWrite(0x6A43, 0);
    sim.Run("PROC:STRT:BER");
    EXPECT_LE(Word(0x6A44), 1);
    EXPECT_EQ(Word(0x6A4E), 0);
    Wait(1005);
    EXPECT_EQ(Word(0x6A4E), 100);  // one full window latched
    EXPECT_LT(Word(0x6A44), 100);
    sim.Run("PROC:STRT:BER");
    EXPECT_EQ(Word(0x6A4E), 0);
    EXPECT_LE(Word(0x6A44), 1);
}

TEST_F(DeviceTest, TimingOffsetIsZeroForTheCompliantPart) {
    Connect();
    EXPECT_EQ(static_cast<int16_t>(Word(0x6A65)), 0);
}

class NonCompliantDeviceTest : public DeviceTest {
protected:
    NonCompliantDeviceTest() : DeviceTest("noncompliant-pp.ini") {}
};

TEST_F(NonCompliantDeviceTest, ErrorRatesAsTheProfileSays) {
    Connect();
    sim.link->usb.TesterWrite(0x6A42, 0xE8);  // 1000 frames
    sim.link->usb.TesterWrite(0x6A43, 0x03);
    sim.Run("PROC:STRT:BER");
    Wait(10100);
    const uint32_t frames = Word(0x6A4E);
    const uint32_t bitErrors = Long(0x6A50);
    const uint32_t frameErrors = Long(0x6A54);
    ASSERT_EQ(frames, 1000u);
    // 5 % of 1000 frames: about 50, sigma 7; 2e-3 of 320 bits of ~950 frames: ~608, sigma 25.
    EXPECT_GT(frameErrors, 25u);
    EXPECT_LT(frameErrors, 80u);
    const double ber = bitErrors / (320.0 * (frames - frameErrors));
    EXPECT_GT(ber, 1.6e-3);
    EXPECT_LT(ber, 2.4e-3);
}

TEST_F(NonCompliantDeviceTest, DelayJitterAndTimingOffset) {
    Connect();
    // The host's restart values: minimum 127, maximum -128, jitter and count 0.
    sim.link->usb.TesterWrite(0x6A69, 127);
    sim.link->usb.TesterWrite(0x6A6A, 128);
    for (uint32_t a = 0x6A6B; a <= 0x6A6E; ++a) sim.link->usb.TesterWrite(a, 0);
    Wait(2000);
    const int mean = 16;  // 1.5 us at 10.368 samples per us
    EXPECT_LT(static_cast<int8_t>(Cell(0x6A69)), mean);
    EXPECT_GT(static_cast<int8_t>(Cell(0x6A6A)), mean);
    EXPECT_GT(static_cast<int8_t>(Cell(0x6A6B)), 10);  // 1 us rms: over 200 frames beyond 1 sigma
    EXPECT_LT(static_cast<int8_t>(Cell(0x6A6C)), -10);
    EXPECT_EQ(static_cast<int16_t>(Word(0x6A65)), -41);  // 4 us, as the tester counts it
}

TEST_F(NonCompliantDeviceTest, TimingOffsetIsMeasuredOnceLocked) {
    Select(0x02);
    Wait(100);
    EXPECT_EQ(Word(0x6A65), 0);
    Wait(900);  // the search takes 900 ms
    EXPECT_EQ(Cell(0x6A16), 1);
    EXPECT_EQ(static_cast<int16_t>(Word(0x6A65)), -41);
}

class FixedPartDeviceTest : public DeviceTest {
protected:
    FixedPartDeviceTest() : DeviceTest("compliant-fp.ini") {}
};

TEST_F(FixedPartDeviceTest, FoundAfterTheSearchWithItsIdentity) {
    const uint32_t t0 = Now();
    Select(0x01);
    EXPECT_LT(MsUntil([&] { return sim.Run("STAT:DEV?") == "DFP"; }, t0, 100), 50u);
    EXPECT_EQ(sim.Run("SENS:DET:RFPI?"), "\"0000000000\"");
    const uint32_t found = MsUntil([&] { return sim.Run("SOUR:SIGN?") == "LOCK"; }, t0, 2000);
    EXPECT_GE(found, 500u);
    EXPECT_LE(found, 515u);
    EXPECT_EQ(sim.Run("SENS:DET:RFPI?"), "\"0012345678\"");
    EXPECT_EQ(sim.Run("SENS:DET:DUMM:SLOT?"), "4");
    EXPECT_EQ(sim.Run("SENS:DET:DUMM:CARR?"), "5");

    sim.Run("PROC:CONN:SET");
    EXPECT_LT(MsUntil([&] { return sim.Run("STAT:DEV?") == "DCE"; }, Now(), 1000), 300u);
    int16_t result = 0;
    EXPECT_EQ(sim.Run("SENS:DET:RFPI?", &result), "");
    EXPECT_EQ(result, 1);
}

}  // namespace
}  // namespace tavrin::testing
