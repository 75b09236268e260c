// The setup files in the program: the default setup at start, the buttons of both setup
// pages, and the limit check after every load.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <iostream>
#include <set>

#include "FakeTester.h"
#include "common/LimitSet.h"
#include "core/UpDown.h"
#include "pages/FPTestPage.h"
#include "pages/PPTestPage.h"
#include "pages/RFAnalyzerPage.h"
#include "pages/RFGenPage.h"
#include "setup/SetupFiles.h"
#include "setup/SetupKeys.h"
#include "setup/SetupPages.h"
#include "shell/SetupWiring.h"

namespace tavrin::app::testing {
namespace {

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A program whose "Default.cfg" and trace log live in a folder of its own.
struct SetupRig {
    explicit SetupRig(const QByteArray& defaultSetup = {},
                      std::vector<std::string> arguments = {"tavrin"})
        : p(std::move(arguments), nullptr, dir.filePath("trace.log")) {
        if (!defaultSetup.isEmpty()) {
            QFile f(dir.filePath("Default.cfg"));
            EXPECT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(defaultSetup);
        }
        p.form->setupFiles().setDefaultPath(dir.filePath("Default.cfg"));
        EXPECT_TRUE(p.started());
    }
    QLineEdit* field(const std::string& name) {
        // The bound controls, the link window's included.
        auto* f = qobject_cast<QLineEdit*>(p.form->setupFiles().binding().control(name));
        if (!f) throw std::runtime_error("no field " + name);
        return f;
    }
    // The texts of the table's fields that the program has, by name; the others are listed on
    // the test's output so a missing control is seen, not silently passed over.
    std::map<std::string, QString> fields() {
        const SetupBinding binding = p.form->setupFiles().binding();
        std::map<std::string, QString> texts;
        for (const SetupKey& k : SetupKeys()) {
            // A read-only display (the link window's font size) follows its stepper.
            auto* f = qobject_cast<QLineEdit*>(binding.control(k.control));
            if (f && !f->isReadOnly()) texts[k.control] = f->text();
        }
        return texts;
    }
    // Every control the table names, as text: fields, boxes ("1"/"0"), choices, the stepper.
    std::map<std::string, QString> state() {
        const SetupBinding binding = p.form->setupFiles().binding();
        std::map<std::string, QString> s;
        const auto read = [&](const std::string& name) {
            QObject* c = binding.control(name);
            if (auto* f = qobject_cast<QLineEdit*>(c)) s[name] = f->text();
            if (auto* b = qobject_cast<QAbstractButton*>(c)) s[name] = b->isChecked() ? "1" : "0";
            if (auto* u = qobject_cast<UpDown*>(c)) s[name] = QString::number(u->position());
        };
        for (const SetupKey& k : SetupKeys()) {
            read(k.control);
            read(k.alsoControl);
            for (const ModulationChoice& c : k.choices) read(std::string(c.control));
        }
        return s;
    }
    // Another value in every control: numbers stay numbers, boxes flip, the second choice.
    void changeEverything() {
        const SetupBinding binding = p.form->setupFiles().binding();
        for (const SetupKey& k : SetupKeys()) {
            if (k.kind == SetupKind::Modulation) {
                if (auto* b = qobject_cast<QAbstractButton*>(
                        binding.control(std::string(k.choices[1].control))))
                    b->setChecked(true);
                continue;
            }
            for (const std::string& name : {k.control, k.alsoControl}) {
                QObject* c = binding.control(name);
                if (auto* b = qobject_cast<QAbstractButton*>(c)) b->setChecked(!b->isChecked());
                if (auto* u = qobject_cast<UpDown*>(c)) u->setPosition(10);
                if (auto* f = qobject_cast<QLineEdit*>(c))
                    f->setText(k.kind == SetupKind::FontSize ? "10" : f->text() + "1");
            }
        }
    }
    std::map<std::string, QString> factoryFields() {
        std::map<std::string, QString> texts;
        const auto present = fields();
        for (const SetupKey& k : SetupKeys()) {
            if (present.count(k.control)) texts[k.control] = QString::fromStdString(k.factory);
        }
        return texts;
    }

    // What the key's control shows, as the file writes it.
    std::string shown(const SetupKey& k) {
        const SetupBinding binding = p.form->setupFiles().binding();
        for (const ModulationChoice& c : k.choices) {
            auto* b = qobject_cast<QAbstractButton*>(binding.control(std::string(c.control)));
            if (b && b->isChecked()) return std::string(c.word);
        }
        QObject* c = binding.control(k.control);
        if (auto* f = qobject_cast<QLineEdit*>(c)) return f->text().toStdString();
        if (auto* b = qobject_cast<QAbstractButton*>(c)) return b->isChecked() ? "1" : "0";
        return std::string(kSetupPort);
    }
    // Shows a page and gives the lines its activation sent.
    std::vector<std::string> activate(QWidget* page) {
        p.tester.lines.clear();
        p.form->PageControl->setCurrentWidget(page);
        EXPECT_TRUE(p.runUntil([&] { return p.settled(); }));
        return p.tester.lines;
    }

    QTemporaryDir dir;
    Program p;
};

// A value for every key, none the factory one, each at the edge of what its field accepts, and
// the line that the activation (or Reset Count) of the key's page sends with it.
struct Edge {
    std::string section, key, value, line;
};

std::vector<Edge> EdgeValues() {
    std::vector<Edge> edges{
        {"System", "CommunicationPort", "USB", ""},
        {"System", "ExtAttenuation", "10.5", "SENS:CORR:LOSS 10.5"},
        {"System", "RxAttenuator", "0", "CONF:ATT:RX OFF"},
        {"System", "LogInterval", "9999", ""},
        {"System", "AverageFactor", "200", "CONF:AVER:BURS 1"},  // sent when the length changes
        {"System", "Timing", "1000", ""},
        {"System", "MeasurementFontSize", "8", ""},
        {"PPTest", "RadioFPIdentity", "abcdef0123", "CONF:PP:RFPI \"abcdef0123\""},
        {"PPTest", "DummySlot", "8", "CONF:PP:DUMM:SLOT 8"},
        {"PPTest", "DummyCarrier", "9", "CONF:PP:DUMM:CARR 9"},
        {"PPTest", "TrafficSlot", "0", "CONF:PP:TRAF:SLOT 0"},
        {"PPTest", "TrafficCarrier", "9", "CONF:PP:TRAF:CARR 9"},
        // With coupling loss 10.5 the field takes -110..-50 and the activation's range check
        // -110.5..-50.5: -50.7 stays only when the page remembers -50.7, not a whole -50.
        {"PPTest", "RFLevelPP", "-50.7", "CONF:PP:RF:LEV -50.7"},
        {"PPTest", "Modulation", "BS20", "CONF:BER:DATA BS20"},
        {"PPTest", "BER", "100000", "CONF:BER:EVAL:WIND 100000"},
        {"FPTest", "Antenna", "7", "CONF:FP:ANT 7"},
        {"FPTest", "RadioFPIdentity", "FFFFFFFFFF", "CONF:FP:RFPI \"FFFFFFFFFF\""},
        {"FPTest", "TrafficSlot", "11", "CONF:FP:TRAF:SLOT 11"},
        {"FPTest", "TrafficCarrier", "9", "CONF:FP:TRAF:CARR 9"},
        {"FPTest", "RFLevelFP", "-109.5", "CONF:FP:RF:LEV -109.5"},
        {"FPTest", "Modulation", "PSRB", "CONF:BER:DATA PSRB"},
        {"FPTest", "BER", "1", "CONF:BER:EVAL:WIND 1"},
        {"RF-Gen", "Carrier", "9", "CONF:RFGE:CARR 9"},
        {"RF-Gen", "RFLevelGen", "-70.5", "CONF:FP:RF:LEV -70.5"},
        {"RF-Gen", "Modulation", "BS0F", "CONF:RFGE:MOD BS0F"},
        {"RF-Analyzer", "Carrier", "0", "CONF:RFGE:CARR 0"},
    };
    for (const char* box : {"MeasNTP", "MeasBField", "MeasSField", "MeasFreqOffs", "MeasFreqDrif",
                            "MeasBER", "MeasJitter"})
        edges.push_back({"System", box, "0", ""});
    // Ramps B..F at their bounds and a decimal; limits moved with every row kept in order, the
    // S-field ones (no length limit) with eight decimals.
    const std::map<std::string, std::vector<std::string>> ramps{
        {"PP", {"-20", "10", "0", "-10", "-7.9"}}, {"FP", {"0", "0", "10", "0", "-20"}}};
    for (const SetupKey& k : SetupKeys()) {
        if (k.section.rfind("Setup-", 0) != 0) continue;
        if (const size_t at = k.key.find("_RAMP"); at != std::string::npos) {
            const std::string& v = ramps.at(k.key.substr(0, at))[k.key.back() - 'B'];
            edges.push_back(
                {k.section, k.key, v, "CALC:LIM:POW:RMP" + k.key.substr(at + 5) + " " + v});
            continue;
        }
        const double factory = *common::ParseLimitNumber(k.factory);
        const double side = k.section == "Setup-PP" ? 0.25 : 0.5;
        const double v = k.key.rfind("LT_", 0) == 0       ? factory * 2
                         : k.key.rfind("S_Field", 0) == 0 ? factory + side + 0.12345678
                                                          : factory + side;
        edges.push_back({k.section, k.key, QString::number(v, 'g', 12).toStdString(), ""});
    }
    return edges;
}

TEST(SetupFilesInProgram, EveryControlOfTheTableIsBoundAndRoundTrips) {
    SetupRig rig;
    const auto missing = rig.p.form->setupFiles().binding().missingControls();
    for (const std::string& name : missing) std::cout << "not bound: " << name << "\n";
    EXPECT_TRUE(missing.empty());

    const auto factory = rig.state();
    rig.changeEverything();
    const auto saved = rig.state();
    ASSERT_TRUE(rig.p.form->setupFiles().save(rig.dir.filePath("all.cfg")));
    rig.p.form->SetupFPTabSheet->FactoryFPButton->click();
    EXPECT_EQ(rig.state(), factory);
    ASSERT_TRUE(rig.p.form->setupFiles().load(rig.dir.filePath("all.cfg")));
    const auto loaded = rig.state();
    std::set<std::string> choices;
    for (const SetupKey& k : SetupKeys()) {
        for (const ModulationChoice& c : k.choices) choices.insert(std::string(c.control));
    }
    for (const auto& [name, value] : saved) {
        EXPECT_EQ(loaded.at(name).toStdString(), value.toStdString()) << name;
        // Every field and box took part; of the choices only the two that changed.
        if (!choices.count(name))
            EXPECT_NE(factory.at(name).toStdString(), value.toStdString()) << name;
    }
}

TEST(SetupFilesInProgram, StartUpLoadsTheDefaultSetupOrTheFactoryValues) {
    {
        SetupRig rig;
        EXPECT_EQ(rig.p.form->SetupPPTabSheet->ConfigFilePPEdit->text(), "Factory");
        EXPECT_EQ(rig.p.form->SetupFPTabSheet->ConfigFileFPEdit->text(), "Factory");
        EXPECT_EQ(rig.fields(), rig.factoryFields());
    }
    SetupRig rig("[Setup-PP]\nNTPMax=28\nntpminok=25\n[Setup-FP]\nFP_RAMPC=7\n");
    EXPECT_EQ(rig.p.form->SetupPPTabSheet->ConfigFilePPEdit->text(), "Default.cfg");
    EXPECT_EQ(rig.p.form->SetupFPTabSheet->ConfigFileFPEdit->text(), "Default.cfg");
    auto expected = rig.factoryFields();
    expected["NTPMaxEdit"] = "28";
    expected["NTPMinOKEdit"] = "25";
    expected["FP_RAMPC"] = "7";
    EXPECT_EQ(rig.fields(), expected);
    // NTP MinOK 25 above MaxOK 24: the check after the load marks the row and locks the program.
    EXPECT_EQ(rig.p.form->session().limitErrorCount(), 2);
    EXPECT_FALSE(rig.p.form->SetupPPTabSheet->SavePPButton->isEnabled());
}

TEST(SetupFilesInProgram, BothFactoryButtonsRestoreTheFactoryValuesAndRecheck) {
    SetupRig rig;
    for (QPushButton* button : {rig.p.form->SetupPPTabSheet->FactoryPPButton,
                                rig.p.form->SetupFPTabSheet->FactoryFPButton}) {
        for (auto& [name, text] : rig.fields()) rig.field(name)->setText("12");
        rig.field("NTPMinOKFPEdit")->setText("30");
        CheckAllLimitRows(*rig.p.form);
        ASSERT_GT(rig.p.form->session().limitErrorCount(), 0);
        button->click();
        EXPECT_EQ(rig.fields(), rig.factoryFields()) << button->objectName().toStdString();
        EXPECT_EQ(rig.p.form->session().limitErrorCount(), 0);
        EXPECT_TRUE(rig.p.form->SetupFPTabSheet->SaveFPButton->isEnabled());
        EXPECT_EQ(rig.p.form->SetupPPTabSheet->ConfigFilePPEdit->text(), "Factory");
    }
}

TEST(SetupFilesInProgram, ButtonsSaveLoadAndRecheckAfterACancelledLoad) {
    SetupRig rig;
    TWenloForm& f = *rig.p.form;
    for (auto& [name, text] : rig.fields()) rig.field(name)->setText(text + "1");
    rig.field("PP_RAMPB")->setText("-9");
    const auto saved = rig.fields();
    f.SetupFPTabSheet->SaveAsDefaultFPButton->click();
    EXPECT_EQ(f.SetupPPTabSheet->ConfigFilePPEdit->text(), "Default.cfg");
    f.SetupPPTabSheet->FactoryPPButton->click();
    f.SetupPPTabSheet->LoadDefaultPPButton->click();
    EXPECT_EQ(rig.fields(), saved);

    // A row put out of order without leaving the field is only marked by a check; a Load
    // that the user cancels runs it.
    rig.field("NTPMinOKEdit")->setText("30");
    EXPECT_EQ(f.session().limitErrorCount(), 0);
    f.SetupFPTabSheet->LoadFPButton->click();
    EXPECT_EQ(f.session().limitErrorCount(), 2);
    EXPECT_TRUE(rig.p.dialogs.messages.empty());
}

TEST(SetupFilesInProgram, EveryValueAFieldAcceptsComesBackFromTheFileAndIsSent) {
    std::map<std::pair<std::string, std::string>, std::string> want;
    std::map<std::string, std::string> sections;
    for (const Edge& e : EdgeValues()) {
        want[{e.section, e.key}] = e.value;
        sections[e.section] += e.key + "=" + e.value + "\n";
    }
    ASSERT_EQ(want.size(), SetupKeys().size());
    const auto kept = [&](SetupRig& rig) {
        for (const SetupKey& k : SetupKeys())
            EXPECT_EQ(rig.shown(k), want.at({k.section, k.key})) << k.section << "/" << k.key;
    };
    // The values as a first program's default setup; that program saves them.
    QByteArray text;
    for (const auto& [section, lines] : sections) text += "[" + section + "]\n" + lines;
    SetupRig first(text);
    kept(first);
    const QString saved = first.dir.filePath("saved.cfg");
    ASSERT_TRUE(first.p.form->setupFiles().save(saved));

    // A fresh program loads the saved file at start and shows every value; each page's
    // activation sends its values and no other under the same headers.
    SetupRig rig(ReadFile(saved), {"tavrin", "--analyzer"});
    kept(rig);
    TWenloForm& f = *rig.p.form;
    std::map<std::string, std::vector<std::string>> sent{
        {"System", rig.p.tester.linesSinceReset()}};
    sent["PPTest"] = rig.activate(f.PP_TestTabSheet);
    f.PP_TestTabSheet->ResetCountPPButtonClick();
    sent["PPTest"].insert(sent["PPTest"].end(), rig.p.tester.lines.begin(),
                          rig.p.tester.lines.end());
    sent["FPTest"] = rig.activate(f.FP_TestTabSheet);
    f.FP_TestTabSheet->ResetCountFPButtonClick();
    sent["FPTest"].insert(sent["FPTest"].end(), rig.p.tester.lines.begin(),
                          rig.p.tester.lines.end());
    sent["RF-Gen"] = rig.activate(f.RF_GenTabSheet);
    sent["RF-Analyzer"] = rig.activate(f.RF_AnalyzerTabSheet);
    sent["Setup-PP"] = sent["PPTest"];
    sent["Setup-FP"] = sent["FPTest"];
    for (const Edge& e : EdgeValues()) {
        if (e.line.empty()) continue;
        const std::vector<std::string>& lines = sent.at(e.section);
        EXPECT_NE(std::find(lines.begin(), lines.end(), e.line), lines.end()) << e.line;
        const std::string header = e.line.substr(0, e.line.rfind(' ') + 1);
        for (const std::string& l : lines) {
            if (l.rfind(header, 0) == 0) {
                EXPECT_EQ(l, e.line);
            }
        }
    }
    // The fields took every value as it is, and a second save writes the first file again.
    kept(rig);
    ASSERT_TRUE(f.setupFiles().save(rig.dir.filePath("again.cfg")));
    EXPECT_EQ(ReadFile(rig.dir.filePath("again.cfg")), ReadFile(saved));
    EXPECT_FALSE(ReadFile(rig.dir.filePath("trace.log")).contains("cannot be read"));

    // Every word of the three choices: loaded, and sent by its page's activation.
    const std::map<std::string, QWidget*> pages{
        {"PPTest", f.PP_TestTabSheet}, {"FPTest", f.FP_TestTabSheet}, {"RF-Gen", f.RF_GenTabSheet}};
    for (const SetupKey& k : SetupKeys()) {
        for (const ModulationChoice& c : k.choices) {
            const std::string word(c.word);
            QFile file(rig.dir.filePath("word.cfg"));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(QByteArray::fromStdString("[" + k.section + "]\nModulation=" + word + "\n"));
            file.close();
            ASSERT_TRUE(f.setupFiles().load(file.fileName()));
            f.PageControl->setCurrentWidget(f.SetupPPTabSheet);  // so that the page is shown anew
            const std::vector<std::string> lines = rig.activate(pages.at(k.section));
            const std::string line = k.section == "RF-Gen"
                                         ? "CONF:RFGE:MOD " + (word == "CW" ? "OFF" : word)
                                         : "CONF:BER:DATA " + word;
            EXPECT_EQ(std::count(lines.begin(), lines.end(), line), 1) << line;
        }
    }
}

TEST(SetupFilesInProgram, AValueThatCannotBeReadTakesItsFactoryValueAndIsNamedInTheTrace) {
    SetupRig rig("[PPTest]\nRFLevelPP=abc\nBER=250\n");
    EXPECT_EQ(rig.field("RFLevelEdit")->text(), "-60");
    EXPECT_EQ(rig.field("BEREdit")->text(), "250");
    const std::vector<std::string> lines = rig.activate(rig.p.form->PP_TestTabSheet);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "CONF:PP:RF:LEV -60"), 2);
    // One line, stamped as the library's lines are, naming file, section, key, text and value.
    const QString trace = QString::fromLocal8Bit(ReadFile(rig.dir.filePath("trace.log")));
    const QString path = QDir::toNativeSeparators(rig.dir.filePath("Default.cfg"));
    const QRegularExpression line(
        "^Time: \\d\\d:\\d\\d:\\d\\d\\.\\d{3}: Setup file \"" + QRegularExpression::escape(path) +
            "\": \\[PPTest\\] RFLevelPP=\"abc\" cannot be read; the factory value -60 is used$",
        QRegularExpression::MultilineOption);
    EXPECT_TRUE(line.match(trace).hasMatch()) << trace.toStdString();
    EXPECT_EQ(trace.count("cannot be read"), 1);
}

}  // namespace
}  // namespace tavrin::app::testing
