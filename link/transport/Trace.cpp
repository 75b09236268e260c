// Trace formatting: "Time: hh:mm:ss.mmm: " and the caller's text, cut at 4095 characters.
#include "Trace.h"

#include <sys/time.h>

#include <cstdio>
#include <ctime>

namespace tavrin {

void Trace::operator()(const char* format, ...) {
    va_list args;
    va_start(args, format);
    Write(format, args);
    va_end(args);
}

void Trace::Write(const char* format, va_list args) {
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
        std::fputs(text, stderr);
    }
}

}  // namespace tavrin
