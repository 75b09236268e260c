// The send and read wrappers every window talks to the tester through: they count failed
// writes and, in debug mode, echo the traffic to the console and the communication log.
#pragma once

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

class CommandWrappers {
public:
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
    int16_t directWrite(const char* text) { return m_port->write(text); }
    int16_t directRead(char* buffer) { return m_port->read(buffer); }

    // Sends and reads back in one go; for queries whose answer is used as text.
    std::string query(const char* text);

    void showErrorCount();

    bool communicationEnabled = false;
    bool debugMode = false;
    int32_t writeErrorCount = 0;

private:
    void echo(const std::string& line);

    TesterPort* m_port;
    EchoTargets m_echo;
};

}  // namespace tavrin::app
