// The setup file actions on a window that carries every control the key table names: round
// trips, factory and default setups, partial and broken files, failed saves, and what a load
// does besides filling in fields.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <map>

#include "core/UpDown.h"
#include "core/UserDialogs.h"
#include "setup/SetupFiles.h"
#include "setup/SetupKeys.h"

namespace tavrin::app {
namespace {

class FileDialogs : public UserDialogs {
public:
    MessageButton message(QWidget*, MessageKind, const QString&, const QString& text,
                          const std::vector<MessageButton>& buttons) override {
        messages.push_back(text);
        return buttons.front();
    }
    QString openFileName(QWidget*, const QString& title, const QString&,
                         const QString& filter) override {
        titles.push_back(title);
        filters.push_back(filter);
        return openAnswer;
    }
    QString saveFileName(QWidget*, const QString& title, const QString&,
                         const QString& filter) override {
        titles.push_back(title);
        filters.push_back(filter);
        return saveAnswer;
    }
    QString openAnswer, saveAnswer;
    std::vector<QString> titles, filters, messages;
};

// One window holding a control for every name in the key table, as the program's windows do.
struct Controls {
    Controls() {
        const auto name = [](QObject* o, std::string_view n) {
            o->setObjectName(QString::fromUtf8(n.data(), static_cast<qsizetype>(n.size())));
        };
        const auto box = [&](std::string_view n) {
            auto* b = new QCheckBox(&window);
            name(b, n);
            QObject::connect(b, &QCheckBox::clicked, [this, n] { clicks.emplace_back(n); });
        };
        for (const SetupKey& k : SetupKeys()) {
            if (k.kind == SetupKind::Bool) {
                box(k.control);
                if (!k.alsoControl.empty()) box(k.alsoControl);
            } else if (k.kind == SetupKind::Modulation) {
                auto* group = new QWidget(&window);  // one exclusive choice per key
                for (const ModulationChoice& c : k.choices) {
                    auto* r = new QRadioButton(group);
                    name(r, c.control);
                    QObject::connect(r, &QRadioButton::clicked,
                                     [this, c] { clicks.emplace_back(c.control); });
                }
            } else if (k.kind == SetupKind::FontSize) {
                name(new QLineEdit(&window), k.control);
                auto* stepper = new UpDown(&window);
                stepper->setRange(1, 30);
                name(stepper, k.alsoControl);
            } else if (!k.control.empty()) {
                name(new QLineEdit(&window), k.control);
            }
        }
        name(new QLineEdit(&window), "ConfigFilePPEdit");
        name(new QLineEdit(&window), "ConfigFileFPEdit");
    }

    template <class T>
    T* get(const std::string& n) {
        T* c = window.findChild<T*>(QString::fromStdString(n));
        if (!c) throw std::runtime_error("no control " + n);
        return c;
    }
    QString text(const std::string& n) { return get<QLineEdit>(n)->text(); }
    bool checked(const std::string& n) { return get<QAbstractButton>(n)->isChecked(); }
    QString current() { return text("ConfigFilePPEdit"); }

    // The state of every control the table names, one text each.
    std::map<std::string, std::string> state() {
        std::map<std::string, std::string> s;
        for (const SetupKey& k : SetupKeys()) {
            if (k.kind == SetupKind::Bool) {
                s[k.control] = checked(k.control) ? "1" : "0";
                if (!k.alsoControl.empty()) s[k.alsoControl] = checked(k.alsoControl) ? "1" : "0";
            } else if (k.kind == SetupKind::Modulation) {
                for (const ModulationChoice& c : k.choices) {
                    if (checked(std::string(c.control))) s[k.section + "/Modulation"] = c.word;
                }
            } else if (k.kind == SetupKind::FontSize) {
                s[k.control] = text(k.control).toStdString();
                s[k.alsoControl] = std::to_string(get<UpDown>(k.alsoControl)->position());
            } else if (!k.control.empty()) {
                s[k.control] = text(k.control).toStdString();
            }
        }
        return s;
    }
    // The state a load of nothing but factory values gives.
    static std::map<std::string, std::string> factory() {
        std::map<std::string, std::string> s;
        for (const SetupKey& k : SetupKeys()) {
            if (k.kind == SetupKind::Modulation) {
                s[k.section + "/Modulation"] = k.factory;
            } else if (!k.control.empty()) {
                s[k.control] = k.factory;
                if (!k.alsoControl.empty()) s[k.alsoControl] = k.factory;
            }
        }
        return s;
    }
    // Puts a value other than the factory one into every control.
    void changeEverything(int seed) {
        int n = seed;
        for (const SetupKey& k : SetupKeys()) {
            ++n;
            if (k.kind == SetupKind::Bool) {
                get<QAbstractButton>(k.control)->setChecked(k.factory != "1");
                if (!k.alsoControl.empty()) get<QAbstractButton>(k.alsoControl)->setChecked(false);
            } else if (k.kind == SetupKind::Modulation) {
                get<QAbstractButton>(std::string(k.choices[seed % 3].control))->setChecked(true);
            } else if (k.kind == SetupKind::FontSize) {
                get<QLineEdit>(k.control)->setText(QString::number(8 + seed % 5));
                get<UpDown>(k.alsoControl)->setPosition(8 + seed % 5);
            } else if (!k.control.empty()) {
                get<QLineEdit>(k.control)->setText(QString::number(n * 3));
            }
        }
    }

    QWidget window;
    std::vector<std::string> clicks;
};

struct Rig {
    Rig() {
        SetupFilesContext context;
        context.roots = [this] { return std::vector<QObject*>{&controls.window}; };
        context.hooks.sendCommand = [this](const char* line) { sent.emplace_back(line); };
        context.hooks.remember = [this](Remembered r, double v) { remembered[r] = v; };
        context.trace = [this](const std::string& line) { trace.push_back(line); };
        context.hooks.fontSize = [this](int size) { fontSize = size; };
        context.hooks.powerRange = [this](double loss, bool rx) { range = {loss, rx}; };
        context.checkLimits = [this] { ++limitChecks; };
        context.defaultPath = dir.filePath("Default.cfg");
        files = std::make_unique<SetupFiles>(dialogs, nullptr, std::move(context));
    }
    QString path(const char* name) const { return dir.filePath(name); }
    void write(const QString& p, const QByteArray& data) {
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(data);
    }
    QByteArray read(const QString& p) {
        QFile f(p);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    Controls controls;
    FileDialogs dialogs;
    std::unique_ptr<SetupFiles> files;
    std::vector<std::string> sent;
    std::map<Remembered, double> remembered;
    std::vector<std::string> trace;
    int fontSize = 0;
    std::optional<std::pair<double, bool>> range;
    int limitChecks = 0;
};

TEST(SetupFiles, EveryKeyRoundTripsThroughAFile) {
    Rig rig;
    EXPECT_TRUE(rig.files->binding().missingControls().empty());
    rig.controls.changeEverything(1);
    const auto saved = rig.controls.state();
    rig.dialogs.saveAnswer = rig.path("bench");  // typed without the extension
    rig.files->SaveButtonClick();
    EXPECT_EQ(rig.dialogs.titles.back(), "Save Setup  file");
    EXPECT_EQ(rig.dialogs.filters.back(), "Configuration file (*.cfg)");
    EXPECT_EQ(rig.controls.current(), "bench.cfg");
    EXPECT_EQ(rig.controls.text("ConfigFileFPEdit"), "bench.cfg");
    const QByteArray text = rig.read(rig.path("bench.cfg"));
    EXPECT_TRUE(text.startsWith("[System]\nCommunicationPort=USB\nExtAttenuation=9\n"))
        << text.toStdString();
    for (const char* line : {"\nB_FieldMin=", "\nB_FieldMinOK=", "\nS_FieldMin=", "\nS_FieldMinOK=",
                             "\nMeasBER=0\n", "\nFP_RAMPF="}) {
        EXPECT_TRUE(text.contains(line)) << line;
    }
    EXPECT_FALSE(text.contains("PP_RAMPA"));

    rig.controls.changeEverything(2);
    EXPECT_NE(rig.controls.state(), saved);
    rig.dialogs.openAnswer = rig.path("bench.cfg");
    rig.files->LoadButtonClick();
    EXPECT_EQ(rig.dialogs.titles.back(), "Load Setup file");
    EXPECT_EQ(rig.controls.state(), saved);
    EXPECT_EQ(rig.controls.current(), "bench.cfg");
    EXPECT_EQ(rig.limitChecks, 1);
    EXPECT_TRUE(rig.dialogs.messages.empty());
}

TEST(SetupFiles, LoadDefaultWithoutTheFileGivesTheFactoryColumn) {
    Rig rig;
    rig.controls.changeEverything(1);
    rig.files->LoadDefaultButtonClick();
    EXPECT_EQ(rig.controls.current(), "Factory");
    EXPECT_EQ(rig.controls.text("ConfigFileFPEdit"), "Factory");
    EXPECT_EQ(rig.controls.state(), Controls::factory());
    EXPECT_EQ(rig.limitChecks, 1);
    EXPECT_EQ(rig.sent, std::vector<std::string>{"CONF:COMM:PORT USB"});
    EXPECT_EQ(rig.fontSize, 14);
    EXPECT_EQ(rig.range, std::make_pair(0.0, true));
    EXPECT_EQ(rig.remembered, (std::map<Remembered, double>{{Remembered::PPDummySlot, 0},
                                                            {Remembered::PPTrafficSlot, 4},
                                                            {Remembered::PPRFLevel, -60},
                                                            {Remembered::PPBERCount, 100},
                                                            {Remembered::FPRFLevel, -60},
                                                            {Remembered::FPBERCount, 100},
                                                            {Remembered::GenRFLevel, -60}}));

    // "Sa&ve as Default", then "Load &Default" reads it back.
    rig.controls.changeEverything(4);
    const auto saved = rig.controls.state();
    rig.files->SaveAsDefaultButtonClick();
    EXPECT_EQ(rig.controls.current(), "Default.cfg");
    rig.files->FactoryFPButtonClick();
    EXPECT_EQ(rig.controls.current(), "Factory");
    EXPECT_EQ(rig.limitChecks, 2);
    rig.files->LoadDefaultButtonClick();
    EXPECT_EQ(rig.controls.current(), "Default.cfg");
    EXPECT_EQ(rig.controls.state(), saved);
    EXPECT_EQ(rig.limitChecks, 3);
}

TEST(SetupFiles, APartialFileSetsItsKeyAndTheFactoryValueOfEveryOther) {
    Rig rig;
    rig.controls.changeEverything(1);
    rig.write(rig.path("ntp.cfg"), "[Setup-PP]\nNTPMax=28\n");
    ASSERT_TRUE(rig.files->load(rig.path("ntp.cfg")));
    auto expected = Controls::factory();
    expected["NTPMaxEdit"] = "28";
    EXPECT_EQ(rig.controls.state(), expected);
    EXPECT_EQ(rig.controls.current(), "ntp.cfg");

    // Names in any case; numbers that are not numbers take the factory value and the load
    // goes on; an unknown modulation word leaves the choice; a limit that is not a number
    // goes into its field as it is.
    rig.controls.changeEverything(1);
    rig.write(rig.path("hand.cfg"),
              "[SYSTEM]\nextattenuation=17.8\nRxAttenuator=0\nMeasurementFontSize=16\n"
              "MeasBER=1\nCommunicationPort=COM1\n[pptest]\nRFLevelPP=-70x\nDummySlot=3\n"
              "Modulation=BS77\n[FPTest]\nModulation=bs33\n[Setup-FP]\nNTPMinFP=1\nNTPMin=abc\n");
    rig.sent.clear();
    rig.controls.clicks.clear();
    ASSERT_TRUE(rig.files->load(rig.path("hand.cfg")));
    EXPECT_EQ(rig.controls.text("RFAttenuationEdit"), "17.8");
    EXPECT_FALSE(rig.controls.checked("RxAttCheckBox"));
    EXPECT_EQ(rig.range, std::make_pair(17.8, false));
    EXPECT_EQ(rig.controls.text("FontSizeEdit"), "14");
    EXPECT_EQ(rig.controls.get<UpDown>("FontSizeUpDown")->position(), 14);
    EXPECT_EQ(rig.fontSize, 14);
    EXPECT_TRUE(rig.controls.checked("LTermBerCheckBox"));
    EXPECT_TRUE(rig.controls.checked("LTermFerCheckBox"));
    EXPECT_TRUE(rig.sent.empty());
    EXPECT_EQ(rig.controls.text("RFLevelEdit"), "-60");
    EXPECT_EQ(rig.remembered[Remembered::PPRFLevel], -60);
    EXPECT_EQ(rig.remembered[Remembered::PPDummySlot], 3);
    EXPECT_TRUE(rig.controls.checked("SPSRRadioButton"));  // as it was before
    EXPECT_TRUE(rig.controls.checked("BS33_FPRadioButton"));
    EXPECT_EQ(rig.controls.text("NTPMinFPEdit"), "abc");
    // The two values that cannot be used are named in the trace; the rules' answers (font size
    // 16, port COM1, a slot the page will refuse) and a limit that goes into its field are not.
    const std::string file = QDir::toNativeSeparators(rig.path("hand.cfg")).toStdString();
    ASSERT_EQ(rig.trace.size(), 2u);
    EXPECT_TRUE(rig.trace[0].ends_with("Setup file \"" + file +
                                       "\": [PPTest] RFLevelPP=\"-70x\" "
                                       "cannot be read; the factory value -60 is used"))
        << rig.trace[0];
    EXPECT_TRUE(
        rig.trace[1].ends_with("[PPTest] Modulation=\"BS77\" cannot be read; the choice "
                               "stays SPSR"))
        << rig.trace[1];
    // Each changed box and choice ran its click handling once; unchanged ones did not.
    std::sort(rig.controls.clicks.begin(), rig.controls.clicks.end());
    EXPECT_EQ(
        rig.controls.clicks,
        (std::vector<std::string>{"BFieldModulationCheckBox", "BS33_FPRadioButton",
                                  "CWGenRadioButton", "FrequencyDriftCheckBox",
                                  "FrequencyOffsetCheckBox", "JitterCheckBox", "LTermBerCheckBox",
                                  "LTermFerCheckBox", "NTPCheckBox", "SFieldModulationCheckBox"}));

    rig.write(rig.path("small.cfg"), "[System]\nMeasurementFontSize=8\n");
    ASSERT_TRUE(rig.files->load(rig.path("small.cfg")));
    EXPECT_EQ(rig.controls.text("FontSizeEdit"), "8");
    EXPECT_EQ(rig.fontSize, 8);
    EXPECT_EQ(rig.sent, std::vector<std::string>{"CONF:COMM:PORT USB"});
}

TEST(SetupFiles, ACancelledOrRefusedLoadChangesNothingButChecksTheLimits) {
    Rig rig;
    rig.controls.changeEverything(1);
    const auto before = rig.controls.state();
    rig.controls.get<QLineEdit>("ConfigFilePPEdit")->setText("bench.cfg");
    rig.files->LoadButtonClick();  // cancelled
    EXPECT_EQ(rig.limitChecks, 1);
    EXPECT_EQ(rig.controls.state(), before);

    QDir(rig.dir.path()).mkdir("folder.cfg");
    rig.write(rig.path("garbage.cfg"), QByteArray("[System]\nTiming=9\n\0\x01\x02", 21));
    for (const char* name : {"garbage.cfg", "folder.cfg"}) {
        rig.dialogs.openAnswer = rig.path(name);
        rig.files->LoadButtonClick();
        ASSERT_FALSE(rig.dialogs.messages.empty());
        EXPECT_TRUE(rig.dialogs.messages.back().contains(rig.path(name))) << name;
        EXPECT_EQ(rig.controls.state(), before);
        EXPECT_EQ(rig.controls.current(), "bench.cfg");
        EXPECT_TRUE(rig.sent.empty());
    }
    EXPECT_EQ(rig.limitChecks, 3);
    EXPECT_EQ(rig.dialogs.messages.size(), 2u);
}

TEST(SetupFiles, SavesKeepForeignContentAndNeverLoseTheOldFile) {
    Rig rig;
    const QString path = rig.path("lab.cfg");
    rig.write(path, "[Operator]\nName=Ilse\n[System]\nTiming=9\nBench=4\n");
    rig.controls.changeEverything(1);
    ASSERT_TRUE(rig.files->save(path));
    QByteArray text = rig.read(path);
    EXPECT_TRUE(text.startsWith("[Operator]\nName=Ilse\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("\nBench=4\n"));
    EXPECT_FALSE(text.contains("Timing=9"));

    // A modulation with no choice selected leaves the key as the file held it.
    rig.write(path, "[RF-Gen]\nModulation=BS0F\n");
    for (const char* r :
         {"CWGenRadioButton", "BS55GenRadioButton", "BS33GenRadioButton", "BS0FGenRadioButton"}) {
        auto* button = rig.controls.get<QRadioButton>(r);
        button->setAutoExclusive(false);
        button->setChecked(false);
    }
    ASSERT_TRUE(rig.files->save(path));
    EXPECT_TRUE(rig.read(path).contains("[RF-Gen]\nModulation=BS0F\n"));

    // A target that is a folder, a folder that is a file, and an old file that is not a setup
    // file: each is reported with the file's name, and nothing on disk changes.
    const QByteArray binary(
        "\x7f"
        "ELF\x02\x01\x01\0\0\0",
        10);
    rig.write(rig.path("tool.cfg"), binary);
    QDir(rig.dir.path()).mkdir("folder.cfg");
    rig.controls.get<QLineEdit>("ConfigFilePPEdit")->setText("lab.cfg");
    for (const char* name : {"folder.cfg", "lab.cfg/inner.cfg", "tool.cfg"}) {
        EXPECT_FALSE(rig.files->save(rig.path(name))) << name;
        ASSERT_FALSE(rig.dialogs.messages.empty());
        EXPECT_TRUE(rig.dialogs.messages.back().contains(rig.path(name))) << name;
        EXPECT_EQ(rig.controls.current(), "lab.cfg");
    }
    EXPECT_EQ(rig.read(rig.path("tool.cfg")), binary);
    EXPECT_TRUE(QFileInfo(rig.path("folder.cfg")).isDir());
    EXPECT_TRUE(rig.read(path).contains("[RF-Gen]\nModulation=BS0F\n"));
}

TEST(SetupFiles, TheRealSaveDialogGivesATypedNameTheExtension) {
    QTemporaryDir dir;
    QtUserDialogs dialogs;
    QString title;
    // The dialog takes a moment to come up: look for it until it is there.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) return;
        poll.stop();
        title = dialog->windowTitle();
        static_cast<QDialog*>(dialog)->accept();  // as the Save button does
    });
    poll.start(20);
    const QString chosen = dialogs.saveFileName(nullptr, "Save Setup  file", dir.filePath("bench"),
                                                "Configuration file (*.cfg)");
    EXPECT_EQ(title, "Save Setup  file");
    EXPECT_EQ(chosen.toStdString(), QDir(dir.path()).filePath("bench.cfg").toStdString());
}

}  // namespace
}  // namespace tavrin::app
