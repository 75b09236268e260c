// The shared state's setters: each announces a real change.
#include "SessionState.h"

namespace tavrin::app {

void SessionState::setTimeBase(const SampleTimeBase& base) {
    if (base == m_timeBase) return;
    m_timeBase = base;
    Q_EMIT timeBaseChanged(m_timeBase);
}

void SessionState::setSampleClock(float clock) {
    SampleTimeBase b = m_timeBase;
    b.clock = clock;
    setTimeBase(b);
}

void SessionState::setSampleWindowLength(float length) {
    SampleTimeBase b = m_timeBase;
    b.windowLength = length;
    setTimeBase(b);
}

void SessionState::setChartUnit(ChartUnit unit) {
    SampleTimeBase b = m_timeBase;
    b.unit = unit;
    setTimeBase(b);
}

void SessionState::setHighestCarrier(int highest) {
    setCarrierRange({highest, std::nullopt, "[0.." + QString::number(highest) + "]"});
}

void SessionState::setCarrierRange(const CarrierRange& range) {
    m_highestCarrier = range.highest;
    Q_EMIT carrierRangeChanged(range);
}

void SessionState::setActivePage(TestPage page) {
    m_activePage = page;
    Q_EMIT activePageChanged(page);
}

void SessionState::setAveragingLength(int n) {
    m_averagingLength = n;
    Q_EMIT averagingLengthChanged(n);
}

void SessionState::commitCouplingLoss(int loss, int chartLower, int chartUpper) {
    setPowerChartRange(chartLower, chartUpper);
    m_couplingLoss = loss;
    Q_EMIT couplingLossChanged(loss);
}

void SessionState::setPowerChartRange(int lower, int upper) {
    m_powerChartRange = {lower, upper};
    Q_EMIT powerChartRangeChanged(lower, upper);
}

void SessionState::addLimitErrors(int delta) {
    m_limitErrorCount += delta;
    Q_EMIT limitConsistencyChanged(limitsConsistent());
}

void SessionState::setLinkMode(LinkMode mode) {
    if (mode == LinkMode::Closed) {
        closeLink(m_linkMode);
        return;
    }
    if (mode == m_linkMode) return;
    const bool opening = m_linkMode == LinkMode::Closed;
    m_linkMode = mode;
    Q_EMIT linkModeChanged(mode);
    if (opening) Q_EMIT linkOpened(mode);
}

void SessionState::closeLink(LinkMode layout) {
    // A close runs its consequences even when the window was not open, as the window's own
    // close handling always did.
    const bool changed = m_linkMode != LinkMode::Closed;
    m_linkMode = LinkMode::Closed;
    if (changed) Q_EMIT linkModeChanged(LinkMode::Closed);
    Q_EMIT linkClosed(layout);
}

bool SessionState::announceFixedPartDummySlot(const QString& slot) {
    m_trafficSlotMoved = false;
    Q_EMIT fixedPartDummySlotFound(slot);
    return m_trafficSlotMoved;
}

void SessionState::requestCountReset(TestSide side, std::vector<std::string> lines) {
    PendingReset& p = side == TestSide::PP ? m_resetPP : m_resetFP;
    p.waiting = true;
    p.lines = std::move(lines);
}

void SessionState::countResetSent(TestSide side) {
    PendingReset& p = side == TestSide::PP ? m_resetPP : m_resetFP;
    if (!p.waiting) return;
    p.waiting = false;
    Q_EMIT countResetWasSent(side);
}

double SessionState::remembered(Remembered value) const {
    return m_remembered.at(static_cast<size_t>(value));
}

void SessionState::remember(Remembered value, double number) {
    if (value == Remembered::None) return;
    m_remembered.at(static_cast<size_t>(value)) = number;
    Q_EMIT rememberedChanged(value, number);
}

}  // namespace tavrin::app
