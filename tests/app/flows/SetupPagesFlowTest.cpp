// The setup pages on the recording fake: limit fields, their marking and its effect on the
// program, the ramp fields and their commands, and the Setup group.
#include <gtest/gtest.h>

#include <QFocusEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>

#include "FakeTester.h"
#include "pages/FPTestPage.h"
#include "pages/PPTestPage.h"
#include "pages/RFAnalyzerPage.h"
#include "pages/RFGenPage.h"
#include "setup/SetupPages.h"
#include "shell/SetupWiring.h"

namespace tavrin::app::testing {
namespace {

using common::LimitColumn;
using common::LimitRow;

// Types a text into a field and leaves it for another control of the window.
void Enter(QLineEdit* field, const QString& text) {
    field->setText(text);
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(field, &out);
}

bool Red(const QLineEdit* field) {
    return SetupPage::markedInError(field);
}

struct SetupProgram : Program {
    SetupProgram() {
        EXPECT_TRUE(started());
        pp = form->SetupPPTabSheet;
        fp = form->SetupFPTabSheet;
    }
    // System, PP test, FP test and RF generator tabs, and the four Save buttons.
    bool unlocked() const {
        const TWenloForm& f = *form;
        return f.pageTabVisible(f.SystemTabSheet) && f.pageTabVisible(f.PP_TestTabSheet) &&
               f.pageTabVisible(f.FP_TestTabSheet) && f.pageTabVisible(f.RF_GenTabSheet) &&
               pp->SavePPButton->isEnabled() && pp->SaveAsDefaultPPButton->isEnabled() &&
               fp->SaveFPButton->isEnabled() && fp->SaveAsDefaultFPButton->isEnabled();
    }
    bool locked() const {
        const TWenloForm& f = *form;
        return !f.pageTabVisible(f.SystemTabSheet) && !f.pageTabVisible(f.PP_TestTabSheet) &&
               !f.pageTabVisible(f.FP_TestTabSheet) && !f.pageTabVisible(f.RF_GenTabSheet) &&
               !pp->SavePPButton->isEnabled() && !pp->SaveAsDefaultPPButton->isEnabled() &&
               !fp->SaveFPButton->isEnabled() && !fp->SaveAsDefaultFPButton->isEnabled();
    }
    SetupPPPage* pp;
    SetupFPPage* fp;
};

TEST(SetupPages, FieldsCarryTheirNamesLengthsAndLabels) {
    SetupProgram p;
    int limitFields = 0;
    for (SetupPage* page : {static_cast<SetupPage*>(p.pp), static_cast<SetupPage*>(p.fp)}) {
        const QString side = page == p.pp ? "" : "FP";
        for (const common::LimitRowSpec& entry : common::LimitRows()) {
            for (LimitColumn c : common::kLimitColumns) {
                QLineEdit* field = page->limitEdit(entry.row, c);
                ASSERT_EQ(field != nullptr, common::HasColumn(entry.row, c));
                if (!field) continue;
                ++limitFields;
                const QString name =
                    QString::fromStdString(common::LimitKey(entry.row, c)) + side + "Edit";
                EXPECT_EQ(field->objectName(), name);
                EXPECT_EQ(page->findChild<QLineEdit*>(name), field);
                EXPECT_EQ(field->maxLength(), entry.row == LimitRow::S_Field ? 32767 : 7);
                EXPECT_FALSE(Red(field));
            }
        }
    }
    EXPECT_EQ(limitFields, 48);
    // The named members are the fields of their row and column.
    EXPECT_EQ(p.pp->NTPMinEdit, p.pp->limitEdit(LimitRow::NTP, LimitColumn::Min));
    EXPECT_EQ(p.fp->S_FieldMaxOKFPEdit, p.fp->limitEdit(LimitRow::S_Field, LimitColumn::MaxOK));
    EXPECT_EQ(p.pp->PP_RAMPA->maxLength(), 32767);
    EXPECT_EQ(p.fp->FP_RAMPF->maxLength(), 7);
    EXPECT_EQ(p.fp->FP_RAMPF->text(), "-6");
    EXPECT_EQ(p.pp->LimitsGroup->title(), "PP Limits");
    EXPECT_EQ(p.fp->LimitsGroup->title(), "FP Limits");
    EXPECT_EQ(p.fp->RampGroup->title(), "Power Ramp configure [dBm].:");
    EXPECT_EQ(p.pp->SetupGroup->title(), "Setup");
    const QStringList captions = {p.pp->LoadPPButton->text(), p.pp->LoadDefaultPPButton->text(),
                                  p.pp->SavePPButton->text(), p.pp->SaveAsDefaultPPButton->text(),
                                  p.pp->FactoryPPButton->text()};
    EXPECT_EQ(captions, (QStringList{"&Load", "Load &Default", "&Save", "Sa&ve as Default",
                                     "Factory Settings"}));
    EXPECT_TRUE(p.pp->ConfigFilePPEdit->isReadOnly());
    EXPECT_TRUE(p.unlocked());
}

TEST(SetupPages, NoNumberRestoresTheFactoryValueAndSendsNothing) {
    SetupProgram p;
    const size_t sent = p.tester.lines.size();
    // The box takes the focus from the field while its exit handling runs: no second box.
    p.dialogs.onMessage = [&p] {
        QFocusEvent out(QEvent::FocusOut, Qt::OtherFocusReason);
        QCoreApplication::sendEvent(p.pp->FrqDriftMinOKEdit, &out);
    };
    Enter(p.pp->FrqDriftMinOKEdit, "abc");
    p.dialogs.onMessage = nullptr;
    EXPECT_EQ(p.dialogs.messages, (std::vector<QString>{"Error. Setting default (-43.2)"}));
    EXPECT_EQ(p.dialogs.offered.back(), (std::vector<MessageButton>{MessageButton::Ok}));
    EXPECT_EQ(p.pp->FrqDriftMinOKEdit->text(), "-43.2");
    Enter(p.fp->LT_BERMaxFPEdit, "");
    EXPECT_EQ(p.dialogs.messages.back(), "Error. Setting default (0.005)");
    EXPECT_EQ(p.fp->LT_BERMaxFPEdit->text(), "0.005");
    EXPECT_EQ(p.form->session().limitErrorCount(), 0);
    EXPECT_EQ(p.tester.lines.size(), sent);  // limits live in the program only
    // Switching to another window is no exit.
    p.pp->NTPMaxEdit->setText("x");
    QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QCoreApplication::sendEvent(p.pp->NTPMaxEdit, &away);
    EXPECT_EQ(p.pp->NTPMaxEdit->text(), "x");
    EXPECT_EQ(p.dialogs.messages.size(), 2u);
}

TEST(SetupPages, RowsOutOfOrderLockTheProgramUntilMended) {
    SetupProgram p;
    TWenloForm& f = *p.form;
    const bool analyzerTab = f.pageTabVisible(f.RF_AnalyzerTabSheet);
    Enter(p.pp->NTPMinOKEdit, "30");
    EXPECT_TRUE(Red(p.pp->NTPMinOKEdit));
    EXPECT_TRUE(Red(p.pp->NTPMaxOKEdit));
    EXPECT_FALSE(Red(p.pp->NTPMinEdit));
    EXPECT_FALSE(Red(p.pp->NTPMaxEdit));
    EXPECT_EQ(f.session().limitErrorCount(), 2);
    EXPECT_TRUE(p.locked());
    EXPECT_EQ(f.pageTabVisible(f.RF_AnalyzerTabSheet), analyzerTab);
    EXPECT_TRUE(f.pageTabVisible(f.SetupPPTabSheet) && f.pageTabVisible(f.SetupFPTabSheet));
    EXPECT_TRUE(p.pp->LoadPPButton->isEnabled() && p.fp->FactoryFPButton->isEnabled());

    // A second row on the other page: each field counts once, however often it is checked.
    Enter(p.fp->LT_FERMaxOKFPEdit, "10");
    Enter(p.fp->LT_FERMaxOKFPEdit, "10");
    EXPECT_TRUE(Red(p.fp->LT_FERMaxOKFPEdit) && Red(p.fp->LT_FERMaxFPEdit));
    EXPECT_EQ(f.session().limitErrorCount(), 4);
    Enter(p.pp->NTPMinOKEdit, "19");
    EXPECT_EQ(f.session().limitErrorCount(), 2);
    EXPECT_TRUE(p.locked());
    Enter(p.fp->LT_FERMaxOKFPEdit, "5");
    EXPECT_EQ(f.session().limitErrorCount(), 0);
    EXPECT_FALSE(Red(p.pp->NTPMaxOKEdit) || Red(p.fp->LT_FERMaxFPEdit));
    EXPECT_TRUE(p.unlocked());
    EXPECT_TRUE(p.dialogs.messages.empty());
}

TEST(SetupPages, EnterCommitsInPlaceAndIsSwallowed) {
    SetupProgram p;
    QLineEdit* field = p.pp->B_FieldMaxOKEdit;
    QSignalSpy returns(field, &QLineEdit::returnPressed);
    field->setText("600");
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_TRUE(Red(field) && Red(p.pp->B_FieldMaxEdit));
    EXPECT_EQ(returns.count(), 0);
    field->setText("abc");
    QTest::keyClick(field, Qt::Key_Enter);
    EXPECT_EQ(field->text(), "403");
    EXPECT_EQ(p.dialogs.messages.size(), 1u);
    EXPECT_EQ(returns.count(), 0);
    EXPECT_EQ(p.form->session().limitErrorCount(), 0);
}

TEST(SetupPages, LimitTextsFromAFileAreCheckedAsTheyStand) {
    SetupProgram p;
    // A load puts texts in without the entry check; the check that follows it marks a text
    // that is no number, and never replaces it.
    p.fp->NTPMaxFPEdit->setText("3O");
    p.pp->S_FieldMinEdit->setText("300");
    CheckAllLimitRows(*p.form);
    EXPECT_TRUE(Red(p.fp->NTPMaxFPEdit));
    EXPECT_FALSE(Red(p.fp->NTPMaxOKFPEdit));
    EXPECT_TRUE(Red(p.pp->S_FieldMinEdit) && Red(p.pp->S_FieldMinOKEdit));
    EXPECT_EQ(p.fp->NTPMaxFPEdit->text(), "3O");
    EXPECT_EQ(p.form->session().limitErrorCount(), 3);
    EXPECT_FALSE(p.form->session().limitsConsistent());
    CheckAllLimitRows(*p.form);
    EXPECT_EQ(p.form->session().limitErrorCount(), 3);
    EXPECT_TRUE(p.locked());
    EXPECT_TRUE(p.dialogs.messages.empty());
    p.fp->NTPMaxFPEdit->setText("30");
    p.pp->S_FieldMinEdit->setText("100");
    CheckAllLimitRows(*p.form);
    EXPECT_TRUE(p.unlocked());
}

TEST(SetupPages, WithoutValidHardwareOnlyTheSystemTabFollowsTheLimits) {
    Program p;
    p.tester.answers["SYST:HW:VERS?"] = "Unknown";
    p.dialogs.answers = {MessageButton::Ignore};
    ASSERT_TRUE(p.started());
    TWenloForm& f = *p.form;
    Enter(f.SetupPPTabSheet->NTPMaxEdit, "20");
    EXPECT_FALSE(f.pageTabVisible(f.SystemTabSheet));
    Enter(f.SetupPPTabSheet->NTPMaxEdit, "30");
    EXPECT_TRUE(f.pageTabVisible(f.SystemTabSheet));
    EXPECT_FALSE(f.pageTabVisible(f.PP_TestTabSheet) || f.pageTabVisible(f.FP_TestTabSheet) ||
                 f.pageTabVisible(f.RF_GenTabSheet));
}

TEST(SetupPages, RampFieldsSendTheirLevelAndStoreItTruncated) {
    SetupProgram p;
    TWenloForm& f = *p.form;
    p.tester.lines.clear();
    Enter(p.pp->PP_RAMPC, "12");
    EXPECT_EQ(p.pp->PP_RAMPC->text(), "4");
    Enter(p.pp->PP_RAMPB, "-7.9");
    EXPECT_EQ(p.pp->PP_RAMPB->text(), "-7.9");
    p.fp->FP_RAMPA->setText("x");
    QTest::keyClick(p.fp->FP_RAMPA, Qt::Key_Return);
    EXPECT_EQ(p.tester.lines,
              (std::vector<std::string>{"CALC:LIM:POW:RMPC 4", "CALC:LIM:POW:RMPB -7.9",
                                        "CALC:LIM:POW:RMPA -47"}));
    EXPECT_EQ(p.dialogs.messages, (std::vector<QString>{"Error. Setting default (-47)"}));
    EXPECT_EQ(f.session().powerRamp(), (std::array<int, 6>{-47, -7, 4, 1, -1, -5}));

    // The side committed last holds the six levels; a failed send still stores.
    p.fp->FP_RAMPE->setText("-3.5");
    p.tester.lines.clear();
    p.tester.failing.insert("CALC:LIM:POW:RMPF -6");
    const int errors = f.wrappers().writeErrorCount;
    p.pp->CommitRampFields();
    p.fp->CommitRampFields();
    EXPECT_EQ(p.tester.lines.size(), 12u);
    EXPECT_EQ(p.tester.lines[6], "CALC:LIM:POW:RMPA -47");
    EXPECT_EQ(p.tester.lines[10], "CALC:LIM:POW:RMPE -3.5");
    EXPECT_EQ(f.wrappers().writeErrorCount, errors + 2);
    EXPECT_EQ(f.session().powerRamp(), (std::array<int, 6>{-47, -16, 4, 1, -3, -6}));
}

}  // namespace
}  // namespace tavrin::app::testing
