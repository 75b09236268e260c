// "tavrin-cli test PLAN": the session around the plan runner on the library's exports, with
// the terminal table, the reports and the exit status.
#pragma once

#include <optional>
#include <string>

#include "CliOptions.h"
#include "TestPlan.h"

namespace tavrin::cli {

// kTestNoTester: the tester was lost during the run (no tester at all is found before it).
enum TestExit { kTestPass = 0, kTestError = 1, kTestBadPlan = 2, kTestNoTester = 3, kTestFail = 4 };

// Reads the plan; prints the error (file, line, key) and gives nothing when it is not usable.
std::optional<TestPlan> LoadPlan(const std::string& path);

// Runs the plan on the open port, `options.repeat` times; SIGINT and SIGTERM end it through
// the release of the link. Returns the exit status.
int RunTestSession(const TestPlan& plan, const Options& options);

}  // namespace tavrin::cli
