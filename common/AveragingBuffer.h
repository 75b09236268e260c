// The running average of one measurement, as the link window and the production run keep it:
// up to 200 samples, the N most recent at the top of the array, averaged over as many of them
// as have arrived.
#pragma once

#include <array>
#include <optional>

namespace tavrin::common {

class AveragingBuffer {
public:
    static constexpr int kCapacity = 200;

    // The averaging length N, 1..200; a new length empties the buffer.
    void setLength(int n);
    int length() const { return m_length; }
    // Shifts positions 1..N-1 down by one and stores the sample at N-1; the count grows to N.
    void push(float sample);
    void clear() { m_count = 0; }
    int count() const { return m_count; }
    // Fewer than N samples: the value is still settling (the window shows it in yellow).
    bool filling() const { return m_count < m_length; }
    // The mean of the `count` most recent samples; none while the buffer is empty.
    std::optional<double> average() const;

private:
    std::array<float, kCapacity> m_samples{};
    int m_length = 1;
    int m_count = 0;
};

}  // namespace tavrin::common
