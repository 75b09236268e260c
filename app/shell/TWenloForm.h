// The main window: the page frame, the tester thread, the start-up, the tester reset, the deferred
// page activation and the shutdown. What the windows share is the session it holds.
#pragma once

#include <QSize>
#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FrameWindows.h"
#include "ModelIdentification.h"
#include "core/CommandWrappers.h"
#include "core/SessionState.h"
#include "core/StartupOptions.h"
#include "core/TesterWorker.h"
#include "core/Timing.h"
#include "core/UserDialogs.h"

class QLineEdit;
class QTabWidget;
class QTimer;

namespace tavrin::app {

class BottomPanel;
class FPTestPage;
class PPTestPage;
class ResetWait;
class RFAnalyzerPage;
class RFGenPage;
class SetupFiles;
class SetupFPPage;
class SetupPPPage;
class SystemPage;
class TabPage;
class TraceLog;

struct WenloSettings {
    std::vector<std::string> arguments;  // the command line, program path first
    Timing timing;
    // Ends the program; the default leaves the toolkit's event loop with the code.
    std::function<void(int)> terminate;
    // The screen size; the default asks the primary screen.
    std::function<QSize()> screenSize;
    // Where the library's trace lines go outside debug mode; empty: no routing at all.
    QString traceLogPath;
    // The tester's requests run on a thread of their own; the tests on the recording fake
    // run them at once instead.
    bool testerThread = true;
};

class TWenloForm : public QWidget {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 361;
    static constexpr int kClientHeight = 416;
    static constexpr int kPageHeight = 403;
    static constexpr int kSetupPageHeight = 471;
    static constexpr const char* kProgramVersion = "3.2.0";
    static constexpr const char* kBuildDate = "Sep 11 2014";

    // FormCreate: the windows are created, the Setup-PP page is active and the
    // initialisation timer runs.
    TWenloForm(TesterPort& port, UserDialogs& dialogs, WenloSettings settings);
    ~TWenloForm() override;

    // Handlers.
    void InitTimerTimer();
    void ResetButtonClick();
    void DummyTimerTimer();
    void SystemTabSheetShow();
    void OptionEnableDisableClick();
    void Windows_posButtonClick();
    void ScreenSizeMonitoringTimerTimer();
    void FormClose();

    // Pages and windows.
    QTabWidget* PageControl;
    BottomPanel* AlwaysPanel;
    SystemPage* SystemTabSheet;
    PPTestPage* PP_TestTabSheet;
    FPTestPage* FP_TestTabSheet;
    RFGenPage* RF_GenTabSheet;
    RFAnalyzerPage* RF_AnalyzerTabSheet;
    SetupPPPage* SetupPPTabSheet;
    SetupFPPage* SetupFPTabSheet;
    TCommForm& commForm() { return *m_windows.comm; }
    TResetForm& resetForm() { return *m_windows.reset; }
    TNoConnectForm& noConnectForm() { return *m_windows.noConnect; }
    THelpForm& helpForm() { return *m_windows.help; }
    LogSettings& logSettings() { return *m_windows.logSettings; }
    TLinkConnectForm& linkForm() { return *m_windows.link; }
    TModulationForm& modulationForm() { return *m_windows.modulation; }
    TNTPForm& ntpForm() { return *m_windows.ntp; }
    FrameChartHost& chartHost() { return *m_windows.chartHost; }
    QTimer* DummyTimer;
    QTimer* ScreenSizeMonitoringTimer;
    QLineEdit* TimingEdit;  // never shown; only its text goes into the setup file

    // What the windows share.
    SessionState& session() { return m_session; }
    // The tester thread, every window's way to the tester.
    TesterWorker& tester() { return *m_tester; }
    // Its wrappers: only for requests, and for the tests' look at the error count.
    CommandWrappers& wrappers() { return m_tester->wrappers(); }
    UserDialogs& dialogs() { return m_dialogs; }
    // The library's trace lines outside debug mode; null when they are not routed.
    TraceLog* traceLog() { return m_traceLog.get(); }
    bool debugMode() const { return m_debugMode; }
    bool startupInProgress() const { return m_startupInProgress; }
    const QString& captionBase() const { return m_identification->captionBase(); }
    const Timing& timing() const { return m_settings.timing; }
    // The Setup group's actions of both setup pages.
    SetupFiles& setupFiles() { return *m_setupFiles; }
    int dummyTimerTag() const { return m_dummyTimerTag; }
    bool terminating() const { return m_terminating; }
    // Shows a page's tab or hides it.
    bool pageTabVisible(const TabPage* page) const;

    // The radio options the pages share.
    RadioOptions& radioOptions() { return *m_windows.radioOptions; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void initialisation();
    // The reset: the port probe, then the wait (ResetWait) and its end.
    void portProbed(bool refused);
    void waitForTester();
    void resetWaitEnded(bool reachedTester);
    void resetFinished();
    // The System page's answers: the caption, the model, the radio options sent again.
    void systemAnswered(const std::string& hardware);
    // The pages as their tabs stand, the System page first.
    std::array<TabPage*, 7> pagesInOrder() const;
    void pageShow(TabPage* page, bool fromDummyTimer = false);
    void layOutPage(bool setupPage);
    // The session learns the page the tab control shows.
    void noteShownPage();
    void terminate(int code);
    void setResetRunning(bool running);

    WenloSettings m_settings;
    SessionState m_session;
    UserDialogs& m_dialogs;
    std::unique_ptr<TesterWorker> m_tester;
    bool m_debugMode = false;
    FrameWindows m_windows;
    std::unique_ptr<TraceLog> m_traceLog;
    std::unique_ptr<SetupFiles> m_setupFiles;
    std::unique_ptr<ModelIdentification> m_identification;
    std::unique_ptr<QTimer> m_initTimer;
    std::unique_ptr<ResetWait> m_resetWait;
    bool m_systemAfterReset = false;   // the retry shows the System page once the reset is done
    bool m_waitReachedTester = false;  // the last wait ended with the main window shown
    int m_dummyTimerTag = 0;
    bool m_startupMark = false;   // the start-up's switch to the System page sends nothing
    bool m_resetRunning = false;  // the Reset button waits for the running reset

    bool m_startupInProgress = false;
    bool m_terminating = false;
    int m_recordedScreenHeight = 0;
    std::string m_savedNumericLocale;
};

}  // namespace tavrin::app
