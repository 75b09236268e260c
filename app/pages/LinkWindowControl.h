// What the test pages ask of the link measurement window and its chart windows. The frame
// holds one; until the real window is installed it is this do-nothing default, so the pages'
// buttons and activations run the same either way.
#pragma once

namespace tavrin::app {

class LinkWindowControl {
public:
    virtual ~LinkWindowControl() = default;

    // PP Connect: averaging buffers emptied, measurement layout, caption "PP Connect", shown.
    virtual void openPPConnect() {}
    // FP Status: status layout, caption "FP Status", the status poll started, shown.
    virtual void openFPStatus() {}
    // FP Connect: the status poll stopped, full layout, caption "FP Connect", shown.
    virtual void openFPConnect() {}
    // Release: the window hidden, its chart buttons restored and its close handling run (which
    // releases a running link).
    virtual void closeLinkWindow() {}
    virtual bool linkWindowOpen() const { return false; }
    // Leaving a test page: each of the link, modulation and NTP windows that is visible is
    // hidden and closed.
    virtual void closeMeasurementWindows() {}
    // FP Release: the modulation and NTP windows, when visible, hidden and closed.
    virtual void closeChartWindows() {}
    virtual bool ntpWindowVisible() const { return false; }
    // A slot type or template change: a visible modulation window is closed and shown again
    // with the new window length, and the link window's button reads "Close &Modulation".
    virtual void reopenModulationWindow() {}
};

}  // namespace tavrin::app
