// What the test pages ask of the link measurement window and its chart windows, as requests on
// the session: the shell hands them on to the window, so a page never calls it.
#pragma once

#include "core/SessionState.h"

namespace tavrin::app {

class LinkWindowControl {
public:
    explicit LinkWindowControl(SessionState& session) : m_session(session) {}

    // PP Connect: averaging buffers emptied, measurement layout, caption "PP Connect", shown.
    void openPPConnect() { m_session.request(LinkRequest::OpenPPConnect); }
    // FP Status: status layout, caption "FP Status", the status poll started, shown.
    void openFPStatus() { m_session.request(LinkRequest::OpenFPStatus); }
    // FP Connect: the status poll stopped, full layout, caption "FP Connect", shown.
    void openFPConnect() { m_session.request(LinkRequest::OpenFPConnect); }
    // Release: the window hidden, its chart buttons restored and its close handling run (which
    // releases a running link).
    void closeLinkWindow() { m_session.request(LinkRequest::Close); }
    bool linkWindowOpen() const { return m_session.linkWindowOpen(); }
    // Leaving a test page: each of the link, modulation and NTP windows that is visible is
    // hidden and closed.
    void closeMeasurementWindows() { m_session.request(LinkRequest::CloseMeasurementWindows); }
    // FP Release: the modulation and NTP windows, when visible, hidden and closed.
    void closeChartWindows() { m_session.request(LinkRequest::CloseCharts); }
    bool ntpWindowVisible() const { return m_session.powerChartShown(); }
    // A slot type or template change: a visible modulation window is closed and shown again
    // with the new window length, and the link window's button reads "Close &Modulation".
    void reopenModulationWindow() { m_session.request(LinkRequest::ReopenModulation); }

private:
    SessionState& m_session;
};

}  // namespace tavrin::app
