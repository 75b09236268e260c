// The chart windows on the main window.
#include "FrameChartHost.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <QLabel>
#include "TWenloForm.h"
#include "core/StateButton.h"
#include "core/TesterWorker.h"
#include "core/UpDown.h"
#include "display/TLinkConnectForm.h"
#include "display/TModulationForm.h"
#include "display/TNTPForm.h"
#include "pages/BottomPanel.h"
#include "pages/FPTestPage.h"
#include "pages/PPTestPage.h"
#include "pages/RFAnalyzerPage.h"
#include "pages/RadioOptions.h"
#include "pages/SystemPage.h"

namespace tavrin::app {
FrameChartHost::FrameChartHost(TWenloForm& frame) : m_frame(frame), m_session(frame.session()) {}

float FrameChartHost::sampleClock() const {
    return m_session.timeBase().clock;
}

void FrameChartHost::setSampleClock(float clock) {
    m_session.setSampleClock(clock);
}

float FrameChartHost::sampleWindowLength() const {
    return m_session.timeBase().windowLength;
}

void FrameChartHost::setSampleWindowLength(float length) {
    m_session.setSampleWindowLength(length);
}

std::array<int, 6> FrameChartHost::powerRamp() const {
    return m_session.powerRamp();
}

bool FrameChartHost::analyzerPageShown() const {
    return m_session.shownPage() == ShownPage::Analyzer;
}

bool FrameChartHost::highDynamicOff() const {
    switch (m_session.shownPage()) {
        case ShownPage::PP:
            return !m_frame.PP_TestTabSheet->highDynamicOn();
        case ShownPage::FP:
            return !m_frame.FP_TestTabSheet->highDynamicOn();
        default:
            return false;
    }
}

bool FrameChartHost::rxAttenuatorTicked() const {
    return m_session.rxAttenuator();
}

bool FrameChartHost::prolongedPreamble() const {
    return m_frame.PP_TestTabSheet->prolongedPreambleTemplate();
}

bool FrameChartHost::catIqMode() const {
    return m_session.catIq();
}

ChartUnit FrameChartHost::chartUnit() const {
    return m_session.timeBase().unit;
}

void FrameChartHost::setChartUnit(ChartUnit unit) {
    m_session.setChartUnit(unit);
}

bool FrameChartHost::longSlot() const {
    return m_frame.linkForm().longSlotShown();
}

QString FrameChartHost::measuredNtpText() const {
    return m_frame.linkForm().ntpText();
}

int FrameChartHost::buttonFlag(ChartOpener opener, ChartKind kind) const {
    if (opener == ChartOpener::LinkWindow) {
        const TLinkConnectForm& link = m_frame.linkForm();
        return (kind == ChartKind::Power ? link.Show_NTPButton : link.Show_ModulationButton)->tag;
    }
    const RFAnalyzerPage* page = m_frame.RF_AnalyzerTabSheet;
    return (kind == ChartKind::Power ? page->Show_NTPButton : page->Show_ModulationButton)->tag;
}

void FrameChartHost::setButton(ChartOpener opener, ChartKind kind, int flag,
                               const QString& caption) {
    if (opener == ChartOpener::LinkWindow) {
        TLinkConnectForm& link = m_frame.linkForm();
        StateButton* button =
            kind == ChartKind::Power ? link.Show_NTPButton : link.Show_ModulationButton;
        button->tag = flag;
        button->setText(caption);
        return;
    }
    RFAnalyzerPage* page = m_frame.RF_AnalyzerTabSheet;
    StateButton* button =
        kind == ChartKind::Power ? page->Show_NTPButton : page->Show_ModulationButton;
    button->tag = flag;
    button->setText(caption);
}

void FrameChartHost::startPoll() {
    m_frame.linkForm().startPoll();
}

void FrameChartHost::stopPoll() {
    m_frame.linkForm().stopPoll();
}

bool FrameChartHost::linkWindowVisible() const {
    return m_frame.linkForm().isVisible();
}

int32_t FrameChartHost::forceCapture() {
    // Nobody waits for the capture's status: the next poll tick reads what it stored.
    m_frame.tester().run([](CommandWrappers& w) { w.forceCapture(); });
    return 0;
}

int16_t FrameChartHost::readPowerSample(uint16_t index) {
    // A sample the tick did not read (the view moved since) is off the chart.
    return m_power.holds(index) ? m_power.at(index) : TesterPort::kPowerOutOfRange;
}

int16_t FrameChartHost::readDeviationSample(uint16_t index) {
    return m_deviation.holds(index) ? m_deviation.at(index) : 0;
}

void FrameChartHost::setSamples(SampleBlock power, SampleBlock deviation) {
    m_power = std::move(power);
    m_deviation = std::move(deviation);
}

void WireAnalyzerPage(TWenloForm& frame) {
    RFAnalyzerPage::Links links;
    links.mainWindow = &frame;
    links.modulationWindow = &frame.modulationForm();
    links.ntpWindow = &frame.ntpForm();
    links.setPowerRangeForLoss = [&frame](int loss) {
        const AxisRange range = PowerChartRange(loss, frame.session().rxAttenuator());
        frame.ntpForm().setPowerRange(static_cast<int>(range.min), static_cast<int>(range.max));
        frame.ntpForm().NTPChartUndoZoom();
    };
    frame.RF_AnalyzerTabSheet->setLinks(std::move(links));
}

}  // namespace tavrin::app
