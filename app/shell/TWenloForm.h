// The main window: the page frame, the tester thread, the start-up, the tester reset, the model
// identification, the deferred page activation and the shutdown. What the windows share is the
// session it holds.
#pragma once

#include <QSize>
#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

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
class FrameChartHost;
class FPTestPage;
class LogSettings;
class PPTestPage;
class RadioOptions;
class ResetWait;
class RFAnalyzerPage;
class RFGenPage;
class SetupFiles;
class SetupFPPage;
class SetupPPPage;
class SystemPage;
class TabPage;
class TCommForm;
class TLinkConnectForm;
class TModulationForm;
class TNTPForm;
class THelpForm;
class TNoConnectForm;
class TResetForm;
class TraceLog;
struct SystemAnswers;
struct TesterModel;

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
    void OffsetClick();
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
    TCommForm& commForm() { return *m_commForm; }
    TResetForm& resetForm() { return *m_resetForm; }
    TNoConnectForm& noConnectForm() { return *m_noConnectForm; }
    THelpForm& helpForm() { return *m_helpForm; }
    LogSettings& logSettings() { return *m_logSettings; }
    TLinkConnectForm& linkForm() { return *m_linkForm; }
    TModulationForm& modulationForm() { return *m_modulationForm; }
    TNTPForm& ntpForm() { return *m_ntpForm; }
    FrameChartHost& chartHost() { return *m_chartHost; }
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
    const QString& captionBase() const { return m_captionBase; }
    const Timing& timing() const { return m_settings.timing; }
    // The Setup group's actions of both setup pages.
    SetupFiles& setupFiles() { return *m_setupFiles; }
    int dummyTimerTag() const { return m_dummyTimerTag; }
    bool terminating() const { return m_terminating; }
    // Shows a page's tab or hides it.
    bool pageTabVisible(const TabPage* page) const;

    // The radio options the pages share.
    RadioOptions& radioOptions() { return *m_radioOptions; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    enum class Identification { Recognised, Ignored, Ended };

    void initialisation();
    // The reset: the port probe, then the wait (ResetWait) and its end.
    void portProbed(bool refused);
    void waitForTester();
    void resetWaitEnded(bool reachedTester);
    void resetFinished();
    void systemAnswered(const SystemAnswers& answers);
    Identification identifyTester(const std::string& answer);
    void configureForModel(const TesterModel& model, const std::string& answer);
    void pageShow(TabPage* page, bool fromDummyTimer = false);
    void systemActivation();
    void layOutPage(bool setupPage);
    void setPageTabVisible(TabPage* page, bool visible);
    // The session learns the page the tab control shows.
    void noteShownPage();
    void applyLimitConsistency();
    void terminate(int code);
    void setResetRunning(bool running);
    void send(const QString& line) { m_tester->sendText(line); }
    void testerLostChanged(bool lost);

    WenloSettings m_settings;
    SessionState m_session;
    UserDialogs& m_dialogs;
    std::unique_ptr<TesterWorker> m_tester;
    bool m_debugMode = false;
    std::unique_ptr<TCommForm> m_commForm;
    std::unique_ptr<TLinkConnectForm> m_linkForm;
    std::unique_ptr<TResetForm> m_resetForm;
    std::unique_ptr<THelpForm> m_helpForm;
    std::unique_ptr<TNoConnectForm> m_noConnectForm;
    std::unique_ptr<FrameChartHost> m_chartHost;
    std::unique_ptr<TModulationForm> m_modulationForm;
    std::unique_ptr<TNTPForm> m_ntpForm;
    std::unique_ptr<TraceLog> m_traceLog;
    std::unique_ptr<LogSettings> m_logSettings;
    std::unique_ptr<RadioOptions> m_radioOptions;
    std::unique_ptr<SetupFiles> m_setupFiles;
    std::unique_ptr<QTimer> m_initTimer;
    std::unique_ptr<ResetWait> m_resetWait;
    bool m_systemAfterReset = false;   // the retry shows the System page once the reset is done
    bool m_waitReachedTester = false;  // the last wait ended with the main window shown
    int m_dummyTimerTag = 0;
    bool m_startupMark = false;   // the start-up's switch to the System page sends nothing
    bool m_resetRunning = false;  // the Reset button waits for the running reset

    bool m_startupInProgress = false;
    bool m_terminating = false;
    bool m_showAnalyzer = false;
    QString m_captionBase = "Tavrin";
    bool m_validHardware = false;  // the identification recognised the tester
    int m_recordedScreenHeight = 0;
    std::string m_savedNumericLocale;
};

}  // namespace tavrin::app
