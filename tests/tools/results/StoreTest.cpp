// The results store on both engines: a run reads back as written, a delivered run is stored
// once, filters take the right runs, two stations writing at once lose nothing, and both
// engines give the same summary for the same runs.
#include <gtest/gtest.h>

#include <thread>

#include "EngineFixture.h"
#include "ResultsCommand.h"
#include "SampleRuns.h"

namespace tavrin::results {
namespace {

using fixtures::EngineTest;
using fixtures::Measured;
using fixtures::SampleRun;

TEST_P(EngineTest, RunReadsBackWhole_IsStoredOnce_AndFiltersTakeTheRightRuns) {
    const auto db = Connect();
    EnsureSchema(*db);
    EnsureSchema(*db);  // a second station opening the same database changes nothing
    int version = 0;
    db->Query("SELECT version FROM schema_version", {},
              [&](const Row& row) { version = static_cast<int>(row.Integer(0)); });
    EXPECT_EQ(version, SchemaVersion());

    RecordedRun odd = SampleRun("SN-\"1\"", "2026-12-01T08:00:00Z", "ERROR", {24.5, 0.1 + 0.2});
    odd.error = "lost link\n\tat \"STAT:DEV?\", 5 \\ 6 ü";
    odd.deviceProfile = "model 12, dut a,b.ini";
    odd.measurements.push_back(Measured(2, 2, "ber", std::nullopt, std::nullopt, 0.001, false));
    ASSERT_TRUE(WriteRun(*db, odd));
    EXPECT_FALSE(WriteRun(*db, odd)) << "the same run delivered again is stored once";
    ASSERT_TRUE(
        WriteRun(*db, SampleRun("SN-2", "2026-12-01T23:59:59Z", "PASS", {23}, "station-2")));
    ASSERT_TRUE(WriteRun(*db, SampleRun("SN-2", "2026-12-02T00:00:00Z", "PASS", {22})));

    std::vector<RecordedRun> all = ReadRuns(*db, {});
    ASSERT_EQ(all.size(), 3u);
    const RecordedRun& back = all[0];
    EXPECT_EQ(back.uid, odd.uid);
    EXPECT_EQ(back.serial, odd.serial);
    EXPECT_EQ(back.error, odd.error);
    EXPECT_EQ(back.deviceProfile, odd.deviceProfile);
    EXPECT_EQ(back.exitStatus, 1);
    ASSERT_EQ(back.measurements.size(), 3u);
    EXPECT_EQ(back.measurements[1].value, 0.1 + 0.2) << "a value keeps every digit";
    EXPECT_EQ(back.measurements[0].limitMin, 15.0);
    EXPECT_EQ(back.measurements[2].value, std::nullopt);
    EXPECT_EQ(back.measurements[2].limitMinOk, std::nullopt);
    EXPECT_EQ(back.measurements[2].limitMaxOk, 0.001);

    auto serials = [&](RunFilter filter) {
        std::string message;
        EXPECT_TRUE(NormaliseFilter(filter, message)) << message;
        std::string text;
        for (const RecordedRun& r : ReadRuns(*db, filter)) text += r.serial + "@" + r.started + " ";
        return text;
    };
    // A date alone for --until takes the whole day.
    EXPECT_EQ(serials({"2026-12-01", "2026-12-01"}),
              "SN-\"1\"@2026-12-01T08:00:00Z SN-2@2026-12-01T23:59:59Z ");
    EXPECT_EQ(serials({"2026-12-01T08:00:01Z", "2026-12-02T00:00:00Z"}),
              "SN-2@2026-12-01T23:59:59Z SN-2@2026-12-02T00:00:00Z ");
    EXPECT_EQ(serials({.station = "station-2"}), "SN-2@2026-12-01T23:59:59Z ");
    EXPECT_EQ(serials({.plan = "other"}), "");
    EXPECT_EQ(serials({.serial = "SN-2"}), "SN-2@2026-12-01T23:59:59Z SN-2@2026-12-02T00:00:00Z ");
}

TEST_P(EngineTest, TwoStationsWritingAtOnceLoseNoRun) {
    EnsureSchema(*Connect());
    constexpr int kRunsEach = 200;
    std::string failures[2];
    auto station = [&](int n) {
        try {
            const auto db = Connect();  // a connection of its own, as another station has
            for (int i = 0; i < kRunsEach; ++i)
                WriteRun(*db, SampleRun("S" + std::to_string(n) + "-" + std::to_string(i),
                                        "2026-12-03T10:00:00Z", "PASS", {20, 21, 22},
                                        "station-" + std::to_string(n)));
        } catch (const std::exception& e) {
            failures[n] = e.what();
        }
    };
    std::thread first(station, 0), second(station, 1);
    first.join();
    second.join();
    EXPECT_EQ(failures[0], "");
    EXPECT_EQ(failures[1], "");
    const auto db = Connect();
    int64_t runs = 0, measurements = 0;
    db->Query("SELECT COUNT(*) FROM runs", {}, [&](const Row& r) { runs = r.Integer(0); });
    db->Query("SELECT COUNT(*) FROM measurements", {},
              [&](const Row& r) { measurements = r.Integer(0); });
    EXPECT_EQ(runs, 2 * kRunsEach);
    EXPECT_EQ(measurements, 2 * kRunsEach * 3);
}

TEST_P(EngineTest, DatabaseNewerThanTheProgramIsRefusedNotWrittenInto) {
    const auto db = Connect();
    EnsureSchema(*db);
    db->Execute("UPDATE schema_version SET version = $1", {int64_t{SchemaVersion() + 1}});
    const auto again = Connect();
    try {
        EnsureSchema(*again);
        FAIL() << "a newer schema was taken as known";
    } catch (const DatabaseError& e) {
        EXPECT_NE(
            std::string(e.what()).find("schema version " + std::to_string(SchemaVersion() + 1)),
            std::string::npos)
            << e.what();
    }
}

// The same runs on both engines give the same summary, text and JSON alike.
TEST(Engines, SameRunsGiveTheSameSummaryOnBoth) {
    cli::fixtures::ScratchFolder scratch;
    fixtures::PgCluster cluster;
    ASSERT_TRUE(cluster.Start());
    const auto sqlite = OpenSqlite(scratch.Path() + "/r.db");
    const auto postgres = OpenPostgres(cluster.Uri());
    std::vector<RecordedRun> runs;
    for (int i = 0; i < 30; ++i)
        runs.push_back(SampleRun(
            "D" + std::to_string(i % 7),
            "2026-12-04T10:" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ":00Z",
            i % 5 == 0    ? "FAIL"
            : i % 11 == 0 ? "ERROR"
                          : "PASS",
            {20.0 + 0.37 * (i % 9), 21.0 + 0.11 * (i % 4)}));
    for (Database* db : {sqlite.get(), postgres.get()}) {
        EnsureSchema(*db);
        for (const RecordedRun& r : runs) WriteRun(*db, r);
    }
    const RunFilter filter{.since = "2026-12-04T10:05:00Z"};
    EXPECT_EQ(SummaryJson(Summarise(*sqlite, filter)), SummaryJson(Summarise(*postgres, filter)));
    EXPECT_EQ(SummaryText(Summarise(*sqlite, {})), SummaryText(Summarise(*postgres, {})));
    std::string a, b;
    ForEachMeasurement(*sqlite, {}, [&](const RecordedRun& r, const RecordedMeasurement& m) {
        a += CsvRow(r, m);
    });
    ForEachMeasurement(*postgres, {}, [&](const RecordedRun& r, const RecordedMeasurement& m) {
        b += CsvRow(r, m);
    });
    EXPECT_EQ(a, b);
    EXPECT_EQ(std::count(a.begin(), a.end(), '\n'), 60);
}

INSTANTIATE_TEST_SUITE_P(Both, EngineTest, ::testing::Values(Engine::SQLite, Engine::PostgreSQL),
                         fixtures::EngineName);

}  // namespace
}  // namespace tavrin::results
