// How often the link measurement window refreshes on the virtual tester, which paces its
// answers like an FT232R link, and how freely the user-interface thread runs meanwhile: the
// program starts on the "sim" driver, connects on the PP page with every measurement ticked,
// times the window's polls over 10 s of real time (from the first to the last poll seen) and,
// with a 1 ms heartbeat timer on the user-interface thread, the gaps between its beats
// (median, 99th percentile, worst).
// With --charts the NTP and modulation charts are open too, and every poll redraws both.
// With --silent the virtual tester then stops answering: how long until the window shows the
// loss, and the worst gap meanwhile.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/FakeTester.h"
#include "core/LibrarySession.h"
#include "core/StateButton.h"
#include "core/TesterWorker.h"
#include "display/TLinkConnectForm.h"
#include "pages/PPTestPage.h"

namespace {

// Beats of a 1 ms timer on the user-interface thread; a late beat is a thread held up.
class Heartbeat {
public:
    Heartbeat() {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            if (m_last >= 0) m_gaps.push_back((now - m_last) / 1e6);
            m_last = now;
        });
    }
    void start() {
        m_gaps.clear();
        m_last = -1;
        m_clock.start();
        m_timer.start();
    }
    void stop() { m_timer.stop(); }
    double quantile(double q) const {
        if (m_gaps.empty()) return 0;
        std::vector<double> sorted = m_gaps;
        std::sort(sorted.begin(), sorted.end());
        return sorted[static_cast<size_t>(q * static_cast<double>(sorted.size() - 1))];
    }
    double worst() const {
        return m_gaps.empty() ? 0 : *std::max_element(m_gaps.begin(), m_gaps.end());
    }
    size_t beats() const { return m_gaps.size(); }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = -1;
    std::vector<double> m_gaps;
};

// When the window's poll count changes, seen every millisecond: the rate between the first
// and the last poll of the run, so the run's ends, which fall mid-tick, do not move it by up
// to a poll (0.1 a second over 10 s).
class PollTimes {
public:
    explicit PollTimes(const tavrin::app::TLinkConnectForm& link) : m_link(link) {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const long count = m_link.pollCount();
            if (count == m_seen) return;
            m_seen = count;
            const qint64 now = m_clock.nsecsElapsed();
            if (m_first < 0) {
                m_first = count;
                m_firstNs = now;
            }
            m_last = count;
            m_lastNs = now;
        });
    }
    void start() {
        m_seen = m_link.pollCount();
        m_first = -1;
        m_clock.start();
        m_timer.start();
    }
    void stop() { m_timer.stop(); }
    long polls() const { return m_first < 0 ? 0 : m_last - m_first; }
    double seconds() const { return m_first < 0 ? 0 : (m_lastNs - m_firstNs) / 1e9; }
    double rate() const { return polls() > 0 ? polls() / seconds() : 0; }

private:
    const tavrin::app::TLinkConnectForm& m_link;
    QTimer m_timer;
    QElapsedTimer m_clock;
    long m_seen = 0, m_first = -1, m_last = 0;
    qint64 m_firstNs = 0, m_lastNs = 0;
};

void RunFor(int ms) {
    // The program's own event loop: the tests' waiting helper sleeps 10 ms between rounds. A
    // precise timer: a coarse one may end a 10 s run half a second early.
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tavrin::app;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    int seconds = 10;
    bool charts = false;
    bool silent = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--charts") == 0)
            charts = true;
        else if (std::strcmp(argv[i], "--silent") == 0)
            silent = true;
        else
            seconds = std::atoi(argv[i]);
    }
    if (!SelectDriver("sim")) {
        std::fprintf(stderr, "the virtual tester cannot be selected\n");
        return 1;
    }
    LibraryPort port;
    testing::Program program({"tavrin"}, &port);
    if (!program.started(30000)) {
        std::fprintf(stderr, "the program did not start\n");
        return 1;
    }
    TWenloForm& form = *program.form;
    form.PageControl->setCurrentWidget(form.PP_TestTabSheet);
    program.runUntil([&] { return program.settled(); });
    form.PP_TestTabSheet->ConnectPPButton->click();
    TLinkConnectForm& link = form.linkForm();
    if (!program.runUntil([&] { return link.NTPEdit->text() != "---"; }, 10000)) {
        std::fprintf(stderr, "the link did not come up\n");
        return 1;
    }
    if (charts) {
        link.Show_NTPButton->click();
        link.Show_ModulationButton->click();
    }
    RunFor(500);  // the charts' first redraws and window mapping are not the steady state

    Heartbeat heartbeat;
    PollTimes pollTimes(link);
    pollTimes.start();
    heartbeat.start();
    RunFor(seconds * 1000);
    heartbeat.stop();
    pollTimes.stop();
    const long polls = pollTimes.polls();
    const double elapsed = pollTimes.seconds();
    const double rate = pollTimes.rate();
    const double p99 = heartbeat.quantile(0.99);
    const double worst = heartbeat.worst();
    std::printf(
        "link window, PP, every measurement ticked%s: %ld polls in %.2f s = %.2f per second\n"
        "user-interface heartbeat (1 ms timer, %zu beats): gap median %.2f ms, 99th percentile "
        "%.2f ms, worst %.2f ms\n",
        charts ? ", both charts open" : "", polls, elapsed, rate, heartbeat.beats(),
        heartbeat.quantile(0.5), p99, worst);
    bool met = rate >= 7.0 && p99 <= 16.0 && worst <= 50.0;

    if (silent) {
        form.tester().run([](CommandWrappers&) { ConfigureSimulatedTester("fault", "silent"); },
                          TesterWorker::Reach::Always);
        heartbeat.start();
        QElapsedTimer untilShown;
        untilShown.start();
        program.runUntil([&] { return link.showsTesterLost(); }, 30000);
        const double shownAfter = untilShown.elapsed() / 1000.0;
        RunFor(3000);  // the probe runs; the window stays free
        heartbeat.stop();
        std::printf(
            "tester silent: loss shown after %.2f s; heartbeat meanwhile (%zu beats): median "
            "%.2f ms, 99th percentile %.2f ms, worst %.2f ms\n",
            shownAfter, heartbeat.beats(), heartbeat.quantile(0.5), heartbeat.quantile(0.99),
            heartbeat.worst());
        met = met && link.showsTesterLost() && shownAfter <= 3.0 && heartbeat.worst() <= 50.0;
        form.tester().run([](CommandWrappers&) { ConfigureSimulatedTester("fault", ""); },
                          TesterWorker::Reach::Always);
    }
    form.PP_TestTabSheet->ConnectPPButton->click();
    return met ? 0 : 2;
}
