// Tavrin: the desktop program of the Tavrin DECT tester.
#include <QApplication>
#include <cstdio>

#include "TWenloForm.h"
#include "core/LibrarySession.h"
#include "core/StartupOptions.h"
#include "core/TesterPort.h"
#include "core/TraceLog.h"
#include "core/UserDialogs.h"

namespace {

int Fail(const std::string& text) {
    std::fprintf(stderr, "tavrin: %s\n%s", text.c_str(), tavrin::app::kUsageText);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tavrin::app;
    // The switches are read before the toolkit removes its own from the command line.
    const std::vector<std::string> arguments(argv, argv + argc);
    // Read before the toolkit starts: --help and --version need no display and no tester.
    const StartupOptions options = ParseStartupOptions(arguments);
    if (options.help) {
        std::printf("%s%s", kUsageText, kHelpText);
        return 0;
    }
    if (options.version) {
        std::fputs("tavrin " TAVRIN_VERSION "\n", stdout);
        return 0;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName("Tavrin");
    // The program decides when it ends: closing the main window, Exit, Abort or the reset
    // dialog's close box.
    QApplication::setQuitOnLastWindowClosed(false);

    if (!options.error.empty()) return Fail(options.error);
    if (const std::string error = ApplyDriverOptions(options); !error.empty()) return Fail(error);

    LibraryPort port;
    QtUserDialogs dialogs;
    WenloSettings settings;
    settings.arguments = arguments;
    settings.traceLogPath = TraceLogPath();
    TWenloForm form(port, dialogs, std::move(settings));
    return QApplication::exec();
}
