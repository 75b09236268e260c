// Option parsing and script-line cleaning for tavrin-cli.
#include "CliOptions.h"

#include <cstdlib>

#include "common/CommandMask.h"
#include "common/StateFolder.h"

namespace tavrin::cli {

const char kUsage[] =
    // One line per form, "or:" before the second: the manual page's synopsis and the shell
    // completion's subcommands are read from these lines.
    "Usage: tavrin-cli [OPTION]... [-e LINE]... [FILE | -]\n"
    "  or:  tavrin-cli [OPTION]... test PLAN [TEST OPTION]...\n"
    "  or:  tavrin-cli [OPTION]... serve [SERVE OPTION]...\n"
    "  or:  tavrin-cli results COMMAND [RESULTS OPTION]...\n"
    "\n"
    "Runs TavrinLink command lines against the tester: first every -e LINE, then the lines of\n"
    "FILE (\"-\" or no FILE and no -e: standard input; an interactive prompt on a terminal).\n"
    "Answers go to standard output; a failed line and its \"SYST:ERR?\" text to standard error.\n"
    "\n"
    "Options:\n"
    "  --simulate      use the virtual tester instead of a real one (driver \"sim\")\n"
    "  --driver NAME   USB driver: libftdi (default), d2xx, sim, or the path of a library\n"
    "                  with the D2XX functions\n"
    "  --model N       virtual tester model code 10 to 13 (with --simulate)\n"
    "  --dut FILE      device-under-test profile of the virtual tester (with --simulate)\n"
    "  --trace         show the link's trace lines on standard error\n"
    "  -e LINE         run LINE (may be given several times)\n"
    "  -h, --help      show this text and exit\n"
    "  --version       show the version and exit\n"
    "\n"
    "test PLAN runs the production test that the plan file describes on one device, prints a\n"
    "table of the measurements as they are judged and the overall verdict. Test options:\n"
    "  --serial TEXT       the device's serial number, for the reports\n"
    "  --repeat N          test the same device N times (1 to 1000) and print the mean,\n"
    "                      standard deviation, minimum and maximum of each measurement\n"
    "  --report-json FILE  write the report as JSON\n"
    "  --report-junit FILE write the report as JUnit XML, one test case per measurement\n"
    "  --results URI       where the run is recorded: an SQLite file (default\n"
    "                      $XDG_DATA_HOME/tavrin/results.db), postgresql://... or none\n"
    "  --station NAME      the station's name in the record (default: the host name)\n"
    "\n"
    "serve offers the command language on a TCP socket, one line per command, an answer line\n"
    "per query (VISA resource TCPIP::ADDR::PORT::SOCKET), to one client at a time, until\n"
    "SIGINT or SIGTERM.\n"
    "  --listen ADDR          address to listen on (default 127.0.0.1: this machine only);\n"
    "                         any other address lets other machines drive the tester, so\n"
    "                         give one only when the network is meant to reach it\n"
    "  --port N               TCP port (default 5025; 0: a free port, shown at start)\n"
    "  --idle-timeout SECONDS drop a client silent this long (default 600; 0: never)\n"
    "Exit status of serve: 0 after SIGINT or SIGTERM, 1 when it cannot listen, 2 and 3 as\n"
    "below.\n"
    "\n"
    "results COMMAND reads the recorded runs back: summary, history SERIAL, or export\n"
    "--format csv (\"tavrin-cli results --help\" lists its options).\n"
    "\n"
    "Environment:\n"
    "  TAVRIN_TRACE    without --trace, where the link's trace lines go: \"stderr\" or a\n"
    "                  file they are appended to (unset: nowhere)\n"
    "  XDG_STATE_HOME  the prompt's history is $XDG_STATE_HOME/tavrin/history\n"
    "                  (~/.local/state/tavrin/history when unset)\n"
    "\n"
    "In scripts, \"#\" starts a comment (outside quotes) and blank lines are skipped.\n"
    "Exit status: 0 all lines succeeded (test: passed), 1 a line failed (test: error, the\n"
    "test could not be completed), 2 bad arguments or an unreadable script or plan, 3 no\n"
    "tester (driver, simulation settings or \"CONF:COMM:PORT USB\" failed) or the tester\n"
    "was lost (a script stops there), 4 the test failed; 8 is added when the result could\n"
    "not reach its database and waits in the spool.\n"
    "\"tavrin-cli results --help\" describes the results command.\n";

namespace {

// --listen, --port and --idle-timeout of "serve".
bool ServeOption(const std::string& name, const std::string& v, Options& options,
                 std::string& message) {
    if (name == "--listen") {
        options.listen = v;
        return true;
    }
    if (name == "--port") {
        const bool digits =
            !v.empty() && v.size() <= 5 && v.find_first_not_of("0123456789") == std::string::npos;
        options.port = digits ? std::stoi(v) : -1;
        if (options.port < 0 || options.port > 65535) {
            message = "--port takes a port from 0 to 65535, not " + v;
            return false;
        }
        return true;
    }
    char* end = nullptr;
    const double seconds = std::strtod(v.c_str(), &end);
    // Up to a week; "." is the decimal point, as everywhere in tavrin-cli.
    if (v.empty() || *end != '\0' || !(seconds >= 0 && seconds <= 604800) ||
        v.find_first_not_of("0123456789.") != std::string::npos) {
        message = "--idle-timeout takes seconds from 0 (never) to 604800, not " + v;
        return false;
    }
    options.idleTimeoutS = seconds;
    return true;
}

}  // namespace

const char kVersionText[] = "tavrin-cli " TAVRIN_VERSION "\n";

bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& message) {
    auto value = [&](size_t& i, const std::string& name, std::string& out) {
        if (i + 1 >= args.size()) {
            message = name + " needs a value";
            return false;
        }
        out = args[++i];
        return true;
    };
    bool endOfOptions = false;
    std::string testOption;   // an option that only "test PLAN" takes
    std::string serveOption;  // an option that only "serve" takes
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string v;
        if (!endOfOptions && (a == "-h" || a == "--help")) {
            options.help = true;
        } else if (!endOfOptions && a == "--version") {
            options.version = true;
        } else if (!endOfOptions && a == "--simulate") {
            options.simulate = true;
        } else if (!endOfOptions && a == "--driver") {
            if (!value(i, a, options.driver)) return false;
        } else if (!endOfOptions && a == "--model") {
            if (!value(i, a, v)) return false;
            options.model = v;
        } else if (!endOfOptions && a == "--dut") {
            if (!value(i, a, v)) return false;
            options.dut = v;
        } else if (!endOfOptions && a == "--trace") {
            options.trace = true;
        } else if (!endOfOptions && a == "--serial") {
            if (!value(i, a, options.serial)) return false;
            testOption = a;
        } else if (!endOfOptions && (a == "--report-json" || a == "--report-junit")) {
            if (!value(i, a, v)) return false;
            (a == "--report-json" ? options.reportJson : options.reportJunit) = v;
            testOption = a;
        } else if (!endOfOptions && (a == "--results" || a == "--station")) {
            if (!value(i, a, v)) return false;
            if (a == "--results") {
                options.results = v;
            } else {
                options.station = v;
            }
            testOption = a;
        } else if (!endOfOptions && a == "--repeat") {
            if (!value(i, a, v)) return false;
            const bool digits = !v.empty() && v.size() <= 4 &&
                                v.find_first_not_of("0123456789") == std::string::npos;
            options.repeat = digits ? std::stoi(v) : 0;
            if (options.repeat < 1 || options.repeat > 1000) {
                message = "--repeat takes a count from 1 to 1000, not " + v;
                return false;
            }
            testOption = a;
        } else if (!endOfOptions && (a == "--listen" || a == "--port" || a == "--idle-timeout")) {
            if (!value(i, a, v)) return false;
            if (!ServeOption(a, v, options, message)) return false;
            serveOption = a;
        } else if (!endOfOptions && a == "-e") {
            if (!value(i, a, v)) return false;
            options.lines.push_back(v);
        } else if (!endOfOptions && a == "--") {
            endOfOptions = true;
        } else if (!endOfOptions && a.size() > 1 && a[0] == '-') {
            message = "unknown option " + a;
            return false;
        } else if (!options.script && !options.serve && a == "serve") {
            options.serve = true;
        } else if (options.serve) {
            message = "serve takes no file, got " + a;
            return false;
        } else if (options.script && *options.script == "test" && !options.testPlan) {
            // "test PLAN"; a script file named "test" alone still runs as a script.
            options.testPlan = a;
        } else if (options.testPlan) {
            message = "test takes one plan file, got " + *options.testPlan + " and " + a;
            return false;
        } else if (options.script) {
            message = "only one script file, got " + *options.script + " and " + a;
            return false;
        } else {
            options.script = a;
        }
    }
    if (options.testPlan) {
        options.script.reset();
        if (!options.lines.empty()) {
            message = "test PLAN runs a plan: -e lines do not go with it";
            return false;
        }
    } else if (!testOption.empty()) {
        message = testOption + " belongs to test PLAN";
        return false;
    }
    if (options.serve && !options.lines.empty()) {
        message = "serve takes its lines from the network: -e lines do not go with it";
        return false;
    }
    if (!serveOption.empty() && !options.serve) {
        message = serveOption + " belongs to serve";
        return false;
    }
    if (options.simulate && !options.driver.empty()) {
        message = "--simulate and --driver exclude each other";
        return false;
    }
    if ((options.model || options.dut) && !options.simulate && options.driver != "sim") {
        message = "--model and --dut set up the virtual tester: add --simulate";
        return false;
    }
    return true;
}

std::string CleanLine(const std::string& raw) {
    size_t end = raw.size();
    bool quoted = false;
    for (size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '"') quoted = !quoted;
        if (c == '#' && !quoted && (i == 0 || raw[i - 1] == ' ' || raw[i - 1] == '\t')) {
            end = i;
            break;
        }
    }
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    size_t begin = 0;
    while (begin < end && blank(raw[begin])) ++begin;
    while (end > begin && blank(raw[end - 1])) --end;
    std::string line = raw.substr(begin, end - begin);
    // The command language knows only blanks between words.
    quoted = false;
    for (char& c : line) {
        if (c == '"') quoted = !quoted;
        if (c == '\t' && !quoted) c = ' ';
    }
    return line;
}

std::string ShownLine(const std::string& line) {
    std::string shown = common::MaskServiceCode(line);
    // Characters, not bytes: a cut never splits a UTF-8 sequence.
    size_t characters = 0;
    for (size_t i = 0; i < shown.size(); ++i) {
        if ((static_cast<unsigned char>(shown[i]) & 0xC0) == 0x80) continue;
        if (++characters == kShownLineLength) {
            size_t next = i + 1;
            while (next < shown.size() && (static_cast<unsigned char>(shown[next]) & 0xC0) == 0x80)
                ++next;
            if (next == shown.size()) break;
            shown.resize(i);
            shown += "\u2026";
            break;
        }
    }
    return shown;
}

std::string HistoryPath(const char* xdgStateHome, const char* home) {
    const std::string folder = common::StateFolder(xdgStateHome, home);
    return folder.empty() ? folder : folder + "/history";
}

std::string OldHistoryPath(const char* home) {
    return home && home[0] == '/' ? std::string(home) + "/.tavrin_history" : std::string();
}

}  // namespace tavrin::cli
