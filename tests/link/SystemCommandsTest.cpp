// The system, status and common commands on the virtual tester: answers, errors, and what the
// tester received for each.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "TesterFixture.h"

namespace tavrin::testing {
namespace {

constexpr const char* kCode = "SYST:PASS \"KQZ4417WD385\"";

class SystemTest : public ::testing::Test {
protected:
    SimLink sim;
    sim::VirtualTester& tester() { return *sim.tester; }
    std::vector<uint8_t>& eeprom() { return sim.tester->Eeprom(); }
};

TEST_F(SystemTest, ErrorQueryReportsAndClears) {
    EXPECT_EQ(sim.Run("SYST:ERR?"), "+0, \"No Error\"");
    sim.Run("XYZ");
    EXPECT_EQ(sim.Run("SYST:ERR?"), "-102, \"Syntax Error\"");
    EXPECT_EQ(sim.Run("SYST:ERR?"), "+0, \"No Error\"");
}

TEST_F(SystemTest, RightCodeOpensTheServiceMode) {
    EXPECT_EQ(sim.Run("SYST:PASS?"), "3 TRIES LEFT");
    int16_t result = -1;
    EXPECT_EQ(sim.Run(kCode, &result), "PASSWORD OK!");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(sim.Run("SYST:PASS?"), "PASSWORD OK!");
    EXPECT_TRUE(sim.link->service.ServiceMode);
}

TEST_F(SystemTest, ThreeMissesCloseTheLockForGood) {
    int16_t result = 0;
    EXPECT_EQ(sim.Run("SYST:PASS \"KQZ4417WD38\"", &result), "INCORRECT!, 2 TRIES LEFT");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(sim.Run("SYST:PASS?"), "2 TRIES LEFT");
    EXPECT_EQ(sim.Run("SYST:PASS \"kqz4417wd385\""), "INCORRECT!, 1 TRY LEFT");
    EXPECT_EQ(sim.Run("SYST:PASS \"\""), "INCORRECT!, NO TRIES LEFT");
    EXPECT_EQ(sim.Run(kCode, &result), "NO MORE TRIES LEFT");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(sim.LastErrorText(), "-224, \"Parameter not allowed\"");
    EXPECT_FALSE(sim.link->service.ServiceMode);
}

TEST_F(SystemTest, CodeIsComparedOverTwelveCharactersAndAMissRevokesServiceMode) {
    EXPECT_EQ(sim.Run("SYST:PASS \"KQZ4417WD385 and more\""), "PASSWORD OK!");
    EXPECT_EQ(sim.Run("SYST:PASS \"nothing\""), "INCORRECT!, 2 TRIES LEFT");
    EXPECT_FALSE(sim.link->service.ServiceMode);
    // A match restores the tries.
    EXPECT_EQ(sim.Run(kCode), "PASSWORD OK!");
    EXPECT_EQ(sim.link->service.PasswordTries, 3);
    sim.Run("SYST:PASS KQZ4417WD385");
    EXPECT_EQ(sim.LastErrorText(), "-102, \"Syntax Error\"");
}

TEST_F(SystemTest, HardwareVersionByModel) {
    const uint8_t version[8] = {1, 2, 0x0A, 4, 9, 9, 9, 9};
    std::copy(version, version + 8, eeprom().begin() + 0x03A8);
    sim.ClearLogs();
    EXPECT_EQ(sim.Run("SYST:HW:VERS?"), "Tavrin 1.2 A.4");
    ASSERT_FALSE(tester().mails.empty());
    EXPECT_EQ(tester().mails.back().body, (Bytes{0x3C, 0x06, 0x00, 0x08, 0xA8, 0x03}));

    SimLink ulmet(SimulationSettings{12, ""});
    std::copy(version, version + 8, ulmet.tester->Eeprom().begin() + 0x03A8);
    EXPECT_EQ(ulmet.Run("SYST:HW:VERS?"), "Ulmet 1.2 A.4");
}

TEST_F(SystemTest, HardwareVersionBeforeDetectionIsInvalid) {
    tester().Memory().Write(0x6A5C, 0);
    EXPECT_EQ(sim.Run("SYST:HW:VERS?"), "INV");
    EXPECT_EQ(sim.Run("STAT:DEV?"), "OFF");
}

TEST_F(SystemTest, HardwareVersionWithoutReplyIsATimeOut) {
    sim.Run("*IDN?");  // detection and calibration done
    tester().faults.loseReplies = true;
    int16_t result = 0;
    EXPECT_EQ(sim.Run("SYST:HW:VERS?", &result), "");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(sim.LastErrorText(), "-365, \"Time out Error\"");
}

TEST_F(SystemTest, FirmwareVersionIsSixteenCellsOfText) {
    const std::string text = "ZK-FW 4.07 B1234";  // exactly 16 characters
    for (size_t i = 0; i < text.size(); ++i)
        tester().Memory().Write(0x6A04 + static_cast<uint32_t>(i), static_cast<uint8_t>(text[i]));
    tester().Memory().Write(0x6A14, 'X');
    EXPECT_EQ(sim.Run("SYST:FIRM:VERS?"), text);
}

TEST_F(SystemTest, SerialNumberQuery) {
    const uint8_t serial[] = {0x12, 0x34, 0xAB, 0xCD};
    std::copy(serial, serial + 4, eeprom().begin() + 0x0500);
    EXPECT_EQ(sim.Run("SYST:SER:NUM?"), "1234ABCD");
}

TEST_F(SystemTest, SerialNumberWriteNeedsServiceMode) {
    sim.Run("*IDN?");
    sim.ClearLogs();
    int16_t result = -1;
    sim.Run("SYST:SER:NUM \"12345678\"", &result);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(MailsOfClass(tester(), 2).empty());
    EXPECT_EQ(sim.LastErrorText(), "+0, \"No Error\"");
}

TEST_F(SystemTest, SerialNumberWriteVerifiesEveryByte) {
    sim.Run(kCode);
    sim.ClearLogs();
    int16_t result = -1;
    sim.Run("SYST:SER:NUM \"0A1b2C3d\"", &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Bytes(eeprom().begin() + 0x0500, eeprom().begin() + 0x0504),
              (Bytes{0x0A, 0x1B, 0x2C, 0x3D}));
    const std::vector<Bytes> mails = MailsOfClass(tester(), 2);
    ASSERT_EQ(mails.size(), 8u);
    EXPECT_EQ(mails[0], (Bytes{0x3B, 0x06, 0x00, 0x01, 0x00, 0x05, 0x0A}));
    EXPECT_EQ(mails[1], (Bytes{0x3C, 0x06, 0x00, 0x01, 0x00, 0x05}));
    EXPECT_EQ(mails[6], (Bytes{0x3B, 0x06, 0x00, 0x01, 0x03, 0x05, 0x3D}));
}

TEST_F(SystemTest, SerialNumberThatNeverReadsBackIsATimeOut) {
    sim.Run(kCode);
    tester().AddComponent(std::make_unique<WriteProtect>(tester(), 0x0500, 4));
    int16_t result = 0;
    sim.Run("SYST:SER:NUM \"0A1B2C3D\"", &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(sim.LastErrorText(), "-365, \"Time out Error\"");
}

TEST_F(SystemTest, SerialNumberOfWrongShapeIsRefused) {
    sim.Run(kCode);
    for (const char* line :
         {"SYST:SER:NUM \"1234567\"", "SYST:SER:NUM \"1234567G\"", "SYST:SER:NUM \"123456789\""}) {
        int16_t result = 0;
        sim.Run(line, &result);
        EXPECT_EQ(result, 1) << line;
        EXPECT_EQ(sim.LastErrorText(), "-224, \"Parameter not allowed\"") << line;
    }
}

TEST_F(SystemTest, MemorySetupWritesOneByte) {
    sim.Run("SYST:MEMO:SETU \"1F0 5A\"");
    EXPECT_NE(eeprom()[0x1F0], 0x5A);  // not in service mode: nothing happens
    EXPECT_EQ(sim.LastErrorText(), "+0, \"No Error\"");
    sim.Run(kCode);
    int16_t result = -1;
    sim.Run("SYST:MEMO:SETU \"1F0 5A\"", &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(eeprom()[0x1F0], 0x5A);
}

TEST_F(SystemTest, MemorySetupErrors) {
    sim.Run(kCode);
    int16_t result = 0;
    sim.Run("SYST:MEMO:SETU \"1F0\"", &result);
    EXPECT_EQ(sim.LastErrorText(), "-224, \"Parameter not allowed\"");
    sim.Run("SYST:MEMO:SETU 1F0 5A", &result);
    EXPECT_EQ(result, 2);  // the reader's syntax error, then the conflict
    EXPECT_EQ(sim.LastErrorText(), "-221, \"Settings Conflict\"");
    sim.Run("SYST:MEMO:SETU \"10000 5\"", &result);
    EXPECT_EQ(sim.LastErrorText(), "-222, \"Data out of Range\"");
    tester().AddComponent(std::make_unique<WriteProtect>(tester(), 0x1F0, 1));
    sim.Run("SYST:MEMO:SETU \"1F0 5A\"", &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(sim.LastErrorText(), "-365, \"Time out Error\"");
}

TEST_F(SystemTest, MemoryDataReadsEightBytes) {
    for (int i = 0; i < 8; ++i) eeprom()[0x0123 + i] = static_cast<uint8_t>(0xA0 + i);
    EXPECT_EQ(sim.Run("SYST:MEMO:DATA? \"123\""), "A0 A1 A2 A3 A4 A5 A6 A7 ");
    int16_t result = 0;
    EXPECT_EQ(sim.Run("SYST:MEMO:DATA? \"zz\"", &result), "");
    EXPECT_EQ(sim.LastErrorText(), "-224, \"Parameter not allowed\"");
}

TEST_F(SystemTest, DeviceStates) {
    sim::SimMemory& m = tester().Memory();
    const char* names[] = {"IDLE", "DFP", "DPP", "DCE"};
    for (uint8_t s = 0; s < 4; ++s) {
        m.Write(0x6A15, s);
        EXPECT_EQ(sim.Run("STAT:DEV?"), names[s]);
    }
    m.Write(0x6A17, 1);
    m.Write(0x6A15, 1);
    EXPECT_EQ(sim.Run("STAT:DEV?"), "DCE");
    m.Write(0x6A15, 2);
    EXPECT_EQ(sim.Run("STAT:DEV?"), "DCE");
    m.Write(0x6A15, 0);
    EXPECT_EQ(sim.Run("STAT:DEV?"), "IDLE");
    m.Write(0x6A15, 4);
    int16_t result = 0;
    EXPECT_EQ(sim.Run("STAT:DEV?", &result), "OFF");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(sim.LastErrorText(), "-366, \"Target Error\"");
    sim.link->conf.TestType = code::RFGE;
    EXPECT_EQ(sim.Run("STAT:DEV?"), "RFGE");
}

TEST_F(SystemTest, SignalLock) {
    sim::SimMemory& m = tester().Memory();
    m.Write(0x6A16, 0);
    EXPECT_EQ(sim.Run("SOUR:SIGN?"), "UNL");
    m.Write(0x6A16, 1);
    EXPECT_EQ(sim.Run("SENS:SIGN:STAT?"), "LOCK");
    m.Write(0x6A16, 2);
    int16_t result = 0;
    EXPECT_EQ(sim.Run("SOUR:SIGN?", &result), "OFF");
    EXPECT_EQ(result, 1);
}

TEST_F(SystemTest, PresetMail) {
    sim.Run("*IDN?");
    sim.ClearLogs();
    sim.Run("STAT:PRES");
    ASSERT_EQ(tester().mails.size(), 1u);
    EXPECT_EQ(tester().mails[0].body, (Bytes{0xC0, 0x00}));
}

TEST_F(SystemTest, AverageFillMask) {
    Link& link = *sim.link;
    link.conf.AverageBursts = 2;
    EXPECT_EQ(sim.Run("STAT:AVER:BURS?"), "0");
    link.meas.Power.Push(1.0f, 2);
    link.meas.Power.Push(1.0f, 2);
    link.meas.FreqOffset.Push(1.0f, 2);  // one of two: not full
    link.meas.Drift.Push(1.0f, 2);
    link.meas.Drift.Push(1.0f, 2);
    EXPECT_EQ(sim.Run("STAT:AVER:BURS?"), "9");
    link.meas.BfMax.Push(1.0f, 2);
    link.meas.BfMax.Push(1.0f, 2);
    link.meas.FreqOffset.Push(1.0f, 2);
    EXPECT_EQ(sim.Run("STAT:AVER:BURS?"), "15");
}

TEST_F(SystemTest, ResetSequence) {
    WriteCalibration(tester());
    sim.Run(kCode);  // detection and calibration load on this first line
    Link& link = *sim.link;
    ASSERT_TRUE(link.cal.CalibrationLoaded);
    link.conf.CableLoss = 25;
    link.conf.AverageBursts = 7;
    link.conf.DummySlot = 9;
    link.conf.BerWindow = 300;
    link.conf.TestType = code::DPP;
    link.capture.SampleStore[100].Power = 5;
    link.capture.SampleStore[100].Valid = 1;
    sim.ClearLogs();

    EXPECT_EQ(sim.Run("SYST:RESE;STAT:DEV?"), "OFF");
    EXPECT_FALSE(link.cal.CalibrationLoaded);
    EXPECT_FALSE(link.hw.HardwareDetected);
    EXPECT_EQ(link.conf.CableLoss, 0);
    EXPECT_EQ(link.conf.AverageBursts, 1);
    EXPECT_EQ(link.conf.DummySlot, 4);
    EXPECT_EQ(link.conf.DummyCarrier, 0);
    EXPECT_EQ(link.conf.TrafficCarrier, 0);
    EXPECT_EQ(link.conf.TestType, code::NONE);
    EXPECT_TRUE(link.service.ServiceMode);  // the reset leaves the lock alone
    EXPECT_EQ(link.capture.SampleStore[100].Valid, 0);
    EXPECT_EQ(link.capture.SampleStore[100].Power, 0);

    std::vector<Bytes> mails;
    for (const auto& mail : tester().mails) mails.push_back(mail.body);
    ASSERT_GE(mails.size(), 6u);
    EXPECT_EQ(mails[0], (Bytes{0x5D, 0xFF}));
    EXPECT_EQ(mails[1], (Bytes{0x5D, 0x31}));
    EXPECT_EQ(mails[2], (Bytes{0xC4}));
    EXPECT_EQ(mails[3], (Bytes{0xC3}));
    EXPECT_EQ(mails[4], (Bytes{0x5D, 0x15}));
    EXPECT_EQ(mails[5], (Bytes{0xC2, 0, 0, 0, 0, 0}));

    // Level -60.0 dBm: -600, less attenuator A (90 + 200), plus generator table entry 22 (0).
    const int16_t level = -600 - 290 + int8_t(22 % 5 - 2);
    const auto cells = WritesBetween(tester(), 0x6A2A, 0x6A43);
    const std::vector<std::pair<uint32_t, uint8_t>> expected = {
        {0x6A38, 0},
        {0x6A2A, 0},
        {0x6A36, 0},
        {0x6A39, 0},
        {0x6A37, 4},
        {0x6A42, 100},
        {0x6A43, 0},
        {0x6A40, static_cast<uint8_t>(level & 0xFF)},
        {0x6A41, static_cast<uint8_t>((level >> 8) & 0xFF)}};
    EXPECT_EQ(cells, expected);

    const uint32_t base = 0x10000 + 256u * tester().Memory().Read(0x6A6F);
    const uint32_t plane = 256u * tester().Memory().Read(0x6A70);
    EXPECT_EQ(link.capture.PlaneBase[0], base);
    EXPECT_EQ(link.capture.PlaneBase[1], base + plane);
    EXPECT_EQ(link.capture.PlaneBase[2], base + 2 * plane);

    // The next line detects the tester and loads the calibration again.
    EXPECT_EQ(sim.Run("STAT:DEV?"), "IDLE");
    EXPECT_TRUE(link.hw.HardwareDetected);
    EXPECT_TRUE(link.cal.CalibrationLoaded);
}

TEST_F(SystemTest, LinkBenchmarkLeavesTheCalibrationAsItWas) {
    for (uint32_t i = 0; i < 285; ++i) eeprom()[0x0200 + i] = static_cast<uint8_t>(i * 37 + 11);
    const std::vector<uint8_t> before = eeprom();
    sim.Run("*IDN?");
    sim.ClearLogs();
    int16_t result = -1;
    const std::string answer = sim.Run("*CLS", &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(eeprom(), before);
    // Each byte: read, write of the value read, read back.
    const std::vector<Bytes> mails = MailsOfClass(tester(), 2);
    ASSERT_EQ(mails.size(), 3u * 285);
    EXPECT_EQ(mails[0], (Bytes{0x3C, 0x06, 0x00, 0x01, 0x00, 0x02}));
    EXPECT_EQ(mails[1], (Bytes{0x3B, 0x06, 0x00, 0x01, 0x00, 0x02, 11}));
    EXPECT_EQ(mails[2], (Bytes{0x3C, 0x06, 0x00, 0x01, 0x00, 0x02}));
    EXPECT_EQ(mails[3 * 284 + 1],
              (Bytes{0x3B, 0x06, 0x00, 0x01, 0x1C, 0x03, static_cast<uint8_t>(284 * 37 + 11)}));
    // The answer is the elapsed time on the tester's clock.
    ASSERT_FALSE(answer.empty());
    EXPECT_GT(std::atoi(answer.c_str()), 0);
    EXPECT_EQ(answer.find_first_not_of("0123456789"), std::string::npos);
}

TEST_F(SystemTest, LinkBenchmarkWritesNothingWhenItCannotRead) {
    sim.Run("*IDN?");
    const std::vector<uint8_t> before = eeprom();
    tester().faults.loseReplies = true;
    sim.ClearLogs();
    int16_t result = 0;
    EXPECT_EQ(sim.Run("*PRE", &result), "");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(sim.LastErrorText(), "-365, \"Time out Error\"");
    for (const Bytes& body : MailsOfClass(tester(), 2)) EXPECT_NE(body[0], 0x3B);
    EXPECT_EQ(eeprom(), before);
}

TEST_F(SystemTest, EveryLinkBenchmarkSpelling) {
    sim.Run("*IDN?");
    for (const char* line : {"*ESE", "*ESR", "*IDN", "*IST", "*OPC", "*OPT"}) {
        sim.ClearLogs();
        int16_t result = -1;
        EXPECT_FALSE(sim.Run(line, &result).empty()) << line;
        EXPECT_EQ(result, 0);
        EXPECT_EQ(MailsOfClass(tester(), 2).size(), 3u * 285) << line;
    }
}

TEST_F(SystemTest, SampleReadBenchmarkReadsTheStore) {
    sim.Run("*IDN?");
    sim.link->conf.LinkOpen = true;  // the reads come from the store, not the tester
    for (const char* line : {"*PSC", "*RST", "*SRE", "*STB", "*TST"}) {
        sim.ClearLogs();
        int16_t result = -1;
        EXPECT_EQ(sim.Run(line, &result), "0") << line;  // no transfer: no tester time passes
        EXPECT_EQ(result, 0);
        EXPECT_TRUE(tester().requestLog.size() <= 4u) << line;  // the error indicator at most
    }
}

TEST_F(SystemTest, CommonQueries) {
    EXPECT_EQ(sim.Run("*IDN?"), "3.2.0");
    for (const char* line :
         {"*IST?", "*OPC?", "*OPT?", "*PRE?", "*PSC?", "*RST?", "*SRE?", "*STB?", "*TST?", "*WAI?"})
        EXPECT_EQ(sim.Run(line), "0") << line;
    for (const char* line : {"*CLS?", "*ESE?", "*ESR?", "*WAI"}) {
        int16_t result = -1;
        EXPECT_EQ(sim.Run(line, &result), "") << line;
        EXPECT_EQ(result, 0) << line;
    }
}

}  // namespace
}  // namespace tavrin::testing
