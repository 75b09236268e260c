// One tick of the link window's poll as the tester thread runs it: the link state, the capture,
// the ticked measurements (the shared measurement cycle, through the command wrappers) and the
// charts' samples, back to back, ended at the first exchange a lost tester does not answer;
// and what the poll keeps from one tick to the next.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ChartHost.h"
#include "common/MeasurementCycle.h"

namespace tavrin::app {

class CommandWrappers;

// What the window asks of one tick, taken from its controls when the tick is issued.
struct TickRequest {
    long session = 0;      // the window's opening it belongs to
    bool measure = false;  // the window is shown: the ticked measurements while linked
    // A chart is open beside a test page: the packet delay is asked while linked.
    bool packetDelayForCharts = false;
    common::RefreshChoice choice;
    // The pages' pending Reset Count: sent instead of the first long-term reading, once for
    // each token (the ticks issued before the first one's result carry it too).
    long resetToken = 0;
    std::vector<std::string> resetLines;
    bool resetPP = false, resetFP = false;  // whose lines they are
    SampleSpan power, deviation;
};

struct TickResult {
    long session = 0;
    bool lost = false;  // an exchange went unanswered: the tick ended there
    std::string state;  // the answer to "STAT:DEV?"
    bool measured = false;
    common::LinkReadout readout;
    bool resetPP = false, resetFP = false;  // the Reset Count lines of these pages went out
    SampleBlock power, deviation;
};

// Lives with the link window; used only inside the tester thread's requests.
class LinkPoll {
public:
    TickResult tick(CommandWrappers& w, const TickRequest& request);

    common::MeasurementCycle& refresh() { return m_refresh; }
    const common::LinkReadout& readout() const { return m_readout; }

private:
    common::MeasurementCycle m_refresh;
    common::LinkReadout m_readout;
    long m_resetTokenSent = 0;
};

}  // namespace tavrin::app
