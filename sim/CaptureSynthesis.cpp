// Capture synthesis: the device's burst as a GFSK-like frequency trace (half-bit raised-cosine
// transitions, so every bit reaches its full deviation) and a power ramp, turned into 10-bit
// plane codes through the inverse of the tester's calibration as it stands at capture time.
#include "CaptureSynthesis.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "TesterCalibration.h"
#include "TesterMemoryMap.h"
#include "VirtualTester.h"

namespace tavrin::sim {
namespace {

constexpr uint32_t kPlaneArea = 0x10000;
constexpr int kSamples = 8192;
constexpr int kSamplesPerBit = 9;
constexpr double kSamplesPerUs = 10.368;  // 9 samples per bit at 1.152 Mbit/s
constexpr int kBurstStart = 450;          // store index of the first S-field sample
constexpr int kAFieldEnd = 96;            // bits of S- and A-field

// Attenuator byte B as the host takes it: 0xFF stands for byte A.
uint8_t AttenuatorB(const TesterCalibration& c) {
    return c.attenuatorB == 0xFF ? c.attenuatorA : c.attenuatorB;
}

int16_t Wrap16(int32_t v) {
    return static_cast<int16_t>(static_cast<uint16_t>(v & 0xFFFF));
}

// The host's frequency conversion of a raw code (0.1 kHz), written from the tester's side.
int32_t HostFrequency(int raw, const TesterCalibration& c, uint8_t model, int16_t demod,
                      int16_t correction) {
    int16_t d = Wrap16(raw - c.rxOffset - demod);
    if (model != 11) d = Wrap16(-int32_t{d});
    int32_t s = int32_t{d} * c.rxGain / 50;
    if (d < 0 && s >= 0) s = -32768;
    return Wrap16(Wrap16(s) + correction);
}

// The host's power conversion of a raw code (0.1 dBm) without its cable-loss term.
int32_t HostPower(int raw, const TesterCalibration& c, int8_t carrierCorrection, bool out) {
    int32_t v = (raw - int32_t{c.pwrOffset}) * c.pwrGain / 100 + carrierCorrection;
    if (out) v -= int32_t{AttenuatorB(c)} + 200;
    return v;
}

// The raw code in 0..1023 whose conversion lies closest to the wanted value: a first guess
// from the linear inverse, then a look at its neighbours (the conversions truncate).
template <typename Forward>
int Invert(double wanted, double guess, Forward forward) {
    const int centre = std::clamp(static_cast<int>(std::lround(guess)), 0, 1023);
    int best = centre;
    double bestError = std::fabs(forward(centre) - wanted);
    for (int raw = std::max(0, centre - 4); raw <= std::min(1023, centre + 4); ++raw) {
        const double error = std::fabs(forward(raw) - wanted);
        if (error < bestError) {
            best = raw;
            bestError = error;
        }
    }
    return best;
}

std::vector<int8_t> BitsOfWord(uint32_t word, int count) {
    std::vector<int8_t> bits;
    for (int i = count - 1; i >= 0; --i) bits.push_back(((word >> i) & 1) ? 1 : -1);
    return bits;
}

class CaptureSynthesizer final : public SimComponent {
public:
    CaptureSynthesizer(std::shared_ptr<const DeviceProfile> device, const CaptureSynthesis& s)
        : m_device(std::move(device)), m_s(s), m_random(s.seed) {}

    void OnCellWrite(VirtualTester& tester, uint32_t address, uint8_t value) override {
        if (address != cell::kTrigger || value != 1) return;
        Prepare(tester);
        m_pending = true;
        m_dueUs = tester.TesterClock().nowUs() + m_s.captureUs;
        if (m_s.captureUs == 0) Complete(tester);
    }

    void Advance(VirtualTester& tester, uint64_t nowUs) override {
        if (!m_prepared) Prepare(tester);
        if (m_pending && nowUs >= m_dueUs) Complete(tester);
    }

private:
    // The geometry and size cells, unless another part of the firmware has set them.
    void Prepare(VirtualTester& tester) {
        SimMemory& m = tester.Memory();
        if (m.Read(cell::kPlanePages) == 0) {
            m.Write(cell::kFirstPage, m_s.firstPage);
            m.Write(cell::kPlanePages, m_s.planePages);
        }
        if (m.ReadWord(cell::kBurstSize) == 0) m.WriteWord(cell::kBurstSize, m_s.burstSize);
        m_prepared = true;
    }

    double Gauss() { return m_normal(m_random); }

    void Complete(VirtualTester& tester) {
        m_pending = false;
        SimMemory& m = tester.Memory();
        const DeviceProfile& dev = *m_device;
        const TesterCalibration cal = ReadCalibration(tester);
        const uint8_t model = m.Read(cell::kModel);
        const bool generator = tester.radio.generatorOn;
        const bool linked = m.Read(cell::kLink) != 0;
        const bool attenuatorOut = !tester.radio.rxAttenuator;
        const bool longBurst = m.ReadWord(cell::kBurstSize) == 80;
        const int bFieldBits = longBurst ? 640 : 320;

        const uint8_t carrier =
            generator ? m.Read(cell::kGeneratorCarrier) : tester.radio.trafficCarrier;
        m.Write(cell::kCarrier, carrier);
        const int8_t alignment =
            static_cast<int8_t>(std::clamp(std::lround(dev.delayUs * kSamplesPerUs), -128L, 127L));
        m.Write(cell::kAlignment, static_cast<uint8_t>(alignment));
        m.WriteWord(cell::kDemodA, static_cast<uint16_t>(m_s.demodOffsetA));
        m.WriteWord(cell::kDemodB, static_cast<uint16_t>(m_s.demodOffsetB));
        const int16_t demod = Wrap16(m_s.demodOffsetA + m_s.demodOffsetB);

        const int entry = CarrierTableEntry(model, carrier, tester.radio.carrierOffset,
                                            tester.radio.extendedBand, false);
        const int8_t carrierCorrection =
            entry >= 0 ? cal.powerCarrier[static_cast<size_t>(entry)] : 0;

        // Store index i holds capture position i + shift; the host's shift is 99 (portable
        // part in front) or 118 (fixed part), less the alignment it reads.
        const int shift = (dev.fixedPart ? 118 : 99) - alignment;
        const int burstSamples = kSamplesPerBit * (kAFieldEnd + bFieldBits + 8);
        const std::vector<int8_t> bits =
            BurstBits(dev.fixedPart, tester.radio.berPattern, bFieldBits);

        // Power in 0.1 dBm per store index, and the deviation correction the host will choose
        // from the burst's mean level.
        std::vector<double> power(kSamples + 256), freq(kSamples + 256);
        const int first = -shift, last = kSamples - shift;  // store indexes of the capture
        const double rampSamples = std::max(1.0, dev.rampUs * kSamplesPerUs);
        const double levelDbm = generator ? tester.radio.rfLevelDbm : dev.powerDbm;
        const double bMidMs = (kBurstStart + kSamplesPerBit * (kAFieldEnd + bFieldBits / 2.0)) /
                              (kSamplesPerUs * 1000.0);
        double noise = 0.0;
        const double a = std::exp(-1.0 / 4.5);  // the demodulator's noise spans about half a bit
        for (int i = first; i < last; ++i) {
            const int k = i - first;
            double dbm = m_s.floorDbm;
            const double x = i - kBurstStart;
            if (generator) {
                dbm = levelDbm;
            } else if (linked && x > -rampSamples && x < burstSamples + rampSamples) {
                double amplitude = 1.0;
                if (x < 0) amplitude = 0.5 - 0.5 * std::cos(M_PI * (x + rampSamples) / rampSamples);
                if (x >= burstSamples)
                    amplitude = 0.5 + 0.5 * std::cos(M_PI * (x - burstSamples) / rampSamples);
                dbm = levelDbm + 20.0 * std::log10(std::max(amplitude, 1e-6));
                if (x >= 0 && x < burstSamples) dbm += dev.overshootDb * std::exp(-x / rampSamples);
                dbm = std::max(dbm, m_s.floorDbm);
            }
            power[k] = 10.0 * (dbm + dev.noiseDb * Gauss());

            noise = a * noise + std::sqrt(1.0 - a * a) * Gauss();
            const double tMs = i / (kSamplesPerUs * 1000.0);
            double khz = dev.freqOffsetKhz + dev.driftKhzPerMs * (tMs - bMidMs);
            if (generator) {
                khz = Modulation(std::vector<int8_t>{1, -1}, m_s.generatorDeviationKhz,
                                 m_s.generatorDeviationKhz, i / double(kSamplesPerBit), true);
            } else if (linked) {
                khz += Modulation(bits, dev.sFieldDeviationKhz, dev.bFieldDeviationKhz,
                                  x / kSamplesPerBit, false);
            }
            freq[k] = 10.0 * (khz + dev.noiseKhz * noise);
        }

        // The host's mean over the burst, as it will see it, gives the correction it adds.
        const int n = longBurst ? 6696 : 3816;
        double sum = 0.0;
        for (int i = kBurstStart; i < kBurstStart + n; ++i)
            if (i - first >= 0 && i - first < kSamples)
                sum += power[static_cast<size_t>(i - first)];
        int32_t level = static_cast<int32_t>(sum / n);
        if (tester.radio.rxAttenuator) level -= int32_t{cal.attenuatorA} + 200;
        int16_t correction = 0;
        for (int j = 10; j <= 40; ++j)
            if (static_cast<float>(cal.levelThresholds[j]) >= static_cast<float>(level) * 0.1f) {
                correction = cal.deviationCorrections[j];
                break;
            }

        const uint32_t base = kPlaneArea + 256u * m.Read(cell::kFirstPage);
        const uint32_t size = 256u * m.Read(cell::kPlanePages);
        const double rxScale = cal.rxGain != 0 ? 50.0 / cal.rxGain : 0.0;
        const double pwrScale = cal.pwrGain != 0 ? 100.0 / cal.pwrGain : 0.0;
        const int sign = model == 11 ? 1 : -1;
        for (int k = 0; k < kSamples; ++k) {
            const double wantF = freq[static_cast<size_t>(k)];
            const int rawF = Invert(
                wantF, cal.rxOffset + demod + sign * (wantF - correction) * rxScale,
                [&](int raw) { return double(HostFrequency(raw, cal, model, demod, correction)); });
            const double detector =
                power[static_cast<size_t>(k)] + (attenuatorOut ? AttenuatorB(cal) + 200.0 : 0.0);
            const double wantP = power[static_cast<size_t>(k)];
            const int rawP = Invert(
                wantP, cal.pwrOffset + (detector - carrierCorrection) * pwrScale, [&](int raw) {
                    return double(HostPower(raw, cal, carrierCorrection, attenuatorOut));
                });
            const uint32_t pos = static_cast<uint32_t>(k);
            m.Write(base + pos, static_cast<uint8_t>(rawF));
            m.Write(base + size + pos, static_cast<uint8_t>(rawP));
            m.Write(base + 2 * size + pos,
                    static_cast<uint8_t>(((rawF >> 8) & 0x03) | (((rawP >> 8) & 0x03) << 5)));
        }

        // CRC status: 1 for a burst received intact, 0 for one lost to a frame error.
        const bool lost =
            std::uniform_real_distribution<double>(0.0, 1.0)(m_random) < dev.frameErrorRate;
        m.Write(cell::kCrc, linked && !lost ? 1 : 0);
        m.Write(cell::kTrigger, 0);
    }

    // Frequency in kHz at bit position x (bit k spans [k, k+1)): each bit holds its level, and
    // the frequency moves to the next over a raised cosine of half a bit around the boundary.
    static double Modulation(const std::vector<int8_t>& bits, double sDev, double bDev, double x,
                             bool repeat) {
        const long count = static_cast<long>(bits.size());
        auto level = [&](long k) -> double {
            if (repeat) return bits[static_cast<size_t>(((k % count) + count) % count)] * bDev;
            if (k < 0 || k >= count) return 0.0;
            return bits[static_cast<size_t>(k)] * (k < 32 ? sDev : bDev);
        };
        const long k = static_cast<long>(std::floor(x));
        const double u = x - static_cast<double>(k);
        const double cur = level(k);
        if (u < 0.25) {
            const double w = 0.5 - 0.5 * std::cos(M_PI * (u + 0.25) / 0.5);
            return level(k - 1) + (cur - level(k - 1)) * w;
        }
        if (u > 0.75) {
            const double w = 0.5 - 0.5 * std::cos(M_PI * (u - 0.75) / 0.5);
            return cur + (level(k + 1) - cur) * w;
        }
        return cur;
    }

    std::shared_ptr<const DeviceProfile> m_device;
    CaptureSynthesis m_s;
    std::mt19937 m_random;
    std::normal_distribution<double> m_normal{0.0, 1.0};
    bool m_prepared = false;
    bool m_pending = false;
    uint64_t m_dueUs = 0;
};

}  // namespace

std::vector<int8_t> BurstBits(bool fixedPart, uint8_t patternCode, int bFieldBits) {
    // A fixed part sends AAAA E98A, a portable part 5555 1675.
    const uint32_t preamble = fixedPart ? 0xAAAA : 0x5555;
    std::vector<int8_t> bits = BitsOfWord(preamble, 16);
    const std::vector<int8_t> sync = BitsOfWord(fixedPart ? 0xE98A : 0x1675, 16);
    bits.insert(bits.end(), sync.begin(), sync.end());
    // A-field: a fixed header and a balanced tail.
    for (uint32_t word : {0x3C5A9617u, 0xC3A569E8u}) {
        const std::vector<int8_t> w = BitsOfWord(word, 32);
        bits.insert(bits.end(), w.begin(), w.end());
    }

    // B-field data by the pattern code of the C1 mail. The byte patterns go out least
    // significant bit first, so BS0F sends four ones, then four zeros. The pseudo-random
    // patterns follow each byte with its complement, so the field carries no mean offset.
    uint32_t lfsr = patternCode == 1 ? 0x0A5 : 0x1FF;
    auto randomPair = [&](std::vector<int8_t>& out) {
        uint8_t byte = 0;
        for (int i = 0; i < 8; ++i) {
            const uint32_t bit = ((lfsr >> 8) ^ (lfsr >> 4)) & 1;  // PRBS9
            lfsr = ((lfsr << 1) | bit) & 0x1FF;
            byte = static_cast<uint8_t>((byte << 1) | bit);
        }
        for (uint8_t b : {byte, static_cast<uint8_t>(~byte)}) {
            const std::vector<int8_t> w = BitsOfWord(b, 8);
            out.insert(out.end(), w.begin(), w.end());
        }
    };
    // The last 16 bits repeat the preamble, so both drift windows see the same modulation;
    // BS0F (packet mode 4, where no drift is measured) keeps its pattern to the end, since
    // its window means reach into those bits.
    const bool preambleTail = patternCode != 4;
    const int dataBits = bFieldBits - (preambleTail ? 16 : 0);
    std::vector<int8_t> data;
    uint8_t fixedByte = 0;
    switch (patternCode) {
        case 2:
            fixedByte = 0x55;
            break;  // BS55
        case 3:
            fixedByte = 0x33;
            break;  // BS33
        case 4:
            fixedByte = 0x0F;
            break;  // BS0F
        default:
            break;
    }
    if (fixedByte != 0) {
        while (static_cast<int>(data.size()) < dataBits)
            for (int i = 0; i < 8; ++i) data.push_back(((fixedByte >> i) & 1) ? 1 : -1);
    } else if (patternCode == 5) {
        // FIG31: blocks of 64 ones and 64 zeros from bit 128 on, pseudo-random around them.
        const int blocksEnd = bFieldBits == 640 ? 512 : 256;
        while (static_cast<int>(data.size()) < 128) randomPair(data);
        for (int i = 128; i < blocksEnd; ++i) data.push_back(((i - 128) / 64) % 2 == 0 ? 1 : -1);
        while (static_cast<int>(data.size()) < dataBits) randomPair(data);
    } else {
        // PSRB, SPSR and the patterns without a fixed form.
        while (static_cast<int>(data.size()) < dataBits) randomPair(data);
    }
    data.resize(static_cast<size_t>(dataBits));
    bits.insert(bits.end(), data.begin(), data.end());
    if (preambleTail) {
        const std::vector<int8_t> tail = BitsOfWord(preamble, 16);
        bits.insert(bits.end(), tail.begin(), tail.end());
    }
    // X and Z fields.
    const std::vector<int8_t> xz = BitsOfWord(0x5A, 8);
    bits.insert(bits.end(), xz.begin(), xz.end());
    return bits;
}

std::unique_ptr<SimComponent> MakeCaptureSynthesizer(std::shared_ptr<const DeviceProfile> device,
                                                     const CaptureSynthesis& synthesis) {
    return std::make_unique<CaptureSynthesizer>(std::move(device), synthesis);
}

std::unique_ptr<SimComponent> MakeCaptureSynthesizer(std::shared_ptr<const DeviceProfile> device) {
    return MakeCaptureSynthesizer(std::move(device), CaptureSynthesis{});
}

}  // namespace tavrin::sim
