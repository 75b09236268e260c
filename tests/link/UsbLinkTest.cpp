// The request protocol on the wire: request bytes, the device search, block pipelining, the
// bound on every wait, and how failures are reported.
#include <gtest/gtest.h>

#include "RecordingDriver.h"
#include "SimUsbDriver.h"
#include "transport/UsbLink.h"

namespace tavrin::testing {
namespace {

using Bytes = std::vector<uint8_t>;

class UsbLinkTest : public ::testing::Test {
protected:
    UsbLinkTest() {
        tester = std::make_shared<sim::VirtualTester>(clock);
        auto sim = std::make_unique<sim::SimUsbDriver>(tester);
        driver = sim.get();
        auto rec = std::make_unique<RecordingDriver>(std::move(sim));
        recorder = rec.get();
        usb.SetPendingDriver(std::move(rec));
        trace.SetSink(
            [](const char* t, void* self) {
                static_cast<UsbLinkTest*>(self)->traceLines.emplace_back(t);
            },
            this);
    }

    void Open() {
        ASSERT_EQ(usb.OpenUsbLink(kFirstUsbPort), 2);  // 2: open
        recorder->Clear();
    }

    VirtualClock clock;
    Trace trace;
    ErrorState errors;
    UsbLink usb{clock, trace, errors};
    std::shared_ptr<sim::VirtualTester> tester;
    sim::SimUsbDriver* driver = nullptr;
    RecordingDriver* recorder = nullptr;
    std::vector<std::string> traceLines;
};

TEST_F(UsbLinkTest, RequestBytes) {
    Open();
    tester->Memory().Write(0x6A5B, 0x77);
    EXPECT_EQ(usb.TesterRead(0x6A5B), 0x77);
    EXPECT_EQ(recorder->writes.back(), (Bytes{0x01, 0x00, 0x6A, 0x5B, 0x00}));

    usb.TesterWrite(0x6A5B, 0x23);
    EXPECT_EQ(recorder->writes.back(), (Bytes{0x02, 0x00, 0x6A, 0x5B, 0x00, 0x23}));
    EXPECT_EQ(tester->Memory().Read(0x6A5B), 0x23);

    tester->Memory().Write(0x6A63, 0x34);
    tester->Memory().Write(0x6A64, 0x12);
    EXPECT_EQ(usb.TesterReadWord(0x6A63), 0x1234);
    tester->Memory().WriteLong(0x6A50, 0xA1B2C3D4);
    EXPECT_EQ(usb.TesterReadLong(0x6A50), 0xA1B2C3D4u);
    EXPECT_EQ(errors.ErrorCount, 0);
}

TEST_F(UsbLinkTest, BlockReadIsPipelinedIn128ByteRequests) {
    Open();
    for (uint32_t i = 0; i < 300; ++i) tester->Memory().Write(0x012000 + i, uint8_t(i * 7));
    uint8_t block[300] = {};
    EXPECT_EQ(usb.TesterReadBlock(0x012000, 300, block), 0);
    EXPECT_EQ(recorder->AllWritten(), (Bytes{0x01, 0x01, 0x20, 0x00, 0x7F, 0x01, 0x01, 0x20, 0x80,
                                             0x7F, 0x01, 0x01, 0x21, 0x00, 0x2B}));
    for (uint32_t i = 0; i < 300; ++i) ASSERT_EQ(block[i], uint8_t(i * 7)) << i;
}

TEST_F(UsbLinkTest, WriteBatchGoesOutInOneTransfer) {
    Open();
    WriteBatch batch;
    batch.Add(0x6804, 0x02);
    batch.Add(0x6805, 0x06);
    batch.Add(0x6801, 0x01);
    EXPECT_EQ(usb.TesterWriteBatch(batch), FT_OK);
    ASSERT_EQ(recorder->writes.size(), 1u);
    EXPECT_EQ(recorder->writes[0], (Bytes{0x02, 0x00, 0x68, 0x04, 0x00, 0x02, 0x02, 0x00, 0x68,
                                          0x05, 0x00, 0x06, 0x02, 0x00, 0x68, 0x01, 0x00, 0x01}));
    // The cells change in the order they were added.
    ASSERT_EQ(tester->cellWrites.size(), 3u);
    EXPECT_EQ(tester->cellWrites[0].first, 0x6804u);
    EXPECT_EQ(tester->cellWrites[2].first, 0x6801u);
}

TEST_F(UsbLinkTest, OldParallelPortCodeTouchesNoDriver) {
    EXPECT_EQ(usb.OpenUsbLink(0x0378), 1);
    EXPECT_TRUE(recorder->calls.empty());
    EXPECT_FALSE(usb.IsOpen());
}

TEST_F(UsbLinkTest, SearchOpensOnlyTheExactDescriptionAndSetsLatency) {
    EXPECT_EQ(usb.OpenUsbLink(kFirstUsbPort), 2);
    EXPECT_EQ(recorder->calls,
              (std::vector<std::string>{"CreateDeviceInfoList", "GetDeviceInfoDetail",
                                        "GetDeviceInfoDetail", "Open 1", "SetLatencyTimer 2"}));
    EXPECT_EQ(driver->latencyMs, 2);
}

TEST_F(UsbLinkTest, DescriptionWithMoreCharactersDoesNotMatch) {
    driver->description = "Zelk Communication tester 2";
    EXPECT_EQ(usb.OpenUsbLink(kFirstUsbPort), 3);
    EXPECT_FALSE(usb.IsOpen());
    for (const auto& c : recorder->calls) EXPECT_NE(c.rfind("Open", 0), 0u) << c;
    // Nothing is sent over a link that never opened, and nothing fails loudly either.
    EXPECT_EQ(usb.TesterRead(0x6A5C), 0);
    EXPECT_TRUE(recorder->writes.empty());
}

TEST_F(UsbLinkTest, SilentTesterCostsOneBoundedWaitAndATargetError) {
    Open();
    tester->faults.noAnswer = true;
    const uint32_t start = clock.nowMs();
    EXPECT_EQ(usb.TesterRead(0x6A5C), 0);
    const uint32_t waited = clock.nowMs() - start;
    EXPECT_GE(waited, kExchangeTimeoutMs);
    EXPECT_LE(waited, kExchangeTimeoutMs + 100);
    EXPECT_EQ(errors.LastError, kTargetError);
    EXPECT_EQ(errors.ErrorCount, 1);
    ASSERT_FALSE(traceLines.empty());
    EXPECT_NE(traceLines.back().find("Sabrel: USB read failed @ 0x006A5C"), std::string::npos);

    // Writes and the block drain are bounded the same way.
    usb.TesterWrite(0x6A5B, 1);
    uint8_t block[200];
    usb.TesterReadBlock(0x10000, 200, block);
    EXPECT_EQ(errors.ErrorCount, 3);
    EXPECT_LE(clock.nowMs() - start, 3 * (kExchangeTimeoutMs + 100));
}

TEST_F(UsbLinkTest, LateAnswerIsNotTakenForTheNextRead) {
    Open();
    tester->Memory().Write(0x100, 0xAA);
    tester->Memory().Write(0x200, 0xBB);
    tester->faults.noAnswer = true;
    usb.TesterRead(0x100);
    tester->faults.noAnswer = false;
    EXPECT_EQ(usb.TesterRead(0x200), 0xBB);
}

TEST_F(UsbLinkTest, UnpluggedDeviceFailsEveryExchange) {
    Open();
    tester->faults.unplugged = true;
    EXPECT_EQ(usb.TesterRead(0x6A5C), 0);
    EXPECT_NE(usb.TesterWrite(0x6A5B, 1), 0u);
    EXPECT_EQ(errors.ErrorCount, 2);
    EXPECT_EQ(errors.LastError, kTargetError);
}

TEST_F(UsbLinkTest, SerialNumberProgramsTheBridgeRecord) {
    EXPECT_EQ(usb.ProgramUsbSerialNumber("ZK123"), FT_DEVICE_NOT_OPENED);
    EXPECT_TRUE(recorder->calls.empty());
    Open();
    EXPECT_EQ(usb.ProgramUsbSerialNumber("ZK123"), FT_OK);
    EXPECT_EQ(recorder->calls, (std::vector<std::string>{"EE_Read", "EE_Program"}));
    EXPECT_EQ(driver->serialNumber, "ZK123");
    EXPECT_EQ(driver->description, "Zelk Communication tester");
    EXPECT_EQ(driver->manufacturer, "Zelk Instruments");
    EXPECT_EQ(driver->vendorId, 0x0403);
    EXPECT_EQ(driver->productId, 0x6001);
    EXPECT_EQ(driver->rIsD2xx, 1);
}

}  // namespace
}  // namespace tavrin::testing
