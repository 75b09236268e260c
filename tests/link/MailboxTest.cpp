// The mailbox on the virtual tester: frames and checksums, the ring, the acceptance wait and
// its failures, the reply poll and the EEPROM transactions.
#include <gtest/gtest.h>

#include <algorithm>

#include "SimLink.h"

namespace tavrin::testing {
namespace {

using namespace mailbox;
using Bytes = std::vector<uint8_t>;

Bytes Slot(sim::VirtualTester& t, uint32_t index, size_t n) {
    Bytes b;
    for (size_t i = 0; i < n; ++i) b.push_back(t.Memory().Read(HostSlot(index) + i));
    return b;
}

class MailboxTest : public ::testing::Test {
protected:
    SimLink sim;
    Mailbox& mail() { return sim.link->mail; }
    ErrorState& errors() { return sim.link->errors; }
};

TEST_F(MailboxTest, FramesCarryLengthClassBodyAndChecksum) {
    mail().SendMail(6, 0xC3);
    EXPECT_EQ(Slot(*sim.tester, 0, 4), (Bytes{0x02, 0x06, 0xC3, 0xCB}));
    mail().SendMail(6, 0x5D, 0x30);
    EXPECT_EQ(Slot(*sim.tester, 1, 5), (Bytes{0x03, 0x06, 0x5D, 0x30, 0x96}));
    const uint8_t request[] = {0x3C, 0x06, 0x00, 0x19, 0x00, 0x02};
    mail().SendMailBlock(2, request, sizeof request);
    EXPECT_EQ(Slot(*sim.tester, 2, 9),
              (Bytes{0x07, 0x02, 0x3C, 0x06, 0x00, 0x19, 0x00, 0x02, 0x66}));
    ASSERT_EQ(sim.tester->mails.size(), 3u);
    EXPECT_EQ(sim.tester->mails[1].cls, 6);
    EXPECT_EQ(sim.tester->mails[1].body, (Bytes{0x5D, 0x30}));
    EXPECT_EQ(errors().ErrorCount, 0);
}

TEST_F(MailboxTest, TraceTextsOfTheFourForms) {
    mail().SendMail(6, 0xC3);
    mail().SendMail(6, 0x5D, 0x30);
    mail().SendMail(1, 0x02, 0x03, 0x04);
    mail().SendMail(1, 0x0A, 0x0B, 0x0C, 0x0D);
    const uint8_t body[] = {0x3C, 1};
    mail().SendMailBlock(2, body, 2);
    std::vector<std::string> sends;
    for (const auto& line : sim.traceLines)
        if (line.find("Sendmail") != std::string::npos)
            sends.push_back(line.substr(line.find("Sabrel")));
    EXPECT_EQ(sends, (std::vector<std::string>{
                         "Sabrel: Sendmail 06: c3  ", "Sabrel: Sendmail 06: 5d,30  ",
                         "Sabrel: Sendmail 01: 02,03,04  ", "Sabrel: Sendmail 01: 0a,0b,0c,0d  ",
                         "Sabrel: Sendmail 02  "}));
    EXPECT_EQ(sim.traceLines.front().rfind("Time: ", 0), 0u);
}

TEST_F(MailboxTest, OneMailCostsThreeExchanges) {
    const uint64_t writes = sim.driver->bridge.writes;
    mail().SendMail(6, 0x5D, 0x15);
    // The index read, the batch of status, frame and index, and the status poll.
    EXPECT_EQ(sim.driver->bridge.writes - writes, 3u);
}

TEST_F(MailboxTest, WriteIndexSevenWrapsToZero) {
    sim.tester->Memory().Write(kHostRingRead, 7);
    sim.tester->Memory().Write(kHostRingWrite, 7);
    mail().SendMail(6, 0xC3);
    EXPECT_EQ(HostSlot(7), 0x68E4u);
    EXPECT_EQ(Slot(*sim.tester, 7, 4), (Bytes{0x02, 0x06, 0xC3, 0xCB}));
    EXPECT_EQ(sim.tester->Memory().Read(kHostRingWrite), 0);
}

TEST_F(MailboxTest, FullRingWaitsTenTimesFiveTicksThenDropsTheMail) {
    sim.tester->faults.holdMails = true;
    sim.tester->Memory().Write(kHostRingRead, 4);
    sim.tester->Memory().Write(kHostRingWrite, 3);
    sim.ClearLogs();
    const uint32_t start = sim.clock.nowMs();
    mail().SendMail(6, 0xC3);
    const uint32_t waited = sim.clock.nowMs() - start;
    // Ten waits of five 10 ms ticks.
    EXPECT_GE(waited, 500u);
    EXPECT_LT(waited, 600u);
    EXPECT_EQ(errors().LastError, kTargetError);
    EXPECT_EQ(errors().ErrorCount, 1);
    EXPECT_TRUE(sim.tester->cellWrites.empty()) << "a dropped mail writes nothing";
    EXPECT_EQ(sim.tester->Memory().Read(kHostRingWrite), 3);
}

TEST_F(MailboxTest, RingThatEmptiesDuringTheWaitTakesTheMail) {
    sim.tester->faults.holdMails = true;
    sim.tester->Memory().Write(kHostRingRead, 4);
    sim.tester->Memory().Write(kHostRingWrite, 3);
    // The tester frees a slot after a while.
    struct Freer : sim::SimComponent {
        uint64_t at;
        explicit Freer(uint64_t t) : at(t) {}
        void Advance(sim::VirtualTester& t, uint64_t nowUs) override {
            if (nowUs >= at && t.faults.holdMails) {
                t.faults.holdMails = false;
                t.Memory().Write(kHostRingRead, 5);
            }
        }
    };
    sim.tester->AddComponent(std::make_unique<Freer>(sim.clock.nowUs() + 120000));
    mail().SendMail(6, 0xC3);
    EXPECT_EQ(errors().ErrorCount, 0);
    EXPECT_EQ(Slot(*sim.tester, 3, 4), (Bytes{0x02, 0x06, 0xC3, 0xCB}));
}

TEST_F(MailboxTest, WriteIndexAboveSevenDropsTheMail) {
    sim.tester->faults.holdMails = true;
    sim.tester->Memory().Write(kHostRingWrite, 9);
    sim.ClearLogs();
    mail().SendMail(6, 0xC3);
    EXPECT_EQ(errors().LastError, kTargetError);
    EXPECT_TRUE(sim.tester->cellWrites.empty());
}

TEST_F(MailboxTest, ResetMailDoesNotWaitForTheStatus) {
    sim.tester->faults.holdMails = true;  // the tester would never answer
    const uint32_t start = sim.clock.nowMs();
    sim.ClearLogs();
    mail().SendMail(6, 0x5D, 0xFF);
    EXPECT_LT(sim.clock.nowMs() - start, 50u);
    EXPECT_EQ(errors().ErrorCount, 0);
    // The last request is the write of the index; the status cell is never read.
    ASSERT_FALSE(sim.tester->requestLog.empty());
    EXPECT_EQ(sim.tester->requestLog.back().kind, 2);
    EXPECT_EQ(sim.tester->requestLog.back().address, kHostRingWrite);
    for (const auto& r : sim.tester->requestLog)
        EXPECT_FALSE(r.kind == 1 && r.address == kStatusCell);
}

TEST_F(MailboxTest, ChecksumRefusalEndsTheWaitAtOnce) {
    sim.tester->faults.refuseChecksum = true;
    const uint32_t start = sim.clock.nowMs();
    mail().SendMail(6, 0xC3);
    EXPECT_LT(sim.clock.nowMs() - start, 50u);
    EXPECT_EQ(errors().ErrorCount, 1);
    EXPECT_EQ(errors().LastError, kTargetError);
    EXPECT_NE(sim.traceLines.back().find("Sabrel: COMM_CRC_ERROR @ 154"), std::string::npos);
}

TEST_F(MailboxTest, UntakenMailTimesOutAfterTenSeconds) {
    sim.tester->faults.holdMails = true;
    const uint32_t start = sim.clock.nowMs();
    mail().SendMail(6, 0xC3);
    const uint32_t waited = sim.clock.nowMs() - start;
    EXPECT_GE(waited, kMailTimeoutMs);
    EXPECT_LT(waited, kMailTimeoutMs + 100);
    EXPECT_EQ(errors().ErrorCount, 1);
    EXPECT_NE(sim.traceLines.back().find("Sabrel: Timeout @ 162"), std::string::npos);
}

TEST_F(MailboxTest, StoppedTickEndsEachTickWaitAfterTenSeconds) {
    sim.tester->faults.tickStopped = true;
    const uint32_t start = sim.clock.nowMs();
    mail().WaitTicks(2);
    EXPECT_GE(sim.clock.nowMs() - start, 2 * kMailTimeoutMs);
    EXPECT_EQ(errors().ErrorCount, 2);
    EXPECT_NE(sim.traceLines.back().find("Sabrel: Timeout @ 106"), std::string::npos);
    sim.tester->faults.tickStopped = false;
    errors().ErrorCount = 0;
    const uint32_t ticking = sim.clock.nowMs();
    mail().WaitTicks(3);
    EXPECT_LE(sim.clock.nowMs() - ticking, 40u);
    EXPECT_EQ(errors().ErrorCount, 0);
}

TEST_F(MailboxTest, EmptyBlockMailDoesNothing) {
    sim.ClearLogs();
    const uint8_t body[] = {1};
    mail().SendMailBlock(2, body, 0);
    EXPECT_TRUE(sim.traceLines.empty());
    EXPECT_TRUE(sim.tester->requestLog.empty());
}

TEST_F(MailboxTest, OverlongBodyIsRefused) {
    uint8_t body[30] = {0x3B};
    sim.ClearLogs();
    mail().SendMailBlock(2, body, 30);
    EXPECT_EQ(errors().LastError, kTargetError);
    EXPECT_TRUE(sim.tester->cellWrites.empty());
}

TEST_F(MailboxTest, ReplyPollWithEqualIndexesWritesNothing) {
    uint8_t buffer[32];
    sim.ClearLogs();
    EXPECT_EQ(mail().ReceiveMail(buffer), 0);
    EXPECT_TRUE(sim.tester->cellWrites.empty());
}

TEST_F(MailboxTest, ReplyIsTakenAndTheReadIndexAdvances) {
    const uint8_t reply[] = {0x3D, 0x06, 0x00, 0x11, 0x22};
    sim.tester->PostReply(reply, sizeof reply);
    uint8_t buffer[32] = {};
    EXPECT_EQ(mail().ReceiveMail(buffer), 32);
    EXPECT_EQ(Bytes(buffer, buffer + 5), Bytes(reply, reply + 5));
    EXPECT_EQ(sim.tester->Memory().Read(kReplyRingRead), 1);
    EXPECT_EQ(mail().ReceiveMail(buffer), 0);
}

TEST_F(MailboxTest, ReplyIndexOutsideTheRingIsATargetError) {
    sim.tester->Memory().Write(kReplyRingWrite, 8);
    uint8_t buffer[32];
    EXPECT_EQ(mail().ReceiveMail(buffer), 0);
    EXPECT_EQ(errors().LastError, kTargetError);
}

TEST_F(MailboxTest, EepromReadReturnsTheTesterBytes) {
    for (int i = 0; i < 25; ++i) sim.tester->Eeprom()[0x0219 + i] = uint8_t(100 + i);
    uint8_t data[25] = {};
    EXPECT_TRUE(mail().ReadTesterEeprom(0x0219, 25, data));
    for (int i = 0; i < 25; ++i) EXPECT_EQ(data[i], 100 + i);
    const auto& request = sim.tester->mails.back();
    EXPECT_EQ(request.cls, 2);
    EXPECT_EQ(request.body, (Bytes{0x3C, 0x06, 0x00, 25, 0x19, 0x02}));
}

TEST_F(MailboxTest, MissingEepromAnswerIsATimeOutAndLeavesTheData) {
    sim.tester->faults.loseReplies = true;
    uint8_t data[4] = {9, 9, 9, 9};
    const uint32_t start = sim.clock.nowMs();
    EXPECT_FALSE(mail().ReadTesterEeprom(0x0200, 4, data));
    EXPECT_EQ(errors().LastError, kTimeOutError);
    EXPECT_EQ(Bytes(data, data + 4), (Bytes{9, 9, 9, 9}));
    // Fifty polls, each followed by a wait of two ticks.
    EXPECT_GE(sim.clock.nowMs() - start, 50u * 2 * 10 - 20);
    EXPECT_LT(sim.clock.nowMs() - start, 50u * 3 * 10 + 200);
}

TEST_F(MailboxTest, EepromWriteThenReadBack) {
    const uint8_t data[] = {1, 2, 3};
    mail().WriteTesterEeprom(0x0400, 3, data);
    EXPECT_EQ(sim.tester->Eeprom()[0x0402], 3);
    uint8_t back[3] = {};
    EXPECT_TRUE(mail().ReadTesterEeprom(0x0400, 3, back));
    EXPECT_EQ(Bytes(back, back + 3), Bytes(data, data + 3));
}

TEST_F(MailboxTest, StaleRepliesAreDroppedWithinOneRing) {
    const uint8_t reply[] = {0x3D};
    for (int i = 0; i < 5; ++i) sim.tester->PostReply(reply, 1);
    mail().DropPendingReplies();
    uint8_t buffer[32];
    EXPECT_EQ(mail().ReceiveMail(buffer), 0);
}

}  // namespace
}  // namespace tavrin::testing

namespace tavrin::testing {
namespace {

TEST(MailboxWithoutLink, MailsAndTickWaitsFailAtOnce) {
    SimLink sim{SimulationSettings{}, false};
    const uint32_t start = sim.clock.nowMs();
    sim.link->mail.SendMail(6, 0xC3);
    EXPECT_EQ(sim.link->errors.LastError, kTargetError);
    sim.link->mail.WaitTicks(3);
    EXPECT_EQ(sim.link->errors.ErrorCount, 2);
    EXPECT_EQ(sim.clock.nowMs(), start);
    EXPECT_TRUE(sim.tester->requestLog.empty());
}

TEST(MailboxWithoutLink, CommandErrorSurvivesTheIndicator) {
    SimLink sim{SimulationSettings{}, false};
    int16_t result = 0;
    sim.Run("XYZ", &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(sim.LastErrorText(), "-102, \"Syntax Error\"");
}

TEST(MailboxWithoutLink, FailingIndicatorMailKeepsTheResultAndTheError) {
    SimLink sim;
    sim.Run("*IDN?");                     // detection and calibration while the tester works
    sim.tester->faults.holdMails = true;  // the indicator mail is never taken
    int16_t result = 0;
    sim.Run("XYZ", &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(sim.LastErrorText(), "-102, \"Syntax Error\"");
}

}  // namespace
}  // namespace tavrin::testing
