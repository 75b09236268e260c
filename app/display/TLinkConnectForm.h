// The link measurement window: the live read-out while the tester holds a radio link with the
// device under test. Its poll asks for the link state and every ticked measurement, averages,
// shows each value with its limit bar and drives the two chart windows; in the FP status
// layout it shows what the tester finds of a fixed part while it searches.
#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "LinkPoll.h"
#include "common/LimitSet.h"
#include "core/SessionState.h"
#include "core/Timing.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace tavrin::app {

class StateButton;
class TesterWorker;
struct FPStatus;
class TModulationForm;
class TNTPForm;
class TSlider;
class UpDown;

class TLinkConnectForm : public QWidget {
    Q_OBJECT
public:
    static constexpr int kGraphInterval = 2;
    static constexpr int kStatusInterval = 200;
    static constexpr int kFieldHeight = 27;
    static constexpr int kBarHeight = 14;
    static constexpr double kNoBarValue = -32768;
    // Ticks issued ahead: one waits behind the running one, so the tester thread goes from
    // tick to tick without waiting for this window to draw.
    static constexpr int kTicksAhead = 2;
    // The state field while the tester does not answer.
    static constexpr const char* kTesterLostText = "LOST";

    // The chart windows the poll drives, and what the window reads of the setup's limits.
    struct Links {
        TModulationForm* modulation = nullptr;
        TNTPForm* ntp = nullptr;
        // The samples of the last tick, for the charts' redraw.
        std::function<void(SampleBlock power, SampleBlock deviation)> setSamples;
        // A limit row's numbers on the PP or FP setup page, as they read now.
        std::function<std::array<double, 4>(TestSide, common::LimitRow)> limits;
    };

    TLinkConnectForm(SessionState& session, TesterWorker& tester, const Timing& timing,
                     Links links);
    ~TLinkConnectForm() override;

    // Handlers.
    void FormShow();
    void FormClose();
    void GraphTimerTimer();
    void StatusTimerTimer();
    void Show_ModulationButtonClick();
    void Show_NTPButtonClick();
    void LTermBerCheckBoxClick();
    void LTermFerCheckBoxClick();
    void FontSizeUpDownClick();
    void Button1Click();
    void cmdUnitClick();

    // What the test pages open and close (PP Connect, FP Status / Connect, Release, leaving a
    // page).
    void openPPConnect();
    void openFPStatus();
    void openFPConnect();
    void closeLinkWindow();
    void closeMeasurementWindows();
    void closeChartWindows();
    void reopenModulationWindow();
    // A page's request, as the session hands it on.
    void handleRequest(LinkRequest what);
    // The three layouts, prepared before the window is shown.
    void preparePPConnect();
    void prepareFPStatus();
    void prepareFPConnect();

    // The poll: started when the window opens (or a chart needs it), stopped by Pause,
    // Release and the charts closing. A tick issued before a stop still comes back.
    void startPoll();
    void stopPoll();
    bool pollOn() const { return m_pollOn; }
    // The tester stopped answering: every value "---" and the state field red with
    // kTesterLostText until it answers again.
    bool showsTesterLost() const { return m_testerLost; }

    // The averaging length N (1..200); a new length empties the buffers.
    void setAveragingLength(int n);
    int averagingLength() const { return m_averagingLength; }
    void clearAveraging();
    // The poll's averages; only the tester thread touches them (tests of the synchronous
    // worker may look).
    common::MeasurementCycle& refresh() { return m_poll.refresh(); }
    const common::LinkReadout& readout() const { return m_readout; }
    // The texts the measurement log writes, in its column order.
    std::array<std::string, 9> logColumns() const;
    // The bar under a row's value; null while the window is closed.
    TSlider* bar(common::LimitRow row) const { return m_bars[static_cast<int>(row)].get(); }
    // What the charts read of the shown values: a long (P64Z) slot, and the NTP text ("---"
    // or empty when there is no reading).
    bool longSlotShown() const;
    QString ntpText() const;
    // Poll ticks shown since the window was created (for the refresh-rate measurement).
    long pollCount() const { return m_pollCount; }

    // Measurement group.
    QGroupBox* MeasurementGroup;
    QLabel* StatusLabel;
    QLineEdit* PPStatEdit;
    QLineEdit* SLOTSIZE;
    QLabel* TimeLabel;
    QLineEdit* TIMEACC;
    QCheckBox* NTPCheckBox;
    QCheckBox* FrequencyOffsetCheckBox;
    QCheckBox* BFieldModulationCheckBox;
    QCheckBox* SFieldModulationCheckBox;
    QCheckBox* FrequencyDriftCheckBox;
    QCheckBox* LTermBerCheckBox;
    QCheckBox* LTermFerCheckBox;
    QCheckBox* JitterCheckBox;
    QLineEdit* NTPEdit;
    QLineEdit* FrequencyOffsetEdit;
    QLineEdit* BFieldModulationEdit;
    QLineEdit* PBFieldModulationEdit;
    QLineEdit* NBFieldModulationEdit;
    QLineEdit* SFieldModulationEdit;
    QLineEdit* PSFieldModulationEdit;
    QLineEdit* NSFieldModulationEdit;
    QLabel* FrequencyDriftLabel;
    QLineEdit* FrequencyDriftEdit;
    QLineEdit* LTermBerEdit;
    QLineEdit* LTermFerEdit;
    QLineEdit* JitterMaxPos;
    QLineEdit* JitterMaxNeg;
    QLabel* lblFrame;
    QCheckBox* Sync;
    QCheckBox* AField;
    QCheckBox* XField;
    QCheckBox* ZField;
    // State flag 1 while the chart window is closed.
    StateButton* Show_ModulationButton;
    StateButton* Show_NTPButton;
    QPushButton* Button1;
    QPushButton* cmdUnit;
    UpDown* FontSizeUpDown;
    QLineEdit* FontSizeEdit;
    // Status group (FP).
    QGroupBox* StatusGroup;
    QLineEdit* FPLockStateEdit;
    QLineEdit* FPDummySlotEdit;
    QLineEdit* FPDummyCarrierEdit;
    QLineEdit* FP_RFPIEdit;
    QLabel* Label17;
    QLabel* Label18;
    QLabel* Label19;
    QTimer* GraphTimer;
    QTimer* StatusTimer;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    TickRequest tickRequest();
    void tickDone(TickResult result);
    void testerLostChanged(bool lost);
    void statusAnswered(const FPStatus& status);
    bool pollWanted() const;
    void resetCountSent(const TickResult& result);
    void applyReadout();
    void buildBars();
    void destroyBars();
    void setFilling(QLineEdit* field, bool filling);
    void showWindowLayout(bool measurements, bool status, int statusWidth, int width);
    bool fpMode() const;
    void restoreChartButtons();
    void setChartMaxima(bool onlyHidden);
    void showUnit(const SampleTimeBase& base);
    bool chartShown() const;

    SessionState& m_session;
    TesterWorker& m_tester;
    const Timing& m_timing;
    Links m_links;
    LinkMode m_mode = LinkMode::PPConnect;  // the layout prepared last
    bool m_timingAccuracy = false;          // the time field shows the timing accuracy
    LinkPoll m_poll;
    common::LinkReadout m_readout;  // the last tick's, as shown
    int m_averagingLength = 1;
    int m_ticksInFlight = 0;
    long m_opening = 0;  // counts the openings and closings: late ticks of an old one are not shown
    long m_resetToken = 0;  // counts the openings: each restarts the long-term counts once
    bool m_pollOn = false;
    bool m_testerLost = false;
    bool m_statusInFlight = false;
    std::array<std::unique_ptr<TSlider>, common::kBarCount> m_bars;
    std::array<QLineEdit*, common::kBarCount> m_barFields{};
    long m_pollCount = 0;
};

}  // namespace tavrin::app
