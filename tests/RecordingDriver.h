// A driver that forwards to another and records every call and every byte written, so tests
// can check exactly what reaches the D2XX interface.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "transport/D2xx.h"

namespace tavrin::testing {

class RecordingDriver final : public UsbDriver {
public:
    explicit RecordingDriver(std::unique_ptr<UsbDriver> inner) : m_inner(std::move(inner)) {}

    std::vector<std::string> calls;
    std::vector<std::vector<uint8_t>> writes;

    UsbDriver& Inner() { return *m_inner; }
    void Clear() {
        calls.clear();
        writes.clear();
    }
    // All bytes written, in one run.
    std::vector<uint8_t> AllWritten() const {
        std::vector<uint8_t> all;
        for (const auto& w : writes) all.insert(all.end(), w.begin(), w.end());
        return all;
    }

    FT_STATUS CreateDeviceInfoList(DWORD* n) override {
        calls.push_back("CreateDeviceInfoList");
        return m_inner->CreateDeviceInfoList(n);
    }
    FT_STATUS GetDeviceInfoDetail(DWORD index, DWORD* flags, DWORD* type, DWORD* id, DWORD* loc,
                                  void* serial, void* description, FT_HANDLE* handle) override {
        calls.push_back("GetDeviceInfoDetail");
        return m_inner->GetDeviceInfoDetail(index, flags, type, id, loc, serial, description,
                                            handle);
    }
    FT_STATUS Open(int number, FT_HANDLE* handle) override {
        calls.push_back("Open " + std::to_string(number));
        return m_inner->Open(number, handle);
    }
    FT_STATUS Close(FT_HANDLE handle) override {
        calls.push_back("Close");
        return m_inner->Close(handle);
    }
    FT_STATUS SetLatencyTimer(FT_HANDLE handle, UCHAR ms) override {
        calls.push_back("SetLatencyTimer " + std::to_string(ms));
        return m_inner->SetLatencyTimer(handle, ms);
    }
    FT_STATUS Write(FT_HANDLE handle, void* buf, DWORD count, DWORD* written) override {
        calls.push_back("Write");
        const auto* bytes = static_cast<const uint8_t*>(buf);
        writes.emplace_back(bytes, bytes + count);
        return m_inner->Write(handle, buf, count, written);
    }
    FT_STATUS GetStatus(FT_HANDLE handle, DWORD* rx, DWORD* tx, DWORD* events) override {
        return m_inner->GetStatus(handle, rx, tx, events);
    }
    FT_STATUS GetQueueStatus(FT_HANDLE handle, DWORD* rx) override {
        return m_inner->GetQueueStatus(handle, rx);
    }
    FT_STATUS Read(FT_HANDLE handle, void* buf, DWORD count, DWORD* got) override {
        return m_inner->Read(handle, buf, count, got);
    }
    FT_STATUS EE_Read(FT_HANDLE handle, FT_PROGRAM_DATA* data) override {
        calls.push_back("EE_Read");
        return m_inner->EE_Read(handle, data);
    }
    FT_STATUS EE_Program(FT_HANDLE handle, FT_PROGRAM_DATA* data) override {
        calls.push_back("EE_Program");
        return m_inner->EE_Program(handle, data);
    }

private:
    std::unique_ptr<UsbDriver> m_inner;
};

}  // namespace tavrin::testing
