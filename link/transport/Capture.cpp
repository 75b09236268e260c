// Capture and sample reads. The capture moves the three planes with pipelined block reads;
// after it every single read is a store lookup and integer arithmetic.
#include "Capture.h"

#include <algorithm>
#include <array>
#include <vector>

#include "Link.h"
#include "SampleConversion.h"
#include "transport/TesterCells.h"

namespace tavrin {
namespace {

using namespace capture;

constexpr uint8_t kAttenuatorOut = 0x33;
constexpr uint8_t kAttenuatorIn = 0x32;
// A direct read repeats its four reads until both pairs agree; a tester whose bytes never
// settle must not hold the caller forever, so the last pair is taken after this many rounds.
constexpr int kDirectReadRounds = 16;

struct Planes {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(3 * kSampleRecords, 0);
    const uint8_t* Plane(int p) const { return bytes.data() + p * kSampleRecords; }
};

RxCalibration RxCal(const Link& link, int16_t demodOffset) {
    return {link.cal.RxOffset, demodOffset, link.cal.RxGain, link.hw.Model};
}

int16_t ReadDemodOffset(Link& link) {
    return static_cast<int16_t>(link.usb.TesterReadWord(cell::kDemodOffsetA) +
                                link.usb.TesterReadWord(cell::kDemodOffsetB));
}

// Trigger written before; polls until the tester clears the trigger (or writes 0xFF). A wait
// that has run out once only looks once more. True when this wait ran out.
bool WaitForCapture(Link& link, bool ranOutBefore) {
    const uint32_t start = link.clock.nowMs();
    for (;;) {
        const uint8_t v = link.usb.TesterRead(cell::kCaptureTrigger);
        if (v == 0 || v == 0xFF) return false;
        if (ranOutBefore) return true;
        if (link.clock.nowMs() - start > kCaptureWaitMs) {
            const uint8_t last = link.usb.TesterRead(cell::kCaptureTrigger);
            return !(last == 0 || last == 0xFF);
        }
        link.clock.sleepMs(1);
    }
}

// 8192 bytes of each plane. Planes of exactly 8192 bytes lie back to back, so one pipelined
// read takes all three in the same order as three reads would.
void ReadPlanes(Link& link, Planes& planes) {
    uint8_t geometry[2] = {};
    link.usb.TesterReadBlock(cell::kFirstPlanePage, 2, geometry);
    const uint32_t base = kPlaneArea + 256u * geometry[0];
    const uint32_t size = 256u * geometry[1];
    std::fill(planes.bytes.begin(), planes.bytes.end(), 0);
    if (size == kSampleRecords) {
        link.usb.TesterReadBlock(base, static_cast<uint16_t>(3 * kSampleRecords),
                                 planes.bytes.data());
        return;
    }
    for (uint32_t p = 0; p < 3; ++p)
        link.usb.TesterReadBlock(base + p * size, static_cast<uint16_t>(kSampleRecords),
                                 planes.bytes.data() + p * kSampleRecords);
}

int AlignmentOf(const Link& link, uint8_t cell) {
    const int base = link.conf.IsPpTest() ? 99 : 118;
    return base - static_cast<int8_t>(cell);
}

int Alignment(Link& link) {
    return AlignmentOf(link, link.usb.TesterRead(cell::kAlignment));
}

const SampleRecord& StoreRecord(const Link& link, uint16_t index) {
    // Positions past the store read as an empty record, like records no capture has filled.
    static const SampleRecord kEmpty{};
    return index < kSampleRecords ? link.capture.SampleStore[index] : kEmpty;
}

// The link-off path: plane geometry, then the plane byte and the plane-2 byte of position k
// twice, until both pairs agree.
int16_t DirectSample(Link& link, uint16_t k, bool power) {
    const uint32_t firstPage = link.usb.TesterRead(cell::kFirstPlanePage);
    link.usb.TesterRead(cell::kPlanePages);
    const uint32_t size = 256u * link.usb.TesterRead(cell::kPlanePages);
    const uint32_t base = kPlaneArea + 256u * firstPage;
    const uint32_t planeAddress = base + (power ? size : 0) + k;
    const uint32_t highAddress = base + 2 * size + k;
    uint8_t a = 0, b = 0;
    for (int round = 0; round < kDirectReadRounds; ++round) {
        a = link.usb.TesterRead(planeAddress);
        b = link.usb.TesterRead(highAddress);
        const uint8_t a2 = link.usb.TesterRead(planeAddress);
        const uint8_t b2 = link.usb.TesterRead(highAddress);
        if (a == a2 && b == b2) break;
    }
    return power ? PowerSample(a, b) : FrequencySample(a, b);
}

}  // namespace

uint32_t ForceADCSample(Link& link) {
    UsbLink::Call call(link.usb);
    link.meas.FreqRefValid = false;
    CaptureState& cap = link.capture;
    cap.CaptureBurstSize = link.usb.TesterReadWord(cell::kBurstSize);
    // No port was ever chosen: nothing to capture, and no CRC status to give.
    if (link.conf.CommPort == code::CommPortUnset) return 0;

    link.usb.TesterWrite(cell::kCaptureTrigger, 1);
    const bool ranOut = WaitForCapture(link, false);
    if (link.conf.IsRfGenerator()) {
        cap.CaptureCarrier = link.usb.TesterRead(cell::kGeneratorCarrier);
    } else {
        cap.CaptureCarrier = link.usb.TesterRead(cell::kCaptureCarrier);
        cap.DemodOffset = ReadDemodOffset(link);
    }

    Planes first;
    ReadPlanes(link, first);
    const bool second = link.conf.PowerRangeHigh && link.conf.RxAttenuator;
    // Without a second capture the alignment and the CRC status are the next two tester reads,
    // so one read from 0x6A67 to 0x6A72 takes both, in that order.
    uint8_t tail[cell::kCaptureCrc - cell::kAlignment + 1] = {};
    int s1 = 0;
    if (second) {
        s1 = Alignment(link);
    } else {
        link.usb.TesterReadBlock(cell::kAlignment, sizeof tail, tail);
        s1 = AlignmentOf(link, tail[0]);
    }

    Planes without;
    int s2 = 0;
    if (second) {
        link.mail.SendMail(6, 0x5D, kAttenuatorOut);
        link.usb.TesterWrite(cell::kCaptureTrigger, 1);
        WaitForCapture(link, ranOut);
        ReadPlanes(link, without);
        s2 = Alignment(link);
        link.mail.SendMail(6, 0x5D, kAttenuatorIn);
    }

    const int records = static_cast<int>(kSampleRecords);
    for (int i = 0; i < records; ++i) {
        SampleRecord& r = cap.SampleStore[static_cast<size_t>(i)];
        const int j = i + s1;
        if (j >= 0 && j < records) {
            r.Frequency = FrequencySample(first.Plane(0)[j], first.Plane(2)[j]);
            r.Power = PowerSample(first.Plane(1)[j], first.Plane(2)[j]);
            r.Valid = 1;
        }
        const int j2 = i + s2;
        if (second && j2 >= 0 && j2 < records)
            r.SecondPower = PowerSample(without.Plane(1)[j2], without.Plane(2)[j2]);
    }

    const int32_t n = cap.CaptureBurstSize == 40 ? 3816 : 6696;
    int32_t sum = 0;
    for (int32_t k = 0; k < n; ++k) sum += ReadPwrValue(link, static_cast<uint16_t>(450 + k));
    cap.AveragePower = static_cast<int16_t>(sum / n);
    cap.DeviationCorrection = ChooseDeviationCorrection(
        cap.AveragePower, link.conf.CableLoss, link.conf.RxAttenuator, link.cal.AttenuatorByteA,
        link.cal.LevelThresholds, link.cal.DeviationCorrections);

    const uint8_t crc = second ? link.usb.TesterRead(cell::kCaptureCrc) : tail[sizeof tail - 1];
    cap.CrcFlags.fill(crc != 0 ? 1 : 0);
    return crc;
}

int16_t ReadRxValue(Link& link, uint16_t index) {
    UsbLink::Call call(link.usb);
    if (index == kRefreshDemodOffset || index == kClearDemodOffset) {
        link.capture.DemodOffset = ReadDemodOffset(link);
        if (index == kRefreshDemodOffset) return link.capture.DemodOffset;
        link.capture.DemodOffset = 0;
        return 0;
    }
    if (index > kHighestIndex) index = 0;
    const int16_t raw =
        link.conf.LinkOpen ? StoreRecord(link, index).Frequency : DirectSample(link, index, false);
    return ConvertFrequency(raw, RxCal(link, link.capture.DemodOffset),
                            link.capture.DeviationCorrection);
}

int16_t ReadPwrValue(Link& link, uint16_t index) {
    UsbLink::Call call(link.usb);
    if (index > kHighestIndex) index = 0;
    const ConfigState& conf = link.conf;
    bool usedSecond = false;
    int16_t raw = 0;
    if (conf.LinkOpen) {
        const SampleRecord& r = StoreRecord(link, index);
        usedSecond = conf.RxAttenuator && conf.PowerRangeHigh && r.Power < 500;
        raw = usedSecond ? r.SecondPower : r.Power;
    } else {
        raw = DirectSample(link, index, true);
    }
    PwrCalibration cal;
    cal.pwrOffset = link.cal.PwrOffset;
    cal.pwrGain = link.cal.PwrGain;
    cal.cableLoss = conf.CableLoss;
    const int entry = PowerCarrierEntry(conf.CarrierOffset, link.capture.CaptureCarrier,
                                        conf.ExtendedFrequency, link.cal.PowerCarrierTable.size());
    cal.carrierCorrection = entry < 0 ? 0 : link.cal.PowerCarrierTable[static_cast<size_t>(entry)];
    cal.subtractAttenuator = !conf.RxAttenuator || usedSecond;
    cal.attenuatorByteB = link.cal.AttenuatorByteB;
    return ConvertPower(raw, cal);
}

int16_t ReadRxValueBlock(Link& link, uint16_t start, uint16_t count, int16_t* results) {
    UsbLink::Call call(link.usb);
    if (!results || count == 0) return 0;
    count = std::min(count, kBlockLimit);
    std::array<uint32_t, 3> planes = link.capture.PlaneBase;
    if (planes[0] == 0) {
        // No reset has placed the planes yet: take them from the geometry cells, rather than
        // reading the mailbox area at address 0 as samples.
        uint8_t geometry[2] = {};
        link.usb.TesterReadBlock(cell::kFirstPlanePage, 2, geometry);
        planes[0] = kPlaneArea + 256u * geometry[0];
        planes[2] = planes[0] + 2 * 256u * geometry[1];
    }
    std::vector<uint8_t> low(count, 0), high(count, 0);
    link.usb.TesterReadBlock(planes[0] + start, count, low.data());
    link.usb.TesterReadBlock(planes[2] + start, count, high.data());
    for (uint16_t i = 0; i < count; ++i) {
        const uint16_t k = static_cast<uint16_t>(start + i);
        if (k == kRefreshDemodOffset || k == kClearDemodOffset) {
            link.capture.BlockDemodOffset = ReadDemodOffset(link);
            if (k == kClearDemodOffset) link.capture.BlockDemodOffset = 0;
            continue;
        }
        results[i] = ConvertBlockFrequency(FrequencySample(low[i], high[i]),
                                           RxCal(link, link.capture.BlockDemodOffset));
    }
    return 0;
}

}  // namespace tavrin
