// A program outside the project: it is built against TavrinLink's header and links its shared
// library (in the project's build, or from an installed copy through pkg-config or
// find_package), loads a D2XX-compatible library of its own with dlopen, selects that library
// by path and checks the bytes TavrinLink sends. It installs no trace callback: the library
// must stay quiet on its own. Exit status 0 when everything matched; every mismatch is printed.
#include <dlfcn.h>
#include <tavrinlink.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

int g_failures = 0;

void Check(bool ok, const std::string& what) {
    if (!ok) {
        std::fprintf(stderr, "FAILED: %s\n", what.c_str());
        ++g_failures;
    }
}

template <typename F>
F Symbol(void* lib, const char* name) {
    void* p = dlsym(lib, name);
    if (!p) {
        std::fprintf(stderr, "missing symbol %s\n", name);
        std::exit(2);
    }
    return reinterpret_cast<F>(p);
}

std::string Hex(const std::vector<uint8_t>& bytes) {
    std::string s;
    char b[4];
    for (uint8_t v : bytes) {
        std::snprintf(b, sizeof b, "%02X ", v);
        s += b;
    }
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FAKE_D2XX\n", argv[0]);
        return 2;
    }
    const char* fakePath = argv[1];
    void* fake = dlopen(fakePath, RTLD_NOW | RTLD_LOCAL);
    if (!fake) {
        std::fprintf(stderr, "dlopen: %s\n", dlerror());
        return 2;
    }
    auto takeWritten = Symbol<uint32_t (*)(uint8_t*, uint32_t)>(fake, "FakeD2xxTakeWritten");
    auto calls = Symbol<const char* (*)()>(fake, "FakeD2xxCalls");
    auto written = [&] {
        std::vector<uint8_t> bytes(65536);
        bytes.resize(takeWritten(bytes.data(), static_cast<uint32_t>(bytes.size())));
        return bytes;
    };
    // Only the exports are visible.
    Check(dlsym(RTLD_DEFAULT, "_ZN6tavrin11ProcessLinkEv") == nullptr,
          "internal symbols are hidden");

    Check(SelectUsbDriver("/nonexistent/libnothing.so") != 0, "a missing library is refused");
    Check(SelectUsbDriver(fakePath) == 0, "the fake library is accepted");

    Check(vbZelkWrt("CONF:COMM:PORT USB") == 0, "the port opens");
    Check(std::string(calls()) == "list;open 1;latency 2;",
          std::string("the search opens the exact description: ") + calls());
    written();

    char answer[TAVRINLINK_RESPONSE_SIZE];
    Check(vbZelkWrt("*IDN?") == 0, "*IDN? succeeds");
    vbZelkRd(answer);
    Check(std::string(answer) == "3.2.0", std::string("*IDN? answers 3.2.0: ") + answer);
    // The model cell is read on entry (the fake's model is 0: nothing else follows).
    auto bytes = written();
    Check(bytes == std::vector<uint8_t>{0x01, 0x00, 0x6A, 0x5C, 0x00},
          "entry reads the model cell: " + Hex(bytes));

    // A failing line lights the error indicator: mail 6 C7 01, posted in slot 0.
    Check(vbZelkWrt("XYZ") == 1, "an unknown word fails");
    bytes = written();
    const std::vector<uint8_t> expected = {
        0x01, 0x00, 0x6A, 0x5C, 0x00,        // model cell
        0x01, 0x00, 0x68, 0x00, 0x01,        // both ring indexes
        0x02, 0x00, 0x6A, 0x5B, 0x00, 0x23,  // status pending
        0x02, 0x00, 0x68, 0x04, 0x00, 0x03,  // length
        0x02, 0x00, 0x68, 0x05, 0x00, 0x06,  // class
        0x02, 0x00, 0x68, 0x06, 0x00, 0xC7,  // primitive
        0x02, 0x00, 0x68, 0x07, 0x00, 0x01,  // parameter
        0x02, 0x00, 0x68, 0x08, 0x00, 0xD1,  // checksum
        0x02, 0x00, 0x68, 0x01, 0x00, 0x01,  // write index
        0x01, 0x00, 0x6A, 0x5B, 0x00,        // status poll
    };
    Check(bytes == expected, "indicator mail bytes: " + Hex(bytes));

    Check(vbZelkWrt("CONF:COMM:PORT NONE") == 0, "the port closes");
    Check(std::string(calls()).find("close;") != std::string::npos, "the device is closed");

    if (g_failures == 0) std::printf("outside program: all checks passed\n");
    return g_failures == 0 ? 0 : 1;
}
