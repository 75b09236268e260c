// Where trace lines go: nowhere by default, to standard error or a file when TAVRIN_TRACE says
// so, to an installed sink above all, and back to the default when the sink is removed.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ScopedEnv.h"
#include "transport/Trace.h"

namespace tavrin::testing {
namespace {

namespace fs = std::filesystem;
using ::testing::internal::CaptureStderr;
using ::testing::internal::GetCapturedStderr;

std::string Slurp(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Writes one line in two pieces, as the mailbox does, with a fresh trace under `destination`
// (null: TAVRIN_TRACE unset); returns what reached standard error.
std::string TraceOneLine(const char* destination, Trace* keep = nullptr) {
    ScopedEnv env("TAVRIN_TRACE", destination);
    Trace fresh;
    Trace& trace = keep ? *keep : fresh;
    CaptureStderr();
    trace("Sabrel: Sendmail %02x  ", 6);
    trace("Sabrel: ZELKWrt: %s\n", "*IDN?");
    return GetCapturedStderr();
}

TEST(Trace, QuietUnlessTheEnvironmentNamesADestination) {
    EXPECT_EQ(TraceOneLine(nullptr), "");
    EXPECT_EQ(TraceOneLine(""), "");

    const std::string err = TraceOneLine("stderr");
    EXPECT_TRUE(err.starts_with("Time: ")) << err;
    EXPECT_NE(err.find(": Sabrel: Sendmail 06  Time: "), std::string::npos) << err;
    EXPECT_TRUE(err.ends_with(": Sabrel: ZELKWrt: *IDN?\n")) << err;
}

TEST(Trace, FileDestinationIsAppendedAndAnUnopenableOneIsNamedOnce) {
    const fs::path file = fs::path(::testing::TempDir()) /
                          ("trace-" + std::to_string(::getpid()) + ".log");
    {
        std::ofstream(file) << "earlier run\n";
    }
    EXPECT_EQ(TraceOneLine(file.c_str()), "");
    const std::string text = Slurp(file);
    EXPECT_TRUE(text.starts_with("earlier run\nTime: ")) << text;
    EXPECT_TRUE(text.ends_with("Sabrel: ZELKWrt: *IDN?\n")) << text;
    fs::remove(file);

    // Two lines, one complaint: the user learns why the trace is missing, and nothing more.
    const std::string err = TraceOneLine("/nonexistent-folder/trace.log");
    EXPECT_EQ(err,
              "TavrinLink: TAVRIN_TRACE: cannot open /nonexistent-folder/trace.log: No such file "
              "or directory\n");
}

TEST(Trace, SinkWinsOverTheEnvironmentAndRemovingItRestoresTheDefault) {
    Trace trace;
    std::vector<std::string> lines;
    trace.SetSink([](const char* text, void* user) {
        static_cast<std::vector<std::string>*>(user)->emplace_back(text);
    }, &lines);
    EXPECT_EQ(TraceOneLine("stderr", &trace), "");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(lines[1].ends_with("Sabrel: ZELKWrt: *IDN?\n"));

    trace.SetSink(nullptr, nullptr);
    EXPECT_NE(TraceOneLine("stderr", &trace).find("Sabrel: ZELKWrt: *IDN?\n"), std::string::npos);
    EXPECT_EQ(lines.size(), 2u);
}

}  // namespace
}  // namespace tavrin::testing
