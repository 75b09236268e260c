// What recording costs a test run, and how fast a summary answers: one run of ten
// measurements stored as tavrin-cli test stores it (open, schema check, one transaction, the
// spool looked at) on an SQLite file and on a local PostgreSQL server that syncs its commits;
// the summary over 100,000 recorded runs on SQLite.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>

#include "ResultsCommand.h"
#include "ResultsRecorder.h"
#include "tools/results/PgCluster.h"

namespace {

using namespace tavrin::results;

// A PP run as the example plan takes it: ten measurements with their limits.
RecordedRun TypicalRun(int n) {
    RecordedRun r;
    r.uid = NewUid();
    char started[32];
    std::snprintf(started, sizeof started, "2026-%02d-%02dT%02d:%02d:%02dZ", 1 + n / 400000 % 12,
                  1 + n / 14400 % 28, n / 600 % 24, n / 10 % 60, n % 60);
    r.started = r.ended = started;
    r.station = "station-" + std::to_string(n % 4);
    r.serial = "SN-" + std::to_string(n * 7 % 90000);
    r.planName = "Portable part, final test";
    r.planFile = "tools/plans/pp.ini";
    r.planHash = "72146384d3b6ac91d9efcd1f608fe6eeccf0f72b848d3c07a4846ad8e39e4073";
    r.role = "PP";
    r.testerHardware = "Tavrin 1.0 2.0";
    r.testerFirmware = "FW 4.12";
    r.testerSerial = "20264711";
    r.library = "3.2.0";
    r.driver = "libftdi";
    r.verdict = n % 17 ? "PASS" : "FAIL";
    r.exitStatus = n % 17 ? 0 : 4;
    const char* keys[] = {"ntp", "frequency_offset", "b_field", "s_field", "drift",
                          "template", "ber", "fer", "jitter", "packet_delay"};
    for (int i = 0; i < 10; ++i) {
        RecordedMeasurement m;
        m.position = i + 1;
        m.key = keys[i];
        m.name = keys[i];
        m.unit = "dBm";
        m.value = 20.0 + i + 0.001 * (n % 997);
        m.shown = "20.0";
        m.limitMin = 10.0 + i;
        m.limitMinOk = 15.0 + i;
        m.limitMaxOk = 25.0 + i;
        m.limitMax = 30.0 + i;
        m.verdict = "PASS";
        r.measurements.push_back(m);
    }
    return r;
}

// A folder on the disk the results go to (the build tree's), removed afterwards.
struct Folder {
    Folder() : path(std::filesystem::current_path() / ("results-bench-" + NewUid())) {
        std::filesystem::create_directories(path / "spool");
    }
    ~Folder() { std::filesystem::remove_all(path); }
    std::filesystem::path path;
};

void Record(benchmark::State& state, const Target& target, const std::string& spool) {
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const RecordedRun run = TypicalRun(n++);
        state.ResumeTiming();
        StoreRun(target, run, spool);
    }
    state.SetLabel(target.kind == Target::Kind::SQLite ? "SQLite, synchronous=FULL"
                                                       : "PostgreSQL 15, fsync on");
}

void BM_RecordRunSqlite(benchmark::State& state) {
    Folder folder;
    Record(state, {Target::Kind::SQLite, (folder.path / "results.db").string()},
           (folder.path / "spool").string());
}
BENCHMARK(BM_RecordRunSqlite)->Unit(benchmark::kMillisecond)->Iterations(300);

void BM_RecordRunPostgres(benchmark::State& state) {
    Folder folder;
    tavrin::results::fixtures::PgCluster cluster(0, true);
    if (!cluster.Start()) {
        state.SkipWithError("the PostgreSQL cluster did not start");
        return;
    }
    Record(state, {Target::Kind::PostgreSQL, cluster.Uri()}, (folder.path / "spool").string());
}
BENCHMARK(BM_RecordRunPostgres)->Unit(benchmark::kMillisecond)->Iterations(300);

void BM_Summary100kRunsSqlite(benchmark::State& state) {
    Folder folder;
    const auto db = OpenSqlite((folder.path / "results.db").string());
    EnsureSchema(*db);
    constexpr int kRuns = 100000;
    // Filling is not what is measured: no sync per run while the runs go in.
    db->Execute("PRAGMA synchronous=OFF");
    for (int n = 0; n < kRuns; ++n) WriteRun(*db, TypicalRun(n));
    for (auto _ : state) {
        const Summary s = Summarise(*db, {});
        benchmark::DoNotOptimize(s.measurements.data());
        if (s.runs != kRuns) state.SkipWithError("runs missing");
    }
    state.SetLabel("100000 runs, 1000000 measurements");
}
BENCHMARK(BM_Summary100kRunsSqlite)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
