// "tavrin-cli serve": the open tester's command language on a TCP socket, on the library's
// exports, until SIGINT or SIGTERM.
#pragma once

#include "CliOptions.h"

namespace tavrin::cli {

// Serves on the port of `options` (the tester already open); returns the exit status:
// 0 after SIGINT or SIGTERM, 1 when the address cannot be listened on.
int RunServer(const Options& options);

}  // namespace tavrin::cli
