// The main window: the page frame, the tester thread, the start-up, the tester reset with its
// wait, the model identification, the deferred page activation and the shutdown, and the state
// the windows share.
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
#include "core/StartupOptions.h"
#include "core/TesterWorker.h"
#include "core/Timing.h"
#include "core/UserDialogs.h"
#include "pages/CarrierPlan.h"
#include "pages/LinkWindowControl.h"
#include "pages/RFLevelRule.h"
#include "setup/SetupKeys.h"

class QLineEdit;
class QTabWidget;
class QTimer;

namespace tavrin::app {

class BottomPanel;
struct FieldCheck;
class FrameChartHost;
class FPTestPage;
class LogSettings;
class PPTestPage;
class RadioOptions;
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
    // A test page's show handler: lays out the frame and defers the page's commands by one
    // DummyTimer tick (the ECHO and LOOPBACK buttons re-run it).
    void activatePage(TabPage* page) { pageShow(page); }

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

    // Shared state.
    // The tester thread, every window's way to the tester.
    TesterWorker& tester() { return *m_tester; }
    // Its wrappers: only for requests, and for the tests' look at the error count.
    CommandWrappers& wrappers() { return m_tester->wrappers(); }
    UserDialogs& dialogs() { return m_dialogs; }
    bool debugMode() const { return m_debugMode; }
    bool startupInProgress() const { return m_startupInProgress; }
    const QString& captionBase() const { return m_captionBase; }
    float sampleClock() const { return m_sampleClock; }
    float sampleWindowLength() const { return m_sampleWindowLength; }
    void setSampleClock(float clock) { m_sampleClock = clock; }
    void setSampleWindowLength(float length) { m_sampleWindowLength = length; }
    const Timing& timing() const { return m_settings.timing; }
    int highestCarrier() const { return m_highestCarrier; }
    int slotMaximum() const { return m_slotMaximum; }
    const std::array<int, 6>& powerRamp() const { return m_powerRamp; }
    // The stored template level 0 = A .. 5 = F, as the last ramp field's exit left it.
    void setPowerRamp(int level, int value) { m_powerRamp.at(static_cast<size_t>(level)) = value; }
    // Checks all fourteen limit rows, PP first (after every load of settings).
    void CheckAllLimitRows();
    // The count of limit fields marked in error, and whether it is 0.
    int limitErrorCount() const { return m_limitErrorCount; }
    bool limitsConsistent() const { return m_limitErrorCount == 0; }
    // The Setup group's actions of both setup pages.
    SetupFiles& setupFiles() { return *m_setupFiles; }
    int dummyTimerTag() const { return m_dummyTimerTag; }
    bool terminating() const { return m_terminating; }
    // Shows a page's tab or hides it.
    bool pageTabVisible(const TabPage* page) const;

    // The test pages' shared state.
    // An error box with one OK button.
    void showError(const QString& text);
    // Shows an entry check's result in its field, then its error boxes in order.
    void applyCheck(QLineEdit* field, const FieldCheck& check);
    // Sends one command line through the send wrapper.
    void send(const QString& line);
    RadioOptions& radioOptions() { return *m_radioOptions; }
    CarrierPlan& carrierPlan() { return m_carrierPlan; }
    // The link measurement window as the pages see it; a do-nothing one until it is installed.
    LinkWindowControl& linkWindow() { return *m_linkWindow; }
    void setLinkWindowControl(LinkWindowControl* control);
    void setHighestCarrier(int highest) { m_highestCarrier = highest; }
    void setSlotMaximum(int maximum) { m_slotMaximum = maximum; }
    // The PP, FP or RF-Gen page marks itself the last activated (tag 1, the others 0).
    void markActivePage(TabPage* page);
    // The link window's averaging length N (1..200).
    int averagingLength() const { return m_averagingLength; }
    void setAveragingLength(int n);
    PowerRange powerChartRange() const { return m_powerChartRange; }
    void setPowerChartRange(PowerRange range);
    int lastCouplingLoss() const { return m_lastCouplingLoss; }
    void setLastCouplingLoss(int a) { m_lastCouplingLoss = a; }

Q_SIGNALS:
    // The averaging field really changed N; the link window empties its averaging buffers.
    void averagingLengthChanged(int n);
    // The coupling loss was committed; the link window empties its NTP averaging buffer.
    void couplingLossChanged();
    // The NTP chart's level range (its zoom is undone).
    void powerChartRangeChanged(int lower, int upper);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    enum class Identification { Recognised, Ignored, Ended };

    void initialisation();
    // The reset, a small state machine on timers and answers: the port probe, then a
    // "STAT:DEV?" a second until "IDLE" (at most ten), then a pause with the verdict.
    void portProbed(bool refused);
    void waitForTester();
    void ResetTimerTimer();
    void resetPolled(const std::string& reply);
    void waitEnded();
    void resetPauseEnded();
    void resetFinished();
    void systemAnswered(const SystemAnswers& answers);
    Identification identifyTester(const std::string& answer);
    void configureForModel(const TesterModel& model, const std::string& answer);
    void pageShow(TabPage* page, bool fromDummyTimer = false);
    void systemActivation();
    void layOutPage(bool setupPage);
    void connectSetupFiles();
    // A setup load's value that the test pages compare new entries against.
    void remember(Remembered value, double number);
    void setPageTabVisible(TabPage* page, bool visible);
    void limitRowChecked(int delta);
    void applyLimitConsistency();
    void terminate(int code);
    void testerLostChanged(bool lost);

    WenloSettings m_settings;
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
    LinkWindowControl m_noLinkWindow;
    LinkWindowControl* m_linkWindow = &m_noLinkWindow;
    CarrierPlan m_carrierPlan;
    int m_averagingLength = 1;
    PowerRange m_powerChartRange{-50, 30};
    int m_lastCouplingLoss = 0;
    std::unique_ptr<SetupFiles> m_setupFiles;
    std::unique_ptr<QTimer> m_initTimer;
    std::unique_ptr<QTimer> m_resetTimer;
    std::unique_ptr<QTimer> m_resetPause;
    int m_resetTimerTag = 0;
    bool m_resetIdle = false;
    bool m_resetPolling = false;       // a "STAT:DEV?" of the wait is on its way
    bool m_systemAfterReset = false;   // the retry shows the System page once the reset is done
    bool m_waitReachedTester = false;  // the last wait ended with the main window shown
    int m_dummyTimerTag = 0;

    bool m_startupInProgress = false;
    bool m_terminating = false;
    bool m_showAnalyzer = false;
    QString m_captionBase = "Tavrin";
    float m_sampleClock = 10.0f;
    float m_sampleWindowLength = 4225.0f;
    int m_highestCarrier = 9;
    int m_slotMaximum = 10;
    std::array<int, 6> m_powerRamp{-47, -16, 4, 1, -1, -5};
    int m_limitErrorCount = 0;
    bool m_validHardware = false;  // the identification recognised the tester
    int m_recordedScreenHeight = 0;
    std::string m_savedNumericLocale;
};

}  // namespace tavrin::app
