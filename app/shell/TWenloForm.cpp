// The main window's frame, start-up, reset, identification, deferred activation and shutdown.
#include "TWenloForm.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTime>
#include <QTimer>
#include <clocale>
#include <cstring>

#include "FrameChartHost.h"
#include "PageWiring.h"
#include "ResetWait.h"
#include "SetupWiring.h"
#include "WindowPlacement.h"
#include "core/CaptionRules.h"
#include "core/EntryField.h"
#include "core/ModelTable.h"
#include "core/TraceLog.h"
#include "core/UpDown.h"
#include "dialogs/TCommForm.h"
#include "dialogs/TNoConnectForm.h"
#include "dialogs/TResetForm.h"
#include "display/TLinkConnectForm.h"
#include "display/TModulationForm.h"
#include "display/TNTPForm.h"
#include "pages/BottomPanel.h"
#include "pages/EntryRules.h"
#include "pages/FPTestPage.h"
#include "pages/LevelField.h"
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

const char* const kNoPortMessage =
    "No communication-port has been allocated!      \n"
    "Please check that no other application is      \n"
    "using the available port(s)      \n"
    "\n"
    "Press OK to terminate the application";

}  // namespace

TWenloForm::TWenloForm(TesterPort& port, UserDialogs& dialogs, WenloSettings settings)
    : QWidget(nullptr),
      m_settings(std::move(settings)),
      m_dialogs(dialogs),
      m_tester(std::make_unique<TesterWorker>(port)) {
    if (m_settings.testerThread) m_tester->startThread();
    m_tester->setProbeInterval(m_settings.timing.ms(TesterWorker::kProbeInterval));
    connect(m_tester.get(), &TesterWorker::testerLostChanged, this, &TWenloForm::testerLostChanged);
    if (!m_settings.terminate)
        m_settings.terminate = [](int code) { QCoreApplication::exit(code); };
    if (!m_settings.screenSize) {
        m_settings.screenSize = [] {
            const QScreen* s = QGuiApplication::primaryScreen();
            return s ? s->size() : QSize(1280, 1024);
        };
    }
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
    SystemTabSheet = new SystemPage;
    AlwaysPanel = new BottomPanel(this);
    m_radioOptions = std::make_unique<RadioOptions>(m_session, *m_tester, m_dialogs,
                                                    *SystemTabSheet, *AlwaysPanel);
    PP_TestTabSheet = new PPTestPage(m_session, *m_tester, m_dialogs, *m_radioOptions);
    FP_TestTabSheet = new FPTestPage(m_session, *m_tester, m_dialogs, *m_radioOptions);
    RF_GenTabSheet = new RFGenPage(m_session, *m_tester, m_dialogs, *m_radioOptions);
    RF_AnalyzerTabSheet = new RFAnalyzerPage(m_session, *m_tester, m_dialogs, *m_radioOptions);
    SetupPPTabSheet = new SetupPPPage(*m_tester, dialogs);
    SetupFPTabSheet = new SetupFPPage(*m_tester, dialogs);
    for (SetupPage* page :
         {static_cast<SetupPage*>(SetupPPTabSheet), static_cast<SetupPage*>(SetupFPTabSheet)}) {
        page->setHooks({[this](int level, int value) { m_session.setPowerRamp(level, value); },
                        [this](int delta) { m_session.addLimitErrors(delta); }});
    }
    PageControl->addTab(SystemTabSheet, "S&ystem");
    PageControl->addTab(PP_TestTabSheet, "PP-T&est");
    PageControl->addTab(FP_TestTabSheet, "FP-&Test");
    PageControl->addTab(RF_GenTabSheet, "RF-&Gen");
    PageControl->addTab(RF_AnalyzerTabSheet, "RF-&Analyzer");
    PageControl->addTab(SetupPPTabSheet, "Setup &PP");
    PageControl->addTab(SetupFPTabSheet, "Setup &FP");
    for (TabPage* page :
         {static_cast<TabPage*>(SystemTabSheet), static_cast<TabPage*>(PP_TestTabSheet),
          static_cast<TabPage*>(FP_TestTabSheet), static_cast<TabPage*>(RF_GenTabSheet),
          static_cast<TabPage*>(RF_AnalyzerTabSheet), static_cast<TabPage*>(SetupPPTabSheet),
          static_cast<TabPage*>(SetupFPTabSheet)}) {
        page->installEventFilter(this);
        connect(page, &TabPage::activationWanted, this, [this](TabPage* p) { pageShow(p); });
        // The bottom panel covers the lower edge of the System and test pages.
        if (!page->isSetupPage()) page->setContentsMargins(0, 0, 0, BottomPanel::kHeight);
    }
    layOutPage(false);
    TimingEdit = new QLineEdit(this);
    TimingEdit->setObjectName("TimingEdit");
    LimitTypedLength(TimingEdit, 3);
    TimingEdit->setToolTip("[2..1000]");
    TimingEdit->setVisible(false);

    // The windows after the main one, in their creation order.
    m_commForm = std::make_unique<TCommForm>(*m_tester);
    m_chartHost = std::make_unique<FrameChartHost>(*this);
    m_modulationForm = std::make_unique<TModulationForm>(*m_chartHost, m_dialogs);
    m_ntpForm = std::make_unique<TNTPForm>(*m_chartHost, m_dialogs);
    PairCharts(*m_ntpForm, *m_modulationForm);
    m_linkForm = std::make_unique<TLinkConnectForm>(m_session, *m_tester, m_settings.timing,
                                                    LinkWindowLinks(*this));
    WireAnalyzerPage(*this);
    WireCharts(*this);
    WireTestPages(*this);
    m_resetForm = std::make_unique<TResetForm>();
    m_resetWait = std::make_unique<ResetWait>(*m_tester, *m_resetForm, m_settings.timing);
    m_resetWait->onEnded = [this](bool reached) { resetWaitEnded(reached); };
    m_helpForm = std::make_unique<THelpForm>();
    m_noConnectForm = std::make_unique<TNoConnectForm>(*m_helpForm);
    m_noConnectForm->mainWindow = this;
    m_noConnectForm->resetDialog = m_resetForm.get();

    m_logSettings = std::make_unique<LogSettings>(*SystemTabSheet, m_dialogs, m_settings.timing);
    m_logSettings->rowSource = [this] { return m_linkForm->logColumns(); };
    WireConsoleEcho(*this);

    const auto retry = [this] {
        m_resetForm->show();
        m_resetForm->repaint();
        m_systemAfterReset = true;
        ResetButtonClick();
    };
    m_noConnectForm->onRetry = retry;
    m_noConnectForm->onExit = [this] { terminate(0); };
    m_helpForm->onOk = [this, retry] {
        m_helpForm->hide();
        m_noConnectForm->hide();
        retry();
    };
    m_resetForm->onUserClose = [this] {
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
    connect(&m_session, &SessionState::limitConsistencyChanged, this,
            &TWenloForm::applyLimitConsistency);
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
        m_commForm->show();
        m_tester->run([](CommandWrappers& w) { w.showErrorCount(); });
    }
    m_resetForm->setStatus("Please wait ...", Qt::yellow);
    m_resetForm->show();
    m_startupMark = false;
    ResetButtonClick();
    // The timer is inside its own signal here: let the event loop destroy it.
    m_initTimer.release()->deleteLater();
}

void TWenloForm::initialisation() {
    const StartupOptions options = ParseStartupOptions(m_settings.arguments);
    m_debugMode = options.debugMode;
    m_tester->run([debug = m_debugMode](CommandWrappers& w) { w.debugMode = debug; });
    m_showAnalyzer = options.analyzer;
    if (!m_settings.traceLogPath.isEmpty()) {
        std::function<void(const QString&)> console;
        if (debugMode()) {
            TesterWorker* tester = m_tester.get();
            console = [this, tester](const QString& line) {
                tester->toUserInterface([this, line] { m_commForm->appendLine(line); });
            };
        }
        m_traceLog = std::make_unique<TraceLog>(m_settings.traceLogPath, console);
        m_tester->run([log = m_traceLog.get()](CommandWrappers&) { RouteTrace(log); });
    }
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

    // The port probe goes to the library directly: nothing is counted or echoed. A reset
    // reaches a tester that was lost: it is how the user gets it back.
    m_tester->ask(
        [](CommandWrappers& w) {
            char reply[kReplyBufferSize] = {};
            w.directWrite("CONF:COMM:PORT USB");
            w.directRead(reply);
            if (std::strcmp(reply, "INV") == 0) return true;
            w.sendCommand("CONF:COMM:PORT USB");
            w.writeErrorCount = 0;
            w.sendCommand("SYST:RESET");
            return false;
        },
        this, [this](bool refused) { portProbed(refused); }, TesterWorker::Reach::Always);
}

void TWenloForm::portProbed(bool refused) {
    if (m_terminating) return;
    if (refused) {
        m_dialogs.message(nullptr, MessageKind::Error, "Tavrin", kNoPortMessage,
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
    m_resetForm->setStatus("Please wait ...", Qt::yellow);
    m_resetForm->show();
    PageControl->setEnabled(false);

    m_resetWait->start(debugMode());
}

void TWenloForm::resetWaitEnded(bool reachedTester) {
    m_waitReachedTester = reachedTester;
    if (m_terminating) return;
    if (!reachedTester) {
        setResetRunning(false);
        m_resetForm->hide();
        m_noConnectForm->show();
        resetFinished();
        return;
    }
    m_resetForm->hide();
    show();
    setWindowTitle(m_captionBase);
    PageControl->setEnabled(true);
    SystemTabSheet->clearAfterReset();
    m_session.setSlotType(0);
    m_session.setPowerTemplate(0);
    resetFinished();
}

void TWenloForm::resetFinished() {
    if (debugMode()) {
        SystemTabSheet->LogCommunicationCheckBox->setVisible(true);
        setWindowTitle(m_captionBase + kDebugResetSuffix);
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
    if (page == SystemTabSheet) {
        systemActivation();
    } else {
        page->pageWork();
    }
}

void TWenloForm::DummyTimerTimer() {
    DummyTimer->stop();
    for (TabPage* page :
         {static_cast<TabPage*>(SystemTabSheet), static_cast<TabPage*>(PP_TestTabSheet),
          static_cast<TabPage*>(FP_TestTabSheet), static_cast<TabPage*>(RF_GenTabSheet),
          static_cast<TabPage*>(RF_AnalyzerTabSheet)}) {
        if (page->isVisible()) {
            pageShow(page, true);
            return;
        }
    }
    m_dummyTimerTag = 0;  // no test page is shown: nothing is pending any more
}

void TWenloForm::SystemTabSheetShow() {
    pageShow(SystemTabSheet);
}

// The System page's questions, asked in one request.
struct SystemAnswers {
    std::string firmware, serial, identity, hardware;
};

void TWenloForm::systemActivation() {
    m_tester->ask(
        [](CommandWrappers& w) {
            SystemAnswers a;
            a.firmware = w.query("SYST:FIRM:VERS?");
            a.serial = w.query("SYST:SER:NUM?");
            a.identity = w.query("*IDN?");
            w.sendCommand("PROC:SEL:TEST NONE");
            w.sendCommand("CONF:SAMPLE:MODE CTRL");
            a.hardware = w.query("SYST:HW:VERS?");
            return a;
        },
        this, [this](const SystemAnswers& a) { systemAnswered(a); });
}

void TWenloForm::systemAnswered(const SystemAnswers& a) {
    SystemPage* s = SystemTabSheet;
    s->showTester(QString::fromStdString(a.firmware), QString::fromStdString(a.serial),
                  QString::fromStdString(a.identity));
    setWindowTitle(m_captionBase +
                   QString::fromStdString(CaptionSuffix(debugMode(), m_session.catIq())));

    if (identifyTester(a.hardware) == Identification::Ended) return;

    m_radioOptions->RFAttenuationEditExit();
    m_radioOptions->RxAttCheckBoxClick();
    m_radioOptions->AverageFactorEditExit();
    setResetRunning(false);
    // The first activation after a reset the user started applies the carrier mode.
    if (s->TimeAfterReset->text() == "0") OffsetClick();
    send(m_session.driftUnit() == DriftUnit::KhzPerMs ? "CONF:MOD:DRIF:UNIT MS"
                                                      : "CONF:MOD:DRIF:UNIT SLOT");
    if (!m_session.catIq()) send("CONF:TEST NOP0");
}

TWenloForm::Identification TWenloForm::identifyTester(const std::string& answer) {
    if (const TesterModel* model = IdentifyModel(answer)) {
        configureForModel(*model, answer);
        return Identification::Recognised;
    }
    const MessageButton choice =
        m_dialogs.message(this, MessageKind::Error, "Tavrin", "No Valid hardware detected!",
                          {MessageButton::Abort, MessageButton::Retry, MessageButton::Ignore});
    switch (choice) {
        case MessageButton::Retry:
            setResetRunning(false);
            ResetButtonClick();
            return Identification::Ended;
        case MessageButton::Ignore:
            m_validHardware = false;
            setPageTabVisible(PP_TestTabSheet, false);
            setPageTabVisible(FP_TestTabSheet, false);
            setPageTabVisible(RF_GenTabSheet, false);
            setPageTabVisible(RF_AnalyzerTabSheet, false);
            return Identification::Ignored;
        default:
            terminate(1);
            return Identification::Ended;
    }
}

void TWenloForm::configureForModel(const TesterModel& model, const std::string& answer) {
    m_captionBase = model.baseName;
    if (model.refreshesCaption) setWindowTitle(m_captionBase);
    m_session.setSampleClock(SampleTimeBase::kMicrosecondClock);
    setPageTabVisible(PP_TestTabSheet, true);
    setPageTabVisible(FP_TestTabSheet, true);
    setPageTabVisible(RF_GenTabSheet, true);
    // Every known model hides the analyzer page; "--analyzer" keeps it for those who need it.
    setPageTabVisible(RF_AnalyzerTabSheet, m_showAnalyzer);
    m_validHardware = true;
    // Limits in error keep the test pages hidden until they are mended.
    applyLimitConsistency();

    // The pages' carrier steppers and captions follow the model's range.
    m_session.setCarrierRange({model.highestCarrier, model.carrierMinimum, model.rangeText});

    if (!model.countryControlsShown) SystemTabSheet->hideCountryControls();
    m_session.setSlotMaximum(SessionState::kStartSlotMaximum);
    m_session.announceSlotScheme(m_session.catIq());
    SystemTabSheet->HardWareIDLabel->setText(QString::fromStdString(HardwareIdText(answer, model)));
}

void TWenloForm::setPageTabVisible(TabPage* page, bool visible) {
    PageControl->setTabVisible(PageControl->indexOf(page), visible);
}

void TWenloForm::applyLimitConsistency() {
    // The setup pages and the RF analyzer stay as they are, so the faulty field is reachable.
    const bool consistent = m_session.limitsConsistent();
    setPageTabVisible(SystemTabSheet, consistent);
    if (m_validHardware) {
        setPageTabVisible(PP_TestTabSheet, consistent);
        setPageTabVisible(FP_TestTabSheet, consistent);
        setPageTabVisible(RF_GenTabSheet, consistent);
    }
    SetupPPTabSheet->setSavingEnabled(consistent);
    SetupFPTabSheet->setSavingEnabled(consistent);
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

void TWenloForm::OffsetClick() {
    m_radioOptions->OffsetClick();
}

void TWenloForm::Windows_posButtonClick() {
    PlaceWindows(
        {this, m_commForm.get(), m_linkForm.get(), m_modulationForm.get(), m_ntpForm.get()},
        m_settings.screenSize().height());
}

void TWenloForm::ScreenSizeMonitoringTimerTimer() {
    const int height = m_settings.screenSize().height();
    if (height == m_recordedScreenHeight) return;
    m_recordedScreenHeight = height;
    Windows_posButtonClick();
}

void TWenloForm::FormClose() {
    m_logSettings->closeFiles();
    if (m_linkForm->isVisible()) {
        m_linkForm->hide();
        m_linkForm->FormClose();
    }
    if (!m_savedNumericLocale.empty()) std::setlocale(LC_NUMERIC, m_savedNumericLocale.c_str());
}

void TWenloForm::testerLostChanged(bool lost) {
    // One line in the trace log each way; the link window shows the loss itself.
    if (!m_traceLog) return;
    const QString time = QTime::currentTime().toString("HH:mm:ss.zzz");
    const QString text = lost
                             ? "the tester does not answer; it is asked \"STAT:DEV?\" once a second"
                             : "the tester answers again";
    m_traceLog->traceLine(("Time: " + time + ": Tavrin: " + text).toLocal8Bit().constData());
}

void TWenloForm::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
    terminate(0);
}

}  // namespace tavrin::app
