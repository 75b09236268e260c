// What the NTP and modulation windows share: the chart with its program-set axes, the user's
// pan and zoom clamped to the allowed view and copied to the other chart, undo-zoom, the
// show and close handlers run by the window's own show and close events, and "Save trace…".
#pragma once

#include <QList>
#include <QPointF>
#include <QWidget>
#include <vector>

#include "ChartHost.h"
#include "ChartPanel.h"
#include "ChartRanges.h"
#include "TraceExport.h"

class QPushButton;

namespace tavrin::app {

class UserDialogs;

class ChartWindow : public QWidget {
    Q_OBJECT
public:
    // The show handler; show() runs it, as the window's show event does.
    virtual void FormShow() = 0;
    // The close handler; the window's close box runs it. hide() alone does not.
    virtual void FormClose() = 0;
    // The poll's chart step: one full redraw from the samples the tick read.
    virtual void refreshChart() = 0;
    // The stored samples the next redraw reads, for the current view (the tick reads them).
    virtual SampleSpan sampleSpan() const = 0;
    // Restores the full view of both charts.
    virtual void undoZoom() = 0;

    // The unit switch's axis settings: range and title of the time axis.
    void setBottomAxis(double min, double max, const QString& title);
    void setBottomAxisMaximum(double max);
    ChartPanel* chart() const { return m_panel; }
    // The other chart, whose horizontal range follows this one's.
    void setTwin(ChartWindow* twin) { m_twin = twin; }
    ChartWindow* twin() const { return m_twin; }

    // CSV unless the name ends in ".png"; false after telling the user what went wrong.
    bool saveTrace(const QString& path);
    void SaveTraceButtonClick();

    QPushButton* UndoZoomButton;
    QPushButton* SaveTraceButton;

protected:
    ChartWindow(ChartHost& host, UserDialogs& dialogs, const QString& caption,
                const QString& chartTitle, const QString& verticalTitle, const QString& fileStem);

    virtual AxisRange verticalLimits() const = 0;
    // The shown trace as columns, time first.
    virtual std::vector<TraceColumn> traceColumns() const = 0;

    bool microsecondDisplay() const { return m_host.chartUnit() == ChartUnit::Microseconds; }
    // The full horizontal view: the unit's floor .. sample-window length / sample clock.
    AxisRange fullHorizontal() const;
    // After a pan or zoom: clamp the view, then copy the horizontal range to the other chart
    // while this one is visible.
    void clampView();
    // The display switch of the show handlers, for both charts. The analyzer page shows a
    // short microsecond window, the link window the whole slot in bits.
    void prepareTimeBase();
    // The shown view in samples: first and end sample (x0, x1) of a redraw.
    struct SampleWindow {
        double x0, x1;
    };
    SampleWindow sampleWindow() const;
    // Redraws suspend repainting and the mouse, and repaint once at the end.
    void beginRedraw();
    void endRedraw();
    // The time column of an export, titled in the unit the chart was drawn in.
    TraceColumn timeColumn(const QList<QPointF>& points) const;

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

    ChartHost& m_host;
    UserDialogs& m_dialogs;
    ChartPanel* m_panel;
    ChartWindow* m_twin = nullptr;
    QString m_fileStem;
    bool m_drawnInMicroseconds = false;
};

}  // namespace tavrin::app
