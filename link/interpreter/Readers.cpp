// The parameter readers.
#include "Readers.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace tavrin {
namespace {

bool Absent(const char* text) {
    return text == nullptr || *text == '\0';
}

}  // namespace

bool ReadInteger(CommandContext& ctx, const char* text, int32_t& value, int32_t minimum,
                 int32_t maximum) {
    if (Absent(text)) {
        ctx.Fail(kParameterNotAllowed);
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno == ERANGE || v < INT32_MIN || v > INT32_MAX) {
        ctx.Fail(kParameterNotAllowed);
        return false;
    }
    if (minimum != maximum && (v < minimum || v > maximum)) {
        ctx.Fail(kDataOutOfRange);
        return false;
    }
    value = static_cast<int32_t>(v);
    return true;
}

bool ReadReal(CommandContext& ctx, const char* text, double& value, double minimum,
              double maximum) {
    if (Absent(text)) {
        ctx.Fail(kParameterNotAllowed);
        return false;
    }
    // Only plain decimal numbers: strtod would also take "inf", "nan" and hex forms.
    const char* q = text;
    while (*q == ' ') ++q;
    if (*q == '+' || *q == '-') ++q;
    if (!((*q >= '0' && *q <= '9') || *q == '.')) {
        ctx.Fail(kParameterNotAllowed);
        return false;
    }
    for (const char* r = q; *r; ++r)
        if (*r == 'x' || *r == 'X') {
            ctx.Fail(kParameterNotAllowed);
            return false;
        }
    char* end = nullptr;
    const double v = std::strtod(text, &end);
    if (end == text || *end != '\0') {
        ctx.Fail(kParameterNotAllowed);
        return false;
    }
    if (minimum != maximum && (v < minimum || v > maximum)) {
        ctx.Fail(kDataOutOfRange);
        return false;
    }
    value = v;
    return true;
}

bool ReadQuoted(CommandContext& ctx, const char*& cursor, char* out) {
    out[0] = '\0';
    const char* p = cursor;
    while (*p == ' ') ++p;
    auto missing = [&] {
        if (ctx.link.errors.LastError != kDataOutOfRange) ctx.Fail(kSyntaxError);
        return false;
    };
    if (*p != '"') return missing();
    ++p;
    const char* close = std::strchr(p, '"');
    if (!close) return missing();
    const size_t length = static_cast<size_t>(close - p);
    // Longer than the 80-character working buffer: refused whole rather than cut.
    if (length >= kQuotedSize) {
        ctx.Fail(kParameterNotAllowed);
        return false;
    }
    std::memcpy(out, p, length);
    out[length] = '\0';
    p = close + 1;
    while (*p == ' ') ++p;
    cursor = p;
    return true;
}

void SpreadHex(const char* text, char* out, size_t outSize) {
    if (outSize == 0) return;
    const size_t length = std::strlen(text);
    size_t o = 0;
    for (size_t i = 0; i < length && o + 1 < outSize; ++i) {
        // A blank before every character whose distance from the end is even, except the first.
        if (i > 0 && (length - i) % 2 == 0) {
            out[o++] = ' ';
            if (o + 1 >= outSize) break;
        }
        out[o++] = text[i];
    }
    out[o] = '\0';
}

bool NoParameterWord(CommandContext& ctx) {
    if (ctx.paramStart) {
        ctx.Fail(kParameterNotAllowed);
        return false;
    }
    return true;
}

}  // namespace tavrin
