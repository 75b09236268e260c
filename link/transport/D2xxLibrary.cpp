// Binds the eleven D2XX functions of a shared library with dlopen/dlsym.
#include "D2xxLibrary.h"

#include <dlfcn.h>

namespace tavrin {
namespace {

using DetailFn = FT_STATUS (*)(DWORD, DWORD*, DWORD*, DWORD*, DWORD*, void*, void*, FT_HANDLE*);

struct D2xxFunctions {
    FT_STATUS (*CreateDeviceInfoList)(DWORD*);
    DetailFn GetDeviceInfoDetail;
    FT_STATUS (*Open)(int, FT_HANDLE*);
    FT_STATUS (*Close)(FT_HANDLE);
    FT_STATUS (*SetLatencyTimer)(FT_HANDLE, UCHAR);
    FT_STATUS (*Write)(FT_HANDLE, void*, DWORD, DWORD*);
    FT_STATUS (*GetStatus)(FT_HANDLE, DWORD*, DWORD*, DWORD*);
    FT_STATUS (*GetQueueStatus)(FT_HANDLE, DWORD*);
    FT_STATUS (*Read)(FT_HANDLE, void*, DWORD, DWORD*);
    FT_STATUS (*EE_Read)(FT_HANDLE, FT_PROGRAM_DATA*);
    FT_STATUS (*EE_Program)(FT_HANDLE, FT_PROGRAM_DATA*);
};

class D2xxLibraryDriver final : public UsbDriver {
public:
    D2xxLibraryDriver(void* lib, const D2xxFunctions& f) : m_lib(lib), m_f(f) {}
    ~D2xxLibraryDriver() override { dlclose(m_lib); }

    FT_STATUS CreateDeviceInfoList(DWORD* n) override { return m_f.CreateDeviceInfoList(n); }
    FT_STATUS GetDeviceInfoDetail(DWORD i, DWORD* fl, DWORD* ty, DWORD* id, DWORD* loc, void* sn,
                                  void* desc, FT_HANDLE* h) override {
        return m_f.GetDeviceInfoDetail(i, fl, ty, id, loc, sn, desc, h);
    }
    FT_STATUS Open(int n, FT_HANDLE* h) override { return m_f.Open(n, h); }
    FT_STATUS Close(FT_HANDLE h) override { return m_f.Close(h); }
    FT_STATUS SetLatencyTimer(FT_HANDLE h, UCHAR ms) override { return m_f.SetLatencyTimer(h, ms); }
    FT_STATUS Write(FT_HANDLE h, void* b, DWORD c, DWORD* w) override {
        return m_f.Write(h, b, c, w);
    }
    FT_STATUS GetStatus(FT_HANDLE h, DWORD* rx, DWORD* tx, DWORD* ev) override {
        return m_f.GetStatus(h, rx, tx, ev);
    }
    FT_STATUS GetQueueStatus(FT_HANDLE h, DWORD* rx) override { return m_f.GetQueueStatus(h, rx); }
    FT_STATUS Read(FT_HANDLE h, void* b, DWORD c, DWORD* r) override {
        return m_f.Read(h, b, c, r);
    }
    FT_STATUS EE_Read(FT_HANDLE h, FT_PROGRAM_DATA* d) override { return m_f.EE_Read(h, d); }
    FT_STATUS EE_Program(FT_HANDLE h, FT_PROGRAM_DATA* d) override { return m_f.EE_Program(h, d); }

private:
    void* m_lib;
    D2xxFunctions m_f;
};

template <typename Fn>
bool Bind(void* lib, const char* name, Fn& fn, std::string& reason) {
    fn = reinterpret_cast<Fn>(dlsym(lib, name));
    if (!fn) reason = std::string("missing export ") + name;
    return fn != nullptr;
}

}  // namespace

std::unique_ptr<UsbDriver> LoadD2xxLibrary(const std::string& path, std::string& reason) {
    void* lib = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!lib) {
        const char* e = dlerror();
        reason = e ? e : ("cannot load " + path);
        return nullptr;
    }
    D2xxFunctions f{};
    bool ok = Bind(lib, "FT_CreateDeviceInfoList", f.CreateDeviceInfoList, reason) &&
              Bind(lib, "FT_GetDeviceInfoDetail", f.GetDeviceInfoDetail, reason) &&
              Bind(lib, "FT_Open", f.Open, reason) && Bind(lib, "FT_Close", f.Close, reason) &&
              Bind(lib, "FT_SetLatencyTimer", f.SetLatencyTimer, reason) &&
              Bind(lib, "FT_Write", f.Write, reason) &&
              Bind(lib, "FT_GetStatus", f.GetStatus, reason) &&
              Bind(lib, "FT_GetQueueStatus", f.GetQueueStatus, reason) &&
              Bind(lib, "FT_Read", f.Read, reason) && Bind(lib, "FT_EE_Read", f.EE_Read, reason) &&
              Bind(lib, "FT_EE_Program", f.EE_Program, reason);
    if (!ok) {
        dlclose(lib);
        return nullptr;
    }
    return std::make_unique<D2xxLibraryDriver>(lib, f);
}

}  // namespace tavrin
