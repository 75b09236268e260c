// The setup files in the program: the default setup at start, the buttons of both setup
// pages, and the limit check after every load.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <iostream>
#include <set>

#include "FakeTester.h"
#include "core/UpDown.h"
#include "setup/SetupFiles.h"
#include "setup/SetupKeys.h"
#include "setup/SetupPages.h"

namespace tavrin::app::testing {
namespace {

// A program whose "Default.cfg" lives in a folder of its own.
struct SetupRig {
    explicit SetupRig(const QByteArray& defaultSetup = {}) {
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

    QTemporaryDir dir;
    Program p;
};

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
    EXPECT_EQ(rig.p.form->limitErrorCount(), 2);
    EXPECT_FALSE(rig.p.form->SetupPPTabSheet->SavePPButton->isEnabled());
}

TEST(SetupFilesInProgram, BothFactoryButtonsRestoreTheFactoryValuesAndRecheck) {
    SetupRig rig;
    for (QPushButton* button : {rig.p.form->SetupPPTabSheet->FactoryPPButton,
                                rig.p.form->SetupFPTabSheet->FactoryFPButton}) {
        for (auto& [name, text] : rig.fields()) rig.field(name)->setText("12");
        rig.field("NTPMinOKFPEdit")->setText("30");
        rig.p.form->CheckAllLimitRows();
        ASSERT_GT(rig.p.form->limitErrorCount(), 0);
        button->click();
        EXPECT_EQ(rig.fields(), rig.factoryFields()) << button->objectName().toStdString();
        EXPECT_EQ(rig.p.form->limitErrorCount(), 0);
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
    EXPECT_EQ(f.limitErrorCount(), 0);
    f.SetupFPTabSheet->LoadFPButton->click();
    EXPECT_EQ(f.limitErrorCount(), 2);
    EXPECT_TRUE(rig.p.dialogs.messages.empty());
}

}  // namespace
}  // namespace tavrin::app::testing
