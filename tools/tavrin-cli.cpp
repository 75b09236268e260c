// tavrin-cli: runs TavrinLink command lines from the command line, a script or a prompt.
// Uses the library's C interface only, as any other program would.
#include <readline/history.h>
#include <readline/readline.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "CliOptions.h"
#include "ResultsCommand.h"
#include "ResultsTarget.h"
#include "ServeCommand.h"
#include "TestCommand.h"
#include "common/CommandMask.h"
#include "tavrinlink.h"

namespace {

using tavrin::cli::CleanLine;
using tavrin::cli::Options;
using tavrin::cli::ShownLine;

enum Exit { kOk = 0, kLineFailed = 1, kBadArguments = 2, kNoTester = 3 };

void PrintTrace(const char* text, void*) {
    std::fputs(text, stderr);
}

class Runner {
public:
    // Runs one line; prints its answer, or the line and its error when it failed.
    void Run(const std::string& raw, const std::string& where) {
        const std::string line = CleanLine(raw);
        if (line.empty()) return;
        m_lost = false;
        const int16_t result = ZelkWrt(line.c_str());
        char answer[TAVRINLINK_RESPONSE_SIZE] = {};
        if (ZelkRd(answer) > 0) {
            std::fputs(answer, stdout);
            std::fputc('\n', stdout);
            std::fflush(stdout);
        }
        if (result != 0) {
            m_failed = true;
            // The state the line itself left, asked before "SYST:ERR?".
            const int32_t state = TesterLinkState();
            m_lost = state == TAVRINLINK_TESTER_SILENT || state == TAVRINLINK_TESTER_GONE;
            ZelkWrt("SYST:ERR?");
            char error[TAVRINLINK_RESPONSE_SIZE] = {};
            ZelkRd(error);
            const char* note = "";
            if (state == TAVRINLINK_TESTER_SILENT) note = " (the tester stopped answering)";
            if (state == TAVRINLINK_TESTER_GONE) note = " (the tester's USB device is gone)";
            std::fprintf(stderr, "%s: %s: %s%s\n", where.c_str(), ShownLine(line).c_str(), error,
                         note);
        }
    }
    bool Failed() const { return m_failed; }
    // The last line lost the tester: a script stops there, as its other lines would only
    // wait out the link's bound one by one.
    bool Lost() const { return m_lost; }

private:
    bool m_failed = false;
    bool m_lost = false;
};

void RunStream(Runner& runner, std::istream& in, const std::string& name) {
    std::string raw;
    for (unsigned number = 1; !runner.Lost() && std::getline(in, raw); ++number)
        runner.Run(raw, name + ":" + std::to_string(number));
}

// The history of earlier sessions: the state folder's file, or on the first run of this
// version the one earlier versions kept in the home folder (left in place).
void ReadHistory(const std::string& history) {
    std::error_code error;
    if (std::filesystem::exists(history, error)) {
        read_history(history.c_str());
    } else if (const std::string old = tavrin::cli::OldHistoryPath(std::getenv("HOME"));
               !old.empty()) {
        read_history(old.c_str());
    }
}

void WriteHistory(const std::string& history) {
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(history).parent_path(), error);
    if (const int failed = write_history(history.c_str()); failed != 0)
        std::fprintf(stderr, "tavrin-cli: command history not saved in %s: %s\n",
                     history.c_str(), std::strerror(failed));
}

void RunPrompt(Runner& runner) {
    const std::string history =
        tavrin::cli::HistoryPath(std::getenv("XDG_STATE_HOME"), std::getenv("HOME"));
    if (!history.empty()) ReadHistory(history);
    std::fputs("TavrinLink command prompt. Ctrl-D or \"quit\" leaves.\n", stdout);
    for (unsigned number = 1;; ++number) {
        char* input = readline("tavrin> ");
        if (!input) break;
        std::string raw(input);
        std::free(input);
        const std::string line = CleanLine(raw);
        if (line == "quit" || line == "exit") break;
        // The history file keeps no service access code.
        if (!line.empty() && tavrin::common::MaskServiceCode(line) == line)
            add_history(line.c_str());
        runner.Run(raw, "prompt:" + std::to_string(number));
    }
    if (!history.empty()) WriteHistory(history);
}

// The driver and the virtual tester's settings, then the port.
bool OpenTester(const Options& options) {
    if (options.model && ConfigureSimulation("model", options.model->c_str()) != 0) {
        std::fprintf(stderr, "tavrin-cli: model %s is not a tester model (10 to 13)\n",
                     options.model->c_str());
        return false;
    }
    if (options.dut && ConfigureSimulation("dut", options.dut->c_str()) != 0) {
        std::fprintf(stderr, "tavrin-cli: cannot read the device profile %s\n",
                     options.dut->c_str());
        return false;
    }
    const std::string driver = options.simulate ? "sim" : options.driver;
    if (!driver.empty() && SelectUsbDriver(driver.c_str()) != 0) {
        std::fprintf(stderr, "tavrin-cli: USB driver \"%s\" is not available\n", driver.c_str());
        return false;
    }
    ZelkWrt("CONF:COMM:PORT USB");
    ZelkWrt("CONF:COMM:PORT?");
    char port[TAVRINLINK_RESPONSE_SIZE] = {};
    ZelkRd(port);
    if (std::strcmp(port, "USB") != 0) {
        std::fprintf(stderr, "tavrin-cli: no tester found (\"CONF:COMM:PORT USB\" failed)%s\n",
                     options.simulate ? "" : "; --simulate runs on the virtual tester");
        return false;
    }
    return true;
}

// "tavrin-cli results ...": reads the recorded runs; needs no tester.
int RunResults(const std::vector<std::string>& args) {
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    for (const std::string& a : rest)
        if (a == "-h" || a == "--help") {
            std::fputs(tavrin::results::kResultsUsage, stdout);
            return kOk;
        }
    tavrin::results::ResultsOptions options;
    std::string message;
    if (!tavrin::results::ParseResultsOptions(rest, options, message)) {
        std::fprintf(stderr, "tavrin-cli: %s\n%s", message.c_str(), tavrin::results::kResultsUsage);
        return kBadArguments;
    }
    return tavrin::results::RunResultsCommand(options);
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (tavrin::results::IsResultsCommand(args)) return RunResults(args);
    Options options;
    std::string message;
    tavrin::results::Target target;
    if (!tavrin::cli::ParseOptions(args, options, message) ||
        (options.testPlan && !tavrin::results::ParseTarget(options.results, target, message))) {
        std::fprintf(stderr, "tavrin-cli: %s\n%s", message.c_str(), tavrin::cli::kUsage);
        return kBadArguments;
    }
    if (options.help) {
        std::fputs(tavrin::cli::kUsage, stdout);
        return kOk;
    }
    if (options.version) {
        std::fputs(tavrin::cli::kVersionText, stdout);
        return kOk;
    }
    // A plan is read and checked in full before anything is sent to the tester.
    std::optional<tavrin::cli::TestPlan> plan;
    if (options.testPlan && !(plan = tavrin::cli::LoadPlan(*options.testPlan)))
        return kBadArguments;
    std::ifstream file;
    const bool fromFile = options.script && *options.script != "-";
    if (fromFile) {
        file.open(*options.script);
        if (!file) {
            std::fprintf(stderr, "tavrin-cli: cannot read %s\n", options.script->c_str());
            return kBadArguments;
        }
    }

    // Without --trace the library's own default holds: quiet, or where TAVRIN_TRACE says.
    if (options.trace) SetTraceCallback(PrintTrace, nullptr);
    if (!OpenTester(options)) return kNoTester;
    if (plan) return tavrin::cli::RunTestSession(*plan, options);
    if (options.serve) return tavrin::cli::RunServer(options);

    Runner runner;
    for (size_t i = 0; i < options.lines.size() && !runner.Lost(); ++i)
        runner.Run(options.lines[i], "-e " + std::to_string(i + 1));
    bool prompted = false;
    // A tester lost in the -e lines ends the script before its file or standard input.
    if (runner.Lost()) {
    } else if (fromFile) {
        RunStream(runner, file, *options.script);
    } else if (options.script || options.lines.empty()) {
        if (isatty(STDIN_FILENO)) {
            // At the prompt the user decides whether to wait for the tester or leave.
            RunPrompt(runner);
            prompted = true;
        } else {
            RunStream(runner, std::cin, "stdin");
        }
    }
    if (runner.Lost() && !prompted) {
        std::fputs("tavrin-cli: the tester was lost; the remaining lines were not run\n", stderr);
        return kNoTester;
    }
    return runner.Failed() ? kLineFailed : kOk;
}
