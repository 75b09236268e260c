// The one trace path of the link: every line carries the "Time: " stamp and goes to one sink.
// A library stays quiet unless asked: without a sink the lines go where the environment
// variable TAVRIN_TRACE says ("stderr" or a file path), and nowhere when it is unset.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <memory>

namespace tavrin {

using TraceSink = void (*)(const char* text, void* user);

class Trace {
public:
    // DebugTrace: formats one piece of trace with the time-of-day prefix and hands it to the
    // sink. Pieces are delivered as they are; a line may be built from several pieces.
    void operator()(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void Write(const char* format, va_list args);

    // nullptr restores the default: the TAVRIN_TRACE destination, or nothing.
    void SetSink(TraceSink sink, void* user) {
        m_sink = sink;
        m_user = user;
    }

private:
    // The TAVRIN_TRACE destination, looked up at the first line that has no sink to go to.
    FILE* DefaultDestination();

    TraceSink m_sink = nullptr;
    void* m_user = nullptr;
    bool m_defaultLookedUp = false;
    FILE* m_default = nullptr;
    std::unique_ptr<FILE, int (*)(FILE*)> m_file{nullptr, &std::fclose};
};

}  // namespace tavrin
