// A folder of its own for each test, with its files, removed afterwards.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace tavrin::cli::fixtures {

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

private:
    std::string m_path;
};

}  // namespace tavrin::cli::fixtures
