// The plan runner on a link instance over the virtual tester, on the virtual clock: the
// shipped plans against the shipped device profiles, a device that never connects, a refused
// command and a stop request, each ending with the link released.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <set>

#include "PlanRunner.h"
#include "ScratchFolder.h"
#include "ScriptedQueries.h"
#include "SimLink.h"
#include "TestReport.h"
#include "TesterMemoryMap.h"
#include "common/MeasurementCycle.h"

namespace tavrin::cli {
namespace {

// The runner's view of a link instance: its command language and its virtual clock.
class SimPort final : public TesterPort {
public:
    explicit SimPort(testing::SimLink& sim) : m_sim(sim) {}
    int Write(const std::string& line) override {
        if (beforeWrite) beforeWrite(line);
        lines.push_back(line);
        return m_sim.link->ZelkWrt(line.c_str(), false);
    }
    std::string Read() override {
        char out[kResponseSize] = {};
        m_sim.link->ZelkRd(out, false);
        if (script)
            if (std::optional<std::string> scripted = script->Next(lines.back())) return *scripted;
        return out;
    }
    uint64_t NowMs() override { return m_sim.clock.nowUs() / 1000; }
    void SleepMs(uint32_t ms) override { m_sim.clock.sleepMs(ms); }
    int LinkState() override { return m_sim.link->TesterLinkState(); }

    std::vector<std::string> lines;
    std::function<void(const std::string&)> beforeWrite;  // e.g. to pull the cable
    testing::ScriptedReplies* script = nullptr;           // answers that replace the tester's

private:
    testing::SimLink& m_sim;
};

class Runner : public ::testing::Test {
protected:
    // The template check leaves its trace where the state files go.
    void SetUp() override { setenv("XDG_STATE_HOME", m_dir.c_str(), 1); }
    std::string File(const std::string& name, const std::string& text) {
        return m_scratch.File(name, text);
    }
    static TestPlan Plan(const std::string& path) {
        PlanError error;
        auto plan = ReadTestPlan(path, error);
        EXPECT_TRUE(plan) << error.Text();
        return plan.value_or(TestPlan{});
    }
    // A link on a fresh virtual tester with the given device in front of it.
    static std::unique_ptr<testing::SimLink> Tester(const std::string& profile = {}) {
        SimulationSettings settings;
        settings.deviceProfile = profile;
        auto sim = std::make_unique<testing::SimLink>(settings, false);
        EXPECT_TRUE(sim->installed);
        // The port is opened as the client opens it.
        EXPECT_EQ(sim->Run("CONF:COMM:PORT USB"), "");
        return sim;
    }
    // After the run the link must stay down, also once the device's connect time has passed.
    static void ExpectNoLinkLater(testing::SimLink& sim) {
        sim.clock.sleepMs(700000);
        EXPECT_NE(sim.Run("STAT:DEV?"), "DCE");
        EXPECT_EQ(sim.tester->Memory().Read(sim::cell::kLink), 0);
    }
    static std::set<std::string> Keys(const RunResult& r, bool passed) {
        std::set<std::string> keys;
        for (const ResultRow& row : r.rows)
            if (row.pass == passed) keys.insert(row.key);
        return keys;
    }

    fixtures::ScratchFolder m_scratch;
    const std::string m_dir = m_scratch.Path();
};

// The rows of a run, for the message of a failed expectation.
std::string Describe(const RunResult& r) {
    std::string text = r.error;
    for (const ResultRow& row : r.rows)
        text += "\n" + row.key + " " + row.text + " " + row.limits + (row.pass ? " PASS" : " FAIL");
    return text;
}

TEST_F(Runner, DefaultDevicePassesThePpPlanAndTheSequenceIsTheLinkWindows) {
    const TestPlan plan = Plan(TAVRIN_PLANS "/pp.ini");
    auto sim = Tester();
    SimPort port(*sim);
    PlanRunner runner(plan, port);
    std::vector<std::string> shown;
    runner.onRow = [&](const ResultRow& row) { shown.push_back(row.key); };
    const TesterIdentity id = runner.Identify();
    EXPECT_EQ(id.library, "3.2.0");
    EXPECT_EQ(id.hardware.rfind("Tavrin ", 0), 0u) << id.hardware;
    EXPECT_FALSE(id.firmware.empty());

    port.lines.clear();
    const RunResult r = runner.Run();
    ASSERT_EQ(r.status, RunStatus::Pass) << Describe(r);
    EXPECT_TRUE(r.released);
    EXPECT_EQ(shown,
              (std::vector<std::string>{"ntp", "frequency_offset", "b_field", "s_field", "drift",
                                        "template", "ber", "fer", "jitter", "packet_delay"}));
    auto row = [&](const std::string& key) {
        return *std::find_if(r.rows.begin(), r.rows.end(),
                             [&](const ResultRow& x) { return x.key == key; });
    };
    // The profile's values come back in the bars' units.
    EXPECT_NEAR(*row("ntp").value, 24.0, 0.2);
    EXPECT_EQ(row("ntp").text, "24.0");
    EXPECT_NEAR(*row("frequency_offset").value, 12.0, 1.0);
    EXPECT_NEAR(*row("b_field").value, 330.0, 5.0);
    EXPECT_EQ(row("template").text, "10/10");

    // Reset, selection and settings first; connect after the lock; the counters restarted
    // once the link stands; every burst checks the link and captures once; release last.
    auto at = [&](const std::string& line) {
        const auto it = std::find(port.lines.begin(), port.lines.end(), line);
        EXPECT_NE(it, port.lines.end()) << line;
        return it - port.lines.begin();
    };
    EXPECT_EQ(port.lines.front(), "SYST:RESE");
    EXPECT_LT(at("CONF:TEST:TYPE DPP"), at("CONF:PP:RFPI \"0000000010\""));
    EXPECT_LT(at("SENS:CORR:LOSS 0"), at("CONF:PP:RF:LEV -60"));
    EXPECT_LT(at("CONF:SAMP:MODE CTRL"), at("PROC:CONN:SET"));
    EXPECT_LT(at("SENS:SIGN:STAT?"), at("PROC:CONN:SET"));
    EXPECT_LT(at("PROC:CONN:SET"), at("PROC:STRT:BER"));
    EXPECT_LT(at("PROC:STRT:BER"), at("PROC:SAMP:FORC"));
    EXPECT_EQ(std::count(port.lines.begin(), port.lines.end(), "PROC:SAMP:FORC"), 10);
    EXPECT_EQ(std::count(port.lines.begin(), port.lines.end(), "CALC:LIM:TRAN:MAT?"), 10);
    EXPECT_EQ(std::count(port.lines.begin(), port.lines.end(), "PROC:CONN:REL"), 1);
    EXPECT_GT(at("PROC:CONN:REL"), at("FETC:PACK:DEL?"));
    ExpectNoLinkLater(*sim);
}

// The client and the link window run one measurement cycle: for the same replies the run's
// rows carry the texts and bar values the window shows, an "INV" burst is not averaged, and a
// B-field of 402.04 kHz is judged as the "402.0" its bar reads (inside MaxOK 402.02).
TEST_F(Runner, BurstsAreJudgedOnWhatTheLinkWindowShowsForTheSameReplies) {
    const std::map<std::string, std::vector<std::string>> replies = {
        {"READ:NTP?", {"24.2", "INV", "24.4"}},
        {"READ:FREQ:OFFS?", {"12000", "12300", "12000"}},
        {"READ:BF?", {"402040,-398000"}},
        {"READ:SF?", {"100000,-80000", "x,-80000", "120000,-90000"}},
        {"READ:FREQ:DRIF?", {"INV"}},
    };
    const TestPlan plan = Plan(File("plan.ini",
                                    "[test]\nrole = PP\n[measure]\nntp = yes\n"
                                    "frequency_offset = yes\nb_field = yes\ns_field = yes\n"
                                    "drift = yes\nbursts = 3\n[limits]\nB_FieldMaxOK = 402.02\n"));
    auto sim = Tester();
    SimPort port(*sim);
    testing::ScriptedReplies script{replies};
    port.script = &script;
    const RunResult r = PlanRunner(plan, port).Run();
    ASSERT_EQ(r.rows.size(), 5u) << Describe(r);

    testing::ScriptedQueries window;
    window.script.replies = replies;
    common::MeasurementCycle cycle;
    cycle.setLength(3);
    common::LinkReadout shown;
    for (int tick = 0; tick < 3; ++tick) cycle.refresh(window, {}, {}, shown);
    using common::Bar;
    const std::pair<Bar, const std::string*> expected[] = {{Bar::NTP, &shown.ntp.text},
                                                           {Bar::FrqOff, &shown.offset.text},
                                                           {Bar::B_Field, &shown.bPos.text},
                                                           {Bar::S_Field, &shown.sField.text},
                                                           {Bar::FrqDrift, &shown.drift.text}};
    for (size_t i = 0; i < r.rows.size(); ++i) {
        const auto [bar, text] = expected[i];
        EXPECT_EQ(r.rows[i].text, *text) << r.rows[i].key;
        EXPECT_EQ(r.rows[i].value, shown.bars[static_cast<size_t>(bar)]) << r.rows[i].key;
    }
    EXPECT_EQ(r.rows[0].text, "24.3");
    EXPECT_EQ(r.rows[2].text, "402.0");
    EXPECT_TRUE(r.rows[2].pass);
    EXPECT_EQ(r.rows[3].text, "97.5");
    EXPECT_EQ(r.rows[4].text, "---");
    EXPECT_EQ(r.status, RunStatus::Fail);  // the drift gave no value
}

TEST_F(Runner, NonCompliantDeviceFailsOnExactlyWhatItBreaks) {
    const TestPlan plan = Plan(TAVRIN_PLANS "/pp.ini");
    auto sim = Tester(TAVRIN_PROFILES "/noncompliant-pp.ini");
    SimPort port(*sim);
    const RunResult r = PlanRunner(plan, port).Run();
    EXPECT_EQ(r.status, RunStatus::Fail) << Describe(r);
    EXPECT_TRUE(r.released);
    // 27.5 dBm, +65 kHz, +-420 kHz, an overshooting ramp, BER 2e-3, 1 us jitter and a delay
    // of 1.5 us break their limits. A drift of 18 kHz/ms stays inside +-43.2 kHz, and 5 %
    // frame errors sit on the FER bar's green edge (MaxOK 5 is still green).
    EXPECT_EQ(Keys(r, false),
              (std::set<std::string>{"ntp", "frequency_offset", "b_field", "s_field", "template",
                                     "ber", "jitter", "packet_delay"}));
    EXPECT_EQ(Keys(r, true), (std::set<std::string>{"drift", "fer"}));
    ExpectNoLinkLater(*sim);
}

TEST_F(Runner, CompliantFixedPartPassesTheFpPlanAndIsIdentified) {
    const TestPlan plan = Plan(TAVRIN_PLANS "/fp.ini");
    auto sim = Tester(TAVRIN_PROFILES "/compliant-fp.ini");
    SimPort port(*sim);
    std::vector<std::string> notes;
    PlanRunner runner(plan, port);
    runner.onNote = [&](const std::string& n) { notes.push_back(n); };
    const RunResult r = runner.Run();
    ASSERT_EQ(r.status, RunStatus::Pass) << Describe(r);
    ASSERT_TRUE(r.fixedPart);
    EXPECT_EQ(r.fixedPart->rfpi, "0012345678");
    EXPECT_EQ(r.fixedPart->dummySlot, 4);
    EXPECT_EQ(r.fixedPart->dummyCarrier, 5);
    EXPECT_EQ(r.rows.front().key, "rfpi");
    EXPECT_TRUE(r.rows.front().pass);
    EXPECT_EQ(Keys(r, false), std::set<std::string>{});
    EXPECT_TRUE(r.released);
    // The fixed part is identified before the link: the tester refuses it once linked.
    const auto at = [&](const std::string& line) {
        return std::find(port.lines.begin(), port.lines.end(), line) - port.lines.begin();
    };
    EXPECT_LT(at("SENS:DET:RFPI?"), at("PROC:CONN:SET"));

    // A traffic slot on the fixed part's dummy slot is moved away, and another identity fails.
    const std::string other = File(
        "fp2.ini",
        "[test]\nrole = FP\n[radio]\nrfpi = 0012345679\ntraffic_slot = 4\n[measure]\nntp = yes\n");
    auto sim2 = Tester(TAVRIN_PROFILES "/compliant-fp.ini");
    SimPort port2(*sim2);
    PlanRunner runner2(Plan(other), port2);
    runner2.onNote = [&](const std::string& n) { notes.push_back(n); };
    const RunResult r2 = runner2.Run();
    EXPECT_EQ(r2.status, RunStatus::Fail) << Describe(r2);
    EXPECT_EQ(Keys(r2, false), std::set<std::string>{"rfpi"});
    EXPECT_NE(std::find(port2.lines.begin(), port2.lines.end(), "CONF:FP:TRAF:SLOT 6"),
              port2.lines.end());
    EXPECT_EQ(notes.back(), "Traffic slot 4 is the fixed part's dummy slot: moved to 6");
}

TEST_F(Runner, DeviceThatNeverConnectsEndsInTimeWithTheLinkReleased) {
    const std::string profile =
        File("slow.ini", "[device]\nrole = pp\n[link]\nconnect_ms = 600000\n");
    const std::string planPath =
        File("plan.ini",
             "[test]\nrole = PP\n[measure]\nntp = yes\n[timeouts]\nsearch_s = 5\nconnect_s = 3\n");
    const TestPlan plan = Plan(planPath);
    auto sim = Tester(profile);
    SimPort port(*sim);
    const uint64_t start = port.NowMs();
    const RunResult r = PlanRunner(plan, port).Run();
    const uint64_t took = port.NowMs() - start;
    EXPECT_EQ(r.status, RunStatus::Error);
    EXPECT_NE(r.error.find("no link within 3 s"), std::string::npos) << Describe(r);
    EXPECT_TRUE(r.rows.empty());
    // The connect time-out and the search, plus the settings and the tester's reset.
    EXPECT_GE(took, 3000u);
    EXPECT_LT(took, 5000u + 3000u + 2000u);
    // The pending connect is withdrawn: the device must not come up linked afterwards.
    EXPECT_TRUE(r.released);
    EXPECT_EQ(port.lines.back(), "STAT:DEV?");
    EXPECT_NE(std::find(port.lines.begin(), port.lines.end(), "PROC:CONN:REL"), port.lines.end());
    ExpectNoLinkLater(*sim);

    // A device of the other role is never found: nothing to release.
    auto fp = Tester(TAVRIN_PROFILES "/compliant-fp.ini");
    SimPort fpPort(*fp);
    const RunResult none = PlanRunner(plan, fpPort).Run();
    EXPECT_EQ(none.status, RunStatus::Error);
    EXPECT_NE(none.error.find("no portable part found within 5 s"), std::string::npos)
        << none.error;
    EXPECT_EQ(std::count(fpPort.lines.begin(), fpPort.lines.end(), "PROC:CONN:SET"), 0);
}

TEST_F(Runner, RefusedCommandAndStopEndTheRunAndRelease) {
    // A setting the tester refuses ends the run before any link is asked for. The plan cannot
    // hold a carrier the tester refuses, so the port changes it on the way.
    const TestPlan plan = Plan(TAVRIN_PLANS "/pp.ini");
    auto sim = Tester();
    SimPort port(*sim);
    struct Rewriting final : TesterPort {
        SimPort& inner;
        explicit Rewriting(SimPort& i) : inner(i) {}
        int Write(const std::string& line) override {
            return inner.Write(line == "CONF:PP:TRAF:CARR 0" ? "CONF:PP:TRAF:CARR 99" : line);
        }
        std::string Read() override { return inner.Read(); }
        uint64_t NowMs() override { return inner.NowMs(); }
        void SleepMs(uint32_t ms) override { inner.SleepMs(ms); }
    } rewriting(port);
    const RunResult refused = PlanRunner(plan, rewriting).Run();
    EXPECT_EQ(refused.status, RunStatus::Error) << Describe(refused);
    EXPECT_EQ(refused.error, "\"CONF:PP:TRAF:CARR 0\" failed: -222, \"Data out of Range\"");
    EXPECT_TRUE(refused.released);
    EXPECT_EQ(std::count(port.lines.begin(), port.lines.end(), "PROC:CONN:SET"), 0);

    // A stop request during the bursts: the run ends as an error with the link released.
    auto sim2 = Tester();
    SimPort port2(*sim2);
    std::atomic<bool> stop{false};
    int forced = 0;
    struct StopAfterCaptures final : TesterPort {
        SimPort& inner;
        std::atomic<bool>& stop;
        int& forced;
        StopAfterCaptures(SimPort& i, std::atomic<bool>& s, int& f)
            : inner(i), stop(s), forced(f) {}
        int Write(const std::string& line) override {
            if (line == "PROC:SAMP:FORC" && ++forced == 3) stop = true;
            return inner.Write(line);
        }
        std::string Read() override { return inner.Read(); }
        uint64_t NowMs() override { return inner.NowMs(); }
        void SleepMs(uint32_t ms) override { inner.SleepMs(ms); }
    } stopping(port2, stop, forced);
    const RunResult stopped = PlanRunner(plan, stopping, &stop).Run();
    EXPECT_EQ(stopped.status, RunStatus::Error);
    EXPECT_EQ(stopped.error, "stopped by a signal");
    EXPECT_EQ(forced, 3);
    EXPECT_TRUE(stopped.released);
    EXPECT_EQ(std::count(port2.lines.begin(), port2.lines.end(), "PROC:CONN:REL"), 1);
    ExpectNoLinkLater(*sim2);
}

// The tester goes silent during the bursts: the run ends within the bound with the error
// verdict, the reports name the loss, and the next run passes once the tester answers again.
TEST_F(Runner, TesterLostMidRunEndsWithinTheBoundAndTheReportsNameIt) {
    const TestPlan plan = Plan(TAVRIN_PLANS "/pp.ini");
    auto sim = Tester();
    SimPort port(*sim);
    uint64_t silentAt = 0;
    size_t silentLine = 0;
    int ntp = 0;
    port.beforeWrite = [&](const std::string& line) {
        if (line == "READ:NTP?" && ++ntp == 3) {
            *sim->fault = SimulatedFault::Silent;
            silentAt = port.NowMs();
            silentLine = port.lines.size();
        }
    };
    PlanRunner runner(plan, port);
    const RunResult r = runner.Run();
    const uint64_t ended = port.NowMs();
    ASSERT_NE(silentAt, 0u);
    EXPECT_EQ(r.status, RunStatus::Error);
    EXPECT_TRUE(r.testerLost);
    EXPECT_EQ(r.error, "the tester was lost: it stopped answering (\"READ:NTP?\" failed)");
    EXPECT_FALSE(r.released);
    // The failed query and one try at the release: no error query, no waits on the tester.
    EXPECT_EQ(std::vector<std::string>(port.lines.begin() + static_cast<long>(silentLine),
                                       port.lines.end()),
              (std::vector<std::string>{"READ:NTP?", "PROC:CONN:REL"}));
    EXPECT_LE(ended - silentAt, 2 * (kExchangeTimeoutMs + 100));

    SessionReport report;
    report.plan = &plan;
    report.runs.push_back({r, "2026-12-09T03:14:05Z", "2026-12-09T03:14:09Z", 4.0});
    EXPECT_NE(JsonReport(report).find("\"error\": \"the tester was lost: it stopped answering"),
              std::string::npos);
}

// A device error first, then the tester lost during the release: both are told.
TEST_F(Runner, TesterLostDuringTheReleaseIsAddedToTheError) {
    const std::string planPath =
        File("plan.ini", "[test]\nrole = PP\n[measure]\nntp = yes\n[timeouts]\nconnect_s = 1\n");
    auto sim = Tester(File("slow.ini", "[link]\nconnect_ms = 600000\n"));
    SimPort port(*sim);
    port.beforeWrite = [&](const std::string& line) {
        if (line == "PROC:CONN:REL") *sim->fault = SimulatedFault::Silent;
    };
    const RunResult r = PlanRunner(Plan(planPath), port).Run();
    EXPECT_TRUE(r.testerLost);
    EXPECT_FALSE(r.released);
    EXPECT_EQ(r.error.rfind("no link within 1 s", 0), 0u) << r.error;
    EXPECT_NE(r.error.find("; then the tester was lost: it stopped answering "
                           "(\"PROC:CONN:REL\" failed)"),
              std::string::npos)
        << r.error;
}

}  // namespace
}  // namespace tavrin::cli
