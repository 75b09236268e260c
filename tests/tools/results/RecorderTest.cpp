// What a session report becomes in the database: the limits of each kind of row in their
// columns, repetitions, the first error, the plan's hash; and the spool delivered run by run,
// leaving what is broken or meant for another database where it is.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ResultsRecorder.h"
#include "ResultsSpool.h"
#include "SampleRuns.h"
#include "ScratchFolder.h"

namespace tavrin::results {
namespace {

cli::ResultRow ReportRow(const std::string& key, std::optional<double> value,
                         std::vector<std::pair<std::string, double>> limits, bool pass) {
    cli::ResultRow r;
    r.key = key;
    r.name = key;
    r.value = value;
    r.text = value ? std::to_string(*value) : "---";
    r.limitValues = std::move(limits);
    r.pass = pass;
    return r;
}

TEST(Recorder, ReportBecomesOneRunWithEveryRepetitionsRowsAndTheirLimits) {
    cli::fixtures::ScratchFolder scratch;
    cli::TestPlan plan;
    plan.path = scratch.File("line plan.ini", "[test]\nrole = FP\n");
    plan.role = cli::Role::FP;
    cli::SessionReport report;
    report.plan = &plan;
    report.serial = "FP-9";
    report.start = "2026-12-07T10:00:00Z";
    report.end = "2026-12-07T10:00:09Z";
    report.tester = {"3.2.0", "Tavrin 1.0 2.0", "FW 4.12", "20264711"};
    cli::RunRecord first, second;
    first.result.status = cli::RunStatus::Fail;
    first.result.rows = {
        ReportRow("ntp", 23, {{"Min", 15}, {"MinOK", 19}, {"MaxOK", 24}, {"Max", 30}}, true),
        ReportRow("ber", 0.002, {{"MaxOK", 0.001}, {"Max", 0.01}}, false),
        ReportRow("packet_delay", std::nullopt, {{"Max", 1}}, false)};
    second.result.status = cli::RunStatus::Error;
    second.result.error = "the tester stopped answering";
    second.result.rows = {
        ReportRow("ntp", 23.5, {{"Min", 15}, {"MinOK", 19}, {"MaxOK", 24}, {"Max", 30}}, true)};
    report.runs = {first, second};

    const RecordedRun r = RecordOf(report, {"line-1", "sim", "dut fp.ini"}, 1);
    EXPECT_EQ(r.planName, "line plan.ini") << "a plan without a name is known by its file";
    // SHA-256 of "[test]\nrole = FP\n", from sha256sum.
    EXPECT_EQ(r.planHash, "2b85c23bbbbe4c508ba1a8dc348c13c769355b1fa69f0bcd57c0c9e2e57d0190");
    EXPECT_EQ(r.role, "FP");
    EXPECT_EQ(r.verdict, "ERROR");
    EXPECT_EQ(r.error, "the tester stopped answering");
    EXPECT_EQ(r.repetitions, 2);
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(r.uid.size(), 32u);
    EXPECT_NE(r.uid, RecordOf(report, {}, 1).uid);
    ASSERT_EQ(r.measurements.size(), 4u);
    const RecordedMeasurement& ber = r.measurements[1];
    EXPECT_EQ(ber.limitMin, std::nullopt);
    EXPECT_EQ(ber.limitMinOk, std::nullopt);
    EXPECT_EQ(ber.limitMaxOk, 0.001);
    EXPECT_EQ(ber.limitMax, 0.01);
    EXPECT_EQ(ber.verdict, "FAIL");
    const RecordedMeasurement& delay = r.measurements[2];
    EXPECT_EQ(delay.value, std::nullopt);
    EXPECT_EQ(delay.limitMax, 1.0);
    EXPECT_EQ(delay.limitMaxOk, std::nullopt);
    EXPECT_EQ(r.measurements[3].repetition, 2);
    EXPECT_EQ(r.measurements[3].position, 1);
    EXPECT_EQ(r.measurements[3].limitMinOk, 19.0);
}

TEST(Recorder, SpoolDeliversOldestFirstAndLeavesBrokenAndForeignFilesAlone) {
    cli::fixtures::ScratchFolder scratch;
    const std::string spool = scratch.Path() + "/spool";
    const Target target{Target::Kind::SQLite, scratch.Path() + "/r.db"};
    const std::string key = SpoolKey(target);
    std::string path, error;
    for (const char* serial : {"B", "A"})
        ASSERT_TRUE(SpoolRun(
            spool, key,
            fixtures::SampleRun(serial,
                                serial[0] == 'A' ? "2026-12-07T09:00:00Z" : "2026-12-07T10:00:00Z",
                                "PASS", {24}),
            path, error))
            << error;
    ASSERT_TRUE(SpoolRun(spool, "sqlite:/elsewhere.db",
                         fixtures::SampleRun("C", "2026-12-07T08:00:00Z", "PASS", {24}), path,
                         error));
    std::ofstream(spool + "/2026-12-07T000000Z-cut.run")
        << "tavrin-results-spool 1\ntarget\t" << key << "\nrun\tcut";

    const Delivery delivery =
        StoreRun(target, fixtures::SampleRun("D", "2026-12-07T11:00:00Z", "FAIL", {26}), spool);
    EXPECT_EQ(delivery.delivered, 2);
    ASSERT_EQ(delivery.problems.size(), 1u);
    EXPECT_NE(delivery.problems[0].find("-cut.run: not a whole spool file"), std::string::npos);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(spool),
                            std::filesystem::directory_iterator()),
              2)
        << "the cut file and the other database's run stay";

    const auto db = OpenSqlite(target.location);
    std::string order;
    db->Query("SELECT serial FROM runs ORDER BY rowid", {},
              [&](const Row& row) { order += row.Text(0); });
    EXPECT_EQ(order, "DAB");
}

TEST(Recorder, TimesOutsideTheCalendarAreRefused) {
    for (const char* bad : {"2026-02-29", "2026-13-01", "2026-12-09T24:00:00Z", "2026-12-09 10:00",
                            "2026-12-9", "yesterday"}) {
        RunFilter f{.since = bad};
        std::string message;
        EXPECT_FALSE(NormaliseFilter(f, message)) << bad;
    }
    RunFilter leap{.since = "2028-02-29", .until = "2028-02-29T23:59:59Z"};
    std::string message;
    ASSERT_TRUE(NormaliseFilter(leap, message)) << message;
    EXPECT_EQ(leap.since, "2028-02-29T00:00:00Z");
    EXPECT_EQ(leap.until, "2028-03-01T00:00:00Z");
}

}  // namespace
}  // namespace tavrin::results
