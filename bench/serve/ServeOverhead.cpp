// What `tavrin-cli serve` adds to a query: the same query on the same virtual tester, once as
// the direct call and once through the server over a loopback socket, alternately, 1,000 times
// each; prints the median and the 99th percentile of both and of the difference.
//   tavrin_serve_bench [COUNT]
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "ServeCommand.h"
#include "tavrinlink.h"

namespace {

using Clock = std::chrono::steady_clock;

double Percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size())))];
}

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    SetTraceCallback([](const char*, void*) {}, nullptr);
    if (SelectUsbDriver("sim") != 0) return 1;
    ZelkWrt("CONF:COMM:PORT USB");

    tavrin::cli::LibraryRunner runner;
    tavrin::cli::ServerSettings settings;
    settings.port = 0;
    tavrin::cli::ScpiServer server(settings, runner, [](const std::string&) {});
    std::string error;
    if (!server.Listen(error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const int stop = eventfd(0, EFD_CLOEXEC);
    std::thread serving([&] { server.Serve(stop); });

    const int client = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(server.Port());
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const int on = 1;
    setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    if (connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return 1;
    auto served = [&](const std::string& query) {
        const std::string line = query + "\n";
        if (send(client, line.data(), line.size(), 0) != static_cast<ssize_t>(line.size()))
            std::exit(1);
        std::string reply;
        char buffer[256];
        while (reply.empty() || reply.back() != '\n') {
            const ssize_t n = recv(client, buffer, sizeof buffer, 0);
            if (n <= 0) std::exit(1);
            reply.append(buffer, static_cast<size_t>(n));
        }
    };

    std::printf("%d queries each, direct call and through the server, alternately (ms)\n", count);
    std::printf("%-12s %10s %10s %10s %10s %12s %12s\n", "query", "direct p50", "direct p99",
                "served p50", "served p99", "overhead p50", "overhead p99");
    // "*IDN?" costs the library almost nothing; "STAT:DEV?" reads a cell of the virtual tester.
    for (const std::string query : {"*IDN?", "STAT:DEV?"}) {
        std::vector<double> direct, through;
        for (int i = 0; i < 20; ++i) served(query);  // warm-up
        for (int i = 0; i < count; ++i) {
            auto t0 = Clock::now();
            runner.Run(query);
            direct.push_back(Ms(Clock::now() - t0));
            t0 = Clock::now();
            served(query);
            through.push_back(Ms(Clock::now() - t0));
        }
        const double d50 = Percentile(direct, 0.5), d99 = Percentile(direct, 0.99);
        const double s50 = Percentile(through, 0.5), s99 = Percentile(through, 0.99);
        std::printf("%-12s %10.3f %10.3f %10.3f %10.3f %12.3f %12.3f\n", query.c_str(), d50, d99,
                    s50, s99, s50 - d50, s99 - d99);
    }
    close(client);
    const uint64_t one = 1;
    if (write(stop, &one, sizeof one) != sizeof one) return 1;
    serving.join();
    return 0;
}
