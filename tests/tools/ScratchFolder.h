// A folder of its own for each test, with its files, removed afterwards; and a shell command
// run with its output captured there.
#pragma once

#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace tavrin::cli::fixtures {

// What a finished program printed, and its exit status (-1 when it did not exit).
struct Outcome {
    std::string out, err;
    int status = -1;
};

inline std::string Slurp(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class ScratchFolder {
public:
    ScratchFolder() {
        char dir[] = "/tmp/tavrin-tools-test-XXXXXX";
        if (mkdtemp(dir)) m_path = dir;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        if (!m_path.empty()) std::filesystem::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return m_path; }
    // Writes a file in the folder; returns its path.
    std::string File(const std::string& name, const std::string& text) const {
        const std::string path = m_path + "/" + name;
        std::ofstream(path) << text;
        return path;
    }

    // Runs a shell command line (its words quoted by the caller) with standard output and
    // standard error going to files in the folder.
    Outcome Run(const std::string& command) const {
        const int raw =
            std::system((command + " >'" + m_path + "/out' 2>'" + m_path + "/err'").c_str());
        return {Slurp(m_path + "/out"), Slurp(m_path + "/err"),
                WIFEXITED(raw) ? WEXITSTATUS(raw) : -1};
    }

private:
    std::string m_path;
};

}  // namespace tavrin::cli::fixtures
