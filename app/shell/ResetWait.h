// The wait after a tester reset: "STAT:DEV?" once a second until the tester answers "IDLE"
// (at most ten times), the reset dialog's verdict, and a pause to read it.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "core/Timing.h"

namespace tavrin::app {

class TesterWorker;
class TResetForm;

class ResetWait : public QObject {
    Q_OBJECT
public:
    static constexpr int kPollInterval = 1000;
    static constexpr int kPause = 1500;
    static constexpr int kPollLimit = 10;

    ResetWait(TesterWorker& tester, TResetForm& dialog, const Timing& timing);

    // Starts the polls. In debug mode the wait reaches the tester even when it never
    // answers "IDLE".
    void start(bool debugMode);
    // Ends the wait for good: no poll more, no verdict (the program is ending).
    void stop();
    // The wait's end: at once when it did not reach the tester, after the pause when it did.
    std::function<void(bool reachedTester)> onEnded;

private:
    void tick();
    void polled(const std::string& reply);
    void ended();

    TesterWorker& m_tester;
    TResetForm& m_dialog;
    const Timing& m_timing;
    std::unique_ptr<QTimer> m_timer;
    std::unique_ptr<QTimer> m_pause;
    int m_polls = 0;
    bool m_idle = false;
    bool m_polling = false;  // a "STAT:DEV?" is on its way
    bool m_debugMode = false;
    bool m_stopped = false;
};

}  // namespace tavrin::app
