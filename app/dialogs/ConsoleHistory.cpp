// Console history.
#include "ConsoleHistory.h"

#include <algorithm>

namespace tavrin::app {

void ConsoleHistory::remember(const std::string& line, bool failed) {
    m_position = 0;
    if (failed) return;
    if (std::find(m_entries.begin(), m_entries.end(), line) != m_entries.end()) return;
    std::move_backward(m_entries.begin(), m_entries.end() - 1, m_entries.end());
    m_entries[0] = line;
}

const std::string& ConsoleHistory::up() {
    if (m_position < kSize - 1 && !m_entries[m_position + 1].empty()) ++m_position;
    return m_entries[m_position];
}

const std::string& ConsoleHistory::down() {
    if (m_position > 0) --m_position;
    return m_entries[m_position];
}

}  // namespace tavrin::app
