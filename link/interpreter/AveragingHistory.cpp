// Averaging histories: the newest value sits at AverageBursts - 1, older ones below it.
#include "InterpreterState.h"

namespace tavrin {

void AveragingHistory::Push(float value, uint8_t averageBursts) {
    if (averageBursts == 0) return;
    const size_t n = averageBursts > values.size() ? values.size() : averageBursts;
    for (size_t i = 1; i < n; ++i) values[i - 1] = values[i];
    values[n - 1] = value;
    if (count < n) ++count;
}

bool AveragingHistory::Average(float& out, uint8_t averageBursts) const {
    if (count == 0 || averageBursts == 0) return false;
    const size_t n = averageBursts > values.size() ? values.size() : averageBursts;
    const size_t used = count > n ? n : count;
    float sum = 0.0f;
    for (size_t i = n - used; i < n; ++i) sum += values[i];
    out = sum / static_cast<float>(used);
    return true;
}

}  // namespace tavrin
