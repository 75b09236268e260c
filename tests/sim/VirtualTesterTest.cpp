// The virtual tester's side of the request protocol and the mailbox, and the bridge model.
#include <gtest/gtest.h>

#include "Firmware.h"
#include "SimUsbDriver.h"
#include "transport/Link.h"
#include "transport/MailboxLayout.h"

namespace tavrin::testing {
namespace {

using namespace mailbox;
using Bytes = std::vector<uint8_t>;

class VirtualTesterTest : public ::testing::Test {
protected:
    std::vector<sim::VirtualTester::Answer> Send(const Bytes& bytes) {
        std::vector<sim::VirtualTester::Answer> answers;
        tester.HostBytes(bytes.data(), bytes.size(), answers);
        return answers;
    }
    // Posts a mail the way the host does: frame, checksum, then the write index.
    void PostMail(uint8_t slot, const Bytes& frame, bool goodChecksum = true) {
        uint8_t sum = 0;
        for (size_t i = 0; i < frame.size(); ++i) {
            tester.Memory().Write(HostSlot(slot) + i, frame[i]);
            sum = uint8_t(sum + frame[i]);
        }
        tester.Memory().Write(HostSlot(slot) + frame.size(), goodChecksum ? sum : uint8_t(sum + 1));
        Send({0x02, 0x00, 0x68, 0x01, 0x00, uint8_t((slot + 1) % 8)});
    }

    VirtualClock clock;
    sim::VirtualTester tester{clock};
};

TEST_F(VirtualTesterTest, RequestsMaySpanWrites) {
    tester.Memory().Write(0x123456, 0x42);
    auto answers = Send({0x01, 0x12});
    EXPECT_TRUE(answers.empty());
    answers = Send({0x34, 0x56, 0x00, 0x02, 0x00});
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].bytes, Bytes{0x42});
    EXPECT_EQ(answers[0].endOffset, 3u);
    // The write that followed in the same transfer is still pending its last byte.
    answers = Send({0x10, 0x00, 0x00, 0x07});
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(tester.Memory().Read(0x001000), 0x07);
}

TEST_F(VirtualTesterTest, StrayBytesAreLoggedAndSkipped) {
    Send({0x55, 0x01, 0x00, 0x00, 0x00, 0x00});
    ASSERT_FALSE(tester.LogLines().empty());
    EXPECT_EQ(tester.LogLines()[0], "dropped stray byte 55");
    EXPECT_EQ(tester.counters.requests, 1u);
}

TEST_F(VirtualTesterTest, TickCellFollowsTheClock) {
    Send({0x01, 0x00, 0x6A, 0x18, 0x00});
    EXPECT_EQ(tester.Memory().Read(kTickCell), 0);
    clock.sleepMs(35);
    auto answers = Send({0x01, 0x00, 0x6A, 0x18, 0x00});
    EXPECT_EQ(answers[0].bytes, Bytes{3});
    tester.faults.tickStopped = true;
    clock.sleepMs(100);
    answers = Send({0x01, 0x00, 0x6A, 0x18, 0x00});
    EXPECT_EQ(answers[0].bytes, Bytes{3});
}

TEST_F(VirtualTesterTest, MailsAreCheckedTakenAndLogged) {
    PostMail(0, {0x02, 0x06, 0xC3});
    EXPECT_EQ(tester.Memory().Read(kStatusCell), COMM_IDLE);
    ASSERT_EQ(tester.mails.size(), 1u);
    EXPECT_EQ(tester.mails[0].body, Bytes{0xC3});
    EXPECT_EQ(tester.Memory().Read(kHostRingRead), 1);
    EXPECT_NE(tester.LogLines().back().find("mail not known, accepted: class 6: c3"),
              std::string::npos);

    PostMail(1, {0x02, 0x06, 0xC3}, false);
    EXPECT_EQ(tester.Memory().Read(kStatusCell), COMM_CRC_ERROR);
    EXPECT_EQ(tester.mails.size(), 1u);
}

TEST_F(VirtualTesterTest, EepromServiceAnswersThroughTheReplyRing) {
    tester.Eeprom()[0x031D] = 0x12;
    PostMail(0, {0x07, 0x02, 0x3C, 0x06, 0x00, 0x01, 0x1D, 0x03});
    EXPECT_EQ(tester.Memory().Read(kReplyRingWrite), 1);
    EXPECT_EQ(tester.Memory().Read(ReplySlot(0)), kEepromAnswer);
    EXPECT_EQ(tester.Memory().Read(ReplySlot(0) + 3), 0x12);
    PostMail(1, {0x08, 0x02, 0x3B, 0x06, 0x00, 0x01, 0x00, 0x04, 0x99});
    EXPECT_EQ(tester.Eeprom()[0x0400], 0x99);
}

TEST_F(VirtualTesterTest, FullReplyRingDropsAndLogs) {
    const uint8_t reply[] = {0x3D};
    for (int i = 0; i < 8; ++i) tester.PostReply(reply, 1);
    EXPECT_EQ(tester.counters.replies, 7u);
    EXPECT_EQ(tester.LogLines().back(), "reply ring full, reply dropped");
}

TEST(SimFirmware, ModelCodeIsChecked) {
    VirtualClock clock;
    for (uint8_t model : {10, 11, 12, 13}) {
        sim::VirtualTester tester(clock);
        std::string reason;
        EXPECT_TRUE(sim::InstallFirmware(tester, SimulationSettings{model, ""}, reason)) << reason;
        EXPECT_EQ(tester.Memory().Read(0x6A5C), model);
    }
    sim::VirtualTester tester(clock);
    std::string reason;
    EXPECT_FALSE(sim::InstallIdentity(tester, SimulationSettings{9, ""}, reason));
    EXPECT_NE(reason.find("9"), std::string::npos);
}

class BridgeTest : public ::testing::Test {
protected:
    BridgeTest() {
        tester = std::make_shared<sim::VirtualTester>(clock);
        driver = std::make_unique<sim::SimUsbDriver>(tester);
    }
    FT_HANDLE OpenTester() {
        FT_HANDLE h = nullptr;
        EXPECT_EQ(driver->Open(1, &h), FT_OK);
        driver->SetLatencyTimer(h, 2);
        return h;
    }
    VirtualClock clock;
    std::shared_ptr<sim::VirtualTester> tester;
    std::unique_ptr<sim::SimUsbDriver> driver;
};

TEST_F(BridgeTest, ListsTwoDevicesOnlyOneOfThemTheTester) {
    DWORD n = 0;
    ASSERT_EQ(driver->CreateDeviceInfoList(&n), FT_OK);
    EXPECT_EQ(n, 2u);
    char serial[16], description[64];
    DWORD flags, type, id, loc;
    FT_HANDLE h;
    driver->GetDeviceInfoDetail(0, &flags, &type, &id, &loc, serial, description, &h);
    EXPECT_STREQ(description, "FT232R USB UART");
    driver->GetDeviceInfoDetail(1, &flags, &type, &id, &loc, serial, description, &h);
    EXPECT_STREQ(description, "Zelk Communication tester");
    EXPECT_STREQ(serial, "ZK000001");
}

TEST_F(BridgeTest, ShortAnswerWaitsForTheLatencyTimer) {
    FT_HANDLE h = OpenTester();
    uint8_t request[] = {0x01, 0x00, 0x6A, 0x5C, 0x00};
    DWORD written = 0, rx = 0, tx = 0, ev = 0;
    driver->Write(h, request, 5, &written);
    const uint64_t start = clock.nowUs();
    ASSERT_EQ(driver->GetStatus(h, &rx, &tx, &ev), FT_OK);
    EXPECT_EQ(rx, 1u);
    EXPECT_GE(clock.nowUs() - start, 1900u);
    EXPECT_LE(clock.nowUs() - start, 2100u);
    EXPECT_EQ(driver->bridge.waits, 1u);
}

TEST_F(BridgeTest, FullPacketLeavesWithoutTheLatency) {
    FT_HANDLE h = OpenTester();
    uint8_t request[] = {0x01, 0x01, 0x00, 0x00, 61};  // 62 bytes
    DWORD written = 0, rx = 0, tx = 0, ev = 0;
    driver->Write(h, request, 5, &written);
    const uint64_t start = clock.nowUs();
    driver->GetStatus(h, &rx, &tx, &ev);
    EXPECT_EQ(rx, 62u);
    EXPECT_LT(clock.nowUs() - start, 400u);  // 62 bytes at 3.33 µs, no latency timer
}

TEST_F(BridgeTest, UnpluggedTesterFailsItsCallsAndLeavesTheList) {
    FT_HANDLE h = OpenTester();
    tester->faults.unplugged = true;
    uint8_t request[] = {0x01, 0x00, 0x6A, 0x5C, 0x00};
    DWORD written = 0, n = 0;
    EXPECT_EQ(driver->Write(h, request, 5, &written), FT_IO_ERROR);
    driver->CreateDeviceInfoList(&n);
    EXPECT_EQ(n, 1u);
}

// The platform's clock as the virtual bridge meets it: every wait wakes `lateUs` late.
class LateWakingClock final : public Clock {
public:
    uint32_t nowMs() override { return base.nowMs(); }
    void sleepMs(uint32_t ms) override { sleepUs(uint64_t{ms} * 1000); }
    uint64_t nowUs() override { return base.nowUs(); }
    void sleepUs(uint64_t us) override { base.sleepUs(us + lateUs); }

    VirtualClock base;
    uint64_t lateUs = 0;
};

// Twenty single-cell reads as the host makes them, spinning on the status call until the
// answer is there, with `hostUs` of the host's own work before each; returns the time taken.
uint64_t TwentyReads(LateWakingClock& clock, uint64_t hostUs) {
    auto tester = std::make_shared<sim::VirtualTester>(clock);
    sim::SimUsbDriver driver(tester);
    FT_HANDLE h = nullptr;
    EXPECT_EQ(driver.Open(1, &h), FT_OK);
    driver.SetLatencyTimer(h, 2);
    const uint64_t start = clock.nowUs();
    for (int i = 0; i < 20; ++i) {
        clock.base.sleepUs(hostUs);
        uint8_t request[] = {0x01, 0x00, 0x6A, 0x5C, 0x00};
        DWORD n = 0, rx = 0, tx = 0, ev = 0;
        driver.Write(h, request, 5, &n);
        while (rx == 0 && driver.GetStatus(h, &rx, &tx, &ev) == FT_OK) {
        }
        uint8_t answer = 0;
        driver.Read(h, &answer, 1, &n);
        EXPECT_EQ(n, 1u);
    }
    return clock.nowUs() - start;
}

TEST(BridgePacing, LateWakeUpsAreAbsorbedButTheModelIsNeverBeaten) {
    LateWakingClock clock;
    const uint64_t modelled = TwentyReads(clock, 0);
    EXPECT_GE(modelled, 20u * 2000u);  // one latency timer each

    // Waking 150 µs late from each of some forty waits costs only the last one.
    clock.lateUs = 150;
    const uint64_t late = TwentyReads(clock, 0);
    EXPECT_GE(late, modelled);
    EXPECT_LE(late, modelled + 150);

    // The host's own work is not absorbed: it delays its requests on a real bridge too.
    const uint64_t slowHost = TwentyReads(clock, 500);
    EXPECT_GE(slowHost, modelled + 20 * 500);
    EXPECT_LE(slowHost, modelled + 20 * 500 + 150);

    // A host held up for 5 ms at every wait is made up by at most 1 ms each time.
    clock.lateUs = 5000;
    EXPECT_GE(TwentyReads(clock, 0), modelled + 20 * 3500);
}

// A capture plane as the library reads it: requests of 128 bytes pipelined, the answers
// streaming at the line rate, with a status call between requests.
TEST(BridgePacing, PipelinedBlockReadKeepsTheLineRateWhenWaitsWakeLate) {
    const auto planeRead = [](uint64_t lateUs) {
        LateWakingClock clock;
        clock.lateUs = lateUs;
        auto tester = std::make_shared<sim::VirtualTester>(clock);
        std::string reason;
        EXPECT_TRUE(sim::InstallFirmware(*tester, SimulationSettings{}, reason)) << reason;
        for (uint32_t i = 0; i < 8192; ++i)
            tester->Memory().Write(0x010000 + i, static_cast<uint8_t>(i * 7));
        Link link(clock, std::make_unique<sim::SimUsbDriver>(tester));
        EXPECT_EQ(link.usb.OpenUsbLink(kFirstUsbPort), 2);  // 2: open
        std::vector<uint8_t> plane(8192);
        const uint64_t start = clock.nowUs();
        EXPECT_EQ(link.usb.TesterReadBlock(0x010000, 8192, plane.data()), 0);
        EXPECT_EQ(plane[8191], static_cast<uint8_t>(8191 * 7));
        return clock.nowUs() - start;
    };
    const uint64_t modelled = planeRead(0);
    EXPECT_GE(modelled, 8192u * 10 / 3);  // 3.33 µs a byte at 3 Mbaud
    const uint64_t late = planeRead(150);
    EXPECT_GE(late, modelled);
    EXPECT_LE(late, modelled + 150);
}

}  // namespace
}  // namespace tavrin::testing
