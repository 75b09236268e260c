// The modulation chart.
#include "TModulationForm.h"

#include <QLineSeries>
#include <cmath>

#include "TNTPForm.h"

namespace tavrin::app {
namespace {

constexpr int kBitStoreOffset = 450;  // store index of the burst's first sample in bit display
// The two highest indices are not samples: they refresh and clear the demodulator's offset.
constexpr int kLastSampleIndex = 0xFFFD;

}  // namespace

TModulationForm::TModulationForm(ChartHost& host, UserDialogs& dialogs)
    : ChartWindow(host, dialogs, "Modulation", "Modulation", "kHz", "modulation-trace") {
    setObjectName("ModulationForm");
    DeviationSeries = m_panel->addSeries(Qt::red);
    m_panel->setVertical(kDeviationInitial);
    setBottomAxis(kBitFloor, 460, "BIT");
}

void TModulationForm::setNtpForm(TNTPForm* ntp) {
    m_ntp = ntp;
    setTwin(ntp);
}

void PairCharts(TNTPForm& ntp, TModulationForm& modulation) {
    ntp.setTwin(&modulation);
    modulation.setNtpForm(&ntp);
}

void TModulationForm::FormShow() {
    prepareTimeBase();
    m_host.forceCapture();
    m_trace.clear();
    DeviationSeries->clear();
}

void TModulationForm::FormClose() {
    if (m_host.buttonFlag(ChartOpener::LinkWindow, ChartKind::Modulation) == 0) {
        m_host.setButton(ChartOpener::LinkWindow, ChartKind::Modulation, 1, "Show &Modulation");
    } else if (m_host.buttonFlag(ChartOpener::MainWindow, ChartKind::Modulation) == 0) {
        m_host.setButton(ChartOpener::MainWindow, ChartKind::Modulation, 1, "Show &Modulation");
        if (m_host.buttonFlag(ChartOpener::MainWindow, ChartKind::Power) == 1) m_host.stopPoll();
    } else if (!m_host.linkWindowVisible()) {
        m_host.stopPoll();
    }
}

void TModulationForm::ModulationChartUndoZoom() {
    const AxisRange full = fullHorizontal();
    m_panel->setVertical(kDeviationLimits);
    m_panel->setHorizontal(full);
    if (m_ntp) {
        m_ntp->chart()->setVertical(m_ntp->powerRange());
        m_ntp->chart()->setHorizontal(full);
    }
}

int TModulationForm::storeOffset() const {
    // The analyzer page's redraw switches to the microsecond display first.
    return m_host.analyzerPageShown() || microsecondDisplay() ? 0 : kBitStoreOffset;
}

SampleSpan TModulationForm::sampleSpan() const {
    const auto [x0, x1] = sampleWindow();
    const int offset = storeOffset();
    return StoreSpan(std::trunc(x0) + offset, std::ceil(x1) - 1 + offset, kLastSampleIndex);
}

void TModulationForm::RefreshGraph() {
    const bool analyzer = m_host.analyzerPageShown();
    if (analyzer) m_host.setChartUnit(ChartUnit::Microseconds);
    beginRedraw();
    m_trace.clear();
    DeviationSeries->clear();

    const double clock = m_host.sampleClock();
    const auto [x0, x1] = sampleWindow();
    const int offset = storeOffset();
    m_trace.reserve(std::max(0, static_cast<int>(x1 - x0) + 1));
    for (int i = static_cast<int>(std::trunc(x0)); i < x1; ++i) {
        const int index = i + offset;
        // Indices outside the store would wrap onto the demodulator's control values.
        if (index < 0 || index > kLastSampleIndex) continue;
        const int16_t raw = m_host.readDeviationSample(static_cast<uint16_t>(index));
        m_trace.append({i / clock, raw * 0.1});
    }
    DeviationSeries->replace(m_trace);
    endRedraw();
}

std::vector<TraceColumn> TModulationForm::traceColumns() const {
    std::vector<TraceColumn> columns{timeColumn(m_trace), {"Deviation [kHz]", 6, {}}};
    for (const QPointF& p : m_trace) columns[1].values.push_back(p.y());
    return columns;
}

}  // namespace tavrin::app
