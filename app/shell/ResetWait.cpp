// The wait after a tester reset.
#include "ResetWait.h"

#include <cstring>

#include "core/TesterWorker.h"
#include "dialogs/TResetForm.h"

namespace tavrin::app {

ResetWait::ResetWait(TesterWorker& tester, TResetForm& dialog, const Timing& timing)
    : m_tester(tester), m_dialog(dialog), m_timing(timing) {}

void ResetWait::probePort(std::function<void(bool refused)> done) {
    m_tester.ask(
        [](CommandWrappers& w) {
            char reply[kReplyBufferSize] = {};
            w.directWrite("CONF:COMM:PORT USB");
            w.directRead(reply);
            if (std::strcmp(reply, "INV") == 0) return true;
            w.sendCommand("CONF:COMM:PORT USB");
            w.writeErrorCount = 0;
            w.sendCommand("SYST:RESET");
            return false;
        },
        this, std::move(done), TesterWorker::Reach::Always);
}

void ResetWait::start(bool debugMode) {
    m_debugMode = debugMode;
    m_stopped = false;
    m_timer = std::make_unique<QTimer>();
    m_timer->setInterval(m_timing.ms(kPollInterval));
    connect(m_timer.get(), &QTimer::timeout, this, &ResetWait::tick);
    m_polls = 0;
    m_idle = false;
    m_polling = false;
    m_timer->start();
}

void ResetWait::stop() {
    m_stopped = true;
    m_polls = kPollLimit;
    if (m_timer) m_timer->stop();
    if (m_pause) m_pause->stop();
}

void ResetWait::tick() {
    // A tick after the last poll asks nothing more, and a poll that waits out a silent
    // tester's time-out is not joined by another.
    if (m_polls >= kPollLimit || m_polling) return;
    m_polling = true;
    m_tester.ask(
        [](CommandWrappers& w) {
            char reply[kReplyBufferSize] = {};
            w.sendCommand("STAT:DEV?");
            w.readResponse(reply);
            return std::string(reply);
        },
        this, [this](std::string reply) { polled(reply); }, TesterWorker::Reach::Always);
}

void ResetWait::polled(const std::string& reply) {
    m_polling = false;
    if (m_stopped || !m_timer || m_polls >= kPollLimit) return;
    if (reply != "IDLE") {
        ++m_polls;
    } else {
        m_timer->stop();
        m_idle = true;
        m_polls = kPollLimit;
    }
    if (m_polls >= kPollLimit) ended();
}

void ResetWait::ended() {
    if (!(m_idle || m_debugMode)) {
        m_timer.reset();
        if (onEnded) onEnded(false);
        return;
    }
    if (m_timer->isActive()) {
        m_dialog.setStatus("No Connection", Qt::red);
    } else {
        m_dialog.setStatus("OK", Qt::green);
    }
    m_timer.reset();
    m_pause = std::make_unique<QTimer>();
    m_pause->setSingleShot(true);
    connect(m_pause.get(), &QTimer::timeout, this, [this] {
        // The timer is inside its own signal here: let the event loop destroy it.
        m_pause.release()->deleteLater();
        if (m_stopped) return;
        if (onEnded) onEnded(true);
    });
    m_pause->start(m_timing.ms(kPause));
}

}  // namespace tavrin::app
