// The option rules of tavrin-cli and the cleaning of script lines.
#include <gtest/gtest.h>

#include "CliOptions.h"

namespace tavrin::cli {
namespace {

TEST(CliLine, CommentsBlanksAndTabs) {
    EXPECT_EQ(CleanLine("  CONF:AVER:BURS 4   # four bursts\r"), "CONF:AVER:BURS 4");
    EXPECT_EQ(CleanLine("# a comment"), "");
    EXPECT_EQ(CleanLine("   \t  "), "");
    EXPECT_EQ(CleanLine("\tCONF:TEST:TYPE\tDPP"), "CONF:TEST:TYPE DPP");
    // Inside quotes "#" and tabs belong to the text; a "#" glued to a word is no comment.
    EXPECT_EQ(CleanLine("SYST:PASS \"AB #1\t\" # x"), "SYST:PASS \"AB #1\t\"");
    EXPECT_EQ(CleanLine("*IDN?#"), "*IDN?#");
}

TEST(CliLine, ShownLineIsCutToTwoHundredCharactersNotBytes) {
    const std::string exact(kShownLineLength, 'A');
    EXPECT_EQ(ShownLine(exact), exact);
    std::string e;  // 250 two-byte characters
    for (int i = 0; i < 250; ++i) e += "\u00e9";
    EXPECT_EQ(ShownLine(e), e.substr(0, 2 * 199) + "\u2026");
}

TEST(CliOptions, OrderOfLinesAndScript) {
    Options o;
    std::string message;
    ASSERT_TRUE(ParseOptions(
        {"--simulate", "-e", "*IDN?", "--model", "11", "-e", "SYST:ERR?", "run.tvs"}, o, message));
    EXPECT_TRUE(o.simulate);
    EXPECT_EQ(o.lines, (std::vector<std::string>{"*IDN?", "SYST:ERR?"}));
    EXPECT_EQ(o.model, std::optional<std::string>("11"));
    EXPECT_EQ(o.script, std::optional<std::string>("run.tvs"));
    Options sim;
    EXPECT_TRUE(ParseOptions({"--driver", "sim", "--model", "12"}, sim, message)) << message;
    Options stdinOnly;
    ASSERT_TRUE(ParseOptions({"-"}, stdinOnly, message));
    EXPECT_EQ(stdinOnly.script, std::optional<std::string>("-"));
}

TEST(CliOptions, HistoryLivesInTheStateFolder) {
    EXPECT_EQ(HistoryPath("/x/state", "/home/u"), "/x/state/tavrin/history");
    // A relative XDG_STATE_HOME is ignored, as the base directory rules say.
    EXPECT_EQ(HistoryPath("state", "/home/u"), "/home/u/.local/state/tavrin/history");
    EXPECT_EQ(HistoryPath(nullptr, "/home/u"), "/home/u/.local/state/tavrin/history");
    EXPECT_EQ(HistoryPath(nullptr, nullptr), "");
    EXPECT_EQ(HistoryPath("", "relative"), "");
    EXPECT_EQ(OldHistoryPath("/home/u"), "/home/u/.tavrin_history");
    EXPECT_EQ(OldHistoryPath(""), "");
}

TEST(CliOptions, TestPlanAndItsOptions) {
    Options o;
    std::string message;
    ASSERT_TRUE(ParseOptions({"--simulate", "test", "pp.ini", "--serial", "SN 7", "--repeat", "3",
                              "--report-json", "r.json", "--report-junit", "r.xml"},
                             o, message))
        << message;
    EXPECT_EQ(o.testPlan, std::optional<std::string>("pp.ini"));
    EXPECT_FALSE(o.script.has_value());
    EXPECT_EQ(o.serial, "SN 7");
    EXPECT_EQ(o.repeat, 3);
    EXPECT_EQ(o.reportJson, std::optional<std::string>("r.json"));
    EXPECT_EQ(o.reportJunit, std::optional<std::string>("r.xml"));
    // A script that happens to be called "test" still runs as a script.
    Options script;
    ASSERT_TRUE(ParseOptions({"--simulate", "test"}, script, message));
    EXPECT_EQ(script.script, std::optional<std::string>("test"));
    EXPECT_FALSE(script.testPlan.has_value());
}

TEST(CliOptions, Refusals) {
    const std::vector<std::vector<std::string>> bad = {
        {"--bogus"},
        {"-e"},
        {"--driver"},
        {"a.tvs", "b.tvs"},
        {"--model", "10"},
        {"--dut", "x"},
        {"--simulate", "--driver", "d2xx"},
        {"--serial", "S1", "run.tvs"},       // test options need test PLAN
        {"test", "p.ini", "--repeat", "0"},  // 1 to 1000 runs
        {"test", "p.ini", "--repeat", "2x"},
        {"test", "p.ini", "--report-json"},  // a file is needed
        {"test", "p.ini", "-e", "*IDN?"},    // a plan is not a script
        {"test", "p.ini", "q.ini"},          // one plan
    };
    for (const auto& args : bad) {
        Options o;
        std::string message;
        EXPECT_FALSE(ParseOptions(args, o, message)) << args.front();
        EXPECT_FALSE(message.empty());
    }
}

}  // namespace
}  // namespace tavrin::cli
