// Command-line parsing.
#include "StartupOptions.h"

#include <algorithm>
#include <cctype>

namespace tavrin::app {
namespace {

bool SameText(const std::string& a, const char* b) {
    const std::string_view bv(b);
    return a.size() == bv.size() && std::equal(a.begin(), a.end(), bv.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

}  // namespace

StartupOptions ParseStartupOptions(const std::vector<std::string>& arguments) {
    StartupOptions options;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        if (SameText(arg, "/DEBUG") || SameText(arg, "--debug")) {
            options.debugMode = true;
        } else if (SameText(arg, "/SIMULATE") || SameText(arg, "--simulate")) {
            options.simulate = true;
        } else if (SameText(arg, "--analyzer")) {
            options.analyzer = true;
        } else if (SameText(arg, "--help") || arg == "-h") {
            options.help = true;
        } else if (SameText(arg, "--version")) {
            options.version = true;
        } else if (SameText(arg, "--dut") || SameText(arg, "--driver")) {
            if (i + 1 >= arguments.size()) {
                options.error = arg + " needs a value";
                continue;
            }
            (SameText(arg, "--dut") ? options.dutFile : options.driver) = arguments[++i];
        }
        // Anything else is left alone, as the toolkit's own switches pass through here.
    }
    // A device profile only means something to the virtual tester.
    if (!options.dutFile.empty()) options.simulate = true;
    return options;
}

}  // namespace tavrin::app
