// The line formats of the measurement and communication logs, and the logging interval rule.
#pragma once

#include <array>
#include <optional>
#include <string>

namespace tavrin::app {

// The nine value columns of a measurement row after the time, in their order: NTP, B-field
// deviation, B-field negative deviation, offset, drift, BER, FER, negative jitter, positive
// jitter.
using MeasurementColumns = std::array<std::string, 9>;

// "%s;%6s;%7s;%7s;%7s;%7s;%9s;%9s;%4s;%4s;\n": each field right-aligned in its width and
// never cut.
std::string MeasurementRow(const std::string& time, const MeasurementColumns& columns);
// The two lines the link window writes at each opening: the mode ("%s;%9s" with "FP Mode\n"
// or "PP Mode\n"), then the column names in the rows' order and widths, so that header and
// rows read as one table.
std::string ModeHeader(const std::string& time, bool fpMode);
std::string ColumnHeader(const std::string& time);
// "%s;\t%s\n": the time and a wrapper's echo line.
std::string CommunicationLine(const std::string& time, const std::string& echo);

// The row interval in seconds from the interval field's text; none when the text is not a
// whole number above 0 (the caller then sets the default with its message).
std::optional<int> LogIntervalSeconds(const std::string& text);
inline constexpr int kDefaultLogInterval = 5;
inline constexpr const char* kLogIntervalMessage = "Error. Setting default (5)";

// The time of day as the log lines carry it.
std::string LogTimeOfDay();

}  // namespace tavrin::app
