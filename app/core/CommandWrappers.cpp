// The command wrappers and the echo format.
#include "CommandWrappers.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <cstdio>
#include <cstring>

#include "common/CommandMask.h"

namespace tavrin::app {

std::string FormatEcho(const char* arrow, const char* text, int result) {
    char buffer[kEchoBufferSize];
    const int needed = std::snprintf(buffer, sizeof buffer, "%s\"%s\" (%d)", arrow, text, result);
    if (needed >= 0 && static_cast<size_t>(needed) < sizeof buffer) return buffer;

    // Too long: keep the arrow and the result and cut the text visibly, so a reader never
    // mistakes a cut line for the whole command.
    char tail[32];
    std::snprintf(tail, sizeof tail, "...\" (%d)", result);
    const size_t head = std::strlen(arrow) + 1;  // arrow and opening quote
    const size_t room = sizeof buffer - 1 - head - std::strlen(tail);
    std::string line(arrow);
    line += '"';
    line.append(text, room);
    line += tail;
    return line;
}

bool IsServiceLockLine(const char* text) {
    // SHA-256 of the exact service-lock line "SYST:PASS" with the quoted access code.
    static const QByteArray kDigest =
        QByteArray::fromHex("e06e93725daba93bea8ee17abaf9c9e889a21aeb4ab9da64da3fa9d4bbfd8da9");
    return QCryptographicHash::hash(QByteArrayView(text, std::strlen(text)),
                                    QCryptographicHash::Sha256) == kDigest;
}

std::string ErrorCountText(int32_t count) {
    return "ZelkWrt Error count = " + std::to_string(count);
}

int16_t CommandWrappers::write(const char* text) {
    m_lastNotSent = m_lost && !m_reach;
    if (m_lastNotSent) return kNotSent;
    const int16_t result = m_port->write(text);
    m_lost = m_port->testerLost();
    return result;
}

int16_t CommandWrappers::directWrite(const char* text) {
    return write(text);
}

int16_t CommandWrappers::directRead(char* buffer) {
    if (m_lastNotSent) {
        std::memset(buffer, 0, kReplyBufferSize);
        return 0;
    }
    const int16_t length = m_port->read(buffer);
    m_lost = m_port->testerLost();
    return length;
}

int16_t CommandWrappers::sendCommand(const char* text) {
    if (!communicationEnabled) return 0;
    const int16_t result = write(text);
    if (result != 0) ++writeErrorCount;
    if (!debugMode || IsServiceLockLine(text)) return result;
    showErrorCount();
    // Any other line with a service-lock command is echoed and logged with its code masked.
    echo(FormatEcho("-->", common::MaskServiceCode(text).c_str(), result));
    return result;
}

int16_t CommandWrappers::readResponse(char* buffer) {
    const int16_t result = directRead(buffer);
    if (debugMode && std::strcmp(buffer, kServiceLockAnswer) != 0)
        echo(FormatEcho("<--", buffer, result));
    return result;
}

std::string CommandWrappers::query(const char* text) {
    char buffer[kReplyBufferSize] = {};
    sendCommand(text);
    readResponse(buffer);
    buffer[kReplyBufferSize - 1] = '\0';
    return buffer;
}

int32_t CommandWrappers::forceCapture() {
    if (m_lost && !m_reach) return 0;
    return m_port->forceCapture();
}

int16_t CommandWrappers::readPowerSample(uint16_t index) {
    if (m_lost && !m_reach) return TesterPort::kPowerOutOfRange;
    return m_port->readPowerSample(index);
}

int16_t CommandWrappers::readDeviationSample(uint16_t index) {
    if (m_lost && !m_reach) return 0;
    return m_port->readDeviationSample(index);
}

void CommandWrappers::showErrorCount() {
    if (m_echo.showErrorCount) m_echo.showErrorCount(ErrorCountText(writeErrorCount));
}

void CommandWrappers::echo(const std::string& line) {
    if (m_echo.appendLine) m_echo.appendLine(line);
    if (m_echo.logLine) m_echo.logLine(line);
}

}  // namespace tavrin::app
