// The command line of tavrin-cli and the cleaning of script lines, apart from any I/O.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tavrin::cli {

struct Options {
    bool help = false;
    bool version = false;
    bool simulate = false;
    std::string driver;                // empty: the library's default
    std::optional<std::string> model;  // --model N (virtual tester)
    std::optional<std::string> dut;    // --dut FILE (virtual tester)
    bool trace = false;
    std::vector<std::string> lines;     // -e LINE, in order
    std::optional<std::string> script;  // FILE, or "-" for standard input
    // "test PLAN": one production test of one device
    std::optional<std::string> testPlan;
    std::optional<std::string> reportJson, reportJunit;
    std::string serial;
    int repeat = 1;
    std::optional<std::string> results;  // --results URI; none given: the default database
    std::string station;                 // --station NAME; empty: the host name
    // "serve": the command language on a TCP socket
    bool serve = false;
    std::string listen = "127.0.0.1";
    int port = 5025;
    double idleTimeoutS = 600;  // 0: never
};

// False and a message for the user when the arguments do not make sense.
bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& message);

// The command of a script line: without a comment ("#" at the start or after a blank, outside
// quotes), without surrounding blanks, tabs outside quotes made blanks; empty when nothing
// is left.
std::string CleanLine(const std::string& raw);

// A command line as a message shows it: the service access code masked, and cut to
// kShownLineLength characters, the last one "…", when longer.
inline constexpr size_t kShownLineLength = 200;
std::string ShownLine(const std::string& line);

extern const char kUsage[];
// "tavrin-cli VERSION", the version of the build, and a line end.
extern const char kVersionText[];

// Where the prompt keeps its command history: "history" in the state folder; empty when there
// is no usable folder. Either argument may be null.
std::string HistoryPath(const char* xdgStateHome, const char* home);
// The history file of earlier versions, read once when the new one does not exist yet.
std::string OldHistoryPath(const char* home);

}  // namespace tavrin::cli
