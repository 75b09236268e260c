// The main window's frame, start-up, reset, deferred page activation and shutdown.
#include "TWenloForm.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <clocale>

#include "ResetWait.h"
#include "SetupWiring.h"
#include "TraceRouting.h"
#include "WindowPlacement.h"
#include "core/CaptionRules.h"
#include "core/EntryField.h"
#include "core/TraceLog.h"
#include "dialogs/TCommForm.h"
#include "dialogs/TNoConnectForm.h"
#include "dialogs/TResetForm.h"
#include "display/TLinkConnectForm.h"
#include "display/TModulationForm.h"
#include "display/TNTPForm.h"
#include "pages/BottomPanel.h"
#include "pages/FPTestPage.h"
#include "pages/LogSettings.h"
#include "pages/PPTestPage.h"
#include "pages/RFAnalyzerPage.h"
#include "pages/RFGenPage.h"
#include "pages/RadioOptions.h"
#include "pages/SystemPage.h"
#include "setup/SetupFiles.h"
#include "setup/SetupPages.h"

namespace tavrin::app {
namespace {

constexpr int kInitInterval = 100;
constexpr int kDummyInterval = 20;
constexpr int kScreenMonitorInterval = 4000;
// Below the page control the frame keeps a strip as high as the difference of the client
// area and the page control; the Setup pages' taller page control grows the window by as much.
constexpr int kFrameStrip = TWenloForm::kClientHeight - TWenloForm::kPageHeight;

}  // namespace

TWenloForm::TWenloForm(TesterPort& port, UserDialogs& dialogs, WenloSettings settings)
    : QWidget(nullptr),
      m_settings(std::move(settings)),
      m_dialogs(dialogs),
      m_tester(std::make_unique<TesterWorker>(port)),
      m_identification(std::make_unique<ModelIdentification>(*this)) {
    if (m_settings.testerThread) m_tester->startThread();
    m_tester->setProbeInterval(m_settings.timing.ms(TesterWorker::kProbeInterval));
    if (!m_settings.terminate)
        m_settings.terminate = [](int code) { QCoreApplication::exit(code); };
    if (!m_settings.screenSize) m_settings.screenSize = PrimaryScreenSize;
    setObjectName("WenloForm");
    setWindowTitle("Tavrin");
    // Fixed single border: minimise and the system menu, no maximise, no resizing.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidth, kClientHeight);
    // The frame is laid out in pixels for a small dialog font.
    setStyleSheet(
        "QTabBar::tab { padding: 3px 4px; } QWidget { font-size: 10px; font-family: \"DejaVu Sans "
        "Condensed\"; }");

    PageControl = new QTabWidget(this);
    PageControl->setObjectName("PageControl");
    BuildPages(*this, m_windows);
    PageControl->addTab(SystemTabSheet, "S&ystem");
    PageControl->addTab(PP_TestTabSheet, "PP-T&est");
    PageControl->addTab(FP_TestTabSheet, "FP-&Test");
    PageControl->addTab(RF_GenTabSheet, "RF-&Gen");
    PageControl->addTab(RF_AnalyzerTabSheet, "RF-&Analyzer");
    PageControl->addTab(SetupPPTabSheet, "Setup &PP");
    PageControl->addTab(SetupFPTabSheet, "Setup &FP");
    for (TabPage* page : pagesInOrder()) {
        page->installEventFilter(this);
        connect(page, &TabPage::activationWanted, this, [this](TabPage* p) { pageShow(p); });
        // The bottom panel covers the lower edge of the System and test pages.
        if (!page->isSetupPage()) page->setContentsMargins(0, 0, 0, BottomPanel::kHeight);
    }
    layOutPage(false);

    BuildWindows(*this, m_windows);
    m_resetWait = std::make_unique<ResetWait>(*m_tester, resetForm(), m_settings.timing);
    m_resetWait->onEnded = [this](bool reached) { resetWaitEnded(reached); };

    const auto retry = [this] {
        resetForm().show();
        resetForm().repaint();
        m_systemAfterReset = true;
        ResetButtonClick();
    };
    noConnectForm().onRetry = retry;
    noConnectForm().onExit = [this] { terminate(0); };
    helpForm().onOk = [this, retry] {
        helpForm().hide();
        noConnectForm().hide();
        retry();
    };
    resetForm().onUserClose = [this] {
        // Closing the dialog during a reset ends the wait and the program.
        m_resetWait->stop();
        terminate(0);
    };

    DummyTimer = new QTimer(this);
    DummyTimer->setInterval(m_settings.timing.ms(kDummyInterval));
    connect(DummyTimer, &QTimer::timeout, this, &TWenloForm::DummyTimerTimer);
    ScreenSizeMonitoringTimer = new QTimer(this);
    ScreenSizeMonitoringTimer->setInterval(m_settings.timing.ms(kScreenMonitorInterval));
    connect(ScreenSizeMonitoringTimer, &QTimer::timeout, this,
            &TWenloForm::ScreenSizeMonitoringTimerTimer);

    connect(SystemTabSheet->ResetButton, &QPushButton::clicked, this,
            &TWenloForm::ResetButtonClick);
    connect(SystemTabSheet->OptionEnable, &QCheckBox::clicked, this,
            &TWenloForm::OptionEnableDisableClick);
    connect(SystemTabSheet->Windows_posButton, &QPushButton::clicked, this,
            &TWenloForm::Windows_posButtonClick);

    m_setupFiles = WireSetupFiles(*this);
    connect(SystemTabSheet, &SystemPage::testerAnswered, this, &TWenloForm::systemAnswered);
    connect(&m_session, &SessionState::limitConsistencyChanged, this,
            [this] { m_identification->applyLimitConsistency(); });
    connect(PageControl, &QTabWidget::currentChanged, this, &TWenloForm::noteShownPage);

    // FormCreate.
    PageControl->setCurrentWidget(SetupPPTabSheet);
    m_initTimer = std::make_unique<QTimer>();
    m_initTimer->setSingleShot(true);
    m_initTimer->setInterval(m_settings.timing.ms(kInitInterval));
    connect(m_initTimer.get(), &QTimer::timeout, this, &TWenloForm::InitTimerTimer);
    m_initTimer->start();
    // Numbers are written and read with "." for the whole run, whatever the user's locale.
    if (const char* current = std::setlocale(LC_NUMERIC, nullptr)) m_savedNumericLocale = current;
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());
}

TWenloForm::~TWenloForm() {
    EntryCommit::disarmAll(this);
    // What is queued still goes out (a release, say); then the library's trace goes back to
    // its default before the log closes.
    if (m_traceLog) m_tester->run([](CommandWrappers&) { RouteTrace(nullptr); });
    m_tester.reset();
}

void TWenloForm::setResetRunning(bool running) {
    m_resetRunning = running;
    SystemTabSheet->showResetRunning(running);
}

void TWenloForm::terminate(int code) {
    m_terminating = true;
    if (m_resetWait) m_resetWait->stop();
    DummyTimer->stop();
    m_settings.terminate(code);
}

void TWenloForm::InitTimerTimer() {
    m_startupInProgress = true;
    m_initTimer->stop();
    // The setup load of the start-up sends nothing: the switch goes in order with its lines.
    m_tester->run([](CommandWrappers& w) { w.communicationEnabled = false; });
    initialisation();
    m_tester->run([](CommandWrappers& w) { w.communicationEnabled = true; });
    m_startupMark = true;  // the System page's activation returns at once
    PageControl->setCurrentWidget(SystemTabSheet);
    if (debugMode()) {
        commForm().show();
        m_tester->run([](CommandWrappers& w) { w.showErrorCount(); });
    }
    resetForm().setStatus("Please wait ...", Qt::yellow);
    resetForm().show();
    m_startupMark = false;
    ResetButtonClick();
    // The timer is inside its own signal here: let the event loop destroy it.
    m_initTimer.release()->deleteLater();
}

void TWenloForm::initialisation() {
    const StartupOptions options = ParseStartupOptions(m_settings.arguments);
    m_debugMode = options.debugMode;
    m_tester->run([debug = m_debugMode](CommandWrappers& w) { w.debugMode = debug; });
    m_identification->setAnalyzerShown(options.analyzer);
    if (!m_settings.traceLogPath.isEmpty())
        m_traceLog = RouteTraceLog(*this, m_settings.traceLogPath);
    m_recordedScreenHeight = m_settings.screenSize().height();
    Windows_posButtonClick();
    ScreenSizeMonitoringTimer->start();
    m_setupFiles->LoadDefaultButtonClick();
    m_session.setSampleClock(SampleTimeBase::kStartClock);
    SystemTabSheet->showProgram(kProgramVersion, kBuildDate);
    m_session.resetPowerRamp();
}

void TWenloForm::ResetButtonClick() {
    if (m_resetRunning) return;
    setResetRunning(true);

    m_resetWait->probePort([this](bool refused) { portProbed(refused); });
}

void TWenloForm::portProbed(bool refused) {
    if (m_terminating) return;
    if (refused) {
        m_dialogs.message(nullptr, MessageKind::Error, "Tavrin", ResetWait::kNoPortMessage,
                          {MessageButton::Ok});
        terminate(1);
        return;
    }
    waitForTester();
}

void TWenloForm::waitForTester() {
    // The link window's averaging length goes back to 1 (it empties its buffers).
    m_session.setAveragingLength(1);
    m_tester->run([](CommandWrappers& w) { w.showErrorCount(); });
    resetForm().setStatus("Please wait ...", Qt::yellow);
    resetForm().show();
    PageControl->setEnabled(false);

    m_resetWait->start(debugMode());
}

void TWenloForm::resetWaitEnded(bool reachedTester) {
    m_waitReachedTester = reachedTester;
    if (m_terminating) return;
    if (!reachedTester) {
        setResetRunning(false);
        resetForm().hide();
        noConnectForm().show();
        resetFinished();
        return;
    }
    resetForm().hide();
    show();
    setWindowTitle(captionBase());
    PageControl->setEnabled(true);
    SystemTabSheet->clearAfterReset();
    m_session.setSlotType(0);
    m_session.setPowerTemplate(0);
    resetFinished();
}

void TWenloForm::resetFinished() {
    if (debugMode()) {
        SystemTabSheet->LogCommunicationCheckBox->setVisible(true);
        setWindowTitle(captionBase() + kDebugResetSuffix);
    }
    // After a wait that ended in the no-connection dialog the tester cannot answer the
    // page's queries, so the activation waits for the retry that reaches it.
    if (!m_startupInProgress && m_waitReachedTester) {
        SystemTabSheet->TimeAfterReset->setText("0");
        SystemTabSheetShow();
    }
    m_startupInProgress = false;
    if (isVisible()) PageControl->setFocus();
    if (m_systemAfterReset) {
        m_systemAfterReset = false;
        PageControl->setCurrentWidget(SystemTabSheet);
    }
}

void TWenloForm::layOutPage(bool setupPage) {
    const int height = setupPage ? kSetupPageHeight : kPageHeight;
    setFixedSize(kClientWidth, height + kFrameStrip);
    PageControl->setGeometry(0, 0, kClientWidth, height);
    AlwaysPanel->setGeometry(0, kPageHeight - BottomPanel::kHeight, kClientWidth,
                             BottomPanel::kHeight);
    AlwaysPanel->setVisible(!setupPage);
    AlwaysPanel->raise();
}

void TWenloForm::noteShownPage() {
    const QWidget* page = PageControl->currentWidget();
    const std::pair<const QWidget*, ShownPage> pages[] = {
        {SystemTabSheet, ShownPage::System},        {PP_TestTabSheet, ShownPage::PP},
        {FP_TestTabSheet, ShownPage::FP},           {RF_GenTabSheet, ShownPage::Generator},
        {RF_AnalyzerTabSheet, ShownPage::Analyzer}, {SetupPPTabSheet, ShownPage::SetupPP},
        {SetupFPTabSheet, ShownPage::SetupFP}};
    for (const auto& [widget, id] : pages) {
        if (widget == page) m_session.setShownPage(id);
    }
}

bool TWenloForm::eventFilter(QObject* watched, QEvent* event) {
    // The tab control's current page changes before its pages are shown and hidden.
    if (event->type() == QEvent::Show || event->type() == QEvent::Hide) noteShownPage();
    if (event->type() == QEvent::Show) {
        if (auto* page = qobject_cast<TabPage*>(watched)) pageShow(page);
    } else if (event->type() == QEvent::Hide && isVisible() && !event->spontaneous()) {
        // Another page was chosen (not the whole window hidden).
        if (auto* page = qobject_cast<TabPage*>(watched)) page->pageHide();
    }
    return QWidget::eventFilter(watched, event);
}

void TWenloForm::pageShow(TabPage* page, bool fromDummyTimer) {
    if (page->isSetupPage()) {
        layOutPage(true);
        return;
    }
    layOutPage(false);
    if (page == SystemTabSheet && m_startupMark) return;
    page->prepareShow();
    // The page's commands go out one DummyTimer tick after it is drawn. A show that comes
    // while a tick is pending (the main window shown and the page activated in the same
    // reset, say) joins that tick instead of working at once, so the page's queries and its
    // model question are never repeated.
    if (!fromDummyTimer) {
        m_dummyTimerTag = 1;
        DummyTimer->start();
        return;
    }
    m_dummyTimerTag = 0;
    page->pageWork();
}

void TWenloForm::DummyTimerTimer() {
    DummyTimer->stop();
    for (TabPage* page : pagesInOrder()) {
        if (!page->isSetupPage() && page->isVisible()) {
            pageShow(page, true);
            return;
        }
    }
    m_dummyTimerTag = 0;  // no test page is shown: nothing is pending any more
}

std::array<TabPage*, 7> TWenloForm::pagesInOrder() const {
    return {SystemTabSheet,      PP_TestTabSheet, FP_TestTabSheet, RF_GenTabSheet,
            RF_AnalyzerTabSheet, SetupPPTabSheet, SetupFPTabSheet};
}

void TWenloForm::SystemTabSheetShow() {
    pageShow(SystemTabSheet);
}

void TWenloForm::systemAnswered(const std::string& hardware) {
    setWindowTitle(captionBase() +
                   QString::fromStdString(CaptionSuffix(debugMode(), m_session.catIq())));
    using Outcome = ModelIdentification::Outcome;
    const Outcome outcome = m_identification->identify(hardware);
    if (outcome == Outcome::Abort) return terminate(1);
    setResetRunning(false);
    if (outcome == Outcome::Retry) return ResetButtonClick();
    m_windows.radioOptions->testerIdentified();
}

bool TWenloForm::pageTabVisible(const TabPage* page) const {
    return PageControl->isTabVisible(PageControl->indexOf(const_cast<TabPage*>(page)));
}

void TWenloForm::OptionEnableDisableClick() {
    if (SystemTabSheet->OptionEnable->isChecked()) {
        ResetButtonClick();
    } else {
        SystemTabSheetShow();
    }
}

void TWenloForm::Windows_posButtonClick() {
    PlaceWindows({this, &commForm(), &linkForm(), &modulationForm(), &ntpForm()},
                 m_settings.screenSize().height());
}

void TWenloForm::ScreenSizeMonitoringTimerTimer() {
    const int height = m_settings.screenSize().height();
    if (height == m_recordedScreenHeight) return;
    m_recordedScreenHeight = height;
    Windows_posButtonClick();
}

void TWenloForm::FormClose() {
    logSettings().closeFiles();
    if (linkForm().isVisible()) {
        linkForm().hide();
        linkForm().FormClose();
    }
    if (!m_savedNumericLocale.empty()) std::setlocale(LC_NUMERIC, m_savedNumericLocale.c_str());
}

void TWenloForm::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
    terminate(0);
}

}  // namespace tavrin::app
