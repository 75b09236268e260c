// The link measurement window.
#include "TLinkConnectForm.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QTimer>
#include <cstring>
#include <optional>

#include "ChartRanges.h"
#include "TModulationForm.h"
#include "TNTPForm.h"
#include "TSlider.h"
#include "core/CommandWrappers.h"
#include "core/StateButton.h"
#include "core/TesterWorker.h"
#include "core/UpDown.h"

namespace tavrin::app {
namespace {

// The layout, in pixels: the value fields in one column with their bars under them.
constexpr int kMeasurementWidth = 432;
constexpr int kGroupHeight = 548;
constexpr int kValueLeft = 200;
constexpr int kValueWidth = 80;
constexpr int kSideWidth = 68;
constexpr int kFirstRow = 72;
constexpr int kBarRowPitch = 48;
constexpr int kPlainRowPitch = 34;
constexpr int kStatusConnectWidth = 99;
constexpr int kStatusSearchWidth = 149;
const QColor kLinkUp(0, 255, 0);
const QColor kLinkDown(255, 0, 0);

QLineEdit* ReadOnlyField(QWidget* parent, const char* name, int left, int top, int width) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::NoFocus);
    field->setGeometry(left, top, width, TLinkConnectForm::kFieldHeight);
    field->setText(common::kNoValue);
    return field;
}

QLabel* Caption(QWidget* parent, const QString& text, int left, int top, int width = 170) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(left, top, width, 20);
    return label;
}

QCheckBox* Box(QWidget* parent, const char* name, const QString& text, int left, int top,
               int width = 20) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    box->setGeometry(left, top, width, 20);
    return box;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& text, int left, int top,
                    int width) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setGeometry(left, top, width, 25);
    return button;
}

// A new palette re-polishes and repaints the field: only when the colour changes.
void SetBase(QLineEdit* field, const QColor& colour) {
    if (field->palette().color(QPalette::Base) == colour) return;
    QPalette p = field->palette();
    p.setColor(QPalette::Base, colour);
    field->setPalette(p);
}

// Each poll writes every field; one that reads the same is left alone (no repaint).
void SetText(QLineEdit* field, const QString& text) {
    if (field->text() != text) field->setText(text);
}

QString Text(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

TLinkConnectForm::TLinkConnectForm(SessionState& session, TesterWorker& tester,
                                   const Timing& timing, Links links)
    : QWidget(nullptr),
      m_session(session),
      m_tester(tester),
      m_timing(timing),
      m_links(std::move(links)) {
    setObjectName("LinkConnectForm");
    setWindowTitle("PP Connect");

    auto* m = MeasurementGroup = new QGroupBox("Measurements", this);
    m->setObjectName("MeasurementGroup");
    m->setGeometry(0, 0, kMeasurementWidth, kGroupHeight);
    StatusLabel = Caption(m, "PP Status", 8, 14, 100);
    PPStatEdit = ReadOnlyField(m, "PPStatEdit", 8, 34, 96);
    PPStatEdit->clear();
    Caption(m, "Slot Type", 112, 14, 64);
    SLOTSIZE = ReadOnlyField(m, "SLOTSIZE", 112, 34, 60);
    Caption(m, "Font Size", 182, 14, 60);
    FontSizeEdit = ReadOnlyField(m, "FontSizeEdit", 182, 34, 34);
    FontSizeUpDown = new UpDown(m);
    FontSizeUpDown->setObjectName("FontSizeUpDown");
    FontSizeUpDown->setGeometry(216, 34, 16, kFieldHeight);
    FontSizeUpDown->setRange(8, 14);
    FontSizeUpDown->setIncrement(2);
    FontSizeUpDown->setPosition(8);
    TimeLabel = Caption(m, "Packet Delay (uS)", 315, 14, 112);
    TIMEACC = ReadOnlyField(m, "TIMEACC", 315, 34, kValueWidth);

    // One row per measurement: its box, its label and its value field(s).
    int top = kFirstRow;
    const auto row = [&](QCheckBox*& box, const char* boxName, const QString& label,
                         QLineEdit*& field, const char* fieldName, int pitch) {
        box = Box(m, boxName, {}, 8, top + 4);
        QLabel* caption = Caption(m, label, 30, top + 4);
        field = ReadOnlyField(m, fieldName, kValueLeft, top, kValueWidth);
        top += pitch;
        return caption;
    };
    row(NTPCheckBox, "NTPCheckBox", "NTP [dBm]:", NTPEdit, "NTPEdit", kBarRowPitch);
    row(FrequencyOffsetCheckBox, "FrequencyOffsetCheckBox",
        "Frequency Offset [kHz]:", FrequencyOffsetEdit, "FrequencyOffsetEdit", kBarRowPitch);
    PBFieldModulationEdit =
        ReadOnlyField(m, "PBFieldModulationEdit", kValueLeft + kValueWidth + 4, top, kSideWidth);
    NBFieldModulationEdit = ReadOnlyField(
        m, "NBFieldModulationEdit", kValueLeft + kValueWidth + 8 + kSideWidth, top, kSideWidth);
    row(BFieldModulationCheckBox, "BFieldModulationCheckBox",
        "B-Field Modulation [kHz]:", BFieldModulationEdit, "BFieldModulationEdit", kBarRowPitch);
    PSFieldModulationEdit =
        ReadOnlyField(m, "PSFieldModulationEdit", kValueLeft + kValueWidth + 4, top, kSideWidth);
    NSFieldModulationEdit = ReadOnlyField(
        m, "NSFieldModulationEdit", kValueLeft + kValueWidth + 8 + kSideWidth, top, kSideWidth);
    row(SFieldModulationCheckBox, "SFieldModulationCheckBox",
        "S-Field Modulation [kHz]:", SFieldModulationEdit, "SFieldModulationEdit", kBarRowPitch);
    FrequencyDriftLabel =
        row(FrequencyDriftCheckBox, "FrequencyDriftCheckBox",
            "Frequency Drift [kHz/slot]:", FrequencyDriftEdit, "FrequencyDriftEdit", kBarRowPitch);
    row(LTermBerCheckBox, "LTermBerCheckBox", "BER:", LTermBerEdit, "LTermBerEdit", kBarRowPitch);
    row(LTermFerCheckBox, "LTermFerCheckBox", "FER [%]:", LTermFerEdit, "LTermFerEdit",
        kBarRowPitch);
    row(JitterCheckBox, "JitterCheckBox", "Max. Pos. Jitter [us]:", JitterMaxPos, "JitterMaxPos",
        kPlainRowPitch);
    Caption(m, "Max. Neg. Jitter [us]:", 30, top + 4);
    JitterMaxNeg = ReadOnlyField(m, "JitterMaxNeg", kValueLeft, top, kValueWidth);
    top += kPlainRowPitch;
    for (QCheckBox* box :
         {NTPCheckBox, FrequencyOffsetCheckBox, BFieldModulationCheckBox, SFieldModulationCheckBox,
          FrequencyDriftCheckBox, LTermBerCheckBox, LTermFerCheckBox, JitterCheckBox})
        box->setChecked(true);

    // Frame indicators: shown, never clicked.
    Sync = Box(m, "Sync", "Sync", 8, top, 60);
    AField = Box(m, "AField", "A Field", 70, top, 70);
    XField = Box(m, "XField", "X Field", 142, top, 70);
    ZField = Box(m, "ZField", "Z Field", 214, top, 70);
    for (QCheckBox* box : {Sync, AField, XField, ZField})
        box->setAttribute(Qt::WA_TransparentForMouseEvents);
    lblFrame = Caption(m, {}, 290, top, 130);
    lblFrame->setObjectName("lblFrame");
    top += 30;
    Show_ModulationButton = new StateButton("Show &Modulation", 1, m);
    Show_ModulationButton->setObjectName("Show_ModulationButton");
    Show_ModulationButton->setGeometry(8, top, 124, 25);
    Show_NTPButton = new StateButton("Show &NTP", 1, m);
    Show_NTPButton->setObjectName("Show_NTPButton");
    Show_NTPButton->setGeometry(136, top, 110, 25);
    Button1 = Button(m, "Button1", "Pause", 250, top, 80);
    // The unit switch of the charts stays hidden: the window never offers it.
    cmdUnit = Button(m, "cmdUnit", "uS", 334, top, 40);
    cmdUnit->setVisible(false);

    auto* s = StatusGroup = new QGroupBox("Status", this);
    s->setObjectName("StatusGroup");
    s->setGeometry(kMeasurementWidth + 2, 0, kStatusConnectWidth, kGroupHeight);
    Caption(s, "FP Status:", 8, 16, 90);
    Caption(s, "FP Lock State", 8, 38, 90);
    FPLockStateEdit = ReadOnlyField(s, "FPLockStateEdit", 8, 58, 83);
    Caption(s, "FP Dummy Slot", 8, 90, 90);
    FPDummySlotEdit = ReadOnlyField(s, "FPDummySlotEdit", 8, 110, 83);
    Caption(s, "FP Dummy Carrier", 8, 142, 90);
    FPDummyCarrierEdit = ReadOnlyField(s, "FPDummyCarrierEdit", 8, 162, 83);
    Caption(s, "FP RFPI", 8, 194, 90);
    FP_RFPIEdit = ReadOnlyField(s, "FP_RFPIEdit", 8, 214, 83);
    for (QLineEdit* f : {FPLockStateEdit, FPDummySlotEdit, FPDummyCarrierEdit, FP_RFPIEdit})
        f->clear();
    Label17 = Caption(s, {}, 10, 254, 135);
    Label18 = Caption(s, {}, 10, 274, 135);
    Label19 = Caption(s, {}, 10, 294, 135);
    Label17->setObjectName("Label17");
    Label18->setObjectName("Label18");
    Label19->setObjectName("Label19");

    m_barFields = {NTPEdit,
                   FrequencyOffsetEdit,
                   BFieldModulationEdit,
                   SFieldModulationEdit,
                   FrequencyDriftEdit,
                   LTermBerEdit,
                   LTermFerEdit};

    GraphTimer = new QTimer(this);
    GraphTimer->setSingleShot(true);
    GraphTimer->setInterval(kGraphInterval);
    connect(GraphTimer, &QTimer::timeout, this, &TLinkConnectForm::GraphTimerTimer);
    StatusTimer = new QTimer(this);
    StatusTimer->setInterval(kStatusInterval);
    connect(StatusTimer, &QTimer::timeout, this, &TLinkConnectForm::StatusTimerTimer);

    connect(Show_ModulationButton, &QPushButton::clicked, this,
            &TLinkConnectForm::Show_ModulationButtonClick);
    connect(Show_NTPButton, &QPushButton::clicked, this, &TLinkConnectForm::Show_NTPButtonClick);
    connect(LTermBerCheckBox, &QCheckBox::clicked, this, &TLinkConnectForm::LTermBerCheckBoxClick);
    connect(LTermFerCheckBox, &QCheckBox::clicked, this, &TLinkConnectForm::LTermFerCheckBoxClick);
    connect(FontSizeUpDown, &UpDown::clicked, this, &TLinkConnectForm::FontSizeUpDownClick);
    connect(Button1, &QPushButton::clicked, this, &TLinkConnectForm::Button1Click);
    connect(cmdUnit, &QPushButton::clicked, this, &TLinkConnectForm::cmdUnitClick);

    connect(&m_session, &SessionState::averagingLengthChanged, this,
            &TLinkConnectForm::setAveragingLength);
    // A new coupling loss moves every power reading: the NTP average starts again.
    connect(&m_session, &SessionState::couplingLossChanged, this, [this] {
        m_tester.run([poll = &m_poll](CommandWrappers&) {
            poll->refresh().buffer(common::Average::NTP).clear();
        });
    });
    connect(&m_tester, &TesterWorker::testerLostChanged, this,
            &TLinkConnectForm::testerLostChanged);

    connect(&m_session, &SessionState::timeBaseChanged, this, &TLinkConnectForm::showUnit);
    connect(&m_session, &SessionState::linkWindowRequested, this, &TLinkConnectForm::handleRequest);

    setFixedSize(kMeasurementWidth + 8, kGroupHeight + 8);
    FontSizeUpDownClick();
}

// The unit switch offers the other unit.
void TLinkConnectForm::showUnit(const SampleTimeBase& base) {
    cmdUnit->setText(base.unit == ChartUnit::Microseconds ? "Bit" : "uS");
}

void TLinkConnectForm::handleRequest(LinkRequest what) {
    switch (what) {
        case LinkRequest::OpenPPConnect:
            openPPConnect();
            break;
        case LinkRequest::OpenFPStatus:
            openFPStatus();
            break;
        case LinkRequest::OpenFPConnect:
            openFPConnect();
            break;
        case LinkRequest::Close:
            closeLinkWindow();
            break;
        case LinkRequest::CloseMeasurementWindows:
            closeMeasurementWindows();
            break;
        case LinkRequest::CloseCharts:
            closeChartWindows();
            break;
        case LinkRequest::ReopenModulation:
            reopenModulationWindow();
            break;
    }
}

bool TLinkConnectForm::chartShown() const {
    return m_links.ntp->isVisible() || m_links.modulation->isVisible();
}

TLinkConnectForm::~TLinkConnectForm() = default;

// The averages belong to the poll on the tester thread: changes reach them in order with the
// ticks.
void TLinkConnectForm::setAveragingLength(int n) {
    m_averagingLength = n;
    m_tester.run([poll = &m_poll, n](CommandWrappers&) { poll->refresh().setLength(n); });
}

void TLinkConnectForm::clearAveraging() {
    m_tester.run([poll = &m_poll](CommandWrappers&) { poll->refresh().clearBuffers(); });
}

bool TLinkConnectForm::fpMode() const {
    return m_mode != LinkMode::PPConnect;
}

void TLinkConnectForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // A window brought back from the task bar is no new opening.
    if (!event->spontaneous()) FormShow();
}

void TLinkConnectForm::closeEvent(QCloseEvent* event) {
    event->accept();
    FormClose();
}

// ----- the openers' layouts

void TLinkConnectForm::showWindowLayout(bool measurements, bool status, int statusWidth,
                                        int width) {
    MeasurementGroup->setVisible(measurements);
    StatusGroup->setVisible(status);
    StatusGroup->resize(statusWidth, StatusGroup->height());
    // The status fields and captions take the group's width.
    for (QLineEdit* field : StatusGroup->findChildren<QLineEdit*>())
        field->resize(statusWidth - 16, field->height());
    for (QLabel* label : StatusGroup->findChildren<QLabel*>())
        label->resize(statusWidth - 12, label->height());
    StatusGroup->move(measurements ? kMeasurementWidth + 2 : 0, 0);
    setFixedSize(width, kGroupHeight + 8);
}

void TLinkConnectForm::preparePPConnect() {
    m_mode = LinkMode::PPConnect;
    clearAveraging();
    ++m_resetToken;
    showWindowLayout(true, false, kStatusConnectWidth, kMeasurementWidth + 8);
    setWindowTitle("PP Connect");
    StatusLabel->setText("PP Status");
    PPStatEdit->clear();
    TimeLabel->setText("Packet Delay (uS)");
    m_timingAccuracy = false;
    TimeLabel->move(315, TimeLabel->y());
    TIMEACC->move(315, TIMEACC->y());
}

void TLinkConnectForm::prepareFPStatus() {
    m_mode = LinkMode::FPStatus;
    ++m_resetToken;
    showWindowLayout(false, true, kStatusSearchWidth, kStatusSearchWidth + 8);
    setWindowTitle("FP Status");
    StatusLabel->setText("FP Status");
    for (QLabel* l : {Label17, Label18, Label19}) {
        l->clear();
        l->move(10, l->y());
    }
    StatusTimer->start(m_timing.ms(kStatusInterval));
}

void TLinkConnectForm::prepareFPConnect() {
    m_mode = LinkMode::FPConnect;
    StatusTimer->stop();
    clearAveraging();
    ++m_resetToken;
    // Shown since Status: the session learns the new layout without a new opening.
    if (isVisible()) m_session.setLinkMode(m_mode);
    showWindowLayout(true, true, kStatusConnectWidth, kMeasurementWidth + kStatusConnectWidth + 10);
    setWindowTitle("FP Connect");
    PPStatEdit->clear();
    TimeLabel->setText("Timing Acc. ppm");
    m_timingAccuracy = true;
    TimeLabel->move(310, TimeLabel->y());
    TIMEACC->move(310, TIMEACC->y());
}

// ----- the openers of the test pages

void TLinkConnectForm::setChartMaxima(bool onlyHidden) {
    const double max = m_session.timeBase().axisMaximum();
    if (!onlyHidden || !m_links.modulation->isVisible())
        m_links.modulation->setBottomAxisMaximum(max);
    if (!onlyHidden || !m_links.ntp->isVisible()) m_links.ntp->setBottomAxisMaximum(max);
}

void TLinkConnectForm::openPPConnect() {
    setChartMaxima(true);
    preparePPConnect();
    show();
    FontSizeUpDownClick();
}

void TLinkConnectForm::openFPStatus() {
    prepareFPStatus();
    show();
    FontSizeUpDownClick();
}

void TLinkConnectForm::openFPConnect() {
    setChartMaxima(false);
    prepareFPConnect();
    // Shown since Status: the bars, the log header and the poll of that opening go on.
    show();
    FontSizeUpDownClick();
}

void TLinkConnectForm::closeLinkWindow() {
    hide();
    restoreChartButtons();
    FormClose();
}

void TLinkConnectForm::closeMeasurementWindows() {
    if (isVisible()) {
        hide();
        FormClose();
    }
    closeChartWindows();
}

void TLinkConnectForm::closeChartWindows() {
    if (m_links.modulation->isVisible()) {
        m_links.modulation->hide();
        m_links.modulation->FormClose();
    }
    if (m_links.ntp->isVisible()) {
        m_links.ntp->hide();
        m_links.ntp->FormClose();
    }
    restoreChartButtons();
}

void TLinkConnectForm::reopenModulationWindow() {
    TModulationForm& chart = *m_links.modulation;
    if (!chart.isVisible()) return;
    chart.hide();
    chart.FormClose();
    setChartMaxima(false);
    chart.show();
    Show_ModulationButton->tag = 0;
    Show_ModulationButton->setText("Close &Modulation");
}

// ----- show and close

void TLinkConnectForm::FormShow() {
    FontSizeUpDownClick();
    buildBars();
    // The pages lock their link fields and the measurement log opens.
    m_session.setLinkMode(m_mode);
    FrequencyDriftLabel->setText(m_session.driftUnit() == DriftUnit::KhzPerMs
                                     ? "Frequency Drift [kHz/mS]:"
                                     : "Frequency Drift [kHz/slot]:");
    ++m_opening;
    if (m_testerLost) testerLostChanged(true);
    startPoll();
}

void TLinkConnectForm::FormClose() {
    destroyBars();
    NTPEdit->setText(common::kNoValue);
    lblFrame->clear();
    for (QLineEdit* f :
         {BFieldModulationEdit, PBFieldModulationEdit, NBFieldModulationEdit, SFieldModulationEdit,
          PSFieldModulationEdit, NSFieldModulationEdit, FrequencyOffsetEdit, FrequencyDriftEdit,
          LTermBerEdit, LTermFerEdit, JitterMaxPos, JitterMaxNeg})
        f->setText(common::kNoValue);
    stopPoll();
    StatusTimer->stop();
    ++m_opening;
    // The release goes out only while the tester still holds the link. The window does not
    // wait for it: a lost tester is left alone.
    m_tester.run([](CommandWrappers& w) {
        if (w.query("STAT:DEV?") == "DCE") w.sendCommand("PROC:CONN:REL");
    });
    Button1->setText("Pause");

    // The analyzer page shown takes its commands back once its charts are closed.
    if (m_session.shownPage() == ShownPage::Analyzer) closeChartWindows();
    // The window's own layout says which page opened it: by the time a page's hide handler
    // closes the window, the main window already shows the next page. The pages unlock their
    // fields and mend their buttons, the measurement log closes.
    m_session.closeLink(m_mode);
    if (fpMode()) {
        // The charts keep running on their own.
        if (chartShown()) startPoll();
    } else {
        closeChartWindows();
    }
}

// ----- the poll

void TLinkConnectForm::startPoll() {
    m_pollOn = true;
    GraphTimer->start(m_timing.ms(kGraphInterval));
}

void TLinkConnectForm::stopPoll() {
    m_pollOn = false;
    GraphTimer->stop();
}

bool TLinkConnectForm::pollWanted() const {
    const ShownPage page = m_session.shownPage();
    return m_pollOn &&
           (page == ShownPage::PP || page == ShownPage::FP || page == ShownPage::Analyzer);
}

void TLinkConnectForm::GraphTimerTimer() {
    GraphTimer->stop();
    // While the tester is lost the tester thread probes it; the ticks go on when it answers.
    if (m_testerLost || m_ticksInFlight >= kTicksAhead) return;
    ++m_ticksInFlight;
    m_tester.ask([poll = &m_poll,
                  request = tickRequest()](CommandWrappers& w) { return poll->tick(w, request); },
                 this, [this](TickResult result) { tickDone(std::move(result)); });
    if (m_ticksInFlight < kTicksAhead && pollWanted()) GraphTimer->start(0);
}

TickRequest TLinkConnectForm::tickRequest() {
    TickRequest q;
    q.session = m_opening;
    q.measure = isVisible();
    const ShownPage page = m_session.shownPage();
    q.packetDelayForCharts = chartShown() && (page == ShownPage::PP || page == ShownPage::FP);
    common::RefreshChoice& choice = q.choice;
    choice.ntp = NTPCheckBox->isChecked();
    choice.offset = FrequencyOffsetCheckBox->isChecked();
    choice.bField = BFieldModulationCheckBox->isChecked();
    choice.sField = SFieldModulationCheckBox->isChecked();
    choice.drift = FrequencyDriftCheckBox->isChecked();
    choice.berFer = LTermBerCheckBox->isChecked() || LTermFerCheckBox->isChecked();
    choice.jitter = JitterCheckBox->isChecked();
    choice.loopback =
        m_session.loopback(m_mode == LinkMode::FPConnect ? TestSide::FP : TestSide::PP);
    choice.timingAccuracy = m_timingAccuracy;
    choice.microseconds = m_session.timeBase().unit == ChartUnit::Microseconds;
    // A pending Reset Count of either page goes out with the first linked tick, PP first.
    q.resetToken = m_resetToken;
    q.resetPP = m_session.countResetPending(TestSide::PP);
    q.resetFP = m_session.countResetPending(TestSide::FP);
    if (q.resetPP) q.resetLines = m_session.countResetLines(TestSide::PP);
    if (q.resetFP) {
        const std::vector<std::string>& fp = m_session.countResetLines(TestSide::FP);
        q.resetLines.insert(q.resetLines.end(), fp.begin(), fp.end());
    }
    if (m_links.ntp->isVisible()) q.power = m_links.ntp->sampleSpan();
    if (m_links.modulation->isVisible()) q.deviation = m_links.modulation->sampleSpan();
    return q;
}

void TLinkConnectForm::tickDone(TickResult result) {
    --m_ticksInFlight;
    // A lost tester is announced by the tester thread; its probe takes over from the ticks.
    if (result.lost) return;
    ++m_pollCount;
    // A tick issued before the window closed or opened again shows nothing in it.
    if (result.session == m_opening) {
        SetText(PPStatEdit, Text(result.state));
        SetBase(PPStatEdit, result.state == "DCE" ? kLinkUp : kLinkDown);
        if (result.measured) {
            m_readout = std::move(result.readout);
            if (m_readout.sampleWindowLength)
                m_session.setSampleWindowLength(*m_readout.sampleWindowLength);
            if (result.state != "DCE") m_session.blockCountReset();
            resetCountSent(result);
            applyReadout();
        }
    }
    m_links.setSamples(std::move(result.power), std::move(result.deviation));
    if (m_links.modulation->isVisible()) m_links.modulation->refreshChart();
    if (m_links.ntp->isVisible()) m_links.ntp->refreshChart();
    if (pollWanted()) GraphTimer->start(m_timing.ms(kGraphInterval));
}

void TLinkConnectForm::resetCountSent(const TickResult& result) {
    if (result.resetPP) m_session.countResetSent(TestSide::PP);
    if (result.resetFP) m_session.countResetSent(TestSide::FP);
}

void TLinkConnectForm::testerLostChanged(bool lost) {
    m_testerLost = lost;
    if (!lost) {
        // It answers again: the ticks show whatever state it reports now.
        PPStatEdit->setToolTip({});
        if (pollWanted()) GraphTimer->start(m_timing.ms(kGraphInterval));
        return;
    }
    m_readout.clear();
    applyReadout();
    SetText(PPStatEdit, kTesterLostText);
    SetBase(PPStatEdit, kLinkDown);
    PPStatEdit->setToolTip("The tester does not answer; it is asked again once a second.");
    m_session.blockCountReset();
}

void TLinkConnectForm::setFilling(QLineEdit* field, bool filling) {
    SetBase(field, filling ? QColor(Qt::yellow) : palette().color(QPalette::Base));
}

void TLinkConnectForm::applyReadout() {
    const common::LinkReadout& r = m_readout;
    SetText(SLOTSIZE, Text(r.slotSize));
    SetText(TIMEACC, Text(r.timing));
    const std::pair<QLineEdit*, const common::ValueField*> fields[] = {
        {NTPEdit, &r.ntp},
        {FrequencyOffsetEdit, &r.offset},
        {FrequencyDriftEdit, &r.drift},
        {BFieldModulationEdit, &r.bField},
        {PBFieldModulationEdit, &r.bPos},
        {NBFieldModulationEdit, &r.bNeg},
        {SFieldModulationEdit, &r.sField},
        {PSFieldModulationEdit, &r.sPos},
        {NSFieldModulationEdit, &r.sNeg},
    };
    for (const auto& [edit, value] : fields) {
        SetText(edit, Text(value->text));
        setFilling(edit, value->filling);
    }
    SetText(LTermBerEdit, Text(r.ber));
    SetText(LTermFerEdit, Text(r.fer));
    SetText(JitterMaxPos, Text(r.jitterPos));
    SetText(JitterMaxNeg, Text(r.jitterNeg));
    if (lblFrame->text() != Text(r.frameLabel)) lblFrame->setText(Text(r.frameLabel));
    if (r.frameFlags) {
        for (QCheckBox* box : {Sync, AField, XField, ZField}) box->setChecked(*r.frameFlags);
    }
    for (int i = 0; i < common::kBarCount; ++i) {
        if (m_bars[i]) m_bars[i]->setValue(r.bars[i].value_or(kNoBarValue));
    }
}

// ----- the limit bars

void TLinkConnectForm::buildBars() {
    destroyBars();
    // The limits are the setup page's texts at this moment: edits made while the window is
    // open take effect at the next opening.
    const TestSide side = m_session.shownPage() == ShownPage::PP ? TestSide::PP : TestSide::FP;
    for (const common::LimitRowSpec& entry : common::LimitRows()) {
        const int i = static_cast<int>(entry.row);
        const QLineEdit* field = m_barFields[i];
        m_bars[i] = std::make_unique<TSlider>(
            MeasurementGroup, kBarHeight, field->width(), field->x(),
            field->y() + field->height() + 1,
            common::BarBoundsFor(entry.row, m_links.limits(side, entry.row)));
        m_bars[i]->setValue(kNoBarValue);
    }
}

void TLinkConnectForm::destroyBars() {
    for (std::unique_ptr<TSlider>& bar : m_bars) bar.reset();
}

// ----- the FP status poll

// What one status tick reads of the fixed part; a refused query leaves its field as it is.
struct FPStatus {
    std::string lock;
    std::optional<std::string> dummyCarrier;
    std::optional<std::string> dummySlot;
};

void TLinkConnectForm::StatusTimerTimer() {
    // One status tick at a time, and none while the tester is lost.
    if (m_testerLost || m_statusInFlight) return;
    m_statusInFlight = true;
    m_tester.ask(
        [](CommandWrappers& w) {
            FPStatus status;
            char reply[kReplyBufferSize] = {};
            w.sendCommand("SENS:SIGN:STAT?");
            w.readResponse(reply);
            status.lock = reply;
            if (w.sendCommand("SENS:DET:DUMM:CARR?") == 0) {
                w.readResponse(reply);
                status.dummyCarrier = reply;
            }
            if (w.sendCommand("SENS:DET:DUMM:SLOT?") == 0) {
                w.readResponse(reply);
                status.dummySlot = reply;
            }
            return status;
        },
        this, [this](FPStatus status) { statusAnswered(status); });
}

void TLinkConnectForm::statusAnswered(const FPStatus& status) {
    if (status.dummyCarrier) FPDummyCarrierEdit->setText(Text(*status.dummyCarrier));
    if (status.dummySlot) {
        FPDummySlotEdit->setText(Text(*status.dummySlot));
        // The FP page moves its traffic slot off the fixed part's dummy slot; its commands go
        // out before the identity question, as one tick asked them.
        if (m_session.announceFixedPartDummySlot(FPDummySlotEdit->text())) {
            Label17->setText("Traffic Slot was equal");
            Label18->setText("with Dummy Slot!");
            Label19->setText("Traffic Slot changed.");
        }
    }
    m_tester.ask(
        [](CommandWrappers& w) -> std::optional<std::string> {
            if (w.sendCommand("SENS:DET:RFPI?") != 0) return std::nullopt;
            char reply[kReplyBufferSize] = {};
            w.readResponse(reply);
            return std::string(reply);
        },
        this,
        [this, lock = status.lock](std::optional<std::string> rfpi) {
            // The lock state and the identity of one tick are shown together: the FP page's
            // Connect button comes on only when the fixed part's RFPI beside it is this tick's.
            if (rfpi) FP_RFPIEdit->setText(Text(*rfpi));
            FPLockStateEdit->setText(Text(lock));
            m_session.announceFixedPartLock(lock == "LOCK");
            m_statusInFlight = false;
        });
}

// ----- buttons and boxes

void TLinkConnectForm::restoreChartButtons() {
    Show_ModulationButton->tag = 1;
    Show_ModulationButton->setText("Show &Modulation");
    Show_NTPButton->tag = 1;
    Show_NTPButton->setText("Show &NTP");
}

void TLinkConnectForm::Show_ModulationButtonClick() {
    TModulationForm& chart = *m_links.modulation;
    if (Show_ModulationButton->tag == 1) {
        Show_ModulationButton->tag = 0;
        Show_ModulationButton->setText("Close &Modulation");
        chart.show();
        activateWindow();
    } else {
        chart.hide();
        chart.FormClose();
        Show_ModulationButton->tag = 1;
        Show_ModulationButton->setText("Show &Modulation");
    }
}

void TLinkConnectForm::Show_NTPButtonClick() {
    TNTPForm& chart = *m_links.ntp;
    if (Show_NTPButton->tag == 1) {
        Show_NTPButton->tag = 0;
        Show_NTPButton->setText("Close Po&wer");
        m_session.setSampleWindowLength(SampleTimeBase::slotSamples(SLOTSIZE->text() == "P64Z"));
        const AxisRange range = PowerChartRange(0, m_session.rxAttenuator());
        chart.setPowerRange(static_cast<int>(range.min), static_cast<int>(range.max));
        chart.NTPChartUndoZoom();
        chart.show();
        activateWindow();
    } else {
        chart.hide();
        chart.FormClose();
        Show_NTPButton->tag = 1;
        Show_NTPButton->setText("Show &NTP");
    }
}

void TLinkConnectForm::LTermBerCheckBoxClick() {
    LTermFerCheckBox->setChecked(LTermBerCheckBox->isChecked());
}

void TLinkConnectForm::LTermFerCheckBoxClick() {
    LTermBerCheckBox->setChecked(LTermFerCheckBox->isChecked());
}

void TLinkConnectForm::FontSizeUpDownClick() {
    const int position = FontSizeUpDown->position();
    FontSizeEdit->setText(QString::number(position));
    // The sizes are chosen for 96 pixels per inch; a denser screen takes one point less.
    const int points = logicalDpiX() > 96 ? position - 1 : position;
    for (QLineEdit* field :
         {FontSizeEdit, PPStatEdit, NTPEdit, BFieldModulationEdit, PBFieldModulationEdit,
          NBFieldModulationEdit, SFieldModulationEdit, PSFieldModulationEdit, NSFieldModulationEdit,
          FrequencyOffsetEdit, FrequencyDriftEdit, LTermBerEdit, LTermFerEdit, SLOTSIZE, TIMEACC,
          JitterMaxPos, JitterMaxNeg}) {
        QFont font = field->font();
        font.setPointSize(points);
        field->setFont(font);
        field->resize(field->width(), kFieldHeight);
    }
}

void TLinkConnectForm::Button1Click() {
    if (GraphTimer->isActive() || Button1->text() == "Pause") {
        stopPoll();
        Button1->setText("Continue");
    } else {
        startPoll();
        Button1->setText("Pause");
    }
}

void TLinkConnectForm::cmdUnitClick() {
    const bool toBits = m_session.timeBase().unit == ChartUnit::Microseconds;
    m_session.setTimeBase(
        m_session.timeBase().switchedTo(toBits ? ChartUnit::Bits : ChartUnit::Microseconds));
    const double max = m_session.timeBase().axisMaximum();
    const double min = toBits ? -50 : 0;
    const QString title = toBits ? "BIT" : "Time [us]";
    m_links.ntp->setBottomAxis(min, max, title);
    m_links.modulation->setBottomAxis(min, max, title);
}

std::array<std::string, 9> TLinkConnectForm::logColumns() const {
    const auto t = [](const QLineEdit* e) { return e->text().toStdString(); };
    return {t(NTPEdit),
            t(BFieldModulationEdit),
            t(NBFieldModulationEdit),
            t(FrequencyOffsetEdit),
            t(FrequencyDriftEdit),
            t(LTermBerEdit),
            t(LTermFerEdit),
            t(JitterMaxNeg),
            t(JitterMaxPos)};
}

bool TLinkConnectForm::longSlotShown() const {
    return SLOTSIZE->text() == "P64Z";
}

QString TLinkConnectForm::ntpText() const {
    return NTPEdit->text();
}

}  // namespace tavrin::app
