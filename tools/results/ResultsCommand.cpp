// The results command: its options, the summary's figures and the three outputs.
#include "ResultsCommand.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <tuple>

#include "ResultsStatistics.h"
#include "ResultsTarget.h"
#include "TestReport.h"

namespace tavrin::results {
namespace {

using cli::FormatNumber;
using cli::JsonString;

std::string OrNull(const std::optional<double>& v) {
    return v ? FormatNumber(*v) : "null";
}
std::string Percent(const std::optional<double>& v) {
    if (!v) return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %%", *v * 100.0);
    return text;
}
// Six significant digits: enough to read, short enough to align.
std::string Short(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", v);
    return text;
}
std::string Short(const std::optional<double>& v) {
    return v ? Short(*v) : "-";
}

// Columns padded to their widest cell; numbers right-aligned, words left.
std::string Aligned(const std::vector<std::vector<std::string>>& rows,
                    const std::vector<bool>& right) {
    std::vector<size_t> width(rows.front().size(), 0);
    for (const auto& row : rows)
        for (size_t c = 0; c < row.size(); ++c) width[c] = std::max(width[c], row[c].size());
    std::string text;
    for (const auto& row : rows) {
        std::string line;
        for (size_t c = 0; c < row.size(); ++c) {
            const std::string pad(width[c] - row[c].size(), ' ');
            line += (c ? "  " : "") + (right[c] ? pad + row[c] : row[c] + pad);
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        text += line + "\n";
    }
    return text;
}

std::string Csv(const std::string& field) {
    if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
    std::string quoted = "\"";
    for (const char c : field) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string RunJson(const RecordedRun& r) {
    std::string j =
        "{\"uid\": " + JsonString(r.uid) + ", \"start\": " + JsonString(r.started) +
        ", \"end\": " + JsonString(r.ended) + ", \"station\": " + JsonString(r.station) +
        ", \"serial\": " + JsonString(r.serial) + ", \"plan\": " + JsonString(r.planName) +
        ", \"plan_file\": " + JsonString(r.planFile) +
        ", \"plan_hash\": " + JsonString(r.planHash) + ", \"role\": " + JsonString(r.role) +
        ", \"tester\": {\"hardware\": " + JsonString(r.testerHardware) +
        ", \"firmware\": " + JsonString(r.testerFirmware) +
        ", \"serial\": " + JsonString(r.testerSerial) + ", \"library\": " + JsonString(r.library) +
        "}, \"driver\": " + JsonString(r.driver) +
        ", \"device_profile\": " + JsonString(r.deviceProfile) +
        ", \"repetitions\": " + std::to_string(r.repetitions) +
        ", \"verdict\": " + JsonString(r.verdict) +
        ", \"exit_status\": " + std::to_string(r.exitStatus) +
        ", \"error\": " + JsonString(r.error) + ", \"measurements\": [";
    for (size_t i = 0; i < r.measurements.size(); ++i) {
        const RecordedMeasurement& m = r.measurements[i];
        j += std::string(i ? ", " : "") + "{\"repetition\": " + std::to_string(m.repetition) +
             ", \"key\": " + JsonString(m.key) + ", \"name\": " + JsonString(m.name) +
             ", \"value\": " + OrNull(m.value) + ", \"unit\": " + JsonString(m.unit) +
             ", \"limits\": {\"Min\": " + OrNull(m.limitMin) +
             ", \"MinOK\": " + OrNull(m.limitMinOk) + ", \"MaxOK\": " + OrNull(m.limitMaxOk) +
             ", \"Max\": " + OrNull(m.limitMax) + "}, \"verdict\": " + JsonString(m.verdict) + "}";
    }
    return j + "]}";
}

}  // namespace

const char kResultsUsage[] =
    "Usage: tavrin-cli results summary [--results URI] [--since T] [--until T] [--plan NAME]\n"
    "                                  [--station NAME] [--json]\n"
    "       tavrin-cli results history SERIAL [--results URI] [--json]\n"
    "       tavrin-cli results export --format csv [--results URI] [--since T] [--until T]\n"
    "                                  [--plan NAME] [--station NAME]\n"
    "\n"
    "Reads the runs that tavrin-cli test recorded.\n"
    "  summary         runs, passed, failed, errors, yield and first-pass yield; per\n"
    "                  measurement count, mean, standard deviation, min, max and Cpk\n"
    "  history SERIAL  every run of one device, with its measurements\n"
    "  export          one CSV row per measurement, on standard output\n"
    "  --results URI   none, an SQLite file, or postgresql://... (default\n"
    "                  $XDG_DATA_HOME/tavrin/results.db)\n"
    "  --since T, --until T  runs started from / up to T: YYYY-MM-DD (a whole day) or\n"
    "                  YYYY-MM-DDTHH:MM:SSZ, UTC\n"
    "  --plan NAME, --station NAME  only the runs of this plan / station\n"
    "  --json          JSON instead of aligned text\n";

bool IsResultsCommand(const std::vector<std::string>& args) {
    return args.size() >= 2 && args[0] == "results";
}

bool ParseResultsOptions(const std::vector<std::string>& args, ResultsOptions& o,
                         std::string& message) {
    if (args.empty() || (args[0] != "summary" && args[0] != "history" && args[0] != "export")) {
        message = "results takes summary, history SERIAL or export --format csv";
        return false;
    }
    o.command = args[0];
    bool serialGiven = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                message = a + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        std::string v;
        if (a == "--results") {
            if (!value(v)) return false;
            o.results = v;
        } else if (a == "--since" || a == "--until" || a == "--plan" || a == "--station") {
            if (o.command == "history") {
                message = a + " does not go with history: it shows every run of the device";
                return false;
            }
            if (!value(a == "--since"   ? o.filter.since
                       : a == "--until" ? o.filter.until
                       : a == "--plan"  ? o.filter.plan
                                        : o.filter.station))
                return false;
        } else if (a == "--json") {
            o.json = true;
        } else if (a == "--format") {
            if (!value(o.format)) return false;
        } else if (a.size() > 1 && a[0] == '-') {
            message = "unknown option " + a;
            return false;
        } else if (o.command == "history" && !serialGiven) {
            o.filter.serial = a;
            serialGiven = true;
        } else {
            message = "results " + o.command + " does not take " + a;
            return false;
        }
    }
    if (o.command == "history" && (!serialGiven || o.filter.serial.empty())) {
        message = "results history needs the device's SERIAL";
        return false;
    }
    if (o.command == "export" && o.format != "csv") {
        message = "results export needs --format csv";
        return false;
    }
    if (o.command != "export" && !o.format.empty()) {
        message = "--format belongs to results export";
        return false;
    }
    if (o.command == "export" && o.json) {
        message = "results export writes CSV; --json does not go with it";
        return false;
    }
    Target target;
    if (!ParseTarget(o.results, target, message)) return false;
    if (target.kind == Target::Kind::None) {
        message = "results needs a database to read: --results none records nothing";
        return false;
    }
    return NormaliseFilter(o.filter, message);
}

Summary Summarise(Database& db, const RunFilter& filter) {
    Summary s;
    YieldCounter yields;
    ForEachRunVerdict(db, filter, [&](const RunVerdict& v) {
        yields.Add(v.serial, v.started, v.ended, v.uid, v.verdict);
    });
    s.runs = yields.Runs();
    s.pass = yields.Pass();
    s.fail = yields.Fail();
    s.error = yields.Error();
    s.devices = yields.Devices();
    s.passedFirstTime = yields.PassedFirstTime();
    s.yield = yields.Yield();
    s.firstPassYield = yields.FirstPassYield();

    // One line per plan, measurement and limits: values judged against other limits (a plan
    // whose limits changed) are not thrown together. A handful of groups, a million rows: a
    // short list searched without copying a text beats a map keyed by copies.
    struct Accumulated {
        MeasurementSummary head;
        Spread spread;
    };
    std::vector<Accumulated> groups;
    ForEachValue(db, filter, [&](const MeasuredValue& v) {
        const SpecLimits limits = SpecLimitsOf(v.limitMin, v.limitMinOk, v.limitMaxOk, v.limitMax);
        auto same = [&](const Accumulated& a) {
            return a.head.key == v.key && a.head.plan == v.plan && a.head.lower == limits.lower &&
                   a.head.upper == limits.upper;
        };
        auto it = std::find_if(groups.begin(), groups.end(), same);
        if (it == groups.end()) {
            MeasurementSummary head;
            head.plan = v.plan;
            head.key = v.key;
            head.name = v.name;
            head.unit = v.unit;
            head.position = v.position;
            head.lower = limits.lower;
            head.upper = limits.upper;
            it = groups.insert(groups.end(), {head, Spread{}});
        }
        it->spread.Add(v.value);
    });
    for (const Accumulated& a : groups) {
        MeasurementSummary m = a.head;
        m.count = a.spread.Count();
        m.mean = a.spread.Mean();
        m.stdDev = a.spread.StdDev();
        m.min = a.spread.Min();
        m.max = a.spread.Max();
        m.cpk = Cpk(a.spread, {m.lower, m.upper});
        s.measurements.push_back(m);
    }
    std::stable_sort(s.measurements.begin(), s.measurements.end(),
                     [](const MeasurementSummary& a, const MeasurementSummary& b) {
                         return std::tie(a.plan, a.position, a.key) <
                                std::tie(b.plan, b.position, b.key);
                     });
    return s;
}

std::string SummaryText(const Summary& s) {
    std::string text = Aligned(
        {{"Runs", std::to_string(s.runs)},
         {"Passed", std::to_string(s.pass)},
         {"Failed", std::to_string(s.fail)},
         {"Errors", std::to_string(s.error)},
         {"Yield", Percent(s.yield)},
         {"First-pass yield", Percent(s.firstPassYield) + " (" + std::to_string(s.passedFirstTime) +
                                  " of " + std::to_string(s.devices) + " devices)"}},
        {false, false});
    if (s.measurements.empty()) return text;
    std::vector<std::vector<std::string>> rows = {{"Plan", "Measurement", "Unit", "Count", "Mean",
                                                   "Std dev", "Min", "Max", "LSL", "USL", "Cpk"}};
    for (const MeasurementSummary& m : s.measurements) {
        char cpk[32] = "-";
        if (m.cpk) std::snprintf(cpk, sizeof cpk, "%.2f", *m.cpk);
        rows.push_back({m.plan, m.name, m.unit, std::to_string(m.count), Short(m.mean),
                        Short(m.stdDev), Short(m.min), Short(m.max), Short(m.lower), Short(m.upper),
                        cpk});
    }
    return text + "\n" +
           Aligned(rows, {false, false, false, true, true, true, true, true, true, true, true});
}

std::string SummaryJson(const Summary& s) {
    std::string j =
        "{\"runs\": " + std::to_string(s.runs) + ", \"pass\": " + std::to_string(s.pass) +
        ", \"fail\": " + std::to_string(s.fail) + ", \"error\": " + std::to_string(s.error) +
        ", \"yield\": " + OrNull(s.yield) + ", \"devices\": " + std::to_string(s.devices) +
        ", \"passed_first_time\": " + std::to_string(s.passedFirstTime) +
        ", \"first_pass_yield\": " + OrNull(s.firstPassYield) + ",\n \"measurements\": [";
    for (size_t i = 0; i < s.measurements.size(); ++i) {
        const MeasurementSummary& m = s.measurements[i];
        j += std::string(i ? ",\n  " : "\n  ") + "{\"plan\": " + JsonString(m.plan) +
             ", \"key\": " + JsonString(m.key) + ", \"name\": " + JsonString(m.name) +
             ", \"unit\": " + JsonString(m.unit) + ", \"count\": " + std::to_string(m.count) +
             ", \"mean\": " + FormatNumber(m.mean) + ", \"std_dev\": " + FormatNumber(m.stdDev) +
             ", \"min\": " + FormatNumber(m.min) + ", \"max\": " + FormatNumber(m.max) +
             ", \"lsl\": " + OrNull(m.lower) + ", \"usl\": " + OrNull(m.upper) +
             ", \"cpk\": " + OrNull(m.cpk) + "}";
    }
    return j + "]}\n";
}

std::string HistoryText(const std::vector<RecordedRun>& runs) {
    std::string text;
    for (const RecordedRun& r : runs) {
        text += r.started + "  " + r.verdict + "  " + r.planName + "  station " + r.station +
                "  tester " + r.testerHardware + " (" + r.testerFirmware + ")" +
                (r.error.empty() ? "" : "  error: " + r.error) + "\n";
        std::vector<std::vector<std::string>> rows;
        for (const RecordedMeasurement& m : r.measurements)
            rows.push_back({"", r.repetitions > 1 ? "#" + std::to_string(m.repetition) : "", m.name,
                            m.shown, m.unit, m.verdict});
        if (!rows.empty()) text += Aligned(rows, {false, false, false, true, false, false});
    }
    return text.empty() ? "No runs recorded for this device.\n" : text;
}

std::string HistoryJson(const std::vector<RecordedRun>& runs) {
    std::string j = "[";
    for (size_t i = 0; i < runs.size(); ++i) j += (i ? ",\n " : "\n ") + RunJson(runs[i]);
    return j + "]\n";
}

std::string CsvHeader() {
    return "run_uid,start,end,station,serial,plan,plan_hash,role,tester_hardware,"
           "tester_firmware,tester_serial,driver,device_profile,run_verdict,repetition,"
           "measurement,name,value,unit,limit_min,limit_min_ok,limit_max_ok,limit_max,verdict\r\n";
}

std::string CsvRow(const RecordedRun& r, const RecordedMeasurement& m) {
    auto number = [](const std::optional<double>& v) { return v ? FormatNumber(*v) : ""; };
    const std::string fields[] = {r.uid,
                                  r.started,
                                  r.ended,
                                  r.station,
                                  r.serial,
                                  r.planName,
                                  r.planHash,
                                  r.role,
                                  r.testerHardware,
                                  r.testerFirmware,
                                  r.testerSerial,
                                  r.driver,
                                  r.deviceProfile,
                                  r.verdict,
                                  std::to_string(m.repetition),
                                  m.key,
                                  m.name,
                                  number(m.value),
                                  m.unit,
                                  number(m.limitMin),
                                  number(m.limitMinOk),
                                  number(m.limitMaxOk),
                                  number(m.limitMax),
                                  m.verdict};
    std::string line;
    for (size_t i = 0; i < std::size(fields); ++i) line += (i ? "," : "") + Csv(fields[i]);
    return line + "\r\n";
}

int RunResultsCommand(const ResultsOptions& options) {
    Target target;
    std::string message;
    ParseTarget(options.results, target, message);
    // Reading never creates a database file.
    if (target.kind == Target::Kind::SQLite && !std::filesystem::exists(target.location)) {
        std::fprintf(stderr, "tavrin-cli: no results recorded in %s\n", target.Shown().c_str());
        return 1;
    }
    try {
        const std::unique_ptr<Database> db = Open(target);
        EnsureSchema(*db);
        if (options.command == "summary") {
            const Summary s = Summarise(*db, options.filter);
            std::fputs((options.json ? SummaryJson(s) : SummaryText(s)).c_str(), stdout);
        } else if (options.command == "history") {
            const std::vector<RecordedRun> runs = ReadRuns(*db, options.filter);
            std::fputs((options.json ? HistoryJson(runs) : HistoryText(runs)).c_str(), stdout);
        } else {
            std::fputs(CsvHeader().c_str(), stdout);
            ForEachMeasurement(*db, options.filter,
                               [](const RecordedRun& r, const RecordedMeasurement& m) {
                                   std::fputs(CsvRow(r, m).c_str(), stdout);
                               });
        }
    } catch (const DatabaseError& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "tavrin-cli: results database %s: %s\n", target.Shown().c_str(),
                     e.what());
        return 1;
    }
    std::fflush(stdout);
    return 0;
}

}  // namespace tavrin::results
