// The serve session on the library's exports: the signals, the log on standard error.
#include "ServeCommand.h"

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>

#include "tavrinlink.h"

namespace tavrin::cli {
namespace {

void Log(const std::string& text) {
    std::fprintf(stderr, "tavrin-cli serve: %s\n", text.c_str());
}

}  // namespace

std::string LibraryRunner::Run(const std::string& line) {
    ZelkWrt(line.c_str());
    char answer[TAVRINLINK_RESPONSE_SIZE] = {};
    ZelkRd(answer);
    return answer;
}

int RunServer(const Options& options) {
    // The signals arrive as a readable descriptor in the event loop; blocked before the tester
    // thread starts, so that no thread takes them the old way.
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGINT);
    sigaddset(&stop, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);
    const int stopFd = signalfd(-1, &stop, SFD_CLOEXEC);

    ServerSettings settings;
    settings.address = options.listen;
    settings.port = static_cast<uint16_t>(options.port);
    const double ms = std::ceil(options.idleTimeoutS * 1000.0);
    settings.idleTimeout = std::chrono::milliseconds(static_cast<int64_t>(ms));
    LibraryRunner runner;
    ScpiServer server(settings, runner, Log);
    std::string error;
    if (stopFd < 0 || !server.Listen(error)) {
        Log(stopFd < 0 ? "cannot watch for SIGINT and SIGTERM" : error);
        if (stopFd >= 0) close(stopFd);
        return 1;
    }
    Log("listening on " + server.Where());
    server.Serve(stopFd);
    close(stopFd);
    Log("stopped");
    return 0;
}

}  // namespace tavrin::cli
