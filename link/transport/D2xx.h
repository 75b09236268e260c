// The USB driver seam: the eleven D2XX calls the link uses, with D2XX's own types. Every
// provider (libftdi1, FTDI's library, the virtual tester, a library given by path) fills it.
#pragma once

#include <cstdint>

namespace tavrin {

using FT_HANDLE = void*;
using DWORD = uint32_t;
using FT_STATUS = uint32_t;
using UCHAR = uint8_t;

enum : FT_STATUS {
    FT_OK = 0,
    FT_INVALID_HANDLE = 1,
    FT_DEVICE_NOT_FOUND = 2,
    FT_DEVICE_NOT_OPENED = 3,
    FT_IO_ERROR = 4,
    FT_INSUFFICIENT_RESOURCES = 5,
    FT_INVALID_PARAMETER = 6,
    FT_EEPROM_READ_FAILED = 11,
    FT_EEPROM_WRITE_FAILED = 12,
    FT_NOT_SUPPORTED = 17,
    FT_OTHER_ERROR = 18,
};

// FTDI's program-data record, version 4 layout up to the FT232R fields the link touches.
// The tail pads the record generously so a D2XX library that writes later fields (FT2232H,
// FT4232H, FT232H and X-series parts of newer versions) stays inside our memory.
struct FT_PROGRAM_DATA {
    DWORD Signature1;  // 0x00000000
    DWORD Signature2;  // 0xFFFFFFFF
    DWORD Version;
    uint16_t VendorId;
    uint16_t ProductId;
    char* Manufacturer;    // 32 bytes
    char* ManufacturerId;  // 16 bytes
    char* Description;     // 64 bytes
    char* SerialNumber;    // 16 bytes
    uint16_t MaxPower;
    uint16_t PnP;
    uint16_t SelfPowered;
    uint16_t RemoteWakeup;
    // FT2232C
    UCHAR Rev4;
    UCHAR IsoIn;
    UCHAR IsoOut;
    UCHAR PullDownEnable;
    UCHAR SerNumEnable;
    UCHAR USBVersionEnable;
    uint16_t USBVersion;
    // FT2232
    UCHAR Rev5;
    UCHAR IsoInA;
    UCHAR IsoInB;
    UCHAR IsoOutA;
    UCHAR IsoOutB;
    UCHAR PullDownEnable5;
    UCHAR SerNumEnable5;
    UCHAR USBVersionEnable5;
    uint16_t USBVersion5;
    UCHAR AIsHighCurrent;
    UCHAR BIsHighCurrent;
    UCHAR IFAIsFifo;
    UCHAR IFAIsFifoTar;
    UCHAR IFAIsFastSer;
    UCHAR AIsVCP;
    UCHAR IFBIsFifo;
    UCHAR IFBIsFifoTar;
    UCHAR IFBIsFastSer;
    UCHAR BIsVCP;
    // FT232R
    UCHAR UseExtOsc;
    UCHAR HighDriveIOs;
    UCHAR EndpointSize;
    UCHAR PullDownEnableR;
    UCHAR SerNumEnableR;
    UCHAR InvertTXD;
    UCHAR InvertRXD;
    UCHAR InvertRTS;
    UCHAR InvertCTS;
    UCHAR InvertDTR;
    UCHAR InvertDSR;
    UCHAR InvertDCD;
    UCHAR InvertRI;
    UCHAR Cbus0;
    UCHAR Cbus1;
    UCHAR Cbus2;
    UCHAR Cbus3;
    UCHAR Cbus4;
    UCHAR RIsD2XX;
    UCHAR Reserved[512];
};

// One function table: each provider implements these eleven calls.
class UsbDriver {
public:
    virtual ~UsbDriver() = default;
    virtual FT_STATUS CreateDeviceInfoList(DWORD* numDevs) = 0;
    virtual FT_STATUS GetDeviceInfoDetail(DWORD index, DWORD* flags, DWORD* type, DWORD* id,
                                          DWORD* locId, void* serial16, void* description64,
                                          FT_HANDLE* handle) = 0;
    virtual FT_STATUS Open(int deviceNumber, FT_HANDLE* handle) = 0;
    virtual FT_STATUS Close(FT_HANDLE handle) = 0;
    virtual FT_STATUS SetLatencyTimer(FT_HANDLE handle, UCHAR ms) = 0;
    virtual FT_STATUS Write(FT_HANDLE handle, void* buf, DWORD count, DWORD* written) = 0;
    virtual FT_STATUS GetStatus(FT_HANDLE handle, DWORD* rxBytes, DWORD* txBytes,
                                DWORD* events) = 0;
    virtual FT_STATUS GetQueueStatus(FT_HANDLE handle, DWORD* rxBytes) = 0;
    virtual FT_STATUS Read(FT_HANDLE handle, void* buf, DWORD count, DWORD* returned) = 0;
    virtual FT_STATUS EE_Read(FT_HANDLE handle, FT_PROGRAM_DATA* data) = 0;
    virtual FT_STATUS EE_Program(FT_HANDLE handle, FT_PROGRAM_DATA* data) = 0;
};

}  // namespace tavrin
