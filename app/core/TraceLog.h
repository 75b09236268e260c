// Where the library's trace lines go: in debug mode into the console, otherwise into a log
// file in the user's state folder ($XDG_STATE_HOME/tavrin/tavrin.log, by default
// ~/.local/state/tavrin/tavrin.log).
#pragma once

#include <QFile>
#include <QString>
#include <functional>
#include <mutex>

#include "LibrarySession.h"

namespace tavrin::app {

// The log file's path for the given XDG_STATE_HOME and HOME values (either may be empty).
QString TraceLogPath(const QString& xdgStateHome, const QString& home);
// The same for this process's environment.
QString TraceLogPath();

class TraceLog : public TraceSink {
public:
    // A log file beyond this size is moved to "tavrin.log.1" when the program opens it.
    static constexpr qint64 kRotateSize = 8 * 1024 * 1024;

    // Lines go to `console` (one line, no line end) when it is set, else to the file at `path`.
    // The owner routes the library's lines here (RouteTrace, on the tester thread).
    TraceLog(QString path, std::function<void(const QString&)> console);
    ~TraceLog() override;

    // Called on the tester thread for the library's lines and on the user-interface thread
    // for the program's own; one line is written whole before the next.
    void traceLine(const char* text) override;
    const QString& path() const { return m_path; }

private:
    bool openFile();

    QString m_path;
    std::function<void(const QString&)> m_console;
    std::mutex m_mutex;
    QFile m_file;
    bool m_failed = false;
};

}  // namespace tavrin::app
