// The one rule for showing or writing down a command line that may carry the service access
// code: the library's trace, the program's echo and communication log, and tavrin-cli's
// messages all pass their lines through it.
#pragma once

#include <string>
#include <string_view>

namespace tavrin::common {

// The line with the parameter of every service-lock command replaced by "****": quoted text
// becomes "\"****\"", an unquoted parameter "****". A service-lock command is any command of
// the line (";" outside quotes separates them) with a word outside quotes that begins with
// "PASS" in any case, so "SYST:PASS", "syst : pass", "SYSTEM:PASSWORD" and a stray "PASS"
// word all count; everything after that word (and its "?") up to the end of the command is
// the parameter. The header and the spacing stay as given; other commands are untouched.
std::string MaskServiceCode(std::string_view line);

}  // namespace tavrin::common
