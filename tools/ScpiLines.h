// The network side of the command language: cutting a byte stream into bounded lines, and the
// rules that turn a received line into a command line and an answer into a reply line.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace tavrin::cli {

// The longest line a client may send, without its "\n" or "\r\n".
inline constexpr size_t kMaxLineBytes = 64 * 1024;

struct ReceivedLine {
    std::string text;      // without "\n" or "\r\n"; empty when tooLong
    bool tooLong = false;  // the line was longer than the bound and is gone
};

// Cuts bytes into lines at "\n" (a "\r" before it is dropped). A line beyond the bound is
// discarded as it arrives, so no more than the bound is ever held for it, and is handed out
// as one tooLong line when its end comes.
class LineFramer {
public:
    explicit LineFramer(size_t maxLineBytes = kMaxLineBytes) : m_max(maxLineBytes) {}

    void Feed(std::string_view bytes);
    std::optional<ReceivedLine> Next();
    bool HasLine() const { return !m_ready.empty(); }
    // Complete lines waiting to be taken, and their bytes (the line being received is held
    // apart, within the bound).
    size_t WaitingLines() const { return m_ready.size(); }
    size_t WaitingBytes() const { return m_readyBytes; }
    // Bytes held for the line being received: never more than the bound and its "\r".
    size_t PartialBytes() const { return m_partial.size(); }

private:
    size_t m_max;
    std::string m_partial;
    bool m_discarding = false;
    std::deque<ReceivedLine> m_ready;
    size_t m_readyBytes = 0;
};

// The command line a received line stands for, as tavrin-cli takes a script line (comment,
// surrounding blanks and tabs as CleanLine treats them), with every NUL byte made SUB (0x1A):
// the library reads a C string, and a NUL would otherwise cut the line and run its front part.
// Empty when nothing is left to run.
std::string CommandOf(const std::string& received);

// True when the line holds a "?" outside quotes: it is answered with exactly one line.
bool HoldsQuery(std::string_view line);

// The reply line of an answer: the answer with any line break in it made a blank, and "\n".
std::string ReplyLine(std::string_view answer);

}  // namespace tavrin::cli
