// The capture of one burst into the host's sample store, and the calibrated single and block
// sample reads the exports and the measurement commands work from.
#pragma once

#include <cstdint>

namespace tavrin {

class Link;

namespace capture {
inline constexpr uint32_t kPlaneArea = 0x10000;
inline constexpr uint32_t kCaptureWaitMs = 200;
inline constexpr uint16_t kRefreshDemodOffset = 0xFFFF;
inline constexpr uint16_t kClearDemodOffset = 0xFFFE;
inline constexpr uint16_t kHighestIndex = 25000;  // above it an index counts as 0
// The block read stages its plane bytes in buffers of this many bytes; longer counts are cut.
inline constexpr uint16_t kBlockLimit = 9216;
}  // namespace capture

// Triggers a capture (and the second one without attenuator when the power range asks for
// it), fills the store, computes the mean power, deviation correction and CRC flags. Returns
// the CRC status byte; 0 without capturing when no port was ever chosen.
uint32_t ForceADCSample(Link& link);
// Calibrated frequency deviation of store record `index` in 0.1 kHz (0xFFFF / 0xFFFE: the
// demodulator offset commands). An index past the store reads as an empty record.
int16_t ReadRxValue(Link& link, uint16_t index);
// Calibrated power of store record `index` in 0.1 dBm; 32767 out of range.
int16_t ReadPwrValue(Link& link, uint16_t index);
// Converts `count` (cut to kBlockLimit) frequency samples straight from the tester's planes
// into results[0..count); positions 0xFFFF / 0xFFFE refresh the block's demodulator offset
// and leave their result untouched. Returns 0.
int16_t ReadRxValueBlock(Link& link, uint16_t start, uint16_t count, int16_t* results);

}  // namespace tavrin
