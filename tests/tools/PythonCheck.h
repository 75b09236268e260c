// Reads a report back with Python's own JSON and XML parsers, so a report that a factory
// database or a CI system could not load fails the test.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace tavrin::cli::fixtures {

// Runs the Python statements with `path` bound to the file; true when they raise nothing.
inline bool PythonAccepts(const std::string& path, const std::string& statements,
                          const std::string& scratch) {
    const std::string script = scratch + ".py";
    std::ofstream(script) << "import json, sys, xml.etree.ElementTree as ET\n"
                          << "path = sys.argv[1]\n"
                          << statements << "\n";
    const int raw = std::system(("python3 '" + script + "' '" + path + "'").c_str());
    return WIFEXITED(raw) && WEXITSTATUS(raw) == 0;
}

}  // namespace tavrin::cli::fixtures
