// The send and read wrappers every request of the tester thread talks to the tester through:
// they count failed writes, in debug mode echo the traffic to the console and the
// communication log, and keep track of a tester that stopped answering.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "TesterPort.h"

namespace tavrin::app {

// The service-lock line and its answer are never echoed, logged or counted on the status bar.
// The program knows that line only by its digest, so the access code lies in no binary.
bool IsServiceLockLine(const char* text);
inline constexpr const char* kServiceLockAnswer = "PASSWORD OK!";
// Echo lines are formatted into a buffer of this size, terminator included.
inline constexpr size_t kEchoBufferSize = 200;

// "-->\"%s\" (%d)" or "<--\"%s\" (%d)"; a text too long for the buffer is cut and ends in "...".
// The caller masks a command line first (common::MaskServiceCode).
std::string FormatEcho(const char* arrow, const char* text, int result);
// The status-bar text of the console: "ZelkWrt Error count = N".
std::string ErrorCountText(int32_t count);

// Where the debug echo goes. Any member may stay empty.
struct EchoTargets {
    std::function<void(const std::string&)> showErrorCount;  // console status bar, panel 0
    std::function<void(const std::string&)> appendLine;      // console memo
    std::function<void(const std::string&)> logLine;         // communication log, when ticked
};

// Runs on the tester thread only (see TesterWorker).
class CommandWrappers {
public:
    // The result of a line that was not sent because the tester is lost.
    static constexpr int16_t kNotSent = 1;

    explicit CommandWrappers(TesterPort& port) : m_port(&port) {}

    // Points the wrappers at another port (a recording fake in tests).
    void setPort(TesterPort& port) { m_port = &port; }
    TesterPort& port() { return *m_port; }
    void setEchoTargets(EchoTargets targets) { m_echo = std::move(targets); }

    // 0 without sending while communication is disabled; else the result of the write.
    int16_t sendCommand(const char* text);
    // Reads the reply into `buffer` (kReplyBufferSize bytes) and returns its length.
    int16_t readResponse(char* buffer);

    // The documented direct calls: nothing is counted or echoed.
    int16_t directWrite(const char* text);
    int16_t directRead(char* buffer);

    // Sends and reads back in one go; for queries whose answer is used as text.
    std::string query(const char* text);

    // The charts' documented direct calls; nothing is sampled from a lost tester.
    int32_t forceCapture();
    int16_t readPowerSample(uint16_t index);
    int16_t readDeviationSample(uint16_t index);

    void showErrorCount();

    // The last exchange found the tester silent or gone. While it is lost, lines are not sent
    // (they fail at once with kNotSent and an empty reply) unless a Reach is in force, so a
    // pulled cable costs one time-out, not one per queued line.
    bool testerLost() const { return m_lost; }
    // While one lives, lines go out to a lost tester too: the probe and the reset.
    class Reach {
    public:
        explicit Reach(CommandWrappers& w) : m_w(w), m_before(w.m_reach) { w.m_reach = true; }
        ~Reach() { m_w.m_reach = m_before; }
        Reach(const Reach&) = delete;
        Reach& operator=(const Reach&) = delete;

    private:
        CommandWrappers& m_w;
        bool m_before;
    };

    bool communicationEnabled = false;
    bool debugMode = false;
    // Read by the user-interface thread too.
    std::atomic<int32_t> writeErrorCount = 0;

private:
    void echo(const std::string& line);
    int16_t write(const char* text);

    TesterPort* m_port;
    EchoTargets m_echo;
    bool m_lost = false;
    bool m_reach = false;
    bool m_lastNotSent = false;  // the last write was held back: its read gives nothing
};

}  // namespace tavrin::app
