// Bit and frame error rates from the tester's counters, and the packet delay and jitter with
// their restarts.
#include "MeasurementQueries.h"
#include "MeasurementSupport.h"
#include "transport/TesterCells.h"

namespace tavrin::measure {
namespace {

uint32_t Long(const uint8_t* b) {
    return uint32_t{b[0]} | (uint32_t{b[1]} << 8) | (uint32_t{b[2]} << 16) | (uint32_t{b[3]} << 24);
}

// Frames n, bit errors W and frame errors V lie back to back: one read, in their order.
struct Counters {
    uint16_t frames;
    uint32_t bitErrors, frameErrors;
};
Counters ReadCounters(Link& link) {
    uint8_t b[10] = {};
    link.usb.TesterReadBlock(cell::kFrames, sizeof b, b);
    return {static_cast<uint16_t>(b[0] | (b[1] << 8)), Long(b + 2), Long(b + 6)};
}

void AnswerRate(Link& link, const Counters& c) {
    const double bitsPerFrame = link.capture.CaptureBurstSize * 8.0;
    if (c.frames > c.frameErrors) {
        link.Answer("%1.8f,%f", c.bitErrors / (bitsPerFrame * (c.frames - c.frameErrors)),
                    static_cast<double>(c.frameErrors) / c.frames * 100.0);
    } else {
        link.Answer("%1.8f,%f", 0.0, 100.0);
    }
}

void ClearBerCounters(Link& link) {
    WriteBatch batch;
    for (uint32_t a = 0x6A46; a <= 0x6A4D; ++a) batch.Add(a, 0);
    for (uint32_t a : {0x6A44u, 0x6A45u, 0x6A4Eu, 0x6A4Fu}) batch.Add(a, 0);
    link.usb.TesterWriteBatch(batch);
}

// After a restart: true when packets came and the count reached the window in time.
bool WaitForPackets(Link& link) {
    link.mail.WaitTicks(5);
    if (link.usb.TesterReadWord(cell::kPacketCount) == 0) return false;
    const uint32_t window = link.conf.PackWindow;
    for (uint32_t tries = 0;; ++tries) {
        if (link.usb.TesterReadWord(cell::kPacketCount) >= window) return true;
        if (tries >= window + 500) return false;
        link.mail.WaitTicks(1);
    }
}

}  // namespace

// The burst size gives the bits per frame; without it there is no rate to give, so
// "READ:BER?" and "FETC:BER:LTER?" answer "INV" rather than dividing by zero, and both are
// this one handler.
void FetchBerLongTerm(CommandContext& ctx) {
    Link& link = ctx.link;
    if (!LinkUp(link)) return link.Answer("INV");
    link.capture.CaptureBurstSize = link.usb.TesterReadWord(cell::kBurstSize);
    const Counters c = ReadCounters(link);
    if (c.frames == 0 || link.capture.CaptureBurstSize == 0) return link.Answer("INV");
    AnswerRate(link, c);
}

void ReadBerLongTerm(CommandContext& ctx) {
    Link& link = ctx.link;
    link.capture.CaptureBurstSize = link.usb.TesterReadWord(cell::kBurstSize);
    if (!LinkUp(link) || link.capture.CaptureBurstSize == 0) return link.Answer("INV");
    ClearBerCounters(link);
    link.mail.WaitTicks(5);
    if (link.usb.TesterReadWord(cell::kRunningFrames) != 0) {
        const uint32_t limit = uint32_t{link.usb.TesterReadWord(cell::kBerWindow)} + 500;
        for (uint32_t i = 0; i < limit && link.usb.TesterReadWord(cell::kFrames) == 0; ++i)
            link.mail.WaitTicks(1);
    }
    if (link.usb.TesterReadWord(cell::kFrames) == 0) return;  // no frames came: no answer
    FetchBerLongTerm(ctx);
}

void ReadBerNow(CommandContext& ctx) {
    Link& link = ctx.link;
    if (!LinkUp(link)) return link.Answer("INV");
    link.capture.CaptureBurstSize = link.usb.TesterReadWord(cell::kBurstSize);
    if (link.capture.CaptureBurstSize == 0) return link.Answer("INV");
    uint8_t b[10] = {};  // running frames, bit errors and frame errors, back to back
    link.usb.TesterReadBlock(cell::kRunningFrames, sizeof b, b);
    const uint16_t a = static_cast<uint16_t>(b[0] | (b[1] << 8));
    const uint32_t bits = Long(b + 2), frameErrors = Long(b + 6);
    const double bitsPerFrame = link.capture.CaptureBurstSize * 8.0;
    if (frameErrors < a) {
        link.Answer("%1.8f,%f,%d", bits / (bitsPerFrame * (a - frameErrors)),
                    static_cast<double>(frameErrors) / a * 100.0, a);
    } else {
        link.Answer("%1.8f,%f,%d", 0.0, 100.0, a);
    }
}

void FetchPacketDelay(CommandContext& ctx) {
    Link& link = ctx.link;
    if (!LinkUp(link)) return link.Answer("INV");
    uint8_t b[4] = {};  // 0x6A67 to 0x6A6A; 0x6A68 is not a delay
    link.usb.TesterReadBlock(cell::kPacketDelay, sizeof b, b);
    link.Answer("%1.2f,%1.2f,%1.2f", TimingValue(static_cast<int8_t>(b[0])),
                TimingValue(static_cast<int8_t>(b[2])), TimingValue(static_cast<int8_t>(b[3])));
}

void ReadPacketDelay(CommandContext& ctx) {
    Link& link = ctx.link;
    if (!LinkUp(link)) return link.Answer("INV");
    WriteBatch restart;
    restart.Add(0x6A69, 127);
    restart.Add(0x6A6A, 128);
    restart.Add(0x6A6D, 0);
    restart.Add(0x6A6E, 0);
    link.usb.TesterWriteBatch(restart);
    if (!WaitForPackets(link)) return link.Answer("INV");
    FetchPacketDelay(ctx);
}

void FetchJitter(CommandContext& ctx) {
    Link& link = ctx.link;
    if (!LinkUp(link)) return link.Answer("INV");
    uint8_t b[2] = {};
    link.usb.TesterReadBlock(cell::kJitter, sizeof b, b);
    link.Answer("%1.1f,%1.1f", TimingValue(static_cast<int8_t>(b[1])),
                TimingValue(static_cast<int8_t>(b[0])));
}

void ReadJitter(CommandContext& ctx) {
    Link& link = ctx.link;
    if (!LinkUp(link)) return link.Answer("INV");
    WriteBatch restart;
    for (uint32_t a = 0x6A6B; a <= 0x6A6E; ++a) restart.Add(a, 0);
    link.usb.TesterWriteBatch(restart);
    if (!WaitForPackets(link)) return link.Answer("INV");
    FetchJitter(ctx);
}

}  // namespace tavrin::measure
