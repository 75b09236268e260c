// D2XX calls on libftdi1. libftdi has no receive-queue count, so every status call reads
// what the bridge holds into a buffer of our own and reports that buffer's size.
#include "LibftdiDriver.h"

#include <libftdi1/ftdi.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace tavrin {
namespace {

constexpr int kFtdiVendor = 0x0403;
constexpr int kFtdiProduct = 0x6001;
constexpr int kTransferTimeoutMs = 1000;

struct OpenDevice {
    ftdi_context* ctx = nullptr;
    std::vector<uint8_t> rx;
};

class LibftdiDriver final : public UsbDriver {
public:
    LibftdiDriver() : m_ctx(ftdi_new()) {}
    ~LibftdiDriver() override {
        FreeList();
        if (m_ctx) ftdi_free(m_ctx);
    }

    FT_STATUS CreateDeviceInfoList(DWORD* numDevs) override {
        if (!m_ctx || !numDevs) return FT_INVALID_PARAMETER;
        FreeList();
        int n = ftdi_usb_find_all(m_ctx, &m_list, kFtdiVendor, kFtdiProduct);
        if (n < 0) {
            *numDevs = 0;
            return FT_IO_ERROR;
        }
        m_devices.clear();
        for (ftdi_device_list* d = m_list; d; d = d->next) m_devices.push_back(d->dev);
        *numDevs = static_cast<DWORD>(m_devices.size());
        return FT_OK;
    }

    FT_STATUS GetDeviceInfoDetail(DWORD index, DWORD* flags, DWORD* type, DWORD* id, DWORD* locId,
                                  void* serial16, void* description64, FT_HANDLE* handle) override {
        if (index >= m_devices.size()) return FT_DEVICE_NOT_FOUND;
        char manufacturer[64] = {};
        char description[64] = {};
        char serial[16] = {};
        // get_strings2 leaves the device handle alone (the older call closes it).
        if (ftdi_usb_get_strings2(m_ctx, m_devices[index], manufacturer, sizeof manufacturer,
                                  description, sizeof description, serial, sizeof serial) < 0)
            return FT_IO_ERROR;
        if (flags) *flags = 0;
        if (type) *type = 5;  // FT_DEVICE_232R
        if (id) *id = (DWORD{kFtdiVendor} << 16) | kFtdiProduct;
        if (locId) *locId = 0;
        if (serial16) std::memcpy(serial16, serial, sizeof serial);
        if (description64) std::memcpy(description64, description, sizeof description);
        if (handle) *handle = nullptr;
        return FT_OK;
    }

    FT_STATUS Open(int deviceNumber, FT_HANDLE* handle) override {
        if (!handle) return FT_INVALID_PARAMETER;
        if (deviceNumber < 0 || static_cast<size_t>(deviceNumber) >= m_devices.size())
            return FT_DEVICE_NOT_FOUND;
        auto dev = std::make_unique<OpenDevice>();
        dev->ctx = ftdi_new();
        if (!dev->ctx) return FT_INSUFFICIENT_RESOURCES;
        // The serial port comes back when we close, so other software keeps working.
        dev->ctx->module_detach_mode = AUTO_DETACH_REATACH_SIO_MODULE;
        dev->ctx->usb_read_timeout = kTransferTimeoutMs;
        dev->ctx->usb_write_timeout = kTransferTimeoutMs;
        if (ftdi_usb_open_dev(dev->ctx, m_devices[deviceNumber]) < 0) {
            ftdi_free(dev->ctx);
            return FT_DEVICE_NOT_OPENED;
        }
        *handle = dev.release();
        return FT_OK;
    }

    FT_STATUS Close(FT_HANDLE handle) override {
        auto* dev = static_cast<OpenDevice*>(handle);
        if (!dev) return FT_INVALID_HANDLE;
        ftdi_usb_close(dev->ctx);
        ftdi_free(dev->ctx);
        delete dev;
        return FT_OK;
    }

    FT_STATUS SetLatencyTimer(FT_HANDLE handle, UCHAR ms) override {
        auto* dev = static_cast<OpenDevice*>(handle);
        if (!dev) return FT_INVALID_HANDLE;
        return ftdi_set_latency_timer(dev->ctx, ms) < 0 ? FT_IO_ERROR : FT_OK;
    }

    FT_STATUS Write(FT_HANDLE handle, void* buf, DWORD count, DWORD* written) override {
        auto* dev = static_cast<OpenDevice*>(handle);
        if (!dev || !buf) return FT_INVALID_HANDLE;
        int n = ftdi_write_data(dev->ctx, static_cast<const unsigned char*>(buf),
                                static_cast<int>(count));
        if (written) *written = n < 0 ? 0 : static_cast<DWORD>(n);
        return n < 0 ? FT_IO_ERROR : FT_OK;
    }

    FT_STATUS GetStatus(FT_HANDLE handle, DWORD* rxBytes, DWORD* txBytes, DWORD* events) override {
        if (txBytes) *txBytes = 0;
        if (events) *events = 0;
        return GetQueueStatus(handle, rxBytes);
    }

    FT_STATUS GetQueueStatus(FT_HANDLE handle, DWORD* rxBytes) override {
        auto* dev = static_cast<OpenDevice*>(handle);
        if (!dev) return FT_INVALID_HANDLE;
        if (!Fill(*dev)) return FT_IO_ERROR;
        if (rxBytes) *rxBytes = static_cast<DWORD>(dev->rx.size());
        return FT_OK;
    }

    FT_STATUS Read(FT_HANDLE handle, void* buf, DWORD count, DWORD* returned) override {
        auto* dev = static_cast<OpenDevice*>(handle);
        if (!dev || !buf) return FT_INVALID_HANDLE;
        if (dev->rx.size() < count && !Fill(*dev)) return FT_IO_ERROR;
        DWORD n = static_cast<DWORD>(std::min<size_t>(count, dev->rx.size()));
        std::memcpy(buf, dev->rx.data(), n);
        dev->rx.erase(dev->rx.begin(), dev->rx.begin() + n);
        if (returned) *returned = n;
        return FT_OK;
    }

    FT_STATUS EE_Read(FT_HANDLE handle, FT_PROGRAM_DATA* data) override {
        auto* dev = static_cast<OpenDevice*>(handle);
        if (!dev || !data) return FT_INVALID_PARAMETER;
        if (ftdi_read_eeprom(dev->ctx) < 0 || ftdi_eeprom_decode(dev->ctx, 0) < 0)
            return FT_EEPROM_READ_FAILED;
        int vid = 0, pid = 0, driver = 0;
        ftdi_get_eeprom_value(dev->ctx, VENDOR_ID, &vid);
        ftdi_get_eeprom_value(dev->ctx, PRODUCT_ID, &pid);
        ftdi_get_eeprom_value(dev->ctx, CHANNEL_A_DRIVER, &driver);
        data->VendorId = static_cast<uint16_t>(vid);
        data->ProductId = static_cast<uint16_t>(pid);
        data->RIsD2XX = driver == 0 ? 1 : 0;  // type R: 0 = D2XX, 1 = VCP
        char manufacturer[32] = {}, description[64] = {}, serial[16] = {};
        ftdi_eeprom_get_strings(dev->ctx, manufacturer, sizeof manufacturer, description,
                                sizeof description, serial, sizeof serial);
        CopyString(data->Manufacturer, manufacturer, 32);
        CopyString(data->Description, description, 64);
        CopyString(data->SerialNumber, serial, 16);
        return FT_OK;
    }

    FT_STATUS EE_Program(FT_HANDLE handle, FT_PROGRAM_DATA* data) override {
        auto* dev = static_cast<OpenDevice*>(handle);
        if (!dev || !data) return FT_INVALID_PARAMETER;
        // Decode first, or every field we do not set is lost in the rebuilt image.
        if (ftdi_read_eeprom(dev->ctx) < 0 || ftdi_eeprom_decode(dev->ctx, 0) < 0)
            return FT_EEPROM_READ_FAILED;
        ftdi_set_eeprom_value(dev->ctx, VENDOR_ID, data->VendorId);
        ftdi_set_eeprom_value(dev->ctx, PRODUCT_ID, data->ProductId);
        ftdi_set_eeprom_value(dev->ctx, CHANNEL_A_DRIVER, data->RIsD2XX ? 0 : 1);
        if (ftdi_eeprom_set_strings(dev->ctx, data->Manufacturer, data->Description,
                                    data->SerialNumber) < 0)
            return FT_EEPROM_WRITE_FAILED;
        if (ftdi_eeprom_build(dev->ctx) < 0 || ftdi_write_eeprom(dev->ctx) < 0)
            return FT_EEPROM_WRITE_FAILED;
        // Writing the EEPROM resets the chip's latency timer.
        ftdi_set_latency_timer(dev->ctx, 2);
        return FT_OK;
    }

private:
    static void CopyString(char* dst, const char* src, size_t size) {
        if (!dst) return;
        std::snprintf(dst, size, "%s", src);
    }

    static bool Fill(OpenDevice& dev) {
        unsigned char chunk[4096];
        int n = ftdi_read_data(dev.ctx, chunk, sizeof chunk);
        if (n < 0) return false;
        dev.rx.insert(dev.rx.end(), chunk, chunk + n);
        return true;
    }

    void FreeList() {
        if (m_list) ftdi_list_free(&m_list);
        m_list = nullptr;
        m_devices.clear();
    }

    ftdi_context* m_ctx;
    ftdi_device_list* m_list = nullptr;
    std::vector<libusb_device*> m_devices;
};

}  // namespace

std::unique_ptr<UsbDriver> MakeLibftdiDriver() {
    return std::make_unique<LibftdiDriver>();
}

}  // namespace tavrin
