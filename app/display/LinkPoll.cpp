// One tick of the link window's poll.
#include "LinkPoll.h"

#include "core/CommandWrappers.h"

namespace tavrin::app {
namespace {

// The measurement cycle's queries go through the wrappers, so they reach the console and the
// communication log as every other command does; a silent tester is a failed exchange.
class WrapperQueries final : public common::QueryPort {
public:
    explicit WrapperQueries(CommandWrappers& w) : m_w(w) {}
    std::string Query(const std::string& line) override { return m_w.query(line.c_str()); }
    bool Failed() const override { return m_w.testerLost(); }

private:
    CommandWrappers& m_w;
};

SampleBlock ReadSamples(CommandWrappers& w, const SampleSpan& span, bool power) {
    SampleBlock block;
    block.first = span.first;
    block.values.reserve(static_cast<size_t>(std::max(0, span.count)));
    for (int i = 0; i < span.count && !w.testerLost(); ++i) {
        const auto index = static_cast<uint16_t>(span.first + i);
        block.values.push_back(power ? w.readPowerSample(index) : w.readDeviationSample(index));
    }
    return block;
}

}  // namespace

TickResult LinkPoll::tick(CommandWrappers& w, const TickRequest& request) {
    TickResult result;
    result.session = request.session;
    const auto lost = [&] {
        result.lost = w.testerLost();
        return result.lost;
    };

    // The link state goes to the library directly, so the poll never fills the console or the
    // communication log.
    char state[kReplyBufferSize] = {};
    w.directWrite("STAT:DEV?");
    w.directRead(state);
    state[kReplyBufferSize - 1] = '\0';
    result.state = state;
    if (lost()) return result;
    const bool linkUp = result.state == "DCE";

    w.sendCommand("PROC:SAMP:FORC");
    if (lost()) return result;
    if (request.packetDelayForCharts && linkUp) w.query("FETCH:PACK:DEL?");
    if (lost()) return result;

    if (request.measure) {
        if (linkUp) {
            WrapperQueries queries(w);
            const auto takeResetCount = [&] {
                if (request.resetLines.empty() || request.resetToken == m_resetTokenSent)
                    return false;
                m_resetTokenSent = request.resetToken;
                for (const std::string& line : request.resetLines) w.sendCommand(line.c_str());
                result.resetPP = request.resetPP;
                result.resetFP = request.resetFP;
                return true;
            };
            m_refresh.refresh(queries, request.choice, takeResetCount, m_readout);
        } else {
            m_readout.clear();
        }
        if (lost()) return result;
        result.measured = true;
        result.readout = m_readout;
    }

    result.power = ReadSamples(w, request.power, true);
    result.deviation = ReadSamples(w, request.deviation, false);
    lost();
    return result;
}

}  // namespace tavrin::app
