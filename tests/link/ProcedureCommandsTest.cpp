// The procedure, sense and limit commands on the virtual tester: mails and cells in order,
// answers, the range and conflict rules.
#include <gtest/gtest.h>

#include "TesterFixture.h"

namespace tavrin::testing {
namespace {

class ProcedureTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim.Run("*IDN?");  // detection and calibration load out of the way
        sim.ClearLogs();
    }
    std::vector<Bytes> Bodies() {
        std::vector<Bytes> out;
        for (const auto& m : sim.tester->mails) out.push_back(m.body);
        return out;
    }
    SimLink sim;
    sim::SimMemory& memory() { return sim.tester->Memory(); }
};

TEST_F(ProcedureTest, SelectNoneAndManual) {
    sim.link->conf.TestType = code::DPP;
    int16_t result = -1;
    sim.Run("PROC:SEL:TEST NONE", &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Bodies(), (std::vector<Bytes>{{0xC0, 0x00}}));
    EXPECT_EQ(sim.link->conf.TestType, code::NONE);

    sim.link->conf.TestType = code::DFP;
    sim.ClearLogs();
    sim.Run("PROC:SEL MAN");
    EXPECT_EQ(Bodies(), (std::vector<Bytes>{{0xC0, 0xFF}}));
    EXPECT_EQ(sim.link->conf.TestType, code::DFP);

    sim.ClearLogs();
    sim.Run("PROC:DET NONE");
    EXPECT_EQ(Bodies(), (std::vector<Bytes>{{0xC0, 0x00}}));
}

TEST_F(ProcedureTest, SelectOtherWordIsRefused) {
    int16_t result = 0;
    sim.Run("PROC:SEL:TEST DPP", &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(sim.LastErrorText(), "-224, \"Parameter not allowed\"");
    sim.Run("PROC:SEL:TEST", &result);
    EXPECT_EQ(result, 1);
    for (const auto& m : sim.tester->mails) EXPECT_NE(m.body[0], 0xC0);
}

TEST_F(ProcedureTest, ConnectEmptiesTheHistoriesAndReleaseMails) {
    sim.link->meas.Power.Push(1.0f, 1);
    sim.link->meas.MsDrift.Push(1.0f, 1);
    sim.Run("PROC:CONN:SET");
    EXPECT_EQ(sim.link->meas.Power.count, 0);
    EXPECT_EQ(sim.link->meas.MsDrift.count, 0);
    sim.Run("PROC:CONN:REL");
    ASSERT_EQ(sim.tester->mails.size(), 2u);
    EXPECT_EQ(sim.tester->mails[0].cls, 6);
    EXPECT_EQ(sim.tester->mails[0].body, (Bytes{0x55, 0x00, 0x00}));
    EXPECT_EQ(sim.tester->mails[1].cls, 1);
    EXPECT_EQ(sim.tester->mails[1].body, (Bytes{0x04, 0x00}));
}

TEST_F(ProcedureTest, ForcedSampleTriggersACapture) {
    sim.link->conf.CommPort = code::CommPortUsb;
    sim.Run("PROC:SAMP:FORC");
    const auto triggers = WritesBetween(*sim.tester, 0x6A5F, 0x6A5F);
    ASSERT_EQ(triggers.size(), 1u);
    EXPECT_EQ(triggers[0].second, 1);
}

TEST_F(ProcedureTest, BerRestartNeedsTheLink) {
    EXPECT_EQ(sim.Run("PROC:STRT:BER"), "INV");
    EXPECT_TRUE(WritesBetween(*sim.tester, 0x6A44, 0x6A4F).empty());

    memory().Write(0x6A17, 1);
    EXPECT_EQ(sim.Run("PROC:STRT:BER"), "");
    std::vector<std::pair<uint32_t, uint8_t>> expected;
    for (uint32_t a : {0x6A46u, 0x6A47u, 0x6A48u, 0x6A49u, 0x6A4Au, 0x6A4Bu, 0x6A4Cu, 0x6A4Du,
                       0x6A44u, 0x6A45u, 0x6A4Eu, 0x6A4Fu})
        expected.emplace_back(a, 0);
    EXPECT_EQ(WritesBetween(*sim.tester, 0x6A44, 0x6A4F), expected);
}

TEST_F(ProcedureTest, CableLoss) {
    sim.Run("SENS:CORR:LOSS 2.25");
    EXPECT_EQ(sim.link->conf.CableLoss, 23);
    EXPECT_EQ(sim.Run("SENS:CORR:LOSS?"), "2.3");
    int16_t result = 0;
    sim.Run("SENS:CORR:LOSS 100.5", &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(sim.LastErrorText(), "-222, \"Data out of Range\"");
    EXPECT_EQ(sim.link->conf.CableLoss, 23);
    sim.Run("SOUR:CORR:LOSS 100");
    EXPECT_EQ(sim.Run("SOUR:CORR:LOSS?"), "100.0");
    sim.Run("SENS:CORR:LOSS ON", &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(sim.LastErrorText(), "-224, \"Parameter not allowed\"");
    sim.Run("SENS:CORR:LOSS 0.05");
    EXPECT_EQ(sim.link->conf.CableLoss, 1);                              // half away from zero
    for (const auto& m : sim.tester->mails) EXPECT_EQ(m.body[0], 0xC7);  // the error indicator
}

TEST_F(ProcedureTest, DetectionQueries) {
    const uint8_t rfpi[] = {0x00, 0x12, 0x34, 0x56, 0x7A};
    for (uint32_t i = 0; i < 5; ++i) memory().Write(0x6A1A + i, rfpi[i]);
    memory().Write(0x6A1F, 7);
    memory().Write(0x6A20, 11);
    EXPECT_EQ(sim.Run("SENS:DET:RFPI?"), "\"001234567A\"");
    EXPECT_EQ(sim.Run("SENS:DET:DUMM:SLOT?"), "11");
    EXPECT_EQ(sim.Run("SENS:DET:DUMM:CARR?"), "7");
}

TEST_F(ProcedureTest, DetectionRefusedWhileLinked) {
    memory().Write(0x6A17, 1);
    for (const char* line : {"SENS:DET:RFPI?", "SENS:DET:DUMM:SLOT?", "SENS:DET:DUMM:CARR?"}) {
        int16_t result = 0;
        EXPECT_EQ(sim.Run(line, &result), "") << line;
        EXPECT_EQ(result, 1);
        EXPECT_EQ(sim.LastErrorText(), "-221, \"Settings Conflict\"") << line;
    }
}

TEST_F(ProcedureTest, TemplateLimits) {
    TemplateLimits& lim = sim.link->limits;
    sim.Run("CALC:LIM:POW:RMPA -47.4");
    EXPECT_EQ(lim.LimitRmpa, -47);
    sim.Run("CALC:LIM:POW:RMPA -99.5");
    EXPECT_EQ(lim.LimitRmpa, -100);
    int16_t result = 0;
    sim.Run("CALC:LIM:POW:RMPC 11", &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(sim.LastErrorText(), "-222, \"Data out of Range\"");
    EXPECT_EQ(lim.LimitRmpc, 4);
    sim.Run("CALC:LIM:POW:RMPB -20");
    sim.Run("CALC:LIM:POW:RMPD 2.5");
    sim.Run("CALC:LIM:POW:RMPE -0.5");
    sim.Run("CALC:LIM:POW:RMPF -5.5");
    EXPECT_EQ(lim.LimitRmpb, -20);
    EXPECT_EQ(lim.LimitRmpd, 3);
    EXPECT_EQ(lim.LimitRmpe, -1);
    EXPECT_EQ(lim.LimitRmpf, -6);
    sim.Run("CALC:LIM:POW:RMPE ON", &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(sim.LastErrorText(), "-224, \"Parameter not allowed\"");
    sim.Run("CALC:LIM:POW:RMPE 1", &result);
    EXPECT_EQ(sim.LastErrorText(), "-222, \"Data out of Range\"");
    EXPECT_EQ(lim.LimitRmpe, -1);
}

TEST_F(ProcedureTest, ResetKeepsTheTemplateLimits) {
    sim.Run("CALC:LIM:POW:RMPD 7");
    sim.Run("SYST:RESE");
    EXPECT_EQ(sim.link->limits.LimitRmpd, 7);
}

}  // namespace
}  // namespace tavrin::testing
