// The program's rules without windows: model table, caption suffixes, window layout, console
// history, command line and the trace log's place.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "core/CaptionRules.h"
#include "core/ModelTable.h"
#include "core/StartupOptions.h"
#include "core/TraceLog.h"
#include "core/WindowLayout.h"
#include "dialogs/ConsoleHistory.h"

namespace tavrin::app {
namespace {

TEST(ModelTable, RowsInTheirOrder) {
    std::vector<std::string> names;
    for (const TesterModel& m : TesterModels()) names.push_back(m.baseName);
    EXPECT_EQ(names, (std::vector<std::string>{"Sabrel", "Pellis", "Tavrin", "Ulmet", "Quorin"}));
}

TEST(ModelTable, EachModelAndItsUsbForm) {
    struct Row {
        const char* answer;
        const char* name;
        int highest;
        const char* range;
        std::optional<int> minimum;
        bool country;
        bool caption;
        const char* label;
    };
    const Row rows[] = {
        {"Sabrel_USB", "Sabrel", 9, "[0..9]", std::nullopt, true, false, "Sabrel USB"},
        {"Pellis 1.2 3.4", "Pellis", 13, "[0..13]", std::nullopt, true, true, "Pellis 1.2 3.4"},
        {"Tavrin 1.0 2.0", "Tavrin", 9, "[0..9]", std::nullopt, true, false, "Tavrin 1.0 2.0"},
        {"Ulmet_USB", "Ulmet", 7, "[1..7]", 1, false, true, "Ulmet USB"},
        {"Quorin", "Quorin", 9, "[0..9]", 0, false, true, "Quorin"},
    };
    for (const Row& r : rows) {
        const TesterModel* m = IdentifyModel(r.answer);
        ASSERT_NE(m, nullptr) << r.answer;
        EXPECT_STREQ(m->baseName, r.name);
        EXPECT_EQ(m->highestCarrier, r.highest);
        EXPECT_STREQ(m->rangeText, r.range);
        EXPECT_EQ(m->carrierMinimum, r.minimum);
        EXPECT_EQ(m->countryControlsShown, r.country);
        EXPECT_EQ(m->refreshesCaption, r.caption);
        EXPECT_EQ(HardwareIdText(r.answer, *m), r.label);
    }
}

TEST(ModelTable, NoValidHardware) {
    EXPECT_EQ(IdentifyModel("INV"), nullptr);
    EXPECT_EQ(IdentifyModel(""), nullptr);
    EXPECT_EQ(IdentifyModel("tavrin 1.0"), nullptr);  // the names are matched exactly
    EXPECT_EQ(IdentifyModel(" Tavrin"), nullptr);
}

TEST(CaptionRules, FourSuffixes) {
    EXPECT_EQ(CaptionSuffix(false, true), " CAT-iq Enabled");
    EXPECT_EQ(CaptionSuffix(false, false), " CAT-iq Disabled");
    EXPECT_EQ(CaptionSuffix(true, true), " Debug and CAT-iq Enabled");
    EXPECT_EQ(CaptionSuffix(true, false), " Debug Enabled - CAT-iq Disabled");
}

TEST(WindowLayout, ChartHeightsByScreen) {
    EXPECT_EQ(ChartHeightForScreen(1200), 232);
    EXPECT_EQ(ChartHeightForScreen(1024), 188);
    EXPECT_EQ(ChartHeightForScreen(960), 172);
    EXPECT_EQ(ChartHeightForScreen(864), 148);
    EXPECT_EQ(ChartHeightForScreen(768), 124);
    EXPECT_EQ(ChartHeightForScreen(1080), std::nullopt);
}

TEST(WindowLayout, StacksTheWindowsOn1024Lines) {
    WindowSet current;
    current.main = {200, 150, 369, 445};
    current.console = {5, 5, 369, 240};
    current.link = {900, 30, 500, 300};
    current.modulation = {10, 10, 400, 90};
    current.ntp = {10, 10, 400, 90};
    const WindowSet w = DefaultLayout(current, 1024);
    EXPECT_EQ(w.main, (WindowRect{0, 0, 369, 445}));
    EXPECT_EQ(w.console, (WindowRect{0, 445, 369, 1024 - 445 - 28}));
    EXPECT_EQ(w.link, (WindowRect{369, 0, 500, 300}));
    EXPECT_EQ(w.modulation, (WindowRect{369, 300, 598, 188}));
    EXPECT_EQ(w.ntp, (WindowRect{369, 488, 598, 188}));
}

TEST(WindowLayout, OtherScreenHeightsKeepTheChartHeight) {
    WindowSet current;
    current.main = {0, 0, 369, 445};
    current.modulation = {1, 1, 300, 211};
    const WindowSet w = DefaultLayout(current, 1080);
    EXPECT_EQ(w.modulation.height, 211);
    EXPECT_EQ(w.ntp.height, 211);
    EXPECT_EQ(w.ntp.top, w.modulation.top + 211);
}

TEST(ConsoleHistory, RecallOrder) {
    ConsoleHistory h;
    h.remember("*IDN?", false);
    h.remember("SYST:FIRM:VERS?", false);
    EXPECT_EQ(h.up(), "*IDN?");
    EXPECT_EQ(h.up(), "*IDN?");
    EXPECT_EQ(h.down(), "SYST:FIRM:VERS?");
    EXPECT_EQ(h.down(), "SYST:FIRM:VERS?");
}

TEST(ConsoleHistory, EmptyHistoryShowsEmptyText) {
    ConsoleHistory h;
    EXPECT_EQ(h.up(), "");
    EXPECT_EQ(h.down(), "");
    EXPECT_EQ(h.position(), 0);
}

TEST(ConsoleHistory, DuplicatesAndFailuresAreNotStored) {
    ConsoleHistory h;
    h.remember("A", false);
    h.remember("B", false);
    h.remember("A", false);
    h.remember("C", true);
    EXPECT_EQ(h.entry(0), "B");
    EXPECT_EQ(h.entry(1), "A");
    EXPECT_EQ(h.entry(2), "");
}

TEST(ConsoleHistory, TwentyFirstLinePushesTheOldestOut) {
    ConsoleHistory h;
    for (int i = 0; i <= ConsoleHistory::kSize; ++i) h.remember("L" + std::to_string(i), false);
    EXPECT_EQ(h.entry(0), "L20");
    EXPECT_EQ(h.entry(19), "L1");
    for (int i = 0; i < 30; ++i) h.up();
    EXPECT_EQ(h.position(), 19);
    EXPECT_EQ(h.up(), "L1");
}

TEST(ConsoleHistory, SendingResetsTheRecallPosition) {
    ConsoleHistory h;
    h.remember("A", false);
    h.remember("B", false);
    h.remember("C", false);
    h.up();
    h.up();
    EXPECT_EQ(h.position(), 2);
    h.remember("B", false);
    EXPECT_EQ(h.position(), 0);
    EXPECT_EQ(h.up(), "B");
}

TEST(StartupOptions, SwitchesWithoutRegardToCase) {
    EXPECT_TRUE(ParseStartupOptions({"tavrin", "/debug"}).debugMode);
    EXPECT_TRUE(ParseStartupOptions({"/DEBUG"}).debugMode);  // the program path counts too
    EXPECT_FALSE(ParseStartupOptions({"tavrin", "/DEBUGX"}).debugMode);
    EXPECT_TRUE(ParseStartupOptions({"tavrin", "/Simulate"}).simulate);
    EXPECT_TRUE(ParseStartupOptions({"tavrin", "--SIMULATE"}).simulate);
    EXPECT_FALSE(ParseStartupOptions({"tavrin"}).simulate);
}

TEST(StartupOptions, ValuesOfDutAndDriver) {
    const StartupOptions o = ParseStartupOptions({"tavrin", "--DUT", "pp.ini", "--driver", "d2xx"});
    EXPECT_EQ(o.dutFile, "pp.ini");
    EXPECT_TRUE(o.simulate);
    EXPECT_EQ(o.driver, "d2xx");
    EXPECT_TRUE(o.error.empty());
    EXPECT_FALSE(ParseStartupOptions({"tavrin", "--driver"}).error.empty());
    EXPECT_FALSE(ParseStartupOptions({"tavrin", "--dut"}).error.empty());
}

TEST(TraceLog, PathInTheStateFolder) {
    EXPECT_EQ(TraceLogPath("/x/state", "/home/u"), "/x/state/tavrin/tavrin.log");
    EXPECT_EQ(TraceLogPath("", "/home/u"), "/home/u/.local/state/tavrin/tavrin.log");
    EXPECT_EQ(TraceLogPath("relative", "/home/u"), "/home/u/.local/state/tavrin/tavrin.log");
}

TEST(TraceLog, LinesGoToTheFileOrTheConsole) {
    QTemporaryDir dir;
    const QString path = dir.path() + "/sub/tavrin.log";
    {
        TraceLog log(path, {});
        log.traceLine("Time: 10:00:00.000: Sabrel: ZELKWrt: *IDN?\n");
        log.traceLine("second");
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "Time: 10:00:00.000: Sabrel: ZELKWrt: *IDN?\nsecond\n");

    QStringList console;
    TraceLog debug(dir.path() + "/other.log", [&](const QString& l) { console << l; });
    debug.traceLine("line\n");
    EXPECT_EQ(console, QStringList{"line"});
    EXPECT_FALSE(QFile::exists(dir.path() + "/other.log"));
}

TEST(TraceLog, OversizedLogIsMovedAside) {
    QTemporaryDir dir;
    const QString path = dir.path() + "/tavrin.log";
    {
        QFile big(path);
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        ASSERT_TRUE(big.resize(TraceLog::kRotateSize + 1));
    }
    {
        TraceLog log(path, {});
        log.traceLine("fresh");
    }
    EXPECT_EQ(QFileInfo(path).size(), 6);
    EXPECT_EQ(QFileInfo(path + ".1").size(), TraceLog::kRotateSize + 1);
}

}  // namespace
}  // namespace tavrin::app
