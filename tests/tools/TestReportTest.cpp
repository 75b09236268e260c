// The reports: repeatability statistics, JSON and JUnit that parse back with their texts
// intact, the verdict over runs, and the atomic write.
#include <gtest/gtest.h>

#include <filesystem>

#include "PythonCheck.h"
#include "ScratchFolder.h"
#include "TestReport.h"

namespace tavrin::cli {
namespace {

ResultRow Row(const std::string& key, std::optional<double> value, bool pass) {
    ResultRow r;
    r.key = key;
    r.name = key;
    r.unit = "dBm";
    r.value = value;
    r.text = value ? FormatNumber(*value) : "---";
    r.limits = "19 to 24";
    r.limitValues = {{"MinOK", 19}, {"MaxOK", 24}};
    r.pass = pass;
    return r;
}

RunRecord Record(RunStatus status, std::vector<ResultRow> rows, std::string error = {}) {
    RunRecord record;
    record.result.status = status;
    record.result.rows = std::move(rows);
    record.result.error = std::move(error);
    record.result.released = true;
    record.start = record.end = "2026-12-09T03:00:00Z";
    record.seconds = 1.5;
    return record;
}

TEST(Report, StatisticsOverRepeatedRuns) {
    const std::vector<RunRecord> runs = {
        Record(RunStatus::Pass, {Row("ntp", 23.0, true), Row("ber", std::nullopt, false)}),
        Record(RunStatus::Pass, {Row("ntp", 24.0, true)}),
        Record(RunStatus::Fail, {Row("ntp", 25.0, false), Row("ber", 0.5, true)}),
    };
    const std::vector<Statistic> s = RepeatStatistics(runs);
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0].key, "ntp");
    EXPECT_EQ(s[0].count, 3);
    EXPECT_DOUBLE_EQ(s[0].mean, 24.0);
    EXPECT_DOUBLE_EQ(s[0].stdDev, 1.0);  // sample standard deviation
    EXPECT_DOUBLE_EQ(s[0].min, 23.0);
    EXPECT_DOUBLE_EQ(s[0].max, 25.0);
    // A run without a value does not count as zero.
    EXPECT_EQ(s[1].count, 1);
    EXPECT_DOUBLE_EQ(s[1].stdDev, 0.0);

    EXPECT_EQ(Overall(runs), RunStatus::Fail);
    EXPECT_EQ(Overall({runs[0], runs[1]}), RunStatus::Pass);
    EXPECT_EQ(Overall({runs[2], Record(RunStatus::Error, {}, "no link")}), RunStatus::Error);
    EXPECT_EQ(Overall({}), RunStatus::Error);
    EXPECT_EQ(FormatNumber(-43.2), "-43.2");
    EXPECT_EQ(FormatNumber(0.001), "0.001");
}

TEST(Report, JsonAndJUnitParseBackWithTheirTexts) {
    TestPlan plan;
    plan.path = "plans/line \"A\".ini";
    plan.name = "PP <final> & more";
    plan.measure[static_cast<size_t>(Measurement::NTP)] = true;
    plan.limits.source = "factory";
    SessionReport report;
    report.plan = &plan;
    report.serial = "SN\\1\t\"x\"";
    report.tester = {"3.2.0", "Tavrin 1.0 2.0", "FW 4.12", "20264711"};
    report.start = "2026-12-09T03:00:00Z";
    report.end = "2026-12-09T03:00:05Z";
    report.runs = {Record(RunStatus::Fail, {Row("ntp", 25.5, false), Row("fer", 0.0, true)}),
                   Record(RunStatus::Error, {}, "no link within 3 s (\"STAT:DEV?\" <DPP>)")};

    const fixtures::ScratchFolder scratch;
    const std::string& dir = scratch.Path();
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(dir + "/r.json", JsonReport(report), error)) << error;
    ASSERT_TRUE(WriteFileAtomically(dir + "/r.xml", JUnitReport(report), error)) << error;
    EXPECT_TRUE(fixtures::PythonAccepts(dir + "/r.json", R"(
r = json.load(open(path))
assert r["serial"] == 'SN\\1\t"x"', r["serial"]
assert r["plan"]["name"] == "PP <final> & more"
assert r["plan"]["measurements"] == ["ntp"]
assert r["tester"]["firmware"] == "FW 4.12"
assert r["verdict"] == "ERROR"
assert [x["verdict"] for x in r["runs"]] == ["FAIL", "ERROR"]
assert r["runs"][1]["error"] == 'no link within 3 s ("STAT:DEV?" <DPP>)'
m = r["measurements"][0]
assert m["run"] == 1 and m["value"] == 25.5 and m["verdict"] == "FAIL", m
assert m["limits"] == {"MinOK": 19, "MaxOK": 24}, m
assert len(r["statistics"]) == 2
)",
                                        dir + "/check-json"));
    EXPECT_TRUE(fixtures::PythonAccepts(dir + "/r.xml", R"(
s = ET.parse(path).getroot().find("testsuite")
assert s.get("name") == "PP <final> & more"
assert (s.get("tests"), s.get("failures"), s.get("errors")) == ("3", "1", "1"), s.attrib
cases = s.findall("testcase")
assert [c.get("name") for c in cases] == ["ntp #1", "fer #1", "sequence #2"]
assert cases[0].find("failure").get("message") == "25.5 dBm outside 19 to 24"
assert cases[1].find("failure") is None
assert cases[2].find("error").get("message") == 'no link within 3 s ("STAT:DEV?" <DPP>)'
props = {p.get("name"): p.get("value") for p in s.find("properties")}
assert props["serial"] == 'SN\\1\t"x"' and props["verdict"] == "ERROR", props
)",
                                        dir + "/check-xml"));
    // Only the reports are left: no temporary files beside them.
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        files += entry.path().extension() != ".py";
    EXPECT_EQ(files, 2);
    EXPECT_FALSE(std::filesystem::exists(dir + "/r.json.XXXXXX"));
    EXPECT_FALSE(WriteFileAtomically(dir + "/missing/r.json", "{}", error));
    EXPECT_NE(error.find("cannot write " + dir + "/missing/r.json"), std::string::npos);
}

}  // namespace
}  // namespace tavrin::cli
