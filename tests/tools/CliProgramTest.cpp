// The built tavrin-cli on the virtual tester: answers, errors with their lines, exit status,
// scripts from files and standard input, and the refusals.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct Outcome {
    std::string out, err;
    int status = -1;
};

std::string Slurp(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class Cli : public ::testing::Test {
protected:
    void SetUp() override {
        char dir[] = "/tmp/tavrin-cli-test-XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        m_dir = dir;
    }
    void TearDown() override { std::system(("rm -rf " + m_dir).c_str()); }

    std::string File(const std::string& name, const std::string& text) {
        const std::string path = m_dir + "/" + name;
        std::ofstream(path) << text;
        return path;
    }
    // Runs the program with its arguments (quoted for the shell) and the given input.
    Outcome Run(const std::string& args, const std::string& input = "") {
        const std::string in = File("stdin", input);
        const std::string cmd = std::string("'") + TAVRIN_CLI + "' " + args + " <" + in + " >" +
                                m_dir + "/out 2>" + m_dir + "/err";
        const int raw = std::system(cmd.c_str());
        Outcome o;
        o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        o.out = Slurp(m_dir + "/out");
        o.err = Slurp(m_dir + "/err");
        return o;
    }

    std::string m_dir;
};

TEST_F(Cli, DemoScriptRunsClean) {
    const Outcome o = Run(std::string("--simulate ") + TAVRIN_DEMO);
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "3.2.0\nDPP\n0012345678\n4\n8\n3\n-70.5\nFIG31\n10\n+0, \"No Error\"\n");
    EXPECT_EQ(o.err, "");
}

TEST_F(Cli, FailedLineIsNamedWithItsErrorAndTheRestRuns) {
    const Outcome o =
        Run("--simulate -e 'CONF:AVER:BURS 4' -e 'CONF:AVER:BURS 300' -e 'CONF:AVER:BURS?'");
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "4\n");
    EXPECT_EQ(o.err, "-e 2: CONF:AVER:BURS 300: -222, \"Data out of Range\"\n");
}

TEST_F(Cli, ScriptCommentsAndLineNumbers) {
    const std::string script = File("s.tvs",
                                    "# setup\n"
                                    "\n"
                                    "CONF:AVER:BURS 7   # trailing comment\n"
                                    "\tCONF:AVER:BURS?\n"
                                    "CONF:PP:RFPI \"12#4\"\n"
                                    "XYZ?\n");
    const Outcome o = Run("--simulate " + script);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "7\n");
    // A "#" inside quotes is text: the RFPI is refused as too short, not as unterminated.
    EXPECT_EQ(o.err, script + ":5: CONF:PP:RFPI \"12#4\": -224, \"Parameter not allowed\"\n" +
                         script + ":6: XYZ?: -102, \"Syntax Error\"\n");
}

TEST_F(Cli, StandardInputWithAndWithoutDash) {
    Outcome o = Run("--simulate -", "CONF:TEST:TYPE FP\nCONF:TEST?\n");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "DFP\n");
    o = Run("--simulate", "*IDN?\n");
    EXPECT_EQ(o.out, "3.2.0\n");
    // With -e lines and no file, standard input is not read.
    o = Run("--simulate -e '*IDN?'", "XYZ\n");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "3.2.0\n");
}

TEST_F(Cli, TraceOnlyWhenAsked) {
    Outcome o = Run("--simulate -e '*IDN?'");
    EXPECT_EQ(o.err, "");
    o = Run("--simulate --trace -e '*IDN?'");
    EXPECT_NE(o.err.find("Sabrel: ZELKWrt: *IDN?"), std::string::npos);
    EXPECT_EQ(o.out, "3.2.0\n");
}

TEST_F(Cli, ServiceCodeUnlocksButNeverShowsAndLongFailedLinesAreCut) {
    const std::string longLine = "XYZ " + std::string(300, 'A');
    const Outcome o =
        Run("--simulate --trace -e 'SYST:PASS \"KQZ4417WD385\"' -e 'SYST:PASS?'"
            " -e 'syst : pass KQZ4417WD385' -e '" +
            longLine + "'");
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "PASSWORD OK!\nPASSWORD OK!\n");
    EXPECT_EQ(o.err.find("KQZ4417WD385"), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("Sabrel: ZELKWrt: SYST:PASS \"****\"\n"), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("\n-e 3: syst : pass ****: -102, \"Syntax Error\"\n"), std::string::npos)
        << o.err;
    // 199 characters of the line and "…".
    EXPECT_NE(o.err.find("\n-e 4: " + longLine.substr(0, 199) + "\u2026: -102"), std::string::npos)
        << o.err;
}

TEST_F(Cli, ModelOfTheVirtualTester) {
    const Outcome o = Run("--simulate --model 13 -e 'CONF:PP:DUMM:SLOT 11'");
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(Run("--simulate --model 9 -e '*IDN?'").status, 3);
    EXPECT_EQ(Run("--simulate --dut /nonexistent/profile.ini -e '*IDN?'").status, 3);
}

TEST_F(Cli, Refusals) {
    Outcome o = Run("--help");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out.rfind("Usage: tavrin-cli", 0), 0u);
    o = Run("--bogus");
    EXPECT_EQ(o.status, 2);
    EXPECT_NE(o.err.find("unknown option --bogus"), std::string::npos);
    EXPECT_EQ(Run("--simulate " + m_dir + "/missing.tvs").status, 2);
    o = Run("--driver /nonexistent/libd2xx.so -e '*IDN?'");
    EXPECT_EQ(o.status, 3);
    EXPECT_NE(o.err.find("not available"), std::string::npos);
}

TEST_F(Cli, PromptOnATerminal) {
    // script(1) of util-linux gives the program a terminal.
    ASSERT_EQ(access("/usr/bin/script", X_OK), 0);
    const std::string inner = std::string("HOME='") + m_dir + "' '" + TAVRIN_CLI + "' --simulate";
    const std::string cmd = "/usr/bin/script -qec \"" + inner + "\" /dev/null";
    std::string input =
        "CONF:AVER:BURS 12\nCONF:AVER:BURS?\nSYST:PASS \"KQZ4417WD385\"\nquit\nCONF:AVER:BURS "
        "300\n";
    const std::string in = File("keys", input);
    const int raw = std::system((cmd + " <" + in + " >" + m_dir + "/tty 2>&1").c_str());
    const std::string tty = Slurp(m_dir + "/tty");
    EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << tty;
    EXPECT_NE(tty.find("tavrin> "), std::string::npos) << tty;
    EXPECT_NE(tty.find("12\r\n"), std::string::npos) << tty;
    // "quit" left the prompt: the refused count after it never ran.
    EXPECT_EQ(tty.find("Data out of Range"), std::string::npos) << tty;
    const std::string history = Slurp(m_dir + "/.tavrin_history");
    EXPECT_NE(history.find("CONF:AVER:BURS?"), std::string::npos) << history;
    EXPECT_EQ(history.find("SYST:PASS"), std::string::npos) << history;
}

TEST_F(Cli, NoTesterBehindTheDefaultDriver) {
    // No tester is attached to the build machine: the port does not open.
    const Outcome o = Run("-e '*IDN?'");
    EXPECT_EQ(o.status, 3);
    EXPECT_NE(o.err.find("no tester found"), std::string::npos);
    EXPECT_EQ(o.out, "");
}

}  // namespace
