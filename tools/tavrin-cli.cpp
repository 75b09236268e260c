// tavrin-cli: runs TavrinLink command lines from the command line, a script or a prompt.
// Uses the library's C interface only, as any other program would.
#include <readline/history.h>
#include <readline/readline.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "CliOptions.h"
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
void DropTrace(const char*, void*) {}

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

std::string HistoryFile() {
    const char* home = std::getenv("HOME");
    return home && *home ? std::string(home) + "/.tavrin_history" : std::string();
}

void RunPrompt(Runner& runner) {
    const std::string history = HistoryFile();
    if (!history.empty()) read_history(history.c_str());
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
    if (!history.empty()) write_history(history.c_str());
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

}  // namespace

int main(int argc, char** argv) {
    Options options;
    std::string message;
    if (!tavrin::cli::ParseOptions(std::vector<std::string>(argv + 1, argv + argc), options,
                                   message)) {
        std::fprintf(stderr, "tavrin-cli: %s\n%s", message.c_str(), tavrin::cli::kUsage);
        return kBadArguments;
    }
    if (options.help) {
        std::fputs(tavrin::cli::kUsage, stdout);
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

    SetTraceCallback(options.trace ? PrintTrace : DropTrace, nullptr);
    if (!OpenTester(options)) return kNoTester;
    if (plan) return tavrin::cli::RunTestSession(*plan, options);

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
