// Trace formatting: "Time: hh:mm:ss.mmm: " and the caller's text, cut at 4095 characters; the
// TAVRIN_TRACE destination when no sink is installed.
#include "Trace.h"

#include <sys/time.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace tavrin {

void Trace::operator()(const char* format, ...) {
    va_list args;
    va_start(args, format);
    Write(format, args);
    va_end(args);
}

void Trace::Write(const char* format, va_list args) {
    FILE* destination = m_sink ? nullptr : DefaultDestination();
    // Nobody listens: no formatting, no clock.
    if (!m_sink && !destination) return;
    char text[4096];
    timeval tv{};
    gettimeofday(&tv, nullptr);
    tm local{};
    time_t seconds = tv.tv_sec;
    localtime_r(&seconds, &local);
    int n = std::snprintf(text, sizeof text, "Time: %02d:%02d:%02d.%03d: ", local.tm_hour,
                          local.tm_min, local.tm_sec, static_cast<int>(tv.tv_usec / 1000));
    if (n > 0 && static_cast<size_t>(n) < sizeof text)
        std::vsnprintf(text + n, sizeof text - n, format, args);
    text[sizeof text - 1] = '\0';
    if (m_sink) {
        m_sink(text, m_user);
    } else {
        std::fputs(text, destination);
    }
}

FILE* Trace::DefaultDestination() {
    if (m_defaultLookedUp) return m_default;
    m_defaultLookedUp = true;
    const char* name = std::getenv("TAVRIN_TRACE");
    if (!name || !*name) return nullptr;
    if (std::strcmp(name, "stderr") == 0) return m_default = stderr;
    // Appended, so that several runs and several processes share one file; flushed per line,
    // so that the lines before a crash are there.
    m_file.reset(std::fopen(name, "ae"));
    if (!m_file) {
        // The user asked for a trace: say once why there is none.
        std::fprintf(stderr, "TavrinLink: TAVRIN_TRACE: cannot open %s: %s\n", name,
                     std::strerror(errno));
        return nullptr;
    }
    std::setvbuf(m_file.get(), nullptr, _IOLBF, 0);
    return m_default = m_file.get();
}

}  // namespace tavrin
