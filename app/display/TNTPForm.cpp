// The NTP chart.
#include "TNTPForm.h"

#include <QLabel>
#include <QLineSeries>
#include <cmath>
#include <optional>

#include "core/TesterPort.h"

namespace tavrin::app {
namespace {

constexpr int kPowerStoreOffset = 450;  // store index of the burst's first sample
constexpr double kAttenuatorOffset = 14.5;
constexpr int kStoreSize = 65536;

// The link window's NTP field as a number; nothing for "---", empty or other text.
std::optional<double> MeasuredNtp(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace

TNTPForm::TNTPForm(ChartHost& host, UserDialogs& dialogs)
    : ChartWindow(host, dialogs, "NTP", "NTP", "dBm", "ntp-trace") {
    setObjectName("NTPForm");
    MeasuredSeries = m_panel->addSeries(QColor(0, 128, 0));
    UpperLimitSeries = m_panel->addSeries(Qt::red);
    InnerLimit = m_panel->addSeries(QColor(0, 255, 0));
    lblNTPFRAMESTATUS = new QLabel("Status", m_panel);
    lblNTPFRAMESTATUS->setObjectName("lblNTPFRAMESTATUS");
    QFont font = lblNTPFRAMESTATUS->font();
    font.setBold(true);
    lblNTPFRAMESTATUS->setFont(font);
    m_panel->setVertical(m_powerRange);
    setBottomAxis(kBitFloor, 460, "BIT");
    placeStatus();
}

void TNTPForm::setPowerRange(int lo, int hi) {
    m_powerRange = {static_cast<double>(lo), static_cast<double>(hi)};
}

void TNTPForm::FormShow() {
    prepareTimeBase();
    lblNTPFRAMESTATUS->setVisible(!m_host.analyzerPageShown());
    clearSeries();
}

void TNTPForm::FormClose() {
    if (m_host.buttonFlag(ChartOpener::LinkWindow, ChartKind::Power) == 0) {
        m_host.setButton(ChartOpener::LinkWindow, ChartKind::Power, 1, "Show &NTP");
    } else if (m_host.buttonFlag(ChartOpener::MainWindow, ChartKind::Power) == 0) {
        // The analyzer page's button gets back its own caption.
        m_host.setButton(ChartOpener::MainWindow, ChartKind::Power, 1, "Show Po&wer");
        if (m_host.buttonFlag(ChartOpener::MainWindow, ChartKind::Modulation) == 1)
            m_host.stopPoll();
    }
    if (!m_host.linkWindowVisible() && !(twin() && twin()->isVisible())) m_host.stopPoll();
}

void TNTPForm::NTPChartUndoZoom() {
    const AxisRange full = fullHorizontal();
    m_panel->setVertical(m_powerRange);
    m_panel->setHorizontal(full);
    if (twin()) {
        twin()->chart()->setVertical(kDeviationLimits);
        twin()->chart()->setHorizontal({m_panel->view().x.min, full.max});
    }
}

TemplateSetup TNTPForm::templateSetup() const {
    TemplateSetup setup;
    setup.ramp = m_host.powerRamp();
    setup.outerIsB = m_host.highDynamicOff();
    setup.offset = m_host.rxAttenuatorTicked() ? kAttenuatorOffset : 0;
    if (const auto ntp = MeasuredNtp(m_host.measuredNtpText())) setup.offset = *ntp;
    setup.prolongedPreamble = m_host.prolongedPreamble();
    setup.longSlot = m_host.longSlot();
    return setup;
}

SampleSpan TNTPForm::sampleSpan() const {
    const auto [x0, x1] = sampleWindow();
    const int count = SampleCount(x0, x1);
    return StoreSpan(std::trunc(x0 + kPowerStoreOffset),
                     std::trunc(x0 + count - 1 + kPowerStoreOffset), kStoreSize - 1);
}

void TNTPForm::RefreshGraph() {
    const bool analyzer = m_host.analyzerPageShown();
    const TemplateSetup setup = templateSetup();
    beginRedraw();
    clearSeries();
    lblNTPFRAMESTATUS->setText("Matching");
    placeStatus();

    const double clock = m_host.sampleClock();
    const auto [x0, x1] = sampleWindow();
    const int count = SampleCount(x0, x1);
    m_trace.reserve(count);
    bool matching = true;
    for (int k = 0; k < count; ++k) {
        const double x = x0 + k;
        const double index = std::trunc(x + kPowerStoreOffset);
        const int16_t raw = index >= 0 && index < kStoreSize
                                ? m_host.readPowerSample(static_cast<uint16_t>(index))
                                : TesterPort::kPowerOutOfRange;
        const double power = raw * 0.1;
        m_trace.append({x / clock, power});
        if (!analyzer && matching && Violates(setup, x, power)) matching = false;
    }
    m_templateDrawn = !analyzer;
    m_drawnSetup = setup;
    m_drawnFirstSample = x0;
    if (m_templateDrawn) AppendTemplate(setup, x0, x1, clock, m_lower, m_upper);
    if (!matching) lblNTPFRAMESTATUS->setText("Not Matching");
    // The verdict at a glance: red when the burst leaves the template.
    lblNTPFRAMESTATUS->setStyleSheet(matching ? "color: darkgreen" : "color: red");
    lblNTPFRAMESTATUS->adjustSize();
    MeasuredSeries->replace(m_trace);
    UpperLimitSeries->replace(m_upper);
    InnerLimit->replace(m_lower);
    endRedraw();
}

void TNTPForm::clearSeries() {
    m_trace.clear();
    m_upper.clear();
    m_lower.clear();
    m_templateDrawn = false;
    MeasuredSeries->clear();
    UpperLimitSeries->clear();
    InnerLimit->clear();
}

std::vector<TraceColumn> TNTPForm::traceColumns() const {
    std::vector<TraceColumn> columns{timeColumn(m_trace), {"Power [dBm]", 6, {}}};
    for (const QPointF& p : m_trace) columns[1].values.push_back(p.y());
    if (!m_templateDrawn) return columns;
    // One line per sample: each limit's level at the sample, as the redraw judged it.
    TraceColumn upper{"Upper limit [dBm]", 6, {}};
    TraceColumn lower{"Lower limit [dBm]", 6, {}};
    for (qsizetype k = 0; k < m_trace.size(); ++k) {
        upper.values.push_back(UpperLimitAt(m_drawnSetup, m_drawnFirstSample + k));
        lower.values.push_back(LowerLimitAt(m_drawnSetup, m_drawnFirstSample + k));
    }
    columns.push_back(std::move(upper));
    columns.push_back(std::move(lower));
    return columns;
}

void TNTPForm::resizeEvent(QResizeEvent* event) {
    ChartWindow::resizeEvent(event);
    placeStatus();
}

void TNTPForm::placeStatus() {
    lblNTPFRAMESTATUS->adjustSize();
    lblNTPFRAMESTATUS->move(width() * 2 / 3, 28);
}

}  // namespace tavrin::app
