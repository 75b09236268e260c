// The "NTP" window: the power of one burst over time against the power-time template, with
// the verdict "Matching" / "Not Matching". On the RF analyzer page it shows the trace alone.
#pragma once

#include <QList>
#include <QPointF>

#include "ChartWindow.h"
#include "TemplateGeometry.h"

class QLabel;
class QLineSeries;

namespace tavrin::app {

class TModulationForm;

class TNTPForm : public ChartWindow {
    Q_OBJECT
public:
    TNTPForm(ChartHost& host, UserDialogs& dialogs);

    void FormShow() override;
    void FormClose() override;
    void refreshChart() override { RefreshGraph(); }
    SampleSpan sampleSpan() const override;
    void undoZoom() override { NTPChartUndoZoom(); }

    void RefreshGraph();
    void NTPChartScroll() { clampView(); }
    void NTPChartZoom() { clampView(); }
    void NTPChartUndoZoom();

    // The power chart range (dBm): the vertical view's limits; applied at the next undo-zoom.
    void setPowerRange(int lo, int hi);
    AxisRange powerRange() const { return m_powerRange; }

    // The template of the last redraw, built from the shared state at that moment.
    TemplateSetup templateSetup() const;

    QLabel* lblNTPFRAMESTATUS;
    QLineSeries* MeasuredSeries;
    QLineSeries* UpperLimitSeries;
    QLineSeries* InnerLimit;

protected:
    AxisRange verticalLimits() const override { return m_powerRange; }
    std::vector<TraceColumn> traceColumns() const override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeStatus();
    void clearSeries();

    AxisRange m_powerRange{-70, 10};
    // Reused point lists: a redraw replaces each series' points in one go.
    QList<QPointF> m_trace;
    QList<QPointF> m_upper;
    QList<QPointF> m_lower;
    // What the last redraw drew, for the export.
    bool m_templateDrawn = false;
    TemplateSetup m_drawnSetup;
    double m_drawnFirstSample = 0;
};

}  // namespace tavrin::app
