// Line framing and the line rules of the network server.
#include "ScpiLines.h"

#include <algorithm>

#include "CliOptions.h"

namespace tavrin::cli {

void LineFramer::Feed(std::string_view bytes) {
    while (!bytes.empty()) {
        const size_t end = bytes.find('\n');
        const std::string_view piece = bytes.substr(0, end);
        // One byte more than the bound may be the "\r" of "\r\n".
        if (!m_discarding && m_partial.size() + piece.size() > m_max + 1) {
            m_discarding = true;
            m_partial.clear();
            m_partial.shrink_to_fit();
        }
        if (!m_discarding) m_partial.append(piece);
        if (end == std::string_view::npos) return;
        bytes.remove_prefix(end + 1);
        if (!m_partial.empty() && m_partial.back() == '\r') m_partial.pop_back();
        ReceivedLine line;
        line.tooLong = m_discarding || m_partial.size() > m_max;
        if (!line.tooLong) line.text = std::move(m_partial);
        m_partial.clear();
        m_discarding = false;
        m_readyBytes += line.text.size();
        m_ready.push_back(std::move(line));
    }
}

std::optional<ReceivedLine> LineFramer::Next() {
    if (m_ready.empty()) return std::nullopt;
    ReceivedLine line = std::move(m_ready.front());
    m_ready.pop_front();
    m_readyBytes -= line.text.size();
    return line;
}

std::string CommandOf(const std::string& received) {
    std::string line = received;
    std::replace(line.begin(), line.end(), '\0', '\x1A');
    return CleanLine(line);
}

bool HoldsQuery(std::string_view line) {
    bool quoted = false;
    for (const char c : line) {
        if (c == '"') quoted = !quoted;
        if (c == '?' && !quoted) return true;
    }
    return false;
}

std::string ReplyLine(std::string_view answer) {
    std::string reply(answer);
    std::replace(reply.begin(), reply.end(), '\n', ' ');
    std::replace(reply.begin(), reply.end(), '\r', ' ');
    return reply + '\n';
}

}  // namespace tavrin::cli
