// The console's memory of the last twenty distinct command lines, recalled with Up and Down.
#pragma once

#include <array>
#include <string>

namespace tavrin::app {

class ConsoleHistory {
public:
    static constexpr int kSize = 20;

    // After a line was sent: the recall position goes back to the newest entry; a failed
    // line or one already held is not stored.
    void remember(const std::string& line, bool failed);
    // Up: one entry older when there is one; the text to show.
    const std::string& up();
    // Down: one entry newer; the text to show.
    const std::string& down();

    int position() const { return m_position; }
    const std::string& entry(int i) const { return m_entries.at(i); }

private:
    std::array<std::string, kSize> m_entries;
    int m_position = 0;
};

}  // namespace tavrin::app
