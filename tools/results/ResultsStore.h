// What is recorded of a test run, the schema that holds it (the same on both engines, with a
// version and upgrades applied in order), and writing and reading runs.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Database.h"

namespace tavrin::results {

struct RecordedMeasurement {
    int repetition = 1;  // 1 to N with --repeat
    int position = 0;    // order within the repetition
    std::string key, name, unit;
    std::optional<double> value;
    std::string shown;  // the value as the table showed it
    std::optional<double> limitMin, limitMinOk, limitMaxOk, limitMax;
    std::string verdict;  // "PASS", "FAIL"
};

// One "tavrin-cli test" session: one device, one plan, --repeat repetitions.
struct RecordedRun {
    std::string uid;             // random, so a spooled run delivered twice is stored once
    std::string started, ended;  // UTC, "2026-12-09T03:04:05Z"
    std::string station, serial;
    std::string planName, planFile, planHash, role;
    std::string testerHardware, testerFirmware, testerSerial, library;
    std::string driver, deviceProfile;
    int repetitions = 1;
    std::string verdict;  // "PASS", "FAIL", "ERROR"
    int exitStatus = 0;   // the test's own, before recording
    std::string error;
    std::vector<RecordedMeasurement> measurements;
};

// The schema version this program writes and reads.
int SchemaVersion();
// Creates the tables on first use and applies the upgrades a database lacks, in order, in one
// transaction. Throws DatabaseError, also for a database newer than this program.
void EnsureSchema(Database& db);

// Writes the run and its measurements in one transaction. False when a run with the same uid
// is there already (a spooled run that reached the database before).
bool WriteRun(Database& db, const RecordedRun& run);

// Which runs a query takes: by start time, plan, station and serial. `since` and `until` are
// "YYYY-MM-DD" or "YYYY-MM-DDTHH:MM:SSZ"; a date alone for `until` takes the whole day.
struct RunFilter {
    std::string since, until, plan, station, serial;
};
// False and a message when a time is not one of the two forms.
bool NormaliseFilter(RunFilter& filter, std::string& message);

// Every run the filter takes, in start order, with its measurements.
std::vector<RecordedRun> ReadRuns(Database& db, const RunFilter& filter);

// Streams the runs' verdict rows (serial, started, ended, uid, verdict) in no given order.
struct RunVerdict {
    std::string serial, started, ended, uid, verdict;
};
void ForEachRunVerdict(Database& db, const RunFilter& filter,
                       const std::function<void(const RunVerdict&)>& each);

// Streams the measured values (those with a value) with their plan and limits. The texts are
// valid during the call only: a summary reads a million rows without a copy of each.
struct MeasuredValue {
    std::string_view plan, key, name, unit;
    int position = 0;
    std::optional<double> limitMin, limitMinOk, limitMaxOk, limitMax;
    double value = 0.0;
};
void ForEachValue(Database& db, const RunFilter& filter,
                  const std::function<void(const MeasuredValue&)>& each);

// Streams each measurement with its run, in start order: one row of the export.
void ForEachMeasurement(
    Database& db, const RunFilter& filter,
    const std::function<void(const RecordedRun&, const RecordedMeasurement&)>& each);

}  // namespace tavrin::results
