// The setup file's key table, the rules that turn a file's text into control values, and the
// store: foreign content kept, names without regard to case, files that cannot be read, and
// saves that fail or die half-way without touching the old file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <map>
#include <set>

#include "setup/SetupKeys.h"
#include "setup/SetupStore.h"

namespace tavrin::app {
namespace {

const SetupKey& KeyOf(const std::string& section, const std::string& key) {
    for (const SetupKey& k : SetupKeys()) {
        if (k.section == section && k.key == key) return k;
    }
    throw std::runtime_error("no key " + section + "/" + key);
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void WriteAll(const QString& path, const QByteArray& data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}

TEST(SetupKeyTable, SectionsKeysAndFactoryValuesInWritingOrder) {
    const std::vector<SetupKey>& keys = SetupKeys();
    std::vector<std::string> sections;
    std::map<std::string, int> perSection;
    std::set<std::string> unique;
    for (const SetupKey& k : keys) {
        if (sections.empty() || sections.back() != k.section) sections.push_back(k.section);
        ++perSection[k.section];
        EXPECT_TRUE(unique.insert(k.section + "/" + k.key).second) << k.key;
    }
    EXPECT_EQ(sections, (std::vector<std::string>{"System", "PPTest", "FPTest", "RF-Gen",
                                                  "RF-Analyzer", "Setup-PP", "Setup-FP"}));
    EXPECT_EQ(perSection["System"], 14);
    EXPECT_EQ(perSection["PPTest"], 8);
    EXPECT_EQ(perSection["FPTest"], 7);
    EXPECT_EQ(perSection["RF-Gen"], 3);
    EXPECT_EQ(perSection["Setup-PP"], 29);
    EXPECT_EQ(perSection["Setup-FP"], 29);
    EXPECT_EQ(keys.front().key, "CommunicationPort");
    EXPECT_EQ(keys[6].key, "MeasurementFontSize");

    // The limits row by row, then ramps B..F; the B- and S-field Min keys as the save writes them.
    std::vector<std::string> pp;
    for (const SetupKey& k : keys) {
        if (k.section == "Setup-PP") pp.push_back(k.key + "=" + k.factory + ">" + k.control);
    }
    EXPECT_EQ(pp.front(), "NTPMin=15>NTPMinEdit");
    EXPECT_EQ(pp[8], "B_FieldMin=100>B_FieldMinEdit");
    EXPECT_EQ(pp[9], "B_FieldMinOK=259>B_FieldMinOKEdit");
    EXPECT_EQ(pp[12], "S_FieldMin=100>S_FieldMinEdit");
    EXPECT_EQ(pp[13], "S_FieldMinOK=202>S_FieldMinOKEdit");
    EXPECT_EQ(pp[17], "FrqDriftMinOK=-43.2>FrqDriftMinOKEdit");
    EXPECT_EQ(pp[20], "LT_BERMaxOK=0.001>LT_BERMaxOKEdit");
    EXPECT_EQ(pp[23], "LT_FERMax=10>LT_FERMaxEdit");
    EXPECT_EQ(pp[24], "PP_RAMPB=-16>PP_RAMPB");
    EXPECT_EQ(pp[28], "PP_RAMPF=-6>PP_RAMPF");
    EXPECT_EQ(KeyOf("Setup-FP", "S_FieldMinOK").control, "S_FieldMinOKFPEdit");
    EXPECT_EQ(KeyOf("Setup-FP", "FP_RAMPC").control, "FP_RAMPC");
    EXPECT_EQ(KeyOf("System", "MeasBER").alsoControl, "LTermFerCheckBox");
    EXPECT_EQ(KeyOf("PPTest", "Modulation").choices.size(), 7u);  // BS20 too
    EXPECT_EQ(KeyOf("RF-Gen", "Modulation").factory, "CW");
}

TEST(SetupValues, MissingKeysAndValuesThatAreNotNumbersTakeTheFactoryValue) {
    const auto resolve = [](const char* section, const char* key, std::optional<std::string> text) {
        return ResolveSetupValue(KeyOf(section, key), text);
    };
    EXPECT_EQ(resolve("PPTest", "RadioFPIdentity", std::nullopt).text, "0000000010");
    EXPECT_EQ(resolve("PPTest", "RFLevelPP", "-45").number, -45);
    EXPECT_EQ(resolve("FPTest", "RFLevelFP", "-70.5").number, -70.5);  // levels have decimals
    EXPECT_EQ(resolve("PPTest", "RFLevelPP", "loud").text, "-60");
    // Only a text that is there and cannot be used is unreadable; a rule's answer is not.
    EXPECT_TRUE(resolve("PPTest", "RFLevelPP", "loud").unreadable);
    EXPECT_FALSE(resolve("PPTest", "RFLevelPP", std::nullopt).unreadable);
    EXPECT_FALSE(resolve("System", "MeasurementFontSize", "16").unreadable);
    EXPECT_EQ(resolve("PPTest", "DummySlot", "2.5").number, 0);  // slots are whole numbers
    EXPECT_EQ(resolve("System", "ExtAttenuation", "12.5").number, 12.5);
    EXPECT_EQ(resolve("System", "ExtAttenuation", "12.5").text, "12.5");
    EXPECT_EQ(resolve("System", "ExtAttenuation", "12,5").text, "0");
    // Booleans: any non-zero whole number is true.
    EXPECT_EQ(resolve("System", "MeasJitter", "0").text, "0");
    EXPECT_EQ(resolve("System", "MeasJitter", "-3").text, "1");
    EXPECT_EQ(resolve("System", "RxAttenuator", "no").text, "1");
    // Font size: 8..14, anything else 14.
    EXPECT_EQ(resolve("System", "MeasurementFontSize", "16").number, 14);
    EXPECT_EQ(resolve("System", "MeasurementFontSize", "8").number, 8);
    EXPECT_EQ(resolve("System", "MeasurementFontSize", "7").number, 14);
    EXPECT_EQ(resolve("System", "MeasurementFontSize", "big").number, 14);
    // Texts go in unchanged, limits too: the row check marks a limit that is not a number.
    EXPECT_EQ(resolve("Setup-FP", "NTPMax", "abc").text, "abc");
    EXPECT_EQ(resolve("System", "LogInterval", " 7 ").text, " 7 ");
    // Modulation words select their choice; an unknown word leaves the choice alone.
    const SetupKey& pp = KeyOf("PPTest", "Modulation");
    EXPECT_EQ(ResolveSetupValue(pp, "fig31").choice, 5u);
    EXPECT_EQ(ResolveSetupValue(pp, "BS0F").choice, 4u);
    EXPECT_FALSE(ResolveSetupValue(pp, "BS77").choice.has_value());
    EXPECT_TRUE(ResolveSetupValue(pp, "BS77").unreadable);
    EXPECT_EQ(ResolveSetupValue(pp, std::nullopt).choice, 5u);
    EXPECT_FALSE(ResolveSetupValue(KeyOf("RF-Gen", "Modulation"), "PSRB").choice.has_value());

    EXPECT_EQ(ParseSetupInteger("+12"), 12);
    EXPECT_FALSE(ParseSetupInteger("99999999999999999999").has_value());
    EXPECT_FALSE(ParseSetupInteger("").has_value());
}

TEST(SetupValues, NamesTypedWithoutExtensionGetIt) {
    EXPECT_EQ(WithDefaultExtension("/a.b/setup", "cfg"), "/a.b/setup.cfg");
    EXPECT_EQ(WithDefaultExtension("/a/setup.ini", "cfg"), "/a/setup.ini");
    EXPECT_EQ(WithDefaultExtension("/a/.cfg", "cfg"), "/a/.cfg.cfg");
}

TEST(SetupStore, KeepsForeignContentAndOrderAndIgnoresCase) {
    QTemporaryDir dir;
    const QString path = dir.filePath("lab.cfg");
    WriteAll(path,
             "; bench 4\n[Operator]\nName=Ilse\n[system]\nextattenuation = 3\nColour=blue\n"
             "[Setup-PP]\nNTPMax=28\n");
    SetupStore store;
    QString reason;
    ASSERT_TRUE(store.read(path, false, &reason)) << reason.toStdString();
    EXPECT_EQ(store.value("System", "ExtAttenuation"), "3");
    EXPECT_EQ(store.value("SETUP-PP", "ntpmax"), "28");
    EXPECT_FALSE(store.value("System", "Timing").has_value());
    store.setValue("System", "ExtAttenuation", "6");
    store.setValue("System", "Timing", "2");
    store.setValue("RF-Gen", "Carrier", "5");
    ASSERT_TRUE(store.write(path, &reason)) << reason.toStdString();
    // Known keys keep their place and spelling, new ones go to the end of their section, new
    // sections to the end of the file.
    const std::string expected =
        "; bench 4\n\n\n[Operator]\nName=Ilse\n\n\n[system]\nextattenuation=6\nColour=blue\n"
        "Timing=2\n\n\n[Setup-PP]\nNTPMax=28\n\n\n[RF-Gen]\nCarrier=5\n";
    EXPECT_EQ(ReadAll(path).toStdString(), expected);
    // Saving again does not make the file grow.
    ASSERT_TRUE(store.read(path, false, &reason));
    ASSERT_TRUE(store.write(path, &reason));
    EXPECT_EQ(ReadAll(path).toStdString(), expected);
}

TEST(SetupStore, FilesThatCannotBeReadAreRefusedWithAReason) {
    QTemporaryDir dir;
    SetupStore store;
    store.setValue("System", "Timing", "9");
    QString reason;
    EXPECT_FALSE(store.read(dir.filePath("none.cfg"), false, &reason));
    EXPECT_FALSE(reason.isEmpty());
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.cfg"));
    EXPECT_FALSE(store.read(dir.filePath("folder.cfg"), false, &reason));
    EXPECT_TRUE(reason.contains("folder"));
    const QString binary = dir.filePath("image.cfg");
    WriteAll(binary, QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR[System]\nTiming=5\n", 36));
    EXPECT_FALSE(store.read(binary, false, &reason));
    EXPECT_TRUE(reason.contains("binary"));
    const QString huge = dir.filePath("huge.cfg");
    WriteAll(huge, QByteArray(2 << 20, 'x'));
    EXPECT_FALSE(store.read(huge, false, &reason));
    // A refused file leaves the store as it was.
    EXPECT_EQ(store.value("System", "Timing"), "9");
    // A missing file is an empty store where the caller allows it.
    EXPECT_TRUE(store.read(dir.filePath("none.cfg"), true, &reason));
    EXPECT_FALSE(store.value("System", "Timing").has_value());
}

// Runs `check` in a child process; its exit status is 0 when it held.
int InChild(const std::function<bool()>& check) {
    const pid_t pid = fork();
    if (pid == 0) _exit(check() ? 0 : 3);
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

TEST(SetupStore, SavesThatFailOrDieHalfWayLeaveTheOldFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Default.cfg");
    const QByteArray old = "[System]\nTiming=7\n";
    WriteAll(path, old);
    SetupStore store;
    QString reason;
    ASSERT_TRUE(store.read(path, false, &reason));
    for (int i = 0; i < 200; ++i) store.setValue("Bulk", "Key" + std::to_string(i), "value");

    // Killed after the new text was written in full, before it replaced the old file.
    store.beforeReplace = [] { raise(SIGKILL); };
    const int killed = InChild([&] { return store.write(path, nullptr); });
    EXPECT_TRUE(WIFSIGNALED(killed) && WTERMSIG(killed) == SIGKILL);
    EXPECT_EQ(ReadAll(path), old);
    store.beforeReplace = nullptr;

    // The disk takes no more than 100 bytes (a full disk, a quota): the write fails.
    const int full = InChild([&] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100, 100};
        setrlimit(RLIMIT_FSIZE, &limit);
        QString why;
        const bool ok = store.write(path, &why);
        return !ok && !why.isEmpty();
    });
    EXPECT_TRUE(WIFEXITED(full) && WEXITSTATUS(full) == 0);
    EXPECT_EQ(ReadAll(path), old);

    // A folder that cannot hold files (its path is a file).
    EXPECT_FALSE(store.write(dir.filePath("Default.cfg/inner.cfg"), &reason));
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_EQ(ReadAll(path), old);

    ASSERT_TRUE(store.write(path, &reason));
    EXPECT_TRUE(ReadAll(path).contains("Key199=value"));
}

}  // namespace
}  // namespace tavrin::app
