// The tester reset's port probe, and the wait after the reset: "STAT:DEV?" once a second until
// the tester answers "IDLE" (at most ten times), the reset dialog's verdict, and a pause to read
// it.
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

    // The message when the tester refuses the port.
    static constexpr const char* kNoPortMessage =
        "No communication-port has been allocated!      \n"
        "Please check that no other application is      \n"
        "using the available port(s)      \n"
        "\n"
        "Press OK to terminate the application";

    ResetWait(TesterWorker& tester, TResetForm& dialog, const Timing& timing);

    // The port probe goes to the library directly (nothing counted or echoed); unless the
    // tester refuses the port ("INV"), the port is set and the tester reset. It reaches a
    // tester that was lost: a reset is how the user gets it back.
    void probePort(std::function<void(bool refused)> done);

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
