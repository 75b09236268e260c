// Runs one test plan on one device through the command language: select and configure the
// test, find the device, connect, restart the counters, take the bursts, judge, release.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "TestPlan.h"

namespace tavrin::cli {

// What the runner needs of the tester: the command language and a clock to wait on. The
// client gives it the library's exports and the steady clock; tests a link instance on the
// virtual tester and its virtual clock.
class TesterPort {
public:
    virtual ~TesterPort() = default;
    // Runs a command line; the error count of its last command (0: accepted).
    virtual int Write(const std::string& line) = 0;
    // The pending answer ("" when there is none).
    virtual std::string Read() = 0;
    virtual uint64_t NowMs() = 0;
    virtual void SleepMs(uint32_t ms) = 0;
    // Whether the tester answered the last exchange, as the library's TesterLinkState gives
    // it: 0 it did, 1 it is silent, 2 its USB device is gone, 3 no USB link is open.
    virtual int LinkState() { return 0; }
};

struct ResultRow {
    std::string key;   // stable name for reports: "ntp", "b_field", "ber", "fer", ...
    std::string name;  // for people: "NTP", "B-field deviation", ...
    std::string unit;
    std::optional<double> value;  // none when the tester gave no value
    std::string text;             // the value as shown ("24.0", "10/10", "---")
    std::string limits;           // the limits as shown ("19 to 24", "< 0.001")
    // The limits as numbers for reports: the names are "Min", "MinOK", "MaxOK", "Max".
    std::vector<std::pair<std::string, double>> limitValues;
    bool pass = false;
};

struct FixedPartFound {
    std::string rfpi;
    int dummySlot = -1;
    int dummyCarrier = -1;
};

struct TesterIdentity {
    std::string library;   // "*IDN?"
    std::string hardware;  // "SYST:HW:VERS?"
    std::string firmware;  // "SYST:FIRM:VERS?"
    std::string serial;    // "SYST:SER:NUM?"
};

enum class RunStatus { Pass, Fail, Error };

struct RunResult {
    RunStatus status = RunStatus::Error;
    std::string error;  // why the run ended early (Error)
    std::vector<ResultRow> rows;
    std::optional<FixedPartFound> fixedPart;
    bool released = false;    // no link is left standing (released, or never asked for)
    bool testerLost = false;  // the tester stopped answering or left the bus during the run
};

class PlanRunner {
public:
    // `stop` is polled in every wait and between measurements (set from a signal handler).
    PlanRunner(const TestPlan& plan, TesterPort& port, const std::atomic<bool>* stop = nullptr);

    // Called for each row as it is judged, and for progress notes ("fixed part found ...").
    std::function<void(const ResultRow&)> onRow;
    std::function<void(const std::string&)> onNote;

    // Asks the tester who it is; done once per session.
    TesterIdentity Identify();
    // One test of the device. The link is released on every way out.
    RunResult Run();

private:
    struct Abort {
        std::string why;
        bool testerLost = false;
    };
    class CycleQueries;
    void Send(const std::string& line);
    std::string Query(const std::string& line);
    std::string Poll(const std::string& line);
    void CheckStop();
    void WaitFor(const std::string& query, const std::string& wanted, double seconds,
                 uint32_t pollMs, const std::string& what);
    void Configure();
    void FindFixedPart(RunResult& result);
    void TakeBursts(RunResult& result);
    void TakeFrameMeasurements(RunResult& result);
    void Release(RunResult& result);
    void LostInRelease(RunResult& result, const std::string& line);
    void Add(RunResult& result, ResultRow row);

    const TestPlan m_plan;  // a copy, so a plan handed in as a temporary stays valid
    TesterPort& m_port;
    const std::atomic<bool>* m_stop;
    bool m_connectSent = false;
    uint64_t m_frameStartMs = 0;  // when the frame counters were restarted
};

}  // namespace tavrin::cli
