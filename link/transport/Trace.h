// The one trace path of the link: every line carries the "Time: " stamp and goes to one sink,
// standard error unless a caller installs its own.
#pragma once

#include <cstdarg>

namespace tavrin {

using TraceSink = void (*)(const char* text, void* user);

class Trace {
public:
    // DebugTrace: formats one piece of trace with the time-of-day prefix and hands it to the
    // sink. Pieces are delivered as they are; a line may be built from several pieces.
    void operator()(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void Write(const char* format, va_list args);

    // nullptr restores standard error.
    void SetSink(TraceSink sink, void* user) {
        m_sink = sink;
        m_user = user;
    }

private:
    TraceSink m_sink = nullptr;
    void* m_user = nullptr;
};

}  // namespace tavrin
