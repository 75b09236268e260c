// The parts the main window holds beside its page pointers (the windows after it, the log
// settings and the radio options the pages share), and the building of the pages and windows:
// each gets the session, the tester thread and the dialogs, and the shell's wiring joins them.
#pragma once

#include <memory>

namespace tavrin::app {

class FrameChartHost;
class LogSettings;
class RadioOptions;
class TCommForm;
class THelpForm;
class TLinkConnectForm;
class TModulationForm;
class TNoConnectForm;
class TNTPForm;
class TResetForm;
class TWenloForm;

struct FrameWindows {
    FrameWindows();
    ~FrameWindows();

    // Destroyed in the reverse order: the radio options first, the console last.
    std::unique_ptr<TCommForm> comm;
    std::unique_ptr<TLinkConnectForm> link;
    std::unique_ptr<TResetForm> reset;
    std::unique_ptr<THelpForm> help;
    std::unique_ptr<TNoConnectForm> noConnect;
    std::unique_ptr<FrameChartHost> chartHost;
    std::unique_ptr<TModulationForm> modulation;
    std::unique_ptr<TNTPForm> ntp;
    std::unique_ptr<LogSettings> logSettings;
    std::unique_ptr<RadioOptions> radioOptions;
};

// Builds the pages into the frame's page pointers, the bottom panel and the radio options; the
// page control's tabs are the frame's.
void BuildPages(TWenloForm& frame, FrameWindows& parts);
// Builds the windows after the main one, in their creation order, and wires them to the
// session, the pages and each other.
void BuildWindows(TWenloForm& frame, FrameWindows& parts);

}  // namespace tavrin::app
