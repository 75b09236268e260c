// The "Modulation" window: the frequency deviation of one received burst over time, read
// sample by sample from the tester's receive sample memory.
#pragma once

#include <QList>
#include <QPointF>

#include "ChartWindow.h"

class QLineSeries;

namespace tavrin::app {

class TNTPForm;

class TModulationForm : public ChartWindow {
    Q_OBJECT
public:
    TModulationForm(ChartHost& host, UserDialogs& dialogs);

    void FormShow() override;
    void FormClose() override;
    void refreshChart() override { RefreshGraph(); }
    SampleSpan sampleSpan() const override;
    void undoZoom() override { ModulationChartUndoZoom(); }

    void RefreshGraph();
    void ModulationChartScroll() { clampView(); }
    void ModulationChartZoom() { clampView(); }
    void ModulationChartUndoZoom();

    // The NTP window, whose vertical view undo-zoom restores to the power chart range.
    void setNtpForm(TNTPForm* ntp);

    QLineSeries* DeviationSeries;

protected:
    AxisRange verticalLimits() const override { return kDeviationLimits; }
    std::vector<TraceColumn> traceColumns() const override;

private:
    // Store index of the sample drawn at position i.
    int storeOffset() const;

    TNTPForm* m_ntp = nullptr;
    QList<QPointF> m_trace;
};

// Makes the two charts each other's twin.
void PairCharts(TNTPForm& ntp, TModulationForm& modulation);

}  // namespace tavrin::app
