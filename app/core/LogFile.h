// One text log: created (emptied) when logging is switched on, re-opened for appending, and
// flushed at every write so a crash loses nothing already written.
#pragma once

#include <QFile>
#include <QString>
#include <string>

namespace tavrin::app {

class LogFile {
public:
    // Creates the file, emptying an existing one; false when it cannot be created.
    bool create(const QString& path);
    // Opens the remembered file again for appending; false when there is none or it fails.
    bool reopenForAppend();
    void write(const std::string& text);
    // Closes the file and keeps its name for a later re-opening.
    void close() { m_file.close(); }
    // Closes the file and forgets it.
    void forget();
    bool isOpen() const { return m_file.isOpen(); }
    bool held() const { return !m_path.isEmpty(); }
    const QString& path() const { return m_path; }

private:
    QFile m_file;
    QString m_path;
};

}  // namespace tavrin::app
