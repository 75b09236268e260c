// The command language on a TCP socket, as networked instruments offer it (VISA resource
// TCPIP::host::port::SOCKET): one controlling client at a time, its lines run one by one on the
// server's tester thread, every buffer and every wait for a client bounded.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "ScpiLines.h"

namespace tavrin::cli {

// Runs command lines on the tester. The server calls it from its tester thread only, one line
// at a time, so the library behind it sees a single caller.
class LineRunner {
public:
    virtual ~LineRunner() = default;
    // Runs one command line; returns the answer left for it (empty when there is none).
    virtual std::string Run(const std::string& line) = 0;
};

struct ServerSettings {
    std::string address = "127.0.0.1";
    uint16_t port = 5025;                                   // 0: a free port of the system's choice
    std::chrono::milliseconds idleTimeout{10 * 60 * 1000};  // 0: a client is never dropped
    size_t maxLineBytes = kMaxLineBytes;
};

class ScpiServer {
public:
    // log receives one line per event (connected, refused, dropped...), without "\n".
    using Log = std::function<void(const std::string&)>;
    ScpiServer(ServerSettings settings, LineRunner& runner, Log log);
    ~ScpiServer();
    ScpiServer(const ScpiServer&) = delete;
    ScpiServer& operator=(const ScpiServer&) = delete;

    // Opens the listening socket; false with a message when the address cannot be used.
    bool Listen(std::string& error);
    // The address and port listened on, "127.0.0.1:5025" ("[::1]:5025" for IPv6).
    std::string Where() const;
    uint16_t Port() const;

    // Serves until stopFd turns readable (a signalfd, an eventfd or a pipe); then closes the
    // port and every client, lets the line in progress end and returns.
    void Serve(int stopFd);

private:
    struct Impl;
    std::unique_ptr<Impl> m;
};

}  // namespace tavrin::cli
