// The chart windows' common part.
#include "ChartWindow.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

#include "core/UserDialogs.h"

namespace tavrin::app {

ChartWindow::ChartWindow(ChartHost& host, UserDialogs& dialogs, const QString& caption,
                         const QString& chartTitle, const QString& verticalTitle,
                         const QString& fileStem)
    : QWidget(nullptr, Qt::Window),
      m_host(host),
      m_dialogs(dialogs),
      m_panel(new ChartPanel(chartTitle, verticalTitle)),
      m_fileStem(fileStem) {
    setWindowTitle(caption);
    resize(598, 320);
    UndoZoomButton = new QPushButton("&Undo Zoom");
    UndoZoomButton->setObjectName("UndoZoomButton");
    SaveTraceButton = new QPushButton("&Save trace…");
    SaveTraceButton->setObjectName("SaveTraceButton");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(UndoZoomButton);
    buttons->addWidget(SaveTraceButton);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(m_panel, 1);
    layout->addLayout(buttons);

    connect(m_panel, &ChartPanel::scrolled, this, &ChartWindow::clampView);
    connect(m_panel, &ChartPanel::zoomed, this, &ChartWindow::clampView);
    connect(m_panel, &ChartPanel::undoZoomRequested, this, &ChartWindow::undoZoom);
    connect(UndoZoomButton, &QPushButton::clicked, this, &ChartWindow::undoZoom);
    connect(SaveTraceButton, &QPushButton::clicked, this, &ChartWindow::SaveTraceButtonClick);
}

void ChartWindow::setBottomAxis(double min, double max, const QString& title) {
    m_panel->setHorizontal({min, max});
    m_panel->horizontalAxis()->setTitleText(title);
}

void ChartWindow::setBottomAxisMaximum(double max) {
    m_panel->horizontalAxis()->setMax(max);
}

SampleSpan StoreSpan(double low, double high, int last) {
    const double first = std::max(0.0, low);
    const double end = std::min(static_cast<double>(last), high);
    if (end < first) return {};
    return {static_cast<int>(first), static_cast<int>(end) - static_cast<int>(first) + 1};
}

ChartWindow::SampleWindow ChartWindow::sampleWindow() const {
    // The analyzer page's short window draws one sample more.
    const double clock = m_host.sampleClock();
    const ChartView view = m_panel->view();
    return {view.x.min * clock, view.x.max * clock + (m_host.analyzerPageShown() ? 1 : 0)};
}

AxisRange ChartWindow::fullHorizontal() const {
    return {HorizontalFloor(microsecondDisplay()),
            HorizontalCeiling(m_host.sampleWindowLength(), m_host.sampleClock())};
}

void ChartWindow::clampView() {
    const ChartView clamped = ClampView(m_panel->view(), fullHorizontal(), verticalLimits());
    m_panel->setHorizontal(clamped.x);
    m_panel->setVertical(clamped.y);
    if (m_twin && isVisible()) m_twin->chart()->setHorizontal(clamped.x);
}

void ChartWindow::prepareTimeBase() {
    const bool analyzer = m_host.analyzerPageShown();
    if (analyzer) {
        m_host.startPoll();
        m_host.setChartUnit(ChartUnit::Microseconds);
        m_host.setSampleClock(SampleTimeBase::kMicrosecondClock);
        m_host.setSampleWindowLength(SampleTimeBase::kAnalyzerSamples);
    } else {
        m_host.setChartUnit(ChartUnit::Bits);
        m_host.setSampleClock(SampleTimeBase::kBitClock);
        m_host.setSampleWindowLength(
            SampleTimeBase::slotBits(m_host.longSlot() && m_host.catIqMode()));
    }
    // Both maxima follow the new time base too: a maximum left in the old unit would cut the
    // slot short (a microsecond maximum read as bits ends before the burst does).
    const AxisRange full = fullHorizontal();
    const QString title = analyzer ? "Time [us]" : "BIT";
    setBottomAxis(full.min, full.max, title);
    if (m_twin) m_twin->setBottomAxis(full.min, full.max, title);
}

void ChartWindow::beginRedraw() {
    m_panel->setInteractive(false);
    m_panel->setUpdatesEnabled(false);
    m_drawnInMicroseconds = microsecondDisplay();
}

void ChartWindow::endRedraw() {
    m_panel->setUpdatesEnabled(true);
    m_panel->setInteractive(true);
    m_panel->viewport()->update();
}

TraceColumn ChartWindow::timeColumn(const QList<QPointF>& points) const {
    TraceColumn time{m_drawnInMicroseconds ? "Time [us]" : "Time [bit]", 8, {}};
    time.values.reserve(points.size());
    for (const QPointF& p : points) time.values.push_back(p.x());
    return time;
}

bool ChartWindow::saveTrace(const QString& path) {
    QString error;
    const bool image = path.endsWith(".png", Qt::CaseInsensitive);
    const bool saved = image ? SaveWidgetImage(*m_panel, path, &error)
                             : WriteFileAtomically(path, TraceCsv(traceColumns()), &error);
    if (!saved) {
        m_dialogs.message(this, MessageKind::Error, windowTitle(),
                          "The trace was not saved to " + path + ": " + error, {MessageButton::Ok});
    }
    return saved;
}

void ChartWindow::SaveTraceButtonClick() {
    QString path = m_dialogs.saveFileName(this, "Save trace", m_fileStem + ".csv",
                                          "Trace (*.csv);;Chart image (*.png)");
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += ".csv";
    saveTrace(path);
}

void ChartWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // A window the user restores from the task bar is not shown afresh.
    if (!event->spontaneous()) FormShow();
}

void ChartWindow::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

}  // namespace tavrin::app
