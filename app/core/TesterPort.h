// The seam between the program and TavrinLink: one command line out, one reply in. The
// library port calls the exports; tests point the command wrappers at a recording fake.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tavrin::app {

// Every reply is read into a buffer of this many bytes (the library copies at most 168).
inline constexpr size_t kReplyBufferSize = 200;

class TesterPort {
public:
    virtual ~TesterPort() = default;
    // Sends one command line; 0 when accepted, the error count of its last command otherwise.
    virtual int16_t write(const char* line) = 0;
    // Copies the pending reply into `out` (kReplyBufferSize bytes); returns its length.
    virtual int16_t read(char* out) = 0;
    // True when the last call failed because the tester did not answer (silent, unplugged):
    // a refused line or an "INV" reply from a tester that answers is no such failure.
    virtual bool testerLost() { return false; }

    // The charts' sample reads (documented direct calls, never counted or echoed). A port
    // without a sample memory has nothing to capture and every sample out of range.
    // Captures one burst; the CRC status byte, 0 when nothing was captured.
    virtual int32_t forceCapture() { return 0; }
    // The stored burst's power at `index` in 0.1 dBm; kPowerOutOfRange past the store.
    virtual int16_t readPowerSample(uint16_t /*index*/) { return kPowerOutOfRange; }
    // The stored burst's frequency deviation at `index` in 0.1 kHz.
    virtual int16_t readDeviationSample(uint16_t /*index*/) { return 0; }

    static constexpr int16_t kPowerOutOfRange = 32767;
};

// The port on the process-wide link of TavrinLink.
class LibraryPort : public TesterPort {
public:
    int16_t write(const char* line) override;
    int16_t read(char* out) override;
    bool testerLost() override;
    int32_t forceCapture() override;
    int16_t readPowerSample(uint16_t index) override;
    int16_t readDeviationSample(uint16_t index) override;

private:
    bool m_lost = false;
};

}  // namespace tavrin::app
