// What a test session reports: the table on the terminal, the repeatability statistics, the
// JSON report for a factory database and the JUnit report for a CI system.
#pragma once

#include <string>
#include <vector>

#include "PlanRunner.h"

namespace tavrin::cli {

struct RunRecord {
    RunResult result;
    std::string start, end;  // UTC, ISO 8601
    double seconds = 0.0;
};

struct SessionReport {
    const TestPlan* plan = nullptr;
    std::string serial;  // the device's, from --serial
    TesterIdentity tester;
    std::string start, end;
    std::vector<RunRecord> runs;
};

// Error when a run ended in an error, else Fail when a row failed, else Pass.
RunStatus Overall(const std::vector<RunRecord>& runs);
const char* StatusWord(RunStatus status);  // "PASS", "FAIL", "ERROR"

// Per measurement over the runs that gave it a value.
struct Statistic {
    std::string key, name, unit;
    int count = 0;
    double mean = 0.0, stdDev = 0.0, min = 0.0, max = 0.0;  // stdDev of the sample (n - 1)
};
std::vector<Statistic> RepeatStatistics(const std::vector<RunRecord>& runs);

// Shortest text that reads back as the same number, "." as the decimal point.
std::string FormatNumber(double v);
// A text as a JSON string literal, quotes included.
std::string JsonString(const std::string& s);
// The current time as "2026-12-09T03:04:05Z".
std::string UtcNow();

std::string TableHeader();
std::string TableLine(const ResultRow& row);
std::string StatisticsTable(const std::vector<Statistic>& statistics);

std::string JsonReport(const SessionReport& report);
std::string JUnitReport(const SessionReport& report);

// Writes a temporary file beside the target and renames it, so a reader never sees half a
// report. False and a message when it cannot.
bool WriteFileAtomically(const std::string& path, const std::string& content, std::string& error);

}  // namespace tavrin::cli
