// The no-connection and help dialogs, the console, the window layout and the real message box.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <clocale>

#include "FakeTester.h"
#include "dialogs/TCommForm.h"
#include "dialogs/TNoConnectForm.h"
#include "dialogs/TResetForm.h"
#include "pages/SystemPage.h"
#include "setup/SetupPages.h"

namespace tavrin::app::testing {
namespace {

QString StatusOf(TCommForm& c) {
    return c.MainStatusBar->findChild<QLabel*>()->text();
}

TEST(NoConnection, RetryReachesTheSystemPage) {
    Program p;
    p.tester.neverIdle = true;
    ASSERT_TRUE(p.runUntil([&] { return p.form->noConnectForm().isVisible(); }));
    p.settle();
    p.tester.neverIdle = false;
    p.form->PageControl->setCurrentWidget(p.form->SetupFPTabSheet);
    p.form->noConnectForm().RetryButton->click();
    ASSERT_TRUE(p.started());
    EXPECT_EQ(p.form->PageControl->currentWidget(), p.form->SystemTabSheet);
    EXPECT_FALSE(p.form->noConnectForm().isVisible());
    EXPECT_FALSE(p.form->resetForm().isVisible());
    EXPECT_EQ(p.form->SystemTabSheet->HardWareIDLabel->text(), "Tavrin 1.0 2.0");
    EXPECT_EQ(p.tester.count("SYST:RESET"), 2);
    // Showing the window and the reset's own activation join in one activation, which
    // applies the carrier mode of a reset outside the start-up.
    EXPECT_EQ(p.tester.count("SYST:HW:VERS?"), 1);
    EXPECT_EQ(p.form->SystemTabSheet->TimeAfterReset->text(), "1");
}

TEST(NoConnection, HelpTwiceLeavesOneHelpWindowBelowTheDialog) {
    Program p;
    p.tester.neverIdle = true;
    ASSERT_TRUE(p.runUntil([&] { return p.form->noConnectForm().isVisible(); }));
    TNoConnectForm& dialog = p.form->noConnectForm();
    dialog.HelpButton->click();
    dialog.HelpButton->click();
    THelpForm& help = p.form->helpForm();
    EXPECT_TRUE(help.isVisible());
    EXPECT_EQ(help.windowTitle(), "Tavrin Help");
    EXPECT_EQ(help.CheckLine1->text(), "- Check Tavrin Test Set is turned ON.");
    EXPECT_EQ(help.pos().x(), dialog.frameGeometry().left());
    EXPECT_EQ(help.pos().y(), dialog.frameGeometry().top() + dialog.frameGeometry().height());
    int helpWindows = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<THelpForm*>(w) && w->isVisible()) ++helpWindows;
    EXPECT_EQ(helpWindows, 1);
}

TEST(NoConnection, HelpOkRetries) {
    Program p;
    p.tester.neverIdle = true;
    ASSERT_TRUE(p.runUntil([&] { return p.form->noConnectForm().isVisible(); }));
    p.settle();
    p.form->noConnectForm().HelpButton->click();
    EXPECT_TRUE(p.form->helpForm().LptChangedOKButton->isVisible());
    p.tester.neverIdle = false;
    p.form->helpForm().LptChangedOKButton->click();
    ASSERT_TRUE(p.started());
    EXPECT_FALSE(p.form->helpForm().isVisible());
    EXPECT_FALSE(p.form->noConnectForm().isVisible());
    EXPECT_EQ(p.form->PageControl->currentWidget(), p.form->SystemTabSheet);
}

TEST(NoConnection, ExitAndCloseEndTheProgram) {
    Program p;
    p.tester.neverIdle = true;
    ASSERT_TRUE(p.runUntil([&] { return p.form->noConnectForm().isVisible(); }));
    p.form->noConnectForm().ExitButton->click();
    EXPECT_EQ(p.exitCode, 0);
    p.exitCode.reset();
    p.form->noConnectForm().close();
    EXPECT_EQ(p.exitCode, 0);
}

TEST(MainWindow, ClosingEndsTheProgram) {
    Program p;
    ASSERT_TRUE(p.started());
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    p.form->close();
    EXPECT_EQ(p.exitCode, 0);
}

TEST(Console, EnterUpAndDown) {
    Program p({"tavrin", "/DEBUG"});
    ASSERT_TRUE(p.started());
    TCommForm& c = p.form->commForm();
    EXPECT_EQ(c.windowTitle(), "Communication");
    EXPECT_EQ(c.SendCommEdit->text(), "SYST:FIRM:VERS?");
    EXPECT_EQ(c.SendCommEdit->maxLength(), 130);
    c.SendCommEdit->clear();
    QTest::keyClicks(c.SendCommEdit, "*idn?");
    EXPECT_EQ(c.SendCommEdit->text(), "*IDN?");
    c.CommMemo->clear();
    QTest::keyClick(c.SendCommEdit, Qt::Key_Return);
    EXPECT_EQ(c.CommMemo->toPlainText(), "-->\"*IDN?\" (0)\n<--\"3.2.0\" (5)");
    EXPECT_EQ(StatusOf(c), "ZelkWrt Error count = 0");
    EXPECT_EQ(c.SendCommEdit->selectedText(), "*IDN?");
    EXPECT_EQ(c.SendCommEdit->text(), "*IDN?");  // the Enter never reaches the field

    QTest::keyClicks(c.SendCommEdit, "syst:firm:vers?");  // replaces the selection
    QTest::keyClick(c.SendCommEdit, Qt::Key_Return);
    QTest::keyClick(c.SendCommEdit, Qt::Key_Up);
    EXPECT_EQ(c.SendCommEdit->text(), "*IDN?");
    QTest::keyClick(c.SendCommEdit, Qt::Key_Up);
    EXPECT_EQ(c.SendCommEdit->text(), "*IDN?");
    QTest::keyClick(c.SendCommEdit, Qt::Key_Down);
    EXPECT_EQ(c.SendCommEdit->text(), "SYST:FIRM:VERS?");
    EXPECT_EQ(p.tester.lines.back(), "SYST:FIRM:VERS?");
}

TEST(Console, FailedLineIsCountedButNotRemembered) {
    Program p({"tavrin", "/DEBUG"});
    ASSERT_TRUE(p.started());
    TCommForm& c = p.form->commForm();
    p.tester.failing.insert("FOO");
    c.SendCommEdit->setText("FOO");
    QTest::keyClick(c.SendCommEdit, Qt::Key_Return);
    EXPECT_EQ(StatusOf(c), "ZelkWrt Error count = 1");
    EXPECT_EQ(c.history().entry(0), "");
    EXPECT_TRUE(c.CommMemo->toPlainText().endsWith("-->\"FOO\" (1)\n<--\"\" (0)"));
}

TEST(Console, MemoKeepsTheLast500Lines) {
    Program p({"tavrin", "/DEBUG"});
    TCommForm& c = p.form->commForm();
    for (int i = 0; i < 510; ++i) c.appendLine(QString("line %1").arg(i));
    EXPECT_EQ(c.CommMemo->blockCount(), 500);
    EXPECT_TRUE(c.CommMemo->toPlainText().startsWith("line 10\n"));
}

TEST(Console, TraceLinesAppearInDebugMode) {
    // The trace sink is the library's; outside the library the console shows what it gets.
    Program p({"tavrin", "/DEBUG"});
    ASSERT_TRUE(p.started());
    EXPECT_TRUE(p.form->commForm().CommMemo->toPlainText().contains("-->\"SYST:HW:VERS?\" (0)"));
}

TEST(Layout, DefaultLayoutAndScreenMonitor) {
    Program p;
    ASSERT_TRUE(p.started());
    TWenloForm& f = *p.form;
    EXPECT_EQ(f.pos(), QPoint(0, 0));
    f.SystemTabSheet->Windows_posButton->click();  // with the frame of the shown window
    const int mainHeight = f.frameGeometry().height();
    EXPECT_EQ(f.commForm().frameGeometry().top(), mainHeight);
    EXPECT_EQ(f.commForm().frameGeometry().height(), 1024 - mainHeight - 28);

    p.screen = QSize(1024, 768);
    ASSERT_TRUE(p.runUntil(
        [&] { return f.commForm().frameGeometry().height() == 768 - mainHeight - 28; }, 2000));

    f.move(300, 200);
    f.SystemTabSheet->Windows_posButton->click();
    EXPECT_EQ(f.pos(), QPoint(0, 0));
}

TEST(ResetDialog, ShownCentredWithItsStatusWhileWaiting) {
    Program p;
    TResetForm& r = p.form->resetForm();
    EXPECT_EQ(r.windowTitle(), "Tavrin Reset");
    EXPECT_EQ(r.StatusText->text(), "Please wait ...");
    EXPECT_FALSE(r.TestStatusMemo->isVisibleTo(&r));
    bool seen = false;
    p.tester.onWrite = [&](const std::string& line) {
        if (line != "STAT:DEV?" || seen) return;
        seen = true;
        EXPECT_TRUE(r.isVisible());
        EXPECT_FALSE(p.form->PageControl->isEnabled());
        EXPECT_EQ(r.StatusText->text(), "Please wait ...");
        EXPECT_EQ(r.StatusText->palette().color(QPalette::WindowText), QColor(Qt::yellow));
        const QSize screen = QGuiApplication::primaryScreen()->size();
        EXPECT_EQ(r.x(), screen.width() / 2 - r.width() / 2);
        EXPECT_EQ(r.y(), screen.height() / 2 - r.height() / 2);
    };
    ASSERT_TRUE(p.started());
    EXPECT_TRUE(seen);
    EXPECT_EQ(r.StatusText->text(), "OK");
    EXPECT_EQ(r.StatusText->palette().color(QPalette::WindowText), QColor(Qt::green));
}

TEST(MessageAdapter, RealBoxReturnsThePressedButton) {
    QtUserDialogs dialogs;
    QTimer::singleShot(50, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), "No Valid hardware detected!");
        box->button(QMessageBox::Retry)->click();
    });
    EXPECT_EQ(dialogs.message(nullptr, MessageKind::Error, "Tavrin", "No Valid hardware detected!",
                              {MessageButton::Abort, MessageButton::Retry, MessageButton::Ignore}),
              MessageButton::Retry);
}

}  // namespace
}  // namespace tavrin::app::testing
