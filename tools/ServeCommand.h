// "tavrin-cli serve": the open tester's command language on a TCP socket, on the library's
// exports, until SIGINT or SIGTERM.
#pragma once

#include <string>

#include "CliOptions.h"
#include "ScpiServer.h"

namespace tavrin::cli {

// A line as tavrin-cli runs a script line, on the library's exports: its errors stay in the
// library's error queue for the client's "SYST:ERR?".
class LibraryRunner final : public LineRunner {
public:
    std::string Run(const std::string& line) override;
};

// Serves on the port of `options` (the tester already open); returns the exit status:
// 0 after SIGINT or SIGTERM, 1 when the address cannot be listened on.
int RunServer(const Options& options);

}  // namespace tavrin::cli
