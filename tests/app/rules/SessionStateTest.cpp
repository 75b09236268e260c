// The shared session's announcements: the link window's opening and closing (a layout change
// is no new opening), the Reset Count handshake, and the charts' unit switch.
#include <gtest/gtest.h>

#include <QSignalSpy>

#include "core/SessionState.h"

namespace tavrin::app::testing {
namespace {

TEST(SessionState, TheLinkOpensOnceClosesInItsLastLayoutAndAClosingAlwaysAnnouncesItself) {
    SessionState s;
    QSignalSpy opened(&s, &SessionState::linkOpened);
    QSignalSpy closed(&s, &SessionState::linkClosed);
    QSignalSpy changed(&s, &SessionState::linkModeChanged);

    s.setLinkMode(LinkMode::FPStatus);
    // FP Status to FP Connect in the same opening: the pages stay locked, the log keeps its
    // header.
    s.setLinkMode(LinkMode::FPConnect);
    s.setLinkMode(LinkMode::FPConnect);
    EXPECT_EQ(opened.count(), 1);
    EXPECT_EQ(changed.count(), 2);
    EXPECT_TRUE(s.linkWindowOpen());

    s.closeLink(LinkMode::FPConnect);
    ASSERT_EQ(closed.count(), 1);
    EXPECT_EQ(closed.at(0).at(0).value<LinkMode>(), LinkMode::FPConnect);
    EXPECT_FALSE(s.linkWindowOpen());
    // A close of a window that was not open still runs its consequences, once each.
    s.closeLink(LinkMode::PPConnect);
    EXPECT_EQ(closed.count(), 2);
    EXPECT_EQ(changed.count(), 3);
    s.setLinkMode(LinkMode::PPConnect);
    EXPECT_EQ(opened.count(), 2);
}

TEST(SessionState, AResetCountGoesOutOnceAndABlockedLinkKeepsItWaiting) {
    SessionState s;
    QSignalSpy sent(&s, &SessionState::countResetWasSent);
    s.requestCountReset(TestSide::FP, {"CONF:BER:EVAL:WIND 100", "PROC:STRT:BER"});
    s.blockCountReset();
    EXPECT_TRUE(s.countResetPending(TestSide::FP));
    EXPECT_FALSE(s.countResetPending(TestSide::PP));
    EXPECT_EQ(s.countResetLines(TestSide::FP).size(), 2u);
    s.countResetSent(TestSide::PP);  // nothing waited on the PP side
    s.countResetSent(TestSide::FP);
    s.countResetSent(TestSide::FP);  // a late tick of the same opening
    ASSERT_EQ(sent.count(), 1);
    EXPECT_EQ(sent.at(0).at(0).value<TestSide>(), TestSide::FP);
    EXPECT_FALSE(s.countResetPending(TestSide::FP));
}

TEST(SessionState, TheUnitSwitchKeepsALongSlotLongBothWaysAndAnnouncesEachChangeOnce) {
    SessionState s;
    QSignalSpy changed(&s, &SessionState::timeBaseChanged);
    s.setSampleClock(SampleTimeBase::kMicrosecondClock);
    s.setSampleWindowLength(SampleTimeBase::slotSamples(true));
    s.setSampleWindowLength(SampleTimeBase::slotSamples(true));  // no change, no signal
    EXPECT_EQ(changed.count(), 2);

    s.setTimeBase(s.timeBase().switchedTo(ChartUnit::Bits));
    EXPECT_EQ(s.timeBase().windowLength, SampleTimeBase::kLongSlotBits);
    EXPECT_EQ(s.timeBase().clock, SampleTimeBase::kBitClock);
    EXPECT_DOUBLE_EQ(s.timeBase().axisMaximum(), 7020.0 / 9.0);
    s.setTimeBase(s.timeBase().switchedTo(ChartUnit::Microseconds));
    EXPECT_EQ(s.timeBase().windowLength, SampleTimeBase::kLongSlotSamples);
    EXPECT_EQ(s.timeBase().clock, SampleTimeBase::kMicrosecondClock);
    s.setTimeBase(s.timeBase().switchedTo(ChartUnit::Bits));
    EXPECT_EQ(s.timeBase().windowLength, SampleTimeBase::kLongSlotBits);
    // A short slot stays short.
    s.setTimeBase(s.timeBase().switchedTo(ChartUnit::Microseconds));
    s.setSampleWindowLength(SampleTimeBase::slotSamples(false));
    s.setTimeBase(s.timeBase().switchedTo(ChartUnit::Bits));
    EXPECT_EQ(s.timeBase().windowLength, SampleTimeBase::kShortSlotBits);
    EXPECT_EQ(s.timeBase().unit, ChartUnit::Bits);
    EXPECT_EQ(changed.count(), 8);
}

}  // namespace
}  // namespace tavrin::app::testing
