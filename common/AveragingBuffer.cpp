// The running average of one measurement.
#include "AveragingBuffer.h"

#include <algorithm>

namespace tavrin::common {

void AveragingBuffer::setLength(int n) {
    m_length = std::clamp(n, 1, kCapacity);
    m_count = 0;
}

void AveragingBuffer::push(float sample) {
    std::copy(m_samples.begin() + 1, m_samples.begin() + m_length, m_samples.begin());
    m_samples[m_length - 1] = sample;
    m_count = std::min(m_count + 1, m_length);
}

std::optional<double> AveragingBuffer::average() const {
    if (m_count == 0) return std::nullopt;
    double sum = 0;
    for (int i = m_length - m_count; i < m_length; ++i) sum += m_samples[i];
    return sum / m_count;
}

}  // namespace tavrin::common
