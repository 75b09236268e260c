// The test sequence of a plan on the command language; the bursts run the link window's own
// measurement cycle, and each value is judged as the window's bar judges it.
#include "PlanRunner.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "TestReport.h"
#include "common/MeasurementCycle.h"
#include "common/TrafficSlot.h"

namespace tavrin::cli {
namespace {

using common::LimitRow;

// How often the waits ask: the link window's status poll runs every 200 ms; the link state
// and the frame counters are asked more often so that a fast device costs no time.
constexpr uint32_t kLockPollMs = 200;
constexpr uint32_t kStatePollMs = 50;
constexpr uint32_t kFramePollMs = 100;
// The tester's own reset and the release of a link take a few frames.
constexpr double kResetSeconds = 10.0;
constexpr double kReleaseSeconds = 2.0;

// The FP traffic slots a plan offers run 0 to 11; from 10 on, a traffic slot on the fixed
// part's dummy slot starts again from 0.
constexpr int kHighestFpTrafficSlot = 10;

// A row judged by a limit bar of the setup pages.
ResultRow BarRow(const TestPlan& plan, const char* key, const char* name, LimitRow row,
                 std::optional<double> value, const std::string& text) {
    const common::LimitRowSpec& limitRow = common::RowSpec(row);
    const std::array<double, 4>& l = plan.limits.rows[static_cast<size_t>(row)];
    ResultRow r;
    r.key = key;
    r.name = name;
    r.unit = limitRow.unit;
    r.value = value;
    r.text = value ? text : "---";
    if (limitRow.fourLimits) {
        r.limits = FormatNumber(l[1]) + " to " + FormatNumber(l[2]);
        r.limitValues = {{"Min", l[0]}, {"MinOK", l[1]}, {"MaxOK", l[2]}, {"Max", l[3]}};
    } else {
        // The FER bar's green band reaches a hair beyond MaxOK, BER's stops short of it.
        r.limits = (row == LimitRow::LT_FER ? "<= " : "< ") + FormatNumber(l[2]);
        r.limitValues = {{"MaxOK", l[2]}, {"Max", l[3]}};
    }
    r.pass = value && common::Passes(row, l, *value);
    return r;
}

// A row judged by a plain range the plan gives (bounds included).
ResultRow RangeRow(const char* key, const char* name, const char* unit, std::optional<double> value,
                   const std::string& text, const Range& range) {
    ResultRow r;
    r.key = key;
    r.name = name;
    r.unit = unit;
    r.value = value;
    r.text = value ? text : "---";
    if (range.min && range.max) {
        r.limits = FormatNumber(*range.min) + " to " + FormatNumber(*range.max);
    } else if (range.min) {
        r.limits = ">= " + FormatNumber(*range.min);
    } else {
        r.limits = "<= " + FormatNumber(*range.max);
    }
    if (range.min) r.limitValues.push_back({"Min", *range.min});
    if (range.max) r.limitValues.push_back({"Max", *range.max});
    r.pass = value && (!range.min || *value >= *range.min) && (!range.max || *value <= *range.max);
    return r;
}

// Why the run ended when the library reports the tester lost (TesterLinkState's values).
std::string TesterLost(int linkState, const std::string& line) {
    const char* how = linkState == 2   ? "its USB device is gone"
                      : linkState == 3 ? "no USB link is open"
                                       : "it stopped answering";
    return std::string("the tester was lost: ") + how + " (\"" + line + "\" failed)";
}

}  // namespace

PlanRunner::PlanRunner(const TestPlan& plan, TesterPort& port, const std::atomic<bool>* stop)
    : m_plan(plan), m_port(port), m_stop(stop) {}

TesterIdentity PlanRunner::Identify() {
    auto ask = [&](const char* query) {
        if (m_port.Write(query) != 0) {
            // The error is cleared, unless the tester is lost: the run names that itself.
            if (m_port.LinkState() == 0) {
                m_port.Write("SYST:ERR?");
                m_port.Read();
            }
            return std::string();
        }
        std::string answer = m_port.Read();
        while (!answer.empty() && (answer.back() == ' ' || answer.back() == '\0'))
            answer.pop_back();
        return answer;
    };
    TesterIdentity id;
    id.library = ask("*IDN?");
    id.hardware = ask("SYST:HW:VERS?");
    id.firmware = ask("SYST:FIRM:VERS?");
    id.serial = ask("SYST:SER:NUM?");
    return id;
}

void PlanRunner::Send(const std::string& line) {
    if (m_port.Write(line) == 0) return;
    // A lost tester ends the run at once: every further command would only wait out the
    // library's bound, and the report names the loss rather than a "Target Error".
    if (const int state = m_port.LinkState()) throw Abort{TesterLost(state, line), true};
    m_port.Write("SYST:ERR?");
    throw Abort{"\"" + line + "\" failed: " + m_port.Read()};
}

std::string PlanRunner::Query(const std::string& line) {
    Send(line);
    return m_port.Read();
}

// The measurement cycle asks through the run's own queries. A refused command or a lost tester
// is kept rather than thrown through the cycle: the cycle asks nothing more, and the burst
// loop ends the run with it.
class PlanRunner::CycleQueries final : public common::QueryPort {
public:
    explicit CycleQueries(PlanRunner& runner) : m_runner(runner) {}
    std::string Query(const std::string& line) override {
        try {
            return m_runner.Query(line);
        } catch (const Abort& failed) {
            abort = failed;
            return {};
        }
    }
    bool Failed() const override { return abort.has_value(); }

    std::optional<Abort> abort;

private:
    PlanRunner& m_runner;
};

void PlanRunner::CheckStop() {
    if (m_stop && m_stop->load()) throw Abort{"stopped by a signal"};
}

// Asks until the answer is the wanted one; bounded on the port's clock.
void PlanRunner::WaitFor(const std::string& query, const std::string& wanted, double seconds,
                         uint32_t pollMs, const std::string& what) {
    const uint64_t start = m_port.NowMs();
    const auto limit = static_cast<uint64_t>(std::llround(seconds * 1000.0));
    std::string last;
    for (;;) {
        CheckStop();
        last = Query(query);
        if (last == wanted) return;
        if (m_port.NowMs() - start >= limit) break;
        m_port.SleepMs(pollMs);
    }
    throw Abort{what + " within " + FormatNumber(seconds) + " s (\"" + query + "\" answered \"" +
                last + "\", not \"" + wanted + "\")"};
}

void PlanRunner::Configure() {
    const RadioSettings& r = m_plan.radio;
    const std::string side = m_plan.role == Role::PP ? "PP" : "FP";
    // Every device starts from the same tester state, whatever ran before.
    Send("SYST:RESE");
    WaitFor("STAT:DEV?", "IDLE", kResetSeconds, kLockPollMs, "the tester did not come back");
    Send("PROC:SEL:TEST MAN");
    Send(m_plan.role == Role::PP ? "CONF:TEST:TYPE DPP" : "CONF:TEST:TYPE DFP");
    if (m_plan.role == Role::PP) {
        Send("CONF:PP:RFPI \"" + r.rfpi + "\"");
        Send("CONF:PP:DUMM:SLOT " + std::to_string(r.dummySlot));
        Send("CONF:PP:DUMM:CARR " + std::to_string(r.dummyCarrier));
    } else if (r.rfpiGiven) {
        Send("CONF:FP:RFPI \"" + r.rfpi + "\"");
    }
    Send("CONF:" + side + ":TRAF:SLOT " + std::to_string(r.trafficSlot));
    Send("CONF:" + side + ":TRAF:CARR " + std::to_string(r.trafficCarrier));
    Send("CONF:" + side + ":SIGN:MODE " + r.signallingMode);
    // The data pattern belongs to the loopback, as on the test pages.
    if (r.signallingMode == "LOOP") Send("CONF:BER:DATA " + r.dataPattern);
    Send("CONF:POW:DYN:RANG LOW");
    // The coupling loss first: it moves the range the level must lie in.
    Send("SENS:CORR:LOSS " + FormatNumber(r.couplingLoss));
    Send("CONF:" + side + ":RF:LEV " + FormatNumber(r.rfLevel));
    Send(std::string("CONF:ATT:RX ") + (r.rxAttenuator ? "ON" : "OFF"));
    // One capture per burst, which every measurement of that burst reads.
    Send("CONF:AVER:BURS 1");
    Send("CONF:SAMP:MODE CTRL");
    static const char* const kRamps[] = {"RMPB", "RMPC", "RMPD", "RMPE", "RMPF"};
    for (size_t i = 0; i < m_plan.limits.ramps.size(); ++i)
        Send(std::string("CALC:LIM:POW:") + kRamps[i] + " " +
             std::to_string(m_plan.limits.ramps[i]));
}

void PlanRunner::FindFixedPart(RunResult& result) {
    FixedPartFound found;
    found.rfpi = Query("SENS:DET:RFPI?");
    found.rfpi.erase(std::remove(found.rfpi.begin(), found.rfpi.end(), '"'), found.rfpi.end());
    found.dummySlot =
        static_cast<int>(common::LeadingNumber(Query("SENS:DET:DUMM:SLOT?")).value_or(-1));
    found.dummyCarrier =
        static_cast<int>(common::LeadingNumber(Query("SENS:DET:DUMM:CARR?")).value_or(-1));
    result.fixedPart = found;
    if (onNote)
        onNote("Fixed part found: RFPI " + found.rfpi + ", dummy slot " +
               std::to_string(found.dummySlot) + ", dummy carrier " +
               std::to_string(found.dummyCarrier));
    if (m_plan.radio.rfpiGiven) {
        ResultRow row;
        row.key = "rfpi";
        row.name = "RFPI";
        row.text = found.rfpi;
        row.limits = "= " + m_plan.radio.rfpi;
        row.pass = found.rfpi == m_plan.radio.rfpi;
        Add(result, row);
    } else {
        // The tester connects to the fixed part it found.
        Send("CONF:FP:RFPI \"" + found.rfpi + "\"");
    }
    // The traffic bearer must not sit on the fixed part's dummy slot; the status poll of the
    // link window moves it by the same rule.
    if (found.dummySlot == m_plan.radio.trafficSlot) {
        const int moved =
            common::TrafficSlotPastDummy(m_plan.radio.trafficSlot, kHighestFpTrafficSlot);
        Send("CONF:FP:TRAF:SLOT " + std::to_string(moved));
        if (onNote)
            onNote("Traffic slot " + std::to_string(m_plan.radio.trafficSlot) +
                   " is the fixed part's dummy slot: moved to " + std::to_string(moved));
    }
}

void PlanRunner::TakeBursts(RunResult& result) {
    const TestPlan& p = m_plan;
    const bool anyBurst = p.Takes(Measurement::NTP) || p.Takes(Measurement::FrequencyOffset) ||
                          p.Takes(Measurement::BField) || p.Takes(Measurement::SField) ||
                          p.Takes(Measurement::Drift) || p.Takes(Measurement::Template);
    if (!anyBurst) return;
    // The averaged values of the link window's cycle and nothing else, whatever the signalling
    // mode: the plan names what it measures.
    common::RefreshChoice choice;
    choice.ntp = p.Takes(Measurement::NTP);
    choice.offset = p.Takes(Measurement::FrequencyOffset);
    choice.bField = p.Takes(Measurement::BField);
    choice.sField = p.Takes(Measurement::SField);
    choice.drift = p.Takes(Measurement::Drift);
    choice.berFer = choice.jitter = choice.slotSize = choice.timing = choice.frameFlags = false;
    // Every burst of the run is averaged.
    common::MeasurementCycle cycle;
    cycle.setLength(p.bursts);
    common::LinkReadout readout;
    CycleQueries queries(*this);
    int matched = 0;
    for (int burst = 1; burst <= p.bursts; ++burst) {
        CheckStop();
        const std::string state = Query("STAT:DEV?");
        if (state != "DCE")
            throw Abort{"the link was lost before burst " + std::to_string(burst) + " (\"" + state +
                        "\")"};
        Send("PROC:SAMP:FORC");
        cycle.refresh(queries, choice, {}, readout);
        if (queries.abort) throw *queries.abort;
        if (p.Takes(Measurement::Template) && Query("CALC:LIM:TRAN:MAT?") == "MATC") ++matched;
    }
    // Each value as its bar shows it once the bursts are in.
    auto bar = [&](Measurement m, const char* key, const char* name, LimitRow row) {
        if (!p.Takes(m)) return;
        const std::optional<std::string> text = cycle.barText(row);
        Add(result, BarRow(p, key, name, row, text ? common::WholeNumber(*text) : std::nullopt,
                           text.value_or("")));
    };
    bar(Measurement::NTP, "ntp", "NTP", LimitRow::NTP);
    bar(Measurement::FrequencyOffset, "frequency_offset", "Frequency offset", LimitRow::FrqOff);
    bar(Measurement::BField, "b_field", "B-field deviation +", LimitRow::B_Field);
    bar(Measurement::SField, "s_field", "S-field deviation", LimitRow::S_Field);
    bar(Measurement::Drift, "drift", "Frequency drift", LimitRow::FrqDrift);
    if (p.Takes(Measurement::Template)) {
        ResultRow row;
        row.key = "template";
        row.name = "Template match";
        row.unit = "bursts";
        row.value = matched;
        row.text = std::to_string(matched) + "/" + std::to_string(p.bursts);
        row.limits = "all match";
        row.limitValues = {{"Min", p.bursts}};
        row.pass = matched == p.bursts;
        Add(result, row);
    }
}

void PlanRunner::TakeFrameMeasurements(RunResult& result) {
    const TestPlan& p = m_plan;
    const PlanLimits& l = p.limits;
    if (p.Takes(Measurement::Ber) || p.Takes(Measurement::Jitter) ||
        p.Takes(Measurement::PacketDelay)) {
        // The counters latch once the frame window is full; until then the answer is "INV".
        const uint64_t limit = static_cast<uint64_t>(std::llround(p.berS * 1000.0));
        std::string ber;
        for (;;) {
            CheckStop();
            ber = Query("FETC:BER:LTER?");
            if (ber != "INV" && !ber.empty()) break;
            if (m_port.NowMs() - m_frameStartMs >= limit)
                throw Abort{std::to_string(p.berFrames) + " frames were not counted within " +
                            FormatNumber(p.berS) + " s"};
            m_port.SleepMs(kFramePollMs);
        }
        if (p.Takes(Measurement::Ber)) {
            const auto [b, f] = common::PairOfNumbers(ber);
            Add(result, BarRow(p, "ber", "BER", LimitRow::LT_BER, b, b ? FormatNumber(*b) : ""));
            Add(result, BarRow(p, "fer", "FER", LimitRow::LT_FER, f, f ? FormatNumber(*f) : ""));
        }
    }
    if (p.Takes(Measurement::Jitter)) {
        const auto [pos, neg] = common::PairOfNumbers(Query("FETC:JITT?"));
        std::optional<double> v;
        if (pos && neg) v = std::max(std::fabs(*pos), std::fabs(*neg));
        Add(result, RangeRow("jitter", "Jitter", "us", v, v ? common::FixedText(*v, 1) : "",
                             Range{std::nullopt, l.jitterMax}));
    }
    if (p.Takes(Measurement::PacketDelay)) {
        const std::optional<double> v = common::FirstNumber(Query("FETC:PACK:DEL?"));
        Add(result, RangeRow("packet_delay", "Packet delay", "us", v, v ? FormatNumber(*v) : "",
                             l.packetDelay));
    }
    if (p.Takes(Measurement::TimingAccuracy)) {
        const std::optional<double> v = common::FirstNumber(Query("READ:TIME:ACC?"));
        Add(result, RangeRow("timing_accuracy", "Timing accuracy", "ppm", v,
                             v ? FormatNumber(*v) : "", l.timingAccuracy));
    }
}

void PlanRunner::Add(RunResult& result, ResultRow row) {
    result.rows.push_back(std::move(row));
    if (onRow) onRow(result.rows.back());
}

// Never throws: it runs on every way out, also after a failed command or a signal.
void PlanRunner::Release(RunResult& result) {
    if (!m_connectSent) {
        result.released = true;
        return;
    }
    // Also when the link is not up yet: the release withdraws a pending connect, so the
    // device does not come up linked after the test has given up on it. A lost tester is
    // asked once (it may answer again); waiting for its link to drop would only add time-outs.
    const bool sent = m_port.Write("PROC:CONN:REL") == 0;
    if (!sent && m_port.LinkState() != 0) {
        LostInRelease(result, "PROC:CONN:REL");
        return;
    }
    const uint64_t start = m_port.NowMs();
    const auto limit = static_cast<uint64_t>(kReleaseSeconds * 1000.0);
    for (;;) {
        if (m_port.Write("STAT:DEV?") != 0 && m_port.LinkState() != 0) {
            LostInRelease(result, "STAT:DEV?");
            return;
        }
        if (m_port.Read() != "DCE") {
            result.released = sent;
            break;
        }
        if (m_port.NowMs() - start >= limit) break;
        m_port.SleepMs(kStatePollMs);
    }
    if (!result.released && result.status != RunStatus::Error) {
        result.status = RunStatus::Error;
        result.error = "the link was not released";
    }
}

void PlanRunner::LostInRelease(RunResult& result, const std::string& line) {
    result.released = false;
    if (result.testerLost) return;  // the error names the loss already
    const std::string why = TesterLost(m_port.LinkState(), line);
    result.error = result.status == RunStatus::Error ? result.error + "; then " + why : why;
    result.status = RunStatus::Error;
    result.testerLost = true;
}

RunResult PlanRunner::Run() {
    RunResult result;
    m_connectSent = false;
    try {
        Configure();
        WaitFor(
            "SENS:SIGN:STAT?", "LOCK", m_plan.searchS, kLockPollMs,
            std::string("no ") + (m_plan.role == Role::PP ? "portable" : "fixed") + " part found");
        if (m_plan.role == Role::FP) FindFixedPart(result);
        m_connectSent = true;
        Send("PROC:CONN:SET");
        WaitFor("STAT:DEV?", "DCE", m_plan.connectS, kStatePollMs, "no link");
        // Restart the long-term counters, as the link window does at its first poll.
        const std::string frames = std::to_string(m_plan.berFrames);
        Send("CONF:BER:EVAL:WIND " + frames);
        Send("PROC:STRT:BER");
        if (m_plan.Takes(Measurement::Jitter) || m_plan.Takes(Measurement::PacketDelay))
            Send("CONF:JITT:EVAL:WIND " + frames);
        m_frameStartMs = m_port.NowMs();
        TakeBursts(result);
        TakeFrameMeasurements(result);
        result.status = std::all_of(result.rows.begin(), result.rows.end(),
                                    [](const ResultRow& r) { return r.pass; })
                            ? RunStatus::Pass
                            : RunStatus::Fail;
    } catch (const Abort& abort) {
        result.status = RunStatus::Error;
        result.error = abort.why;
        result.testerLost = abort.testerLost;
    }
    Release(result);
    return result;
}

}  // namespace tavrin::cli
