// The building of the pages and of the windows after the main one, in their creation order.
#include "FrameWindows.h"

#include "FrameChartHost.h"
#include "PageWiring.h"
#include "TWenloForm.h"
#include "dialogs/TCommForm.h"
#include "dialogs/TNoConnectForm.h"
#include "dialogs/TResetForm.h"
#include "display/TLinkConnectForm.h"
#include "display/TModulationForm.h"
#include "display/TNTPForm.h"
#include "pages/BottomPanel.h"
#include "pages/FPTestPage.h"
#include "pages/LogSettings.h"
#include "pages/PPTestPage.h"
#include "pages/RFAnalyzerPage.h"
#include "pages/RFGenPage.h"
#include "pages/RadioOptions.h"
#include "pages/SystemPage.h"
#include "setup/SetupPages.h"

namespace tavrin::app {

FrameWindows::FrameWindows() = default;
FrameWindows::~FrameWindows() = default;

void BuildPages(TWenloForm& frame, FrameWindows& parts) {
    SessionState& session = frame.session();
    TesterWorker& tester = frame.tester();
    UserDialogs& dialogs = frame.dialogs();
    frame.SystemTabSheet = new SystemPage(tester);
    frame.AlwaysPanel = new BottomPanel(&frame);
    parts.radioOptions = std::make_unique<RadioOptions>(session, tester, dialogs,
                                                        *frame.SystemTabSheet, *frame.AlwaysPanel);
    RadioOptions& options = *parts.radioOptions;
    frame.PP_TestTabSheet = new PPTestPage(session, tester, dialogs, options);
    frame.FP_TestTabSheet = new FPTestPage(session, tester, dialogs, options);
    frame.RF_GenTabSheet = new RFGenPage(session, tester, dialogs, options);
    frame.RF_AnalyzerTabSheet = new RFAnalyzerPage(session, tester, dialogs, options);
    frame.SetupPPTabSheet = new SetupPPPage(tester, dialogs);
    frame.SetupFPTabSheet = new SetupFPPage(tester, dialogs);
    for (SetupPage* page : {static_cast<SetupPage*>(frame.SetupPPTabSheet),
                            static_cast<SetupPage*>(frame.SetupFPTabSheet)}) {
        page->setHooks({[&session](int level, int value) { session.setPowerRamp(level, value); },
                        [&session](int delta) { session.addLimitErrors(delta); }});
    }
}

void BuildWindows(TWenloForm& frame, FrameWindows& parts) {
    parts.comm = std::make_unique<TCommForm>(frame.tester());
    parts.chartHost = std::make_unique<FrameChartHost>(frame);
    parts.modulation = std::make_unique<TModulationForm>(*parts.chartHost, frame.dialogs());
    parts.ntp = std::make_unique<TNTPForm>(*parts.chartHost, frame.dialogs());
    PairCharts(*parts.ntp, *parts.modulation);
    parts.link = std::make_unique<TLinkConnectForm>(frame.session(), frame.tester(), frame.timing(),
                                                    LinkWindowLinks(frame));
    WireAnalyzerPage(frame);
    WireCharts(frame);
    WireTestPages(frame);
    parts.reset = std::make_unique<TResetForm>();
    parts.help = std::make_unique<THelpForm>();
    parts.noConnect = std::make_unique<TNoConnectForm>(*parts.help);
    parts.noConnect->mainWindow = &frame;
    parts.noConnect->resetDialog = parts.reset.get();

    parts.logSettings =
        std::make_unique<LogSettings>(*frame.SystemTabSheet, frame.dialogs(), frame.timing());
    parts.logSettings->rowSource = [link = parts.link.get()] { return link->logColumns(); };
    WireConsoleEcho(frame);
}

}  // namespace tavrin::app
