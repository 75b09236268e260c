// The service access code never lies in the built library as readable text, as `strings`
// would show it; the texts next to it do, so the scan itself is known to work.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string Contents(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::filesystem::path BuildDirectory() {
    // This test runs from <build>/tests; the library lies in <build>/link.
    return std::filesystem::canonical("/proc/self/exe").parent_path().parent_path();
}

TEST(AccessCodeStorage, NotReadableInTheLibraries) {
    for (const char* name : {"link/libtavrinlink.so", "link/libtavrinlink_core.a"}) {
        const std::filesystem::path path = BuildDirectory() / name;
        const std::string bytes = Contents(path);
        ASSERT_FALSE(bytes.empty()) << path;
        EXPECT_NE(bytes.find("PASSWORD OK!"), std::string::npos) << path;
        EXPECT_EQ(bytes.find("KQZ4417WD385"), std::string::npos) << path;
        EXPECT_EQ(bytes.find("KQZ4417"), std::string::npos) << path;
        EXPECT_EQ(bytes.find("WD385"), std::string::npos) << path;
    }
}

}  // namespace
