// Identification, the service lock and the memory service commands.
#include <cctype>
#include <cstdio>
#include <cstring>

#include "MemoryAccess.h"
#include "Readers.h"
#include "ServiceAccessCode.h"
#include "SystemGroup.h"
#include "transport/TesterCells.h"

namespace tavrin {
namespace {

constexpr uint16_t kHardwareVersionAddress = 0x03A8;
constexpr uint16_t kSerialNumberAddress = 0x0500;
constexpr uint16_t kFirmwareTextLength = 16;

struct ModelName {
    uint8_t code;
    const char* format;
};
constexpr ModelName kModelNames[] = {
    {10, "Tavrin %01X.%01X %01X.%01X"},
    {11, "Pellis %01X.%01X %01X.%01X"},
    {12, "Ulmet %01X.%01X %01X.%01X"},
    {13, "Quorin %01X.%01X %01X.%01X"},
};

bool IsHexText(const char* text, size_t length) {
    if (std::strlen(text) != length) return false;
    for (size_t i = 0; i < length; ++i)
        if (!std::isxdigit(static_cast<unsigned char>(text[i]))) return false;
    return true;
}

// Hex numbers of a memory service text; a value that does not fit its field is out of range.
int ScanHex(const char* text, unsigned long& a, unsigned long& b) {
    char* end = nullptr;
    const char* p = text;
    int n = 0;
    for (unsigned long* out : {&a, &b}) {
        while (*p == ' ') ++p;
        if (!std::isxdigit(static_cast<unsigned char>(*p))) break;
        *out = std::strtoul(p, &end, 16);
        p = end;
        ++n;
    }
    return n;
}

}  // namespace

bool MatchesAccessCode(const char* text) {
    bool same = true;
    for (size_t i = 0; i < kAccessCodeLength; ++i) {
        const uint8_t expected = kScrambledAccessCode[i] ^ access_code_detail::Key(i);
        if (text[i] == '\0') return false;
        same &= static_cast<uint8_t>(text[i]) == expected;
    }
    return same;
}

void HardwareVersionQuery(CommandContext& ctx) {
    const ModelName* model = nullptr;
    for (const ModelName& m : kModelNames)
        if (m.code == ctx.link.hw.ModelCode) model = &m;
    if (!model) {
        ctx.link.Answer("INV");
        return;
    }
    uint8_t version[8] = {};
    if (!ReadTesterMemory(ctx.link, kHardwareVersionAddress, sizeof version, version)) return;
    ctx.link.Answer(model->format, version[0], version[1], version[2], version[3]);
}

void FirmwareVersionQuery(CommandContext& ctx) {
    char text[kFirmwareTextLength + 1] = {};
    ctx.link.usb.TesterReadBlock(cell::kFirmwareText, kFirmwareTextLength,
                                 reinterpret_cast<uint8_t*>(text));
    text[kFirmwareTextLength] = '\0';
    ctx.link.Answer("%s", text);
}

void SerialNumberQuery(CommandContext& ctx) {
    uint8_t serial[8] = {};
    if (!ReadTesterMemory(ctx.link, kSerialNumberAddress, sizeof serial, serial)) return;
    ctx.link.Answer("%02X%02X%02X%02X", serial[0], serial[1], serial[2], serial[3]);
}

void SerialNumberSet(CommandContext& ctx) {
    if (!ctx.link.service.ServiceMode) return;
    char text[kQuotedSize];
    if (!ReadQuoted(ctx, ctx.cursor, text)) return;
    if (!IsHexText(text, 8)) {
        ctx.Fail(kParameterNotAllowed);
        return;
    }
    uint8_t bytes[4];
    for (int i = 0; i < 4; ++i) {
        const char pair[3] = {text[2 * i], text[2 * i + 1], '\0'};
        bytes[i] = static_cast<uint8_t>(std::strtoul(pair, nullptr, 16));
    }
    ctx.link.mail.DropPendingReplies();
    for (uint16_t i = 0; i < 4; ++i) {
        // A byte that never reads back as written leaves the serial number unknown: say so
        // and write no further byte, rather than report a serial number that is not there.
        if (!WriteTesterByteVerified(ctx.link, static_cast<uint16_t>(kSerialNumberAddress + i),
                                     bytes[i])) {
            ctx.Fail(kTimeOutError);
            return;
        }
    }
}

void MemorySetup(CommandContext& ctx) {
    if (!ctx.link.service.ServiceMode) return;
    char text[kQuotedSize];
    if (!ReadQuoted(ctx, ctx.cursor, text)) {
        ctx.Fail(kSettingsConflict);
        return;
    }
    unsigned long address = 0, value = 0;
    if (ScanHex(text, address, value) < 2) {
        ctx.Fail(kParameterNotAllowed);
        return;
    }
    // The exchange carries a 16-bit address and one byte; a wider number would be cut and
    // land somewhere else.
    if (address > 0xFFFF || value > 0xFF) {
        ctx.Fail(kDataOutOfRange);
        return;
    }
    ctx.link.mail.DropPendingReplies();
    if (!WriteTesterByteVerified(ctx.link, static_cast<uint16_t>(address),
                                 static_cast<uint8_t>(value)))
        ctx.Fail(kTimeOutError);
}

void MemoryDataQuery(CommandContext& ctx) {
    char text[kQuotedSize];
    if (!ReadQuoted(ctx, ctx.cursor, text)) return;
    unsigned long address = 0, unused = 0;
    if (ScanHex(text, address, unused) < 1) {
        ctx.Fail(kParameterNotAllowed);
        return;
    }
    if (address > 0xFFFF) {
        ctx.Fail(kDataOutOfRange);
        return;
    }
    uint8_t d[8] = {};
    if (!ReadTesterMemory(ctx.link, static_cast<uint16_t>(address), sizeof d, d)) return;
    ctx.link.Answer("%02X %02X %02X %02X %02X %02X %02X %02X ", d[0], d[1], d[2], d[3], d[4], d[5],
                    d[6], d[7]);
}

void PasswordSet(CommandContext& ctx) {
    char text[kQuotedSize];
    if (!ReadQuoted(ctx, ctx.cursor, text)) return;
    ServiceState& service = ctx.link.service;
    if (service.PasswordTries == 0) {
        ctx.Fail(kParameterNotAllowed);
        ctx.link.Answer("NO MORE TRIES LEFT");
        return;
    }
    const bool match = MatchesAccessCode(text);
    std::memset(text, 0, sizeof text);
    if (match) {
        service.ServiceMode = true;
        service.PasswordTries = 3;
        ctx.link.Answer("PASSWORD OK!");
        return;
    }
    service.ServiceMode = false;
    --service.PasswordTries;
    ctx.Fail(kParameterNotAllowed);
    static constexpr const char* kLeft[] = {"INCORRECT!, NO TRIES LEFT", "INCORRECT!, 1 TRY LEFT",
                                            "INCORRECT!, 2 TRIES LEFT"};
    ctx.link.Answer("%s", kLeft[service.PasswordTries < 3 ? service.PasswordTries : 2]);
}

void PasswordQuery(CommandContext& ctx) {
    if (ctx.link.service.ServiceMode)
        ctx.link.Answer("PASSWORD OK!");
    else
        ctx.link.Answer("%d TRIES LEFT", ctx.link.service.PasswordTries);
}

}  // namespace tavrin
