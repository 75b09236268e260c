// The test session on the library's exports: the port, the signals, the output.
#include "TestCommand.h"

#include <signal.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "TestReport.h"
#include "tavrinlink.h"

namespace tavrin::cli {
namespace {

std::atomic<bool> g_stop{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

void OnSignal(int) {
    g_stop = true;
}

// The library's command language and the steady clock.
class LibraryPort final : public TesterPort {
public:
    int Write(const std::string& line) override { return ZelkWrt(line.c_str()); }
    std::string Read() override {
        char answer[TAVRINLINK_RESPONSE_SIZE] = {};
        ZelkRd(answer);
        return answer;
    }
    uint64_t NowMs() override {
        return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now().time_since_epoch())
                                         .count());
    }
    void SleepMs(uint32_t ms) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
    int LinkState() override { return TesterLinkState(); }
};

void Print(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
}

bool WriteReport(const std::optional<std::string>& path, const std::string& content) {
    if (!path) return true;
    std::string error;
    if (WriteFileAtomically(*path, content, error)) return true;
    std::fprintf(stderr, "tavrin-cli: %s\n", error.c_str());
    return false;
}

}  // namespace

std::optional<TestPlan> LoadPlan(const std::string& path) {
    PlanError error;
    std::optional<TestPlan> plan = ReadTestPlan(path, error);
    if (!plan) std::fprintf(stderr, "tavrin-cli: %s\n", error.Text().c_str());
    return plan;
}

int RunTestSession(const TestPlan& plan, const Options& options) {
    // No SA_RESTART: a wait in progress ends early and the runner sees the flag.
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    LibraryPort port;
    PlanRunner runner(plan, port, &g_stop);
    runner.onRow = [](const ResultRow& row) { Print(TableLine(row)); };
    runner.onNote = [](const std::string& note) { Print(note + "\n"); };

    SessionReport report;
    report.plan = &plan;
    report.serial = options.serial;
    report.start = UtcNow();
    report.tester = runner.Identify();
    Print("Plan " + plan.path + (plan.name.empty() ? "" : " (" + plan.name + ")") + ", " +
          RoleName(plan.role) + " test, limits " + plan.limits.source + "\n");
    Print("Tester " + report.tester.hardware + ", firmware " + report.tester.firmware +
          ", serial " + report.tester.serial + "; library " + report.tester.library + "\n");
    if (!options.serial.empty()) Print("Device " + options.serial + "\n");

    for (int i = 1; i <= options.repeat && !g_stop; ++i) {
        if (options.repeat > 1)
            Print("\nRun " + std::to_string(i) + " of " + std::to_string(options.repeat) + "\n");
        Print(TableHeader());
        RunRecord record;
        record.start = UtcNow();
        const auto t0 = std::chrono::steady_clock::now();
        record.result = runner.Run();
        record.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        record.end = UtcNow();
        if (record.result.status == RunStatus::Error)
            std::fprintf(stderr, "tavrin-cli: error: %s%s\n", record.result.error.c_str(),
                         record.result.released ? "" : "; the link may still stand");
        if (options.repeat > 1)
            Print("Run " + std::to_string(i) + ": " + StatusWord(record.result.status) + "\n");
        const bool error = record.result.status == RunStatus::Error;
        report.runs.push_back(std::move(record));
        if (error) break;
    }
    if (g_stop && report.runs.size() < static_cast<size_t>(options.repeat) &&
        (report.runs.empty() || report.runs.back().result.status != RunStatus::Error)) {
        RunRecord stopped;
        stopped.start = stopped.end = UtcNow();
        stopped.result.error = "stopped by a signal";
        stopped.result.released = true;
        report.runs.push_back(stopped);
    }
    report.end = UtcNow();
    if (report.runs.size() > 1) Print("\n" + StatisticsTable(RepeatStatistics(report.runs)));

    const RunStatus overall = Overall(report.runs);
    Print(std::string("\nOverall: ") + StatusWord(overall) + "\n");
    // Both reports are attempted, even when the first cannot be written.
    const bool jsonWritten = WriteReport(options.reportJson, JsonReport(report));
    const bool junitWritten = WriteReport(options.reportJunit, JUnitReport(report));
    const bool written = jsonWritten && junitWritten;
    // A lost tester is told apart from a device that could not be tested: the station needs
    // looking after, not the device.
    if (!report.runs.empty() && report.runs.back().result.testerLost) return kTestNoTester;
    if (!written || overall == RunStatus::Error) return kTestError;
    return overall == RunStatus::Pass ? kTestPass : kTestFail;
}

}  // namespace tavrin::cli
