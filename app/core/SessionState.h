// What the program's windows share, in one object with a signal per value: the charts' time
// base, the carrier range and slot scheme, the averaging length, the coupling loss and RX
// attenuator, the power ramp, the limits' consistency, the drift unit, the active test page,
// the link window's mode and the values a setup load remembers. Windows read and set it and
// follow its signals; none reaches into another's controls.
#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "SampleTimeBase.h"

namespace tavrin::app {

// The test page the coupling-loss range check applies to: the last of these activated.
enum class TestPage { None, PP, FP, Generator };
// The page the main window shows.
enum class ShownPage { System, PP, FP, Generator, Analyzer, SetupPP, SetupFP };
// The link measurement window's layout, or Closed while it is hidden.
enum class LinkMode { Closed, PPConnect, FPStatus, FPConnect };
// What a page asks of the link window and its chart windows.
enum class LinkRequest {
    OpenPPConnect,
    OpenFPStatus,
    OpenFPConnect,
    Close,                    // Release: the window hidden and its link released
    CloseMeasurementWindows,  // leaving a test page: link, modulation and NTP windows closed
    CloseCharts,              // the modulation and NTP windows closed
    ReopenModulation,         // a new slot type or template: the modulation window redrawn
};
// The frequency drift's unit, as the System page chose it.
enum class DriftUnit { KhzPerMs, KhzPerSlot };
// The side of a radio test: portable part or fixed part.
enum class TestSide { PP, FP };
// What a loaded setup value also becomes besides its field's text: the values the test pages
// compare new entries against (slots and BER counts are whole numbers, levels may have decimals).
enum class Remembered {
    None,
    PPDummySlot,
    PPTrafficSlot,
    PPRFLevel,
    PPBERCount,
    FPRFLevel,
    FPBERCount,
    GenRFLevel,
};

// The carrier range the pages' carrier steppers and captions show: 0 (or the model's
// minimum) .. highest, captioned "[0..9]" or as the model names it.
struct CarrierRange {
    int highest;
    std::optional<int> minimum;
    QString text;
};

// The power chart's level range in dBm.
struct PowerRange {
    int lower;
    int upper;
    bool operator==(const PowerRange&) const = default;
};

class SessionState : public QObject {
    Q_OBJECT
public:
    static constexpr int kStartHighestCarrier = 9;
    static constexpr int kStartSlotMaximum = 10;
    static constexpr std::array<int, 6> kStartPowerRamp{-47, -16, 4, 1, -1, -5};

    // The time base.
    const SampleTimeBase& timeBase() const { return m_timeBase; }
    void setTimeBase(const SampleTimeBase& base);
    void setSampleClock(float clock);
    void setSampleWindowLength(float length);
    void setChartUnit(ChartUnit unit);

    // The carrier range (0 .. highest) and the slot scheme (slot maximum, CAT-iq option).
    int highestCarrier() const { return m_highestCarrier; }
    void setHighestCarrier(int highest);
    // A recognised model's range, with its own minimum and caption.
    void setCarrierRange(const CarrierRange& range);
    int slotMaximum() const { return m_slotMaximum; }
    void setSlotMaximum(int maximum) { m_slotMaximum = maximum; }
    bool catIq() const { return m_catIq; }
    void setCatIq(bool on) { m_catIq = on; }

    // The link window's averaging length N (1..200).
    int averagingLength() const { return m_averagingLength; }
    void setAveragingLength(int n);

    // The coupling loss as last committed, the RX attenuator and the power chart's range.
    int couplingLoss() const { return m_couplingLoss; }
    void commitCouplingLoss(int loss, int chartLower, int chartUpper);
    bool rxAttenuator() const { return m_rxAttenuator; }
    void setRxAttenuator(bool on) { m_rxAttenuator = on; }
    PowerRange powerChartRange() const { return m_powerChartRange; }
    void setPowerChartRange(int lower, int upper);

    // The stored power-ramp levels A..F as the last ramp field's exit left them.
    const std::array<int, 6>& powerRamp() const { return m_powerRamp; }
    void setPowerRamp(int level, int value) { m_powerRamp.at(static_cast<size_t>(level)) = value; }
    void resetPowerRamp() { m_powerRamp = kStartPowerRamp; }

    // The count of limit fields in error; the limits are consistent while it is 0.
    int limitErrorCount() const { return m_limitErrorCount; }
    bool limitsConsistent() const { return m_limitErrorCount == 0; }
    void addLimitErrors(int delta);

    DriftUnit driftUnit() const { return m_driftUnit; }
    void setDriftUnit(DriftUnit unit) { m_driftUnit = unit; }

    TestPage activePage() const { return m_activePage; }
    void setActivePage(TestPage page);
    ShownPage shownPage() const { return m_shownPage; }
    void setShownPage(ShownPage page) { m_shownPage = page; }
    // The test page's loopback choice, which the link window's tick reads.
    bool loopback(TestSide side) const { return side == TestSide::PP ? m_loopPP : m_loopFP; }
    void setLoopback(TestSide side, bool on) { (side == TestSide::PP ? m_loopPP : m_loopFP) = on; }

    // The link window's mode: its opening locks the pages' link fields, its closing (in the
    // layout it last had) unlocks them.
    LinkMode linkMode() const { return m_linkMode; }
    bool linkWindowOpen() const { return m_linkMode != LinkMode::Closed; }
    void setLinkMode(LinkMode mode);
    void closeLink(LinkMode layout);
    // A page's wish for the link window; the shell hands it on.
    void request(LinkRequest what) { Q_EMIT linkWindowRequested(what); }
    // The power (NTP) chart is shown.
    bool powerChartShown() const { return m_powerChartShown; }
    void setPowerChartShown(bool shown) { m_powerChartShown = shown; }
    // What the FP status poll found: whether the fixed part is locked, and its dummy slot.
    // The answer says whether the FP page moved its traffic slot off that slot.
    void announceFixedPartLock(bool locked) { Q_EMIT fixedPartLockFound(locked); }
    bool announceFixedPartDummySlot(const QString& slot);
    void trafficSlotMovedOffDummy() { m_trafficSlotMoved = true; }

    // A page's Reset Count: its lines wait for the next linked tick of the link window.
    void requestCountReset(TestSide side, std::vector<std::string> lines);
    bool countResetPending(TestSide side) const { return pending(side).waiting; }
    const std::vector<std::string>& countResetLines(TestSide side) const {
        return pending(side).lines;
    }
    // The link window sent the lines of `side`.
    void countResetSent(TestSide side);
    // The link is down (or the tester lost): no Reset Count can go out now.
    void blockCountReset() { Q_EMIT countResetBlocked(); }

    // The slot type and power template both radio test pages show.
    void setSlotType(int index) { Q_EMIT slotTypeChanged(index); }
    void setPowerTemplate(int index) { Q_EMIT powerTemplateChanged(index); }
    // The recognised model's slot scheme, CAT-iq or not: the pages refill their slot lists.
    void announceSlotScheme(bool catIq) { Q_EMIT slotSchemeChanged(catIq); }
    // A test page's activation commits its side's ramp fields on the setup page.
    void commitRamps(TestSide side) { Q_EMIT rampsCommitWanted(side); }

    // The values the last setup load remembered.
    double remembered(Remembered value) const;
    void remember(Remembered value, double number);

Q_SIGNALS:
    void timeBaseChanged(const SampleTimeBase& base);
    void carrierRangeChanged(const CarrierRange& range);
    void activePageChanged(TestPage page);
    // The averaging field really changed N; the link window empties its averaging buffers.
    void averagingLengthChanged(int n);
    // The coupling loss was committed; the link window empties its NTP averaging buffer.
    void couplingLossChanged(int loss);
    // The NTP chart's level range (its zoom is undone).
    void powerChartRangeChanged(int lower, int upper);
    void limitConsistencyChanged(bool consistent);
    void linkModeChanged(LinkMode mode);
    void linkOpened(LinkMode mode);
    void linkClosed(LinkMode layout);
    void linkWindowRequested(LinkRequest what);
    void fixedPartLockFound(bool locked);
    void fixedPartDummySlotFound(const QString& slot);
    void countResetWasSent(TestSide side);
    void countResetBlocked();
    void rememberedChanged(Remembered value, double number);
    void slotTypeChanged(int index);
    void powerTemplateChanged(int index);
    void slotSchemeChanged(bool catIq);
    void rampsCommitWanted(TestSide side);

private:
    struct PendingReset {
        bool waiting = false;
        std::vector<std::string> lines;
    };
    const PendingReset& pending(TestSide side) const {
        return side == TestSide::PP ? m_resetPP : m_resetFP;
    }

    SampleTimeBase m_timeBase;
    int m_highestCarrier = kStartHighestCarrier;
    int m_slotMaximum = kStartSlotMaximum;
    bool m_catIq = false;
    int m_averagingLength = 1;
    int m_couplingLoss = 0;
    bool m_rxAttenuator = false;
    PowerRange m_powerChartRange{-50, 30};
    std::array<int, 6> m_powerRamp = kStartPowerRamp;
    int m_limitErrorCount = 0;
    DriftUnit m_driftUnit = DriftUnit::KhzPerSlot;
    TestPage m_activePage = TestPage::None;
    ShownPage m_shownPage = ShownPage::SetupPP;
    bool m_loopPP = false;
    bool m_loopFP = false;
    bool m_trafficSlotMoved = false;
    LinkMode m_linkMode = LinkMode::Closed;
    bool m_powerChartShown = false;
    PendingReset m_resetPP;
    PendingReset m_resetFP;
    std::array<double, 8> m_remembered{};
};

}  // namespace tavrin::app
