// The command loop: tokenizer, code building, handler choice, errors, the answer buffer, the
// error indicator and hardware detection on entry.
#include <gtest/gtest.h>

#include "SimLink.h"
#include "interpreter/KeywordTable.h"
#include "transport/MailboxLayout.h"

namespace tavrin::testing {
namespace {

using Bytes = std::vector<uint8_t>;

// Mails of the front error indicator (class 6, 0xC7) in the order sent.
std::vector<uint8_t> IndicatorMails(sim::VirtualTester& t) {
    std::vector<uint8_t> states;
    for (const auto& m : t.mails)
        if (m.cls == 6 && m.body.size() == 2 && m.body[0] == 0xC7) states.push_back(m.body[1]);
    return states;
}

struct LineCase {
    const char* line;
    const char* answer;
    int16_t result;
    const char* error;  // "SYST:ERR?" afterwards
};

TEST(CommandLoop, LinesAnswersAndErrors) {
    const LineCase cases[] = {
        {"*IDN?", "3.2.0", 0, "+0, \"No Error\""},
        {"*idn?", "3.2.0", 0, "+0, \"No Error\""},
        {"  *IDN?  ", "3.2.0", 0, "+0, \"No Error\""},
        {"*IDN ?", "3.2.0", 0, "+0, \"No Error\""},
        {"XYZ;*IDN?", "", 1, "-102, \"Syntax Error\""},  // the rest of the line is dropped
        {"*IDN?;XYZ", "", 1, "-102, \"Syntax Error\""},  // only the last command's answer stays
        {"*IDN?;*IDN?", "3.2.0", 0, "+0, \"No Error\""},
        {"   ", "", 1, "-102, \"Syntax Error\""},  // no header: no handler
        {"", "", 1, "-102, \"Syntax Error\""},
        {"SYST:TEST?", "", 1, "-102, \"Syntax Error\""},             // known words, no handler
        {"SYST:TEST?;*IDN?", "3.2.0", 0, "-102, \"Syntax Error\""},  // the next command runs
        {"SYS:ERR?", "", 1, "-102, \"Syntax Error\""},  // a 3-letter form must be exact
        {"SYST:ERROR?", "", 1, "-102, \"Syntax Error\""},
        {"*IDN? WHATEVER", "3.2.0", 0, "+0, \"No Error\""},  // unknown parameter words are no error
        {"*IDN WHATEVER ?", "3.2.0", 0, "+0, \"No Error\""},  // "?" after a parameter is a query
        {"*IDN? 5", "3.2.0", 0, "+0, \"No Error\""},
        {"*IDN?;", "", 1, "-102, \"Syntax Error\""},  // an empty last command
    };
    for (const LineCase& c : cases) {
        SimLink sim;
        int16_t result = -1;
        EXPECT_EQ(sim.Run(c.line, &result), c.answer) << c.line;
        EXPECT_EQ(result, c.result) << c.line;
        EXPECT_EQ(sim.LastErrorText(), c.error) << c.line;
    }
}

TEST(CommandLoop, LongFormsAndKeywordOrderReachTheSameHandler) {
    for (const char* line : {"SYSTEM:ERR?", "ERR:SYST?", "syst : err ?", "SYSTEMATIC:ERR?"}) {
        SimLink sim;
        int16_t result = -1;
        EXPECT_EQ(sim.Run(line, &result), "+0, \"No Error\"") << line;
        EXPECT_EQ(result, 0) << line;
    }
}

TEST(CommandLoop, ErrorIsReportedOnceThenCleared) {
    SimLink sim;
    sim.Run("TES:TYPE");
    EXPECT_EQ(sim.Run("SYST:ERR?"), "-102, \"Syntax Error\"");
    EXPECT_EQ(sim.Run("SYST:ERR?"), "+0, \"No Error\"");
}

TEST(CommandLoop, SecondReadIsEmpty) {
    SimLink sim;
    sim.link->ZelkWrt("*IDN?", true);
    char out[kResponseSize] = "garbage";
    EXPECT_EQ(sim.link->ZelkRd(out, true), 5);
    EXPECT_STREQ(out, "3.2.0");
    EXPECT_EQ(sim.link->ZelkRd(out, true), 0);
    EXPECT_STREQ(out, "");
}

TEST(CommandLoop, IndicatorMailsOnlyOnChange) {
    SimLink sim;
    int16_t r = 0;
    sim.Run("*IDN?", &r);
    EXPECT_EQ(r, 0);
    sim.Run("XYZ", &r);
    EXPECT_EQ(r, 1);
    sim.Run("XYZ", &r);
    sim.Run("*IDN?", &r);
    EXPECT_EQ(r, 0);
    sim.Run("*IDN?", &r);
    EXPECT_EQ(IndicatorMails(*sim.tester), (std::vector<uint8_t>{1, 0}));
}

TEST(CommandLoop, TraceLinesOfTheEntryPoints) {
    SimLink sim;
    sim.link->ZelkWrt("*IDN?", true);
    char out[kResponseSize];
    sim.link->ZelkRd(out, true);
    ASSERT_GE(sim.traceLines.size(), 2u);
    EXPECT_NE(sim.traceLines.front().find("Sabrel: ZELKWrt: *IDN?\n"), std::string::npos);
    EXPECT_NE(sim.traceLines.back().find("Sabrel: ZELKRd"), std::string::npos);
    sim.ClearLogs();
    sim.link->ZelkWrt("*IDN?", false);
    sim.link->ZelkRd(out, false);
    EXPECT_TRUE(sim.traceLines.empty());
}

TEST(CommandLoop, AnswerIsCutToTheBuffer) {
    SimLink sim;
    sim.link->Answer("%s", std::string(400, 'A').c_str());
    char out[kResponseSize + 8];
    std::fill(std::begin(out), std::end(out), 'z');
    EXPECT_EQ(sim.link->ZelkRd(out, false), 167);
    EXPECT_EQ(out[167], '\0');
    EXPECT_EQ(out[168], 'z');  // nothing beyond the contract's 168 characters is touched
}

TEST(HardwareDetection, RecognisedModelLoadsCalibrationOnce) {
    SimLink sim;
    sim.tester->Memory().Write(0x6A5D, 12);
    sim.Run("*IDN?");
    EXPECT_TRUE(sim.link->hw.HardwareDetected);
    EXPECT_EQ(sim.link->hw.Model, 10);
    EXPECT_EQ(sim.link->hw.MaxSlot, 11);
    EXPECT_EQ(sim.link->hw.MaxCarrier, 34);
    EXPECT_TRUE(sim.link->cal.CalibrationLoaded);
    size_t eepromReads = 0;
    for (const auto& m : sim.tester->mails) eepromReads += (m.cls == 2 && m.body[0] == 0x3C);
    EXPECT_EQ(eepromReads, 14u);
    sim.ClearLogs();
    sim.Run("*IDN?");
    for (const auto& r : sim.tester->requestLog) EXPECT_NE(r.address, 0x6A5Cu);
}

TEST(HardwareDetection, UnknownModelIsTriedAgainOnEveryLine) {
    SimLink sim;
    sim.tester->Memory().Write(0x6A5C, 0);
    sim.Run("*IDN?");
    EXPECT_FALSE(sim.link->hw.HardwareDetected);
    EXPECT_FALSE(sim.link->cal.CalibrationLoaded);
    sim.tester->Memory().Write(0x6A5C, 13);
    sim.Run("*IDN?");
    EXPECT_TRUE(sim.link->hw.HardwareDetected);
    EXPECT_EQ(sim.link->hw.Model, 13);
}

TEST(KeywordTable, FirstFourBytesFirstMatch) {
    EXPECT_EQ(KeywordTable().size(), 172u);
    EXPECT_EQ(LookUpKeyword("CONFIGURE"), 0x10000000u);
    EXPECT_EQ(LookUpKeyword("PP"), 0x04000000u);
    EXPECT_EQ(LookUpKeyword("PPODD"), 0x00000120u);
    EXPECT_EQ(LookUpKeyword("PP32Z"), 0x000001C0u);
    EXPECT_EQ(LookUpKeyword("PP64Z"), 0x000001F0u);
    EXPECT_EQ(LookUpKeyword("P32Z"), 0x000001B0u);
    EXPECT_EQ(LookUpKeyword("SELECT"), 0x02000000u);
    EXPECT_EQ(LookUpKeyword("NONE"), 0x00005000u);
    EXPECT_EQ(LookUpKeyword("TES"), 0u);     // a short form matches only exactly
    EXPECT_EQ(LookUpKeyword("ERRORS"), 0u);  // "ERR" is 3 letters: only "ERR" itself
    EXPECT_EQ(LookUpKeyword("END"), 0u);     // the terminator is no keyword
}

}  // namespace
}  // namespace tavrin::testing
