// Formatting of the session report: terminal table, statistics, JSON and JUnit XML.
#include "TestReport.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <map>

namespace tavrin::cli {
namespace {

std::string Escaped(const std::string& s, bool xml) {
    std::string out;
    for (const char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (xml) {
            switch (c) {
                case '&':
                    out += "&amp;";
                    break;
                case '<':
                    out += "&lt;";
                    break;
                case '>':
                    out += "&gt;";
                    break;
                case '"':
                    out += "&quot;";
                    break;
                case '\'':
                    out += "&apos;";
                    break;
                // Written as references, or attribute values would read back as blanks.
                case '\n':
                    out += "&#10;";
                    break;
                case '\r':
                    out += "&#13;";
                    break;
                case '\t':
                    out += "&#9;";
                    break;
                default:
                    // XML 1.0 has no way to carry other control characters.
                    if (u >= 0x20) out += c;
            }
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", u);
            out += esc;
        } else {
            out += c;
        }
    }
    return out;
}

std::string J(const std::string& s) {
    return "\"" + Escaped(s, false) + "\"";
}
std::string X(const std::string& s) {
    return Escaped(s, true);
}

std::string JsonRow(const ResultRow& r, size_t run) {
    std::string limits;
    for (const auto& [name, v] : r.limitValues)
        limits += (limits.empty() ? "" : ", ") + J(name) + ": " + FormatNumber(v);
    return "{\"run\": " + std::to_string(run) + ", \"key\": " + J(r.key) +
           ", \"name\": " + J(r.name) +
           ", \"value\": " + (r.value ? FormatNumber(*r.value) : std::string("null")) +
           ", \"text\": " + J(r.text) + ", \"unit\": " + J(r.unit) + ", \"limits\": {" + limits +
           "}, \"limits_text\": " + J(r.limits) + ", \"verdict\": " + J(r.pass ? "PASS" : "FAIL") +
           "}";
}

}  // namespace

RunStatus Overall(const std::vector<RunRecord>& runs) {
    RunStatus overall = runs.empty() ? RunStatus::Error : RunStatus::Pass;
    for (const RunRecord& r : runs) {
        if (r.result.status == RunStatus::Error) return RunStatus::Error;
        if (r.result.status == RunStatus::Fail) overall = RunStatus::Fail;
    }
    return overall;
}

const char* StatusWord(RunStatus status) {
    switch (status) {
        case RunStatus::Pass:
            return "PASS";
        case RunStatus::Fail:
            return "FAIL";
        default:
            return "ERROR";
    }
}

std::vector<Statistic> RepeatStatistics(const std::vector<RunRecord>& runs) {
    std::vector<Statistic> stats;
    std::map<std::string, std::vector<double>> values;
    for (const RunRecord& run : runs)
        for (const ResultRow& row : run.result.rows) {
            if (!row.value) continue;
            if (!values.count(row.key)) stats.push_back({row.key, row.name, row.unit});
            values[row.key].push_back(*row.value);
        }
    for (Statistic& s : stats) {
        const std::vector<double>& v = values[s.key];
        s.count = static_cast<int>(v.size());
        s.min = s.max = v.front();
        double sum = 0.0;
        for (double x : v) {
            sum += x;
            s.min = std::min(s.min, x);
            s.max = std::max(s.max, x);
        }
        s.mean = sum / s.count;
        double squares = 0.0;
        for (double x : v) squares += (x - s.mean) * (x - s.mean);
        s.stdDev = s.count > 1 ? std::sqrt(squares / (s.count - 1)) : 0.0;
    }
    return stats;
}

std::string FormatNumber(double v) {
    char text[64];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, v);
    return ec == std::errc() ? std::string(text, end) : std::string("nan");
}

std::string JsonString(const std::string& s) {
    return J(s);
}

std::string UtcNow() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm tm{};
    gmtime_r(&now, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &tm);
    return text;
}

std::string TableHeader() {
    char line[160];
    std::snprintf(line, sizeof line, "%-22s %14s %-6s %-22s %s\n", "Measurement", "Value", "Unit",
                  "Limits", "Verdict");
    return line;
}

std::string TableLine(const ResultRow& row) {
    char line[256];
    std::snprintf(line, sizeof line, "%-22s %14s %-6s %-22s %s\n", row.name.c_str(),
                  row.text.c_str(), row.unit.c_str(), row.limits.c_str(),
                  row.pass ? "PASS" : "FAIL");
    return line;
}

std::string StatisticsTable(const std::vector<Statistic>& statistics) {
    char line[256];
    std::snprintf(line, sizeof line, "%-22s %6s %12s %12s %12s %12s %s\n", "Measurement", "Runs",
                  "Mean", "Std dev", "Min", "Max", "Unit");
    std::string text = line;
    for (const Statistic& s : statistics) {
        std::snprintf(line, sizeof line, "%-22s %6d %12.6g %12.6g %12.6g %12.6g %s\n",
                      s.name.c_str(), s.count, s.mean, s.stdDev, s.min, s.max, s.unit.c_str());
        text += line;
    }
    return text;
}

std::string JsonReport(const SessionReport& report) {
    const TestPlan& plan = *report.plan;
    std::string measure;
    for (size_t i = 0; i < kMeasurementCount; ++i)
        if (plan.measure[i])
            measure +=
                (measure.empty() ? "" : ", ") + J(MeasurementKey(static_cast<Measurement>(i)));
    std::string j = "{\n";
    j += "  \"plan\": {\"file\": " + J(plan.path) + ", \"name\": " + J(plan.name) +
         ", \"role\": " + J(RoleName(plan.role)) + ", \"measurements\": [" + measure +
         "], \"bursts\": " + std::to_string(plan.bursts) +
         ", \"ber_frames\": " + std::to_string(plan.berFrames) +
         ", \"limits\": " + J(plan.limits.source) + "},\n";
    j += "  \"serial\": " + J(report.serial) + ",\n";
    j += "  \"tester\": {\"library\": " + J(report.tester.library) +
         ", \"hardware\": " + J(report.tester.hardware) +
         ", \"firmware\": " + J(report.tester.firmware) +
         ", \"serial\": " + J(report.tester.serial) + "},\n";
    j += "  \"start\": " + J(report.start) + ",\n  \"end\": " + J(report.end) + ",\n";
    j += "  \"runs\": [";
    std::string rows;
    for (size_t i = 0; i < report.runs.size(); ++i) {
        const RunRecord& run = report.runs[i];
        j += std::string(i ? "," : "") + "\n    {\"run\": " + std::to_string(i + 1) +
             ", \"start\": " + J(run.start) + ", \"end\": " + J(run.end) +
             ", \"verdict\": " + J(StatusWord(run.result.status)) +
             ", \"error\": " + J(run.result.error) +
             ", \"link_released\": " + (run.result.released ? "true" : "false");
        if (const auto& fp = run.result.fixedPart)
            j += ", \"fixed_part\": {\"rfpi\": " + J(fp->rfpi) +
                 ", \"dummy_slot\": " + std::to_string(fp->dummySlot) +
                 ", \"dummy_carrier\": " + std::to_string(fp->dummyCarrier) + "}";
        j += "}";
        for (const ResultRow& row : run.result.rows)
            rows += std::string(rows.empty() ? "" : ",") + "\n    " + JsonRow(row, i + 1);
    }
    j += "\n  ],\n  \"measurements\": [" + rows + "\n  ],\n";
    if (report.runs.size() > 1) {
        std::string stats;
        for (const Statistic& s : RepeatStatistics(report.runs))
            stats +=
                std::string(stats.empty() ? "" : ",") + "\n    {\"key\": " + J(s.key) +
                ", \"name\": " + J(s.name) + ", \"unit\": " + J(s.unit) +
                ", \"count\": " + std::to_string(s.count) + ", \"mean\": " + FormatNumber(s.mean) +
                ", \"std_dev\": " + FormatNumber(s.stdDev) + ", \"min\": " + FormatNumber(s.min) +
                ", \"max\": " + FormatNumber(s.max) + "}";
        j += "  \"statistics\": [" + stats + "\n  ],\n";
    }
    j += "  \"verdict\": " + J(StatusWord(Overall(report.runs))) + "\n}\n";
    return j;
}

std::string JUnitReport(const SessionReport& report) {
    const TestPlan& plan = *report.plan;
    const std::string suite = plan.name.empty() ? plan.path : plan.name;
    const std::string classname = std::string("tavrin.") + RoleName(plan.role);
    std::string cases;
    int tests = 0, failures = 0, errors = 0;
    double seconds = 0.0;
    for (size_t i = 0; i < report.runs.size(); ++i) {
        const RunRecord& run = report.runs[i];
        seconds += run.seconds;
        const std::string suffix =
            report.runs.size() > 1 ? " #" + std::to_string(i + 1) : std::string();
        for (const ResultRow& row : run.result.rows) {
            ++tests;
            cases += "    <testcase classname=\"" + X(classname) + "\" name=\"" +
                     X(row.name + suffix) + "\"";
            if (row.pass) {
                cases += "/>\n";
                continue;
            }
            ++failures;
            cases += ">\n      <failure message=\"" +
                     X(row.text + " " + row.unit + " outside " + row.limits) + "\" type=\"" +
                     X(row.key) + "\"/>\n    </testcase>\n";
        }
        if (run.result.status == RunStatus::Error) {
            ++tests;
            ++errors;
            cases += "    <testcase classname=\"" + X(classname) + "\" name=\"" +
                     X("sequence" + suffix) + "\">\n      <error message=\"" + X(run.result.error) +
                     "\"/>\n    </testcase>\n";
        }
    }
    std::string x = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    x += "<testsuites>\n  <testsuite name=\"" + X(suite) + "\" tests=\"" + std::to_string(tests) +
         "\" failures=\"" + std::to_string(failures) + "\" errors=\"" + std::to_string(errors) +
         "\" timestamp=\"" + X(report.start) + "\" time=\"" + FormatNumber(seconds) + "\">\n";
    x += "    <properties>\n";
    const std::pair<const char*, std::string> properties[] = {
        {"serial", report.serial},
        {"plan", plan.path},
        {"role", RoleName(plan.role)},
        {"limits", plan.limits.source},
        {"tester.library", report.tester.library},
        {"tester.hardware", report.tester.hardware},
        {"tester.firmware", report.tester.firmware},
        {"tester.serial", report.tester.serial},
        {"start", report.start},
        {"end", report.end},
        {"verdict", StatusWord(Overall(report.runs))},
    };
    for (const auto& [name, value] : properties)
        x += "      <property name=\"" + X(name) + "\" value=\"" + X(value) + "\"/>\n";
    x += "    </properties>\n" + cases + "  </testsuite>\n</testsuites>\n";
    return x;
}

bool WriteFileAtomically(const std::string& path, const std::string& content, std::string& error) {
    std::string temp = path + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    // A report is a file others read: the permissions of a new file, not mkstemp's private ones.
    const mode_t mask = umask(0);
    umask(mask);
    const bool ok = done == content.size() && fchmod(fd, 0666 & ~mask) == 0 && fsync(fd) == 0;
    const int savedErrno = errno;
    if (close(fd) != 0 || !ok || std::rename(temp.c_str(), path.c_str()) != 0) {
        error = "cannot write " + path + ": " + std::strerror(ok ? errno : savedErrno);
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace tavrin::cli
