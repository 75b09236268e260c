// The command loop: hardware detection on entry, then per command the tokenizer, the code
// building and the handler call.
#include <cctype>
#include <cstring>

#include "HandlerTable.h"
#include "KeywordTable.h"
#include "transport/Link.h"
#include "transport/TesterCells.h"

namespace tavrin {
namespace {
constexpr size_t kTokenLength = 10;

bool IsLetterFromA(unsigned char c) {
    return c >= 0x41;
}
bool IsWordStart(unsigned char c) {
    return (c >= 0x41 && c <= 0x7F) || c == '*';
}
bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}
const char* SkipBlanks(const char* p) {
    while (*p == ' ') ++p;
    return p;
}

void DetectHardware(Link& link) {
    if (link.hw.HardwareDetected) {
        // A load that lost an answer is tried again on the next line, so the tables do not
        // stay at their defaults after a passing fault.
        if (!link.cal.CalibrationLoaded) LoadCalibration(link);
        return;
    }
    link.hw.ModelCode = link.usb.TesterRead(cell::kModel);
    if (link.hw.ModelCode >= 10 && link.hw.ModelCode <= 13) {
        link.hw.Model = link.hw.ModelCode;
        link.hw.HardwareDetected = true;
        link.hw.MaxSlot = static_cast<uint8_t>(link.usb.TesterRead(cell::kSlotCount) - 1);
        link.hw.MaxCarrier = 34;
        if (!link.cal.CalibrationLoaded) LoadCalibration(link);
    } else {
        link.hw.HardwareDetected = false;
    }
}

}  // namespace

void Link::Interpret(const char* line) {
    DetectHardware(*this);

    const char* p = line;
    for (;;) {
        if (*p == ';') ++p;
        p = SkipBlanks(p);

        CommandContext ctx{*this};
        int separators = 0;
        errors.ErrorCount = 0;
        ClearAnswer();

        while (IsWordStart(static_cast<unsigned char>(*p))) {
            char token[kTokenLength + 1] = {};
            if (separators == 1) ctx.paramStart = p;
            size_t n = 0;
            for (;;) {
                const unsigned char c = static_cast<unsigned char>(*p);
                const unsigned char upper = static_cast<unsigned char>(std::toupper(c));
                if (!(IsLetterFromA(upper) || c == '*' || IsDigit(c))) break;
                if (n >= kTokenLength) break;
                token[n++] = static_cast<char>(upper);
                ++p;
            }
            while (IsLetterFromA(static_cast<unsigned char>(*p)) ||
                   IsDigit(static_cast<unsigned char>(*p)))
                ++p;
            p = SkipBlanks(p);
            if (*p == ':') {
                p = SkipBlanks(p + 1);
            } else if (*p != '\0' && *p != '?') {
                ++separators;  // a blank was followed by something else: a parameter begins
            }

            if (const uint32_t code = LookUpKeyword(token)) {
                (ctx.paramStart ? ctx.paramCode : ctx.headerCode) |= code;
            } else if (!ctx.paramStart) {
                errors.Record(kSyntaxError);
                return;  // an unknown header word drops the rest of the line
            }
        }

        p = SkipBlanks(p);
        if (*p == '?') {
            ctx.headerCode |= 1;
            p = SkipBlanks(p + 1);
        }

        ctx.cursor = p;
        if (Handler handler = FindHandler(ctx.headerCode)) {
            handler(ctx);
            // A handler that consumed text (a quoted string) leaves the cursor after it.
            if (ctx.cursor && ctx.cursor > p && ctx.cursor <= p + std::strlen(p)) p = ctx.cursor;
        } else {
            errors.Record(kSyntaxError);
        }

        while (*p != '\0' && *p != ';') ++p;
        if (*p == '\0') return;
    }
}

}  // namespace tavrin
