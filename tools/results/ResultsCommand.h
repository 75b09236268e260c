// "tavrin-cli results summary | history SERIAL | export --format csv": reading the recorded
// runs back, as aligned text for people or JSON and CSV for programs.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ResultsStore.h"

namespace tavrin::results {

struct ResultsOptions {
    std::string command;  // "summary", "history", "export"
    std::optional<std::string> results;
    RunFilter filter;  // history: filter.serial is the SERIAL
    bool json = false;
    std::string format;  // export: "csv"
};

// Whether the arguments after "tavrin-cli" call the results command: "results" and a word.
bool IsResultsCommand(const std::vector<std::string>& args);
// The arguments after "results". False and a message when they do not make sense.
bool ParseResultsOptions(const std::vector<std::string>& args, ResultsOptions& options,
                         std::string& message);

// The summary's figures, computed from the database's rows.
struct MeasurementSummary {
    std::string plan, key, name, unit;
    int position = 0;
    std::optional<double> lower, upper;  // the tolerance limits Cpk is taken against
    int64_t count = 0;
    double mean = 0.0, stdDev = 0.0, min = 0.0, max = 0.0;
    std::optional<double> cpk;
};
struct Summary {
    int64_t runs = 0, pass = 0, fail = 0, error = 0, devices = 0, passedFirstTime = 0;
    std::optional<double> yield, firstPassYield;
    std::vector<MeasurementSummary> measurements;  // by plan, then in the order measured
};
Summary Summarise(Database& db, const RunFilter& filter);

std::string SummaryText(const Summary& s);
std::string SummaryJson(const Summary& s);
std::string HistoryText(const std::vector<RecordedRun>& runs);
std::string HistoryJson(const std::vector<RecordedRun>& runs);
// Header and rows of the export, one row per measurement.
std::string CsvHeader();
std::string CsvRow(const RecordedRun& run, const RecordedMeasurement& m);

// Runs the command; the exit status (0, 1 when the database cannot be read).
int RunResultsCommand(const ResultsOptions& options);

extern const char kResultsUsage[];

}  // namespace tavrin::results
