// How often the link measurement window refreshes on the virtual tester, which paces its
// answers like an FT232R link: the program starts on the "sim" driver, connects on the PP
// page with every measurement ticked, and counts the window's polls over 10 s of real time.
// With --charts the NTP and modulation charts are open too, and every poll redraws both.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "app/FakeTester.h"
#include "core/LibrarySession.h"
#include "core/StateButton.h"
#include "display/TLinkConnectForm.h"
#include "pages/PPTestPage.h"

int main(int argc, char** argv) {
    using namespace tavrin::app;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    int seconds = 10;
    bool charts = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--charts") == 0)
            charts = true;
        else
            seconds = std::atoi(argv[i]);
    }
    if (!SelectDriver("sim")) {
        std::fprintf(stderr, "the virtual tester cannot be selected\n");
        return 1;
    }
    LibraryPort port;
    testing::Program program({"tavrin"}, &port);
    if (!program.started(30000)) {
        std::fprintf(stderr, "the program did not start\n");
        return 1;
    }
    TWenloForm& form = *program.form;
    form.PageControl->setCurrentWidget(form.PP_TestTabSheet);
    program.runUntil([&] { return program.settled(); });
    form.PP_TestTabSheet->ConnectPPButton->click();
    TLinkConnectForm& link = form.linkForm();
    if (!program.runUntil([&] { return link.NTPEdit->text() != "---"; }, 10000)) {
        std::fprintf(stderr, "the link did not come up\n");
        return 1;
    }
    if (charts) {
        link.Show_NTPButton->click();
        link.Show_ModulationButton->click();
    }
    const long first = link.pollCount();
    QElapsedTimer clock;
    clock.start();
    // The program's own event loop: the tests' waiting helper sleeps 10 ms between rounds.
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    const double elapsed = clock.elapsed() / 1000.0;
    const long polls = link.pollCount() - first;
    std::printf(
        "link window, PP, every measurement ticked%s: %ld polls in %.1f s = %.1f per second\n",
        charts ? ", both charts open" : "", polls, elapsed, polls / elapsed);
    form.PP_TestTabSheet->ConnectPPButton->click();
    return polls / elapsed >= 6.0 ? 0 : 2;
}
