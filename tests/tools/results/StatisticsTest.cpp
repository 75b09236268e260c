// The summary's figures against values worked out by hand: yield and first-pass yield over
// runs stored out of order, Cpk two-sided and one-sided, one line per set of limits, and a
// spread that keeps its digits far from zero.
#include <gtest/gtest.h>

#include "ResultsCommand.h"
#include "ResultsStatistics.h"
#include "SampleRuns.h"
#include "ScratchFolder.h"

namespace tavrin::results {
namespace {

using fixtures::Measured;
using fixtures::SampleRun;

TEST(Statistics, SummaryGivesHandWorkedYieldsAndCpk) {
    cli::fixtures::ScratchFolder scratch;
    const auto db = OpenSqlite(scratch.Path() + "/r.db");
    EnsureSchema(*db);
    // A fails, then passes; B passes; C's first run (09:00) is stored after its second; the
    // run without a serial counts for the yield only.
    WriteRun(*db, SampleRun("A", "2026-12-05T10:00:00Z", "FAIL", {24, 25}));
    WriteRun(*db, SampleRun("A", "2026-12-05T10:05:00Z", "PASS", {26}));
    WriteRun(*db, SampleRun("B", "2026-12-05T10:01:00Z", "PASS", {27}));
    WriteRun(*db, SampleRun("C", "2026-12-05T10:10:00Z", "ERROR", {}));
    RecordedRun c = SampleRun("C", "2026-12-05T09:00:00Z", "PASS", {28});
    // BER: one-sided, MaxOK 0.001 only.
    for (int i = 0; i < 3; ++i)
        c.measurements.push_back(
            Measured(i + 1, 2, "ber", 0.0002 * (i + 1), std::nullopt, 0.001, true));
    // The template check: all three at its lower limit, no spread.
    for (int i = 0; i < 3; ++i)
        c.measurements.push_back(Measured(i + 1, 3, "template", 10, 10, std::nullopt, true));
    WriteRun(*db, c);
    WriteRun(*db, SampleRun("", "2026-12-05T11:00:00Z", "PASS", {}));
    // The same measurement after the plan's limits changed.
    RecordedRun later = SampleRun("D", "2026-12-05T12:00:00Z", "PASS", {});
    later.measurements.push_back(Measured(1, 1, "ntp", 22, 20, 24, true));
    later.serial = "";
    WriteRun(*db, later);

    const Summary s = Summarise(*db, {});
    EXPECT_EQ(s.runs, 7);
    EXPECT_EQ(s.pass, 5);
    EXPECT_EQ(s.fail, 1);
    EXPECT_EQ(s.error, 1);
    ASSERT_TRUE(s.yield);
    EXPECT_NEAR(*s.yield, 5.0 / 7.0, 1e-12);
    EXPECT_EQ(s.devices, 3);          // A, B, C
    EXPECT_EQ(s.passedFirstTime, 2);  // B, and C at 09:00
    ASSERT_TRUE(s.firstPassYield);
    EXPECT_NEAR(*s.firstPassYield, 2.0 / 3.0, 1e-12);

    ASSERT_EQ(s.measurements.size(), 4u);
    // NTP 24, 25, 26, 27, 28 against 19 to 25: mean 26, s = sqrt(10 / 4) = 1.5811388,
    // Cpk = min(25 - 26, 26 - 19) / (3 s) = -1 / 4.7434165 = -0.2108185.
    const MeasurementSummary& ntp = s.measurements[0];
    EXPECT_EQ(ntp.key, "ntp");
    EXPECT_EQ(ntp.count, 5);
    EXPECT_DOUBLE_EQ(ntp.mean, 26.0);
    EXPECT_NEAR(ntp.stdDev, 1.5811388300841898, 1e-12);
    EXPECT_EQ(ntp.min, 24.0);
    EXPECT_EQ(ntp.max, 28.0);
    EXPECT_EQ(ntp.lower, 19.0) << "MinOK, not the bar's end Min";
    EXPECT_EQ(ntp.upper, 25.0) << "MaxOK, not the bar's end Max";
    ASSERT_TRUE(ntp.cpk);
    EXPECT_NEAR(*ntp.cpk, -0.2108185106778920, 1e-9);
    // The run under changed limits is a line of its own: one value, no Cpk.
    const MeasurementSummary& changed = s.measurements[1];
    EXPECT_EQ(changed.key, "ntp");
    EXPECT_EQ(changed.lower, 20.0);
    EXPECT_EQ(changed.count, 1);
    EXPECT_FALSE(changed.cpk);
    // BER 0.0002, 0.0004, 0.0006 below 0.001: mean 0.0004, s 0.0002, Cpk 0.0006 / 0.0006 = 1.
    const MeasurementSummary& ber = s.measurements[2];
    EXPECT_EQ(ber.key, "ber");
    EXPECT_FALSE(ber.lower);
    ASSERT_TRUE(ber.cpk);
    EXPECT_NEAR(*ber.cpk, 1.0, 1e-9);
    EXPECT_FALSE(s.measurements[3].cpk) << "no spread, no capability figure";

    const std::string text = SummaryText(s);
    EXPECT_NE(text.find("Yield             71.4 %"), std::string::npos) << text;
    EXPECT_NE(text.find("66.7 % (2 of 3 devices)"), std::string::npos) << text;
    EXPECT_NE(text.find("-0.21\n"), std::string::npos) << text;
}

TEST(Statistics, SpreadKeepsItsDigitsFarFromZero) {
    // 1e9 + 4, 7, 13, 16: deviations -6, -3, 3, 6 from 1e9 + 10, variance 90 / 3 = 30.
    Spread spread;
    for (const double d : {4.0, 7.0, 13.0, 16.0}) spread.Add(1e9 + d);
    EXPECT_DOUBLE_EQ(spread.Mean(), 1e9 + 10);
    EXPECT_NEAR(spread.StdDev(), 5.477225575051661, 1e-6);
    Spread one;
    one.Add(3);
    EXPECT_EQ(one.StdDev(), 0.0);
    EXPECT_FALSE(Cpk(one, {0.0, 10.0}));
}

}  // namespace
}  // namespace tavrin::results
