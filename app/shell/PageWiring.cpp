// The session's signals wired to the pages and windows that act on them.
#include "PageWiring.h"

#include <QEvent>

#include "FrameChartHost.h"
#include "TWenloForm.h"
#include "core/TesterWorker.h"
#include "dialogs/TCommForm.h"
#include "display/TModulationForm.h"
#include "display/TNTPForm.h"
#include "pages/FPTestPage.h"
#include "pages/LogSettings.h"
#include "pages/PPTestPage.h"
#include "pages/RFAnalyzerPage.h"
#include "pages/RFGenPage.h"
#include "pages/RadioOptions.h"
#include "setup/SetupPages.h"

namespace tavrin::app {
namespace {

// Reports a window's showing and hiding.
class VisibilityWatch : public QObject {
public:
    VisibilityWatch(QWidget* watched, std::function<void(bool)> report)
        : QObject(watched), m_report(std::move(report)) {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show) m_report(true);
        if (event->type() == QEvent::Hide) m_report(false);
        return false;
    }

private:
    std::function<void(bool)> m_report;
};

SetupPage& SetupPageOf(TWenloForm& frame, TestSide side) {
    if (side == TestSide::PP) return *frame.SetupPPTabSheet;
    return *frame.SetupFPTabSheet;
}

}  // namespace

TLinkConnectForm::Links LinkWindowLinks(TWenloForm& frame) {
    TLinkConnectForm::Links links;
    links.modulation = &frame.modulationForm();
    links.ntp = &frame.ntpForm();
    links.setSamples = [&frame](SampleBlock power, SampleBlock deviation) {
        frame.chartHost().setSamples(std::move(power), std::move(deviation));
    };
    links.limits = [&frame](TestSide side, common::LimitRow row) {
        return SetupPageOf(frame, side).limitNumbers(row);
    };
    return links;
}

void WireCharts(TWenloForm& frame) {
    SessionState& session = frame.session();
    TNTPForm* ntp = &frame.ntpForm();
    // A committed coupling loss sets the power chart's range and undoes its zoom.
    QObject::connect(&session, &SessionState::powerChartRangeChanged, ntp,
                     [ntp](int lower, int upper) {
                         ntp->setPowerRange(lower, upper);
                         ntp->NTPChartUndoZoom();
                     });
    new VisibilityWatch(ntp, [&session](bool shown) { session.setPowerChartShown(shown); });
}

void WireConsoleEcho(TWenloForm& frame) {
    // The echo comes from the tester thread; the console and the log are the window's.
    TesterWorker* tester = &frame.tester();
    TCommForm* console = &frame.commForm();
    LogSettings* logs = &frame.logSettings();
    frame.tester().wrappers().setEchoTargets({
        [tester, console](const std::string& text) {
            tester->toUserInterface(
                [console, text] { console->showStatus(QString::fromStdString(text)); });
        },
        [tester, console](const std::string& line) {
            tester->toUserInterface(
                [console, line] { console->appendLine(QString::fromStdString(line)); });
        },
        [tester, logs](const std::string& line) {
            tester->toUserInterface([logs, line] { logs->logCommunication(line); });
        },
    });
}

void WireTestPages(TWenloForm& frame) {
    SessionState& session = frame.session();
    TWenloForm* f = &frame;
    // The measurement log follows the link window; the analyzer page shown when the window
    // closes sends its commands again (the pages have unlocked their fields by then).
    QObject::connect(&session, &SessionState::linkOpened, f, [f](LinkMode mode) {
        f->logSettings().linkWindowShown(mode != LinkMode::PPConnect);
    });
    QObject::connect(&session, &SessionState::linkClosed, f, [f] {
        if (f->session().shownPage() == ShownPage::Analyzer) f->RF_AnalyzerTabSheet->pageWork();
        f->logSettings().linkWindowClosed();
    });
    // A test page's activation commits its side's ramp fields.
    QObject::connect(&session, &SessionState::rampsCommitWanted, f,
                     [f](TestSide side) { SetupPageOf(*f, side).CommitRampFields(); });
    // The coupling-loss range check of the page activated last.
    frame.radioOptions().levelFieldOf = [f](TestPage page) -> LevelField* {
        switch (page) {
            case TestPage::PP:
                return &f->PP_TestTabSheet->levelField();
            case TestPage::FP:
                return &f->FP_TestTabSheet->levelField();
            case TestPage::Generator:
                return &f->RF_GenTabSheet->levelField();
            case TestPage::None:
                break;
        }
        return nullptr;
    };
}

}  // namespace tavrin::app
