// Recording a finished "tavrin-cli test" session: the run as the report knows it, into the
// --results database, or into the spool when the database cannot be reached.
#pragma once

#include <string>

#include "CliOptions.h"
#include "ResultsSpool.h"
#include "ResultsStore.h"
#include "ResultsTarget.h"
#include "TestReport.h"

namespace tavrin::results {

// Added to the test's exit status when the run went to the spool instead of the database:
// 8 passed, 12 failed, 9 error, each with the result spooled.
inline constexpr int kSpooledExitFlag = 8;

// Where the run was taken: what the report does not hold.
struct RunSetting {
    std::string station;        // --station, else the host name
    std::string driver;         // "sim", "libftdi", "d2xx" or a library's path
    std::string deviceProfile;  // the virtual tester's model and device profile, if any
};
RunSetting SettingOf(const cli::Options& options);

// The run as recorded, with a fresh uid and the SHA-256 of the plan file's text.
RecordedRun RecordOf(const cli::SessionReport& report, const RunSetting& setting, int exitStatus);

// Opens the target, brings its schema up to date, writes the run and delivers what waits in
// the spool folder for the same target. Throws DatabaseError when the run is not stored.
Delivery StoreRun(const Target& target, const RecordedRun& run, const std::string& spool);

// Records the session as `options.results` says and prints where it went. Returns the exit
// status: `exitStatus`, plus kSpooledExitFlag when the run was spooled, or the error status
// when it could be neither stored nor spooled.
int RecordSession(const cli::SessionReport& report, const cli::Options& options, int exitStatus);

// A random 128-bit identifier in hex.
std::string NewUid();
// SHA-256 of a file's bytes in hex; empty when it cannot be read.
std::string FileSha256(const std::string& path);

}  // namespace tavrin::results
