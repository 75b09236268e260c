// A D2XX-compatible library of our own: one bridge whose description is the tester's, in
// front of a small memory that answers the request protocol. It records every byte written
// and every call, so a program outside the project can check what TavrinLink sent.
#include <cstdint>
#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <vector>

using DWORD = uint32_t;
using FT_STATUS = uint32_t;
using FT_HANDLE = void*;

namespace {

struct Device {
    std::map<uint32_t, uint8_t> memory;
    std::vector<uint8_t> pending;  // a request may span writes
    std::deque<uint8_t> answers;
    std::vector<uint8_t> written;
    std::string calls;
    bool open = false;
};

Device& TheDevice() {
    static Device device;
    return device;
}

FT_HANDLE const kHandle = reinterpret_cast<FT_HANDLE>(0x5A);

void Execute(Device& d, const uint8_t* r) {
    const uint32_t address = (uint32_t{r[1]} << 16) | (uint32_t{r[2]} << 8) | r[3];
    if (r[0] == 0x01) {
        for (uint32_t k = 0; k <= r[4]; ++k) {
            // The tick cell moves on every look, so tick waits end.
            if (address + k == 0x6A18) d.memory[0x6A18]++;
            d.answers.push_back(d.memory[address + k]);
        }
    } else {
        d.memory[address] = r[5];
        // Every mail is taken at once.
        if (address == 0x6801) d.memory[0x6A5B] = 0x01;
        d.answers.push_back(0);
    }
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) FT_STATUS FT_CreateDeviceInfoList(DWORD* n) {
    TheDevice().calls += "list;";
    *n = 2;
    return 0;
}

__attribute__((visibility("default"))) FT_STATUS FT_GetDeviceInfoDetail(DWORD index, DWORD* flags,
                                                                        DWORD* type, DWORD* id,
                                                                        DWORD* loc, void* serial,
                                                                        void* description,
                                                                        FT_HANDLE* handle) {
    *flags = 0;
    *type = 5;
    *id = 0x04036001;
    *loc = index;
    std::strcpy(static_cast<char*>(serial), index == 1 ? "ZK4711" : "A1B2");
    std::strcpy(static_cast<char*>(description),
                index == 1 ? "Zelk Communication tester" : "Zelk Communication tester 2");
    *handle = nullptr;
    return 0;
}

__attribute__((visibility("default"))) FT_STATUS FT_Open(int number, FT_HANDLE* handle) {
    TheDevice().calls += "open " + std::to_string(number) + ";";
    if (number != 1) return 2;  // FT_DEVICE_NOT_FOUND
    TheDevice().open = true;
    *handle = kHandle;
    return 0;
}

__attribute__((visibility("default"))) FT_STATUS FT_Close(FT_HANDLE) {
    TheDevice().calls += "close;";
    TheDevice().open = false;
    return 0;
}

__attribute__((visibility("default"))) FT_STATUS FT_SetLatencyTimer(FT_HANDLE, unsigned char ms) {
    TheDevice().calls += "latency " + std::to_string(ms) + ";";
    return 0;
}

__attribute__((visibility("default"))) FT_STATUS FT_Write(FT_HANDLE h, void* buf, DWORD count,
                                                          DWORD* written) {
    Device& d = TheDevice();
    if (h != kHandle || !d.open) return 1;
    const auto* bytes = static_cast<const uint8_t*>(buf);
    d.written.insert(d.written.end(), bytes, bytes + count);
    for (DWORD i = 0; i < count; ++i) {
        d.pending.push_back(bytes[i]);
        const size_t need = d.pending[0] == 0x01 ? 5 : 6;
        if (d.pending.size() == need) {
            Execute(d, d.pending.data());
            d.pending.clear();
        }
    }
    *written = count;
    return 0;
}

__attribute__((visibility("default"))) FT_STATUS FT_GetStatus(FT_HANDLE h, DWORD* rx, DWORD* tx,
                                                              DWORD* events) {
    if (h != kHandle) return 1;
    *rx = static_cast<DWORD>(TheDevice().answers.size());
    *tx = 0;
    *events = 0;
    return 0;
}

__attribute__((visibility("default"))) FT_STATUS FT_GetQueueStatus(FT_HANDLE h, DWORD* rx) {
    if (h != kHandle) return 1;
    *rx = static_cast<DWORD>(TheDevice().answers.size());
    return 0;
}

__attribute__((visibility("default"))) FT_STATUS FT_Read(FT_HANDLE h, void* buf, DWORD count,
                                                         DWORD* got) {
    if (h != kHandle) return 1;
    Device& d = TheDevice();
    DWORD n = 0;
    for (; n < count && !d.answers.empty(); ++n) {
        static_cast<uint8_t*>(buf)[n] = d.answers.front();
        d.answers.pop_front();
    }
    *got = n;
    return 0;
}

__attribute__((visibility("default"))) FT_STATUS FT_EE_Read(FT_HANDLE, void*) {
    return 0;
}
__attribute__((visibility("default"))) FT_STATUS FT_EE_Program(FT_HANDLE, void*) {
    return 0;
}

// For the program that checks: everything written since the last call, and the call log.
__attribute__((visibility("default"))) uint32_t FakeD2xxTakeWritten(uint8_t* out, uint32_t cap) {
    Device& d = TheDevice();
    const uint32_t n = static_cast<uint32_t>(std::min<size_t>(cap, d.written.size()));
    if (n > 0) std::memcpy(out, d.written.data(), n);  // data() may be null when empty
    d.written.clear();
    return n;
}

__attribute__((visibility("default"))) const char* FakeD2xxCalls() {
    return TheDevice().calls.c_str();
}

}  // extern "C"
