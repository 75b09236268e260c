// The link window's log rules without widgets: the measurement and communication log formats
// and the log file.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "core/LogFile.h"
#include "core/LogFormats.h"

namespace tavrin::app {
namespace {

TEST(LogFormats, RowsAndHeaderReadAsOneTable) {
    const MeasurementColumns row{"---",     "339.0",   "-338.0", "-8.0", "0.3",
                                 "0.00120", "0.50000", "-0.3",   "0.2"};
    EXPECT_EQ(MeasurementRow("10:11:12", row),
              "10:11:12;   ---;  339.0; -338.0;   -8.0;    0.3;  0.00120;  0.50000;-0.3; 0.2;\n");
    EXPECT_EQ(
        ColumnHeader("10:11:12"),
        "10:11:12;   NTP;+FrqDev;-FrqDev; FrqOff; FrqDft;      BER;      FER;-Jitter;+Jitter;\n");
    EXPECT_EQ(ModeHeader("10:11:12", true), "10:11:12; FP Mode\n");
    EXPECT_EQ(ModeHeader("10:11:12", false), "10:11:12; PP Mode\n");
    // Wide texts are never cut.
    const std::string wide(300, '9');
    EXPECT_NE(MeasurementRow("t", {wide, "", "", "", "", "", "", "", ""}).find(wide),
              std::string::npos);
    EXPECT_EQ(CommunicationLine("10:11:12", "-->\"*IDN?\" (0)"), "10:11:12;\t-->\"*IDN?\" (0)\n");

    EXPECT_EQ(LogIntervalSeconds("12"), 12);
    EXPECT_FALSE(LogIntervalSeconds("abc"));
    EXPECT_FALSE(LogIntervalSeconds("0"));
    EXPECT_FALSE(LogIntervalSeconds("-3"));
    EXPECT_FALSE(LogIntervalSeconds(""));
}

TEST(LogFile, CreatedEmptyReopenedForAppendAndFlushedAtEveryWrite) {
    QTemporaryDir dir;
    const QString path = dir.path() + "/m.log";
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old content\n");
    }
    LogFile log;
    ASSERT_TRUE(log.create(path));
    log.write("one\n");
    QFile reader(path);
    ASSERT_TRUE(reader.open(QIODevice::ReadOnly));
    EXPECT_EQ(reader.readAll(), "one\n");  // on disk while the file is still open
    log.close();
    log.write("lost\n");  // closed: nothing is written
    ASSERT_TRUE(log.reopenForAppend());
    log.write("two\n");
    log.forget();
    EXPECT_FALSE(log.held());
    EXPECT_FALSE(log.reopenForAppend());
    reader.seek(0);
    EXPECT_EQ(reader.readAll(), "one\ntwo\n");
    EXPECT_FALSE(log.create(dir.path() + "/no/such/folder/x.log"));
}

}  // namespace
}  // namespace tavrin::app
