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

#include "PythonCheck.h"
#include "ScratchFolder.h"

namespace {

using tavrin::cli::fixtures::Outcome;
using tavrin::cli::fixtures::Slurp;

class Cli : public ::testing::Test {
protected:
    std::string File(const std::string& name, const std::string& text) {
        return m_scratch.File(name, text);
    }
    // Python reads a report back; see PythonCheck.h.
    bool Accepts(const std::string& report, const std::string& statements) {
        return tavrin::cli::fixtures::PythonAccepts(report, statements, m_dir + "/check");
    }
    // Runs the program with its arguments (quoted for the shell), the given input and
    // environment settings ("NAME=value ...", quoted for the shell).
    Outcome Run(const std::string& args, const std::string& input = "",
                const std::string& env = "") {
        const std::string in = File("stdin", input);
        // The template check's trace goes to the test's folder, not the user's.
        return m_scratch.Run("env -u TAVRIN_TRACE XDG_STATE_HOME='" + m_dir +
                             "' XDG_DATA_HOME='" + m_dir + "' " + env + " '" + TAVRIN_CLI + "' " +
                             args + " <" + in);
    }

    tavrin::cli::fixtures::ScratchFolder m_scratch;
    const std::string m_dir = m_scratch.Path();
};

std::string Plans(const std::string& name) {
    return std::string(TAVRIN_PLANS) + "/" + name;
}
std::string Profile(const std::string& name) {
    return std::string(TAVRIN_PROFILES) + "/" + name;
}
bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

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

TEST_F(Cli, TraceOnlyWhenAskedByOptionOrEnvironment) {
    Outcome o = Run("--simulate -e '*IDN?'");
    EXPECT_EQ(o.err, "");
    o = Run("--simulate --trace -e '*IDN?'");
    EXPECT_NE(o.err.find("Sabrel: ZELKWrt: *IDN?"), std::string::npos);
    EXPECT_EQ(o.out, "3.2.0\n");
    // Without --trace the library's default holds: TAVRIN_TRACE names a file or stderr.
    const std::string log = m_dir + "/trace.log";
    o = Run("--simulate -e '*IDN?'", "", "TAVRIN_TRACE='" + log + "'");
    EXPECT_EQ(o.err, "");
    EXPECT_NE(Slurp(log).find("Sabrel: ZELKWrt: *IDN?"), std::string::npos) << Slurp(log);
    o = Run("--simulate -e '*IDN?'", "", "TAVRIN_TRACE=stderr");
    EXPECT_NE(o.err.find("Sabrel: ZELKWrt: *IDN?"), std::string::npos) << o.err;
}

TEST_F(Cli, VersionAndHelpEndBeforeAnyTester) {
    // A driver that cannot load shows that no tester is opened.
    Outcome o = Run("--driver /nonexistent/libd2xx.so --version");
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "tavrin-cli " TAVRIN_VERSION "\n");
    EXPECT_EQ(o.err, "");
    o = Run("--driver /nonexistent/libd2xx.so --help");
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_NE(o.out.find("  --version "), std::string::npos) << o.out;
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

TEST_F(Cli, PromptOnATerminalKeepsItsHistoryInTheStateFolder) {
    // script(1) of util-linux gives the program a terminal.
    ASSERT_EQ(access("/usr/bin/script", X_OK), 0);
    const std::string inner =
        std::string("env -u XDG_STATE_HOME HOME='") + m_dir + "' '" + TAVRIN_CLI + "' --simulate";
    const std::string cmd = "/usr/bin/script -qec \"" + inner + "\" /dev/null";
    auto prompt = [&](const std::string& keys) {
        const std::string in = File("keys", keys);
        const int raw = std::system((cmd + " <" + in + " >" + m_dir + "/tty 2>&1").c_str());
        const std::string tty = Slurp(m_dir + "/tty");
        EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << tty;
        return tty;
    };
    // The history file of earlier versions is taken over on the first run.
    File(".tavrin_history", "CONF:TEST?\n");
    const std::string tty = prompt(
        "CONF:AVER:BURS 12\nCONF:AVER:BURS?\nSYST:PASS \"KQZ4417WD385\"\nquit\nCONF:AVER:BURS "
        "300\n");
    EXPECT_NE(tty.find("tavrin> "), std::string::npos) << tty;
    EXPECT_NE(tty.find("12\r\n"), std::string::npos) << tty;
    // "quit" left the prompt: the refused count after it never ran.
    EXPECT_EQ(tty.find("Data out of Range"), std::string::npos) << tty;
    const std::string path = m_dir + "/.local/state/tavrin/history";
    std::string history = Slurp(path);
    EXPECT_NE(history.find("CONF:TEST?\n"), std::string::npos) << history;
    EXPECT_NE(history.find("CONF:AVER:BURS?"), std::string::npos) << history;
    EXPECT_EQ(history.find("SYST:PASS"), std::string::npos) << history;

    // Once the new file is there, the old one is left alone (and never written).
    File(".tavrin_history", "CONF:TEST?\nSTAT:DEV?\n");
    prompt("*IDN?\nquit\n");
    history = Slurp(path);
    EXPECT_EQ(history.find("STAT:DEV?"), std::string::npos) << history;
    EXPECT_NE(history.find("CONF:AVER:BURS?\n*IDN?\n"), std::string::npos) << history;
    EXPECT_EQ(Slurp(m_dir + "/.tavrin_history"), "CONF:TEST?\nSTAT:DEV?\n");
}

TEST_F(Cli, NoTesterBehindTheDefaultDriver) {
    // No tester is attached to the build machine: the port does not open.
    const Outcome o = Run("-e '*IDN?'");
    EXPECT_EQ(o.status, 3);
    EXPECT_NE(o.err.find("no tester found"), std::string::npos);
    EXPECT_EQ(o.out, "");
}

TEST_F(Cli, TestPlanPassesTheDefaultDeviceAndWritesBothReports) {
    const std::string json = m_dir + "/r.json", junit = m_dir + "/r.xml";
    const Outcome o = Run("--simulate test " + Plans("pp.ini") +
                          " --serial PP-0001 --report-json " + json + " --report-junit " + junit);
    EXPECT_EQ(o.status, 0) << o.out << o.err;
    EXPECT_TRUE(Has(o.out, "Measurement")) << o.out;
    EXPECT_TRUE(Has(o.out, "Device PP-0001")) << o.out;
    EXPECT_TRUE(Has(o.out, "\nOverall: PASS\n")) << o.out;
    EXPECT_FALSE(Has(o.out, "FAIL")) << o.out;
    EXPECT_TRUE(Accepts(json, R"(
r = json.load(open(path))
assert r["verdict"] == "PASS" and r["serial"] == "PP-0001", r
assert r["plan"]["role"] == "PP" and r["tester"]["library"] == "3.2.0", r
assert r["tester"]["firmware"] and r["start"] <= r["end"], r
keys = [m["key"] for m in r["measurements"]]
assert keys == ["ntp", "frequency_offset", "b_field", "s_field", "drift", "template", "ber",
                "fer", "jitter", "packet_delay"], keys
ntp = r["measurements"][0]
assert ntp["unit"] == "dBm" and abs(ntp["value"] - 24) < 0.3 and ntp["limits"]["MaxOK"] == 25
assert r["runs"][0]["link_released"] is True
)"));
    EXPECT_TRUE(Accepts(junit, R"(
s = ET.parse(path).getroot().find("testsuite")
assert (s.get("tests"), s.get("failures"), s.get("errors")) == ("10", "0", "0"), s.attrib
assert s.findall("testcase")[0].get("name") == "NTP"
)"));
}

TEST_F(Cli, TestPlanFailsTheNonCompliantDeviceOnItsRows) {
    const std::string junit = m_dir + "/r.xml";
    const Outcome o = Run("--simulate --dut " + Profile("noncompliant-pp.ini") + " test " +
                          Plans("pp.ini") + " --report-junit " + junit);
    EXPECT_EQ(o.status, 4) << o.out << o.err;
    EXPECT_TRUE(Has(o.out, "\nOverall: FAIL\n")) << o.out;
    // The rows that fail whatever frames the real clock lets the device count.
    EXPECT_TRUE(Accepts(junit, R"(
s = ET.parse(path).getroot().find("testsuite")
failed = {c.get("name") for c in s.findall("testcase") if c.find("failure") is not None}
must = {"NTP", "Frequency offset", "B-field deviation +", "S-field deviation", "Template match",
        "BER", "Jitter", "Packet delay"}
assert must <= failed and "Frequency drift" not in failed, failed
assert s.get("errors") == "0"
)"));
}

TEST_F(Cli, TestPlanIdentifiesTheFixedPart) {
    const std::string json = m_dir + "/r.json";
    const Outcome o = Run("--simulate --dut " + Profile("compliant-fp.ini") + " test " +
                          Plans("fp.ini") + " --report-json " + json);
    EXPECT_EQ(o.status, 0) << o.out << o.err;
    EXPECT_TRUE(Has(o.out, "Fixed part found: RFPI 0012345678, dummy slot 4, dummy carrier 5"));
    EXPECT_TRUE(Accepts(json, R"(
r = json.load(open(path))
assert r["verdict"] == "PASS" and r["plan"]["role"] == "FP", r
assert r["runs"][0]["fixed_part"] == {"rfpi": "0012345678", "dummy_slot": 4, "dummy_carrier": 5}
assert r["measurements"][0]["key"] == "rfpi" and r["measurements"][0]["text"] == "0012345678"
)"));
}

TEST_F(Cli, TestPlanErrorsAndTimeOuts) {
    // A bad plan is refused before the tester is opened: no table, status 2.
    const std::string bad = File("bad.ini", "[test]\nrole = PP\n[measure]\nntp = sure\n");
    Outcome o = Run("--simulate test " + bad);
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.err, "tavrin-cli: " + bad + ":4: ntp: \"sure\" is not yes or no\n");
    EXPECT_EQ(o.out, "");

    // A device that never connects: an error within the plan's time-out, the link released,
    // and the reports still written.
    const std::string slow = File("slow.ini", "[link]\nconnect_ms = 600000\n");
    const std::string plan =
        File("plan.ini", "[test]\nrole = PP\n[measure]\nntp = yes\n[timeouts]\nconnect_s = 1\n");
    const std::string json = m_dir + "/r.json", junit = m_dir + "/r.xml";
    o = Run("--simulate --dut " + slow + " test " + plan + " --report-json " + json +
            " --report-junit " + junit);
    EXPECT_EQ(o.status, 1) << o.out << o.err;
    EXPECT_TRUE(Has(o.err, "tavrin-cli: error: no link within 1 s")) << o.err;
    EXPECT_TRUE(Has(o.out, "\nOverall: ERROR\n")) << o.out;
    EXPECT_TRUE(Accepts(json, R"(
r = json.load(open(path))
assert r["verdict"] == "ERROR" and r["runs"][0]["link_released"] is True, r
assert r["runs"][0]["error"].startswith("no link within 1 s"), r
)"));
    EXPECT_TRUE(Accepts(junit, R"(
s = ET.parse(path).getroot().find("testsuite")
assert s.get("errors") == "1" and s.find("testcase").get("name") == "sequence", s.attrib
)"));
    // A report that cannot be written is an error too.
    o = Run("--simulate test " + Plans("pp.ini") + " --report-json " + m_dir + "/no/r.json");
    EXPECT_EQ(o.status, 1);
    EXPECT_TRUE(Has(o.err, "cannot write " + m_dir + "/no/r.json")) << o.err;
}

// The cable pulled (the device profile's rehearsal): a script stops at the line that lost
// the tester, a plan ends with the error verdict and reports that name the loss; both exit 3.
TEST_F(Cli, LostTesterEndsScriptAndPlanWithStatus3) {
    const std::string pulled =
        File("pulled.ini", "[faults]\nsilent_after_s = 0.001\nmode = unplugged\n");
    // The port's opening takes longer than that; "*IDN?" needs no tester.
    Outcome o =
        Run("--simulate --dut " + pulled + " -e '*IDN?' -e 'SYST:FIRM:VERS?' -e 'CONF:TEST?'");
    EXPECT_EQ(o.status, 3) << o.out << o.err;
    EXPECT_EQ(o.out, "3.2.0\n");
    EXPECT_TRUE(Has(o.err,
                    "-e 2: SYST:FIRM:VERS?: -366, \"Target Error\" (the tester's USB device is "
                    "gone)\ntavrin-cli: the tester was lost; the remaining lines were not "
                    "run\n"))
        << o.err;

    const std::string plan =
        File("plan.ini", "[test]\nrole = PP\n[measure]\nntp = yes\n[timeouts]\nconnect_s = 600\n");
    const std::string slow =
        File("slow.ini",
             "[link]\nconnect_ms = 600000\n[faults]\nsilent_after_s = 1\nmode = unplugged\n");
    o = Run("--simulate --dut " + slow + " test " + plan);
    EXPECT_EQ(o.status, 3) << o.out << o.err;
    EXPECT_TRUE(Has(o.err, "tavrin-cli: error: the tester was lost: its USB device is gone"))
        << o.err;
    EXPECT_TRUE(Has(o.out, "\nOverall: ERROR\n")) << o.out;
}

TEST_F(Cli, TestPlanStopsOnSigintAndReleases) {
    const std::string slow = File("slow.ini", "[link]\nconnect_ms = 600000\n");
    const std::string plan =
        File("plan.ini", "[test]\nrole = PP\n[measure]\nntp = yes\n[timeouts]\nconnect_s = 600\n");
    const std::string json = m_dir + "/r.json";
    const std::string cmd = "XDG_STATE_HOME='" + m_dir + "' XDG_DATA_HOME='" + m_dir + "' '" +
                            TAVRIN_CLI + "' --simulate --dut " + slow + " test " + plan +
                            " --report-json " + json + " >" + m_dir + "/out 2>" + m_dir +
                            "/err & pid=$!; sleep 1; kill -INT $pid; wait $pid";
    const int raw = std::system(cmd.c_str());
    EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 1) << raw;
    EXPECT_TRUE(Has(Slurp(m_dir + "/err"), "stopped by a signal")) << Slurp(m_dir + "/err");
    EXPECT_TRUE(Accepts(json, R"(
r = json.load(open(path))
assert r["verdict"] == "ERROR" and r["runs"][0]["link_released"] is True, r
)"));
}

TEST_F(Cli, TestPlanRepeatsWithStatistics) {
    const std::string plan =
        File("plan.ini",
             "[test]\nrole = PP\n[measure]\nntp = yes\nbursts = 2\n[limits]\nNTPMaxOK = 25\n");
    const Outcome o = Run("--simulate test " + plan + " --repeat 3");
    EXPECT_EQ(o.status, 0) << o.out << o.err;
    EXPECT_TRUE(Has(o.out, "Run 3 of 3")) << o.out;
    EXPECT_TRUE(Has(o.out, "Std dev")) << o.out;
    EXPECT_TRUE(Has(o.out, "NTP                         3")) << o.out;
    // Test options belong to test PLAN; a script named "test" still runs as a script.
    EXPECT_EQ(Run("--simulate --serial X -e '*IDN?'").status, 2);
    EXPECT_EQ(Run("--simulate test " + plan + " --repeat 0").status, 2);
    const Outcome script = Run("--simulate test", "");
    EXPECT_EQ(script.status, 2);
    EXPECT_EQ(script.err, "tavrin-cli: cannot read test\n");
}

}  // namespace
