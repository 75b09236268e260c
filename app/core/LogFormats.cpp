// Log line formats.
#include "LogFormats.h"

#include <QTime>
#include <charconv>
#include <cstdio>

namespace tavrin::app {
namespace {

constexpr const char* kRowFormat = "%s;%6s;%7s;%7s;%7s;%7s;%9s;%9s;%4s;%4s;\n";

std::string Format(const char* format, const std::string& time, const MeasurementColumns& c) {
    const auto write = [&](char* out, size_t size) {
        return std::snprintf(out, size, format, time.c_str(), c[0].c_str(), c[1].c_str(),
                             c[2].c_str(), c[3].c_str(), c[4].c_str(), c[5].c_str(), c[6].c_str(),
                             c[7].c_str(), c[8].c_str());
    };
    // Sized from the texts themselves: wide fields are never cut.
    const int needed = write(nullptr, 0);
    if (needed <= 0) return {};
    std::string line(static_cast<size_t>(needed) + 1, '\0');
    write(line.data(), line.size());
    line.resize(static_cast<size_t>(needed));
    return line;
}

}  // namespace

std::string MeasurementRow(const std::string& time, const MeasurementColumns& columns) {
    return Format(kRowFormat, time, columns);
}

std::string ModeHeader(const std::string& time, bool fpMode) {
    char line[128];
    std::snprintf(line, sizeof line, "%s;%9s", time.c_str(), fpMode ? "FP Mode\n" : "PP Mode\n");
    return line;
}

std::string ColumnHeader(const std::string& time) {
    // The names of the row's columns, in the row's order.
    return Format(
        kRowFormat, time,
        {"NTP", "+FrqDev", "-FrqDev", "FrqOff", "FrqDft", "BER", "FER", "-Jitter", "+Jitter"});
}

std::string CommunicationLine(const std::string& time, const std::string& echo) {
    return time + ";\t" + echo + "\n";
}

std::optional<int> LogIntervalSeconds(const std::string& text) {
    int seconds = 0;
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(text.data(), last, seconds);
    // An interval of 0 or below would fire the row timer without pause.
    if (error != std::errc() || end != last || seconds <= 0) return std::nullopt;
    return seconds;
}

std::string LogTimeOfDay() {
    return QTime::currentTime().toString("HH:mm:ss").toStdString();
}

}  // namespace tavrin::app
