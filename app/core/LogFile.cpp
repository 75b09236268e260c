// A text log file.
#include "LogFile.h"

namespace tavrin::app {

bool LogFile::create(const QString& path) {
    forget();
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) return false;
    m_path = path;
    return true;
}

bool LogFile::reopenForAppend() {
    if (m_path.isEmpty()) return false;
    if (m_file.isOpen()) return true;
    m_file.setFileName(m_path);
    return m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text);
}

void LogFile::write(const std::string& text) {
    if (!m_file.isOpen()) return;
    // Write errors are not reported; the next line tries again.
    m_file.write(text.data(), static_cast<qint64>(text.size()));
    m_file.flush();
}

void LogFile::forget() {
    m_file.close();
    m_path.clear();
}

}  // namespace tavrin::app
