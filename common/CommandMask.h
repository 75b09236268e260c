// The one rule for showing or writing down a command line that may carry the service access
// code: the library's trace, the program's echo and communication log, and tavrin-cli's
// messages all pass their lines through it.
#pragma once

#include <string>
#include <string_view>

namespace tavrin::common {

// The line with the parameter of every service-lock command replaced by "****": quoted text
// becomes "\"****\"", an unquoted parameter "****". A service-lock command is any command of
// the line (";" outside quotes separates them) with "PASS" in any case outside quotes, so
// "SYST:PASS", "syst : pass", "SYSTEM:PASSWORD", "PASS:SYST" and a stray "PASS" all count.
// After "PASS" (or "PASSWORD") and a "SYST" joined by ":", everything up to the end of the
// command but a "?" is the parameter, also letters glued to "PASS" ("SYST:PASSKQZ..." shows
// as "SYST:PASS****"). The header and the spacing stay as given; other commands are untouched.
std::string MaskServiceCode(std::string_view line);

}  // namespace tavrin::common
