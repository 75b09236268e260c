// The command wrappers: counting, the disabled state, the debug echo and its format.
#include <gtest/gtest.h>

#include "FakeTester.h"
#include "core/CommandWrappers.h"

namespace tavrin::app::testing {
namespace {

constexpr const char* kServiceLockLine = "SYST:PASS \"KQZ4417WD385\"";

struct Echoes {
    std::vector<std::string> lines;
    std::vector<std::string> status;
    std::vector<std::string> log;
    EchoTargets targets() {
        return {[this](const std::string& s) { status.push_back(s); },
                [this](const std::string& s) { lines.push_back(s); },
                [this](const std::string& s) { log.push_back(s); }};
    }
};

TEST(EchoFormat, CommandAndReplyLines) {
    EXPECT_EQ(FormatEcho("-->", "STAT:DEV?", 0), "-->\"STAT:DEV?\" (0)");
    EXPECT_EQ(FormatEcho("<--", "IDLE", 4), "<--\"IDLE\" (4)");
    EXPECT_EQ(ErrorCountText(12), "ZelkWrt Error count = 12");
}

TEST(EchoFormat, LongTextIsCutVisiblyWithinTheBuffer) {
    const std::string text(400, 'A');
    const std::string line = FormatEcho("-->", text.c_str(), -1);
    EXPECT_EQ(line.size(), kEchoBufferSize - 1);
    EXPECT_EQ(line.substr(0, 4), "-->\"");
    EXPECT_TRUE(line.ends_with("AAA...\" (-1)")) << line;
}

TEST(EchoFormat, TextThatJustFitsIsNotCut) {
    // 3 arrow + 2 quotes + " (0)" = 9 characters around the text, 199 in all.
    const std::string text(190, 'B');
    const std::string line = FormatEcho("<--", text.c_str(), 0);
    EXPECT_EQ(line, "<--\"" + text + "\" (0)");
    const std::string longer(191, 'B');
    EXPECT_NE(FormatEcho("<--", longer.c_str(), 0).find("..."), std::string::npos);
}

TEST(SendWrapper, DisabledSendsNothingAndCountsNothing) {
    FakeTester tester;
    tester.failing.insert("CONF:X");
    CommandWrappers w(tester);
    EXPECT_EQ(w.sendCommand("CONF:X"), 0);
    EXPECT_TRUE(tester.lines.empty());
    EXPECT_EQ(w.writeErrorCount, 0);
}

TEST(SendWrapper, CountsEveryFailedWrite) {
    FakeTester tester;
    tester.failing.insert("BAD");
    CommandWrappers w(tester);
    w.communicationEnabled = true;
    EXPECT_EQ(w.sendCommand("BAD"), 1);
    EXPECT_EQ(w.sendCommand("*IDN?"), 0);
    EXPECT_EQ(w.sendCommand("BAD"), 1);
    EXPECT_EQ(w.writeErrorCount, 2);
    EXPECT_EQ(tester.lines, (std::vector<std::string>{"BAD", "*IDN?", "BAD"}));
}

TEST(SendWrapper, EchoesOnlyInDebugMode) {
    FakeTester tester;
    CommandWrappers w(tester);
    Echoes e;
    w.setEchoTargets(e.targets());
    w.communicationEnabled = true;
    w.sendCommand("*IDN?");
    char buffer[kReplyBufferSize];
    w.readResponse(buffer);
    EXPECT_TRUE(e.lines.empty());
    EXPECT_TRUE(e.status.empty());

    w.debugMode = true;
    tester.failing.insert("BAD");
    w.sendCommand("BAD");
    w.sendCommand("*IDN?");
    w.readResponse(buffer);
    EXPECT_EQ(e.lines,
              (std::vector<std::string>{"-->\"BAD\" (1)", "-->\"*IDN?\" (0)", "<--\"3.2.0\" (5)"}));
    EXPECT_EQ(e.log, e.lines);
    EXPECT_EQ(e.status.back(), "ZelkWrt Error count = 1");
}

TEST(SendWrapper, ServiceLockLineAndAnswerAreNeverEchoedButCounted) {
    FakeTester tester;
    tester.failing.insert(kServiceLockLine);
    tester.answers["SYST:PASS?"] = "PASSWORD OK!";
    CommandWrappers w(tester);
    Echoes e;
    w.setEchoTargets(e.targets());
    w.communicationEnabled = true;
    w.debugMode = true;
    EXPECT_EQ(w.sendCommand(kServiceLockLine), 1);
    EXPECT_EQ(w.writeErrorCount, 1);
    EXPECT_TRUE(e.lines.empty());
    EXPECT_TRUE(e.status.empty());
    w.sendCommand("SYST:PASS?");
    char buffer[kReplyBufferSize];
    w.readResponse(buffer);
    EXPECT_STREQ(buffer, "PASSWORD OK!");
    EXPECT_EQ(e.lines, (std::vector<std::string>{"-->\"SYST:PASS?\" (0)"}));
}

TEST(SendWrapper, DirectCallsAreNeitherCountedNorEchoed) {
    FakeTester tester;
    tester.failing.insert("CONF:COMM:PORT USB");
    CommandWrappers w(tester);
    Echoes e;
    w.setEchoTargets(e.targets());
    w.communicationEnabled = true;
    w.debugMode = true;
    EXPECT_EQ(w.directWrite("CONF:COMM:PORT USB"), 1);
    char buffer[kReplyBufferSize];
    w.directRead(buffer);
    EXPECT_EQ(w.writeErrorCount, 0);
    EXPECT_TRUE(e.lines.empty());
}

}  // namespace
}  // namespace tavrin::app::testing
