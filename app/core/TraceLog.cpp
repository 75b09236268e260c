// Trace log routing.
#include "TraceLog.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>

namespace tavrin::app {

QString TraceLogPath(const QString& xdgStateHome, const QString& home) {
    // A relative XDG_STATE_HOME is invalid by the XDG rules and is ignored.
    const QString base = (!xdgStateHome.isEmpty() && QDir::isAbsolutePath(xdgStateHome))
                             ? xdgStateHome
                             : (home.isEmpty() ? QDir::homePath() : home) + "/.local/state";
    return base + "/tavrin/tavrin.log";
}

QString TraceLogPath() {
    return TraceLogPath(qEnvironmentVariable("XDG_STATE_HOME"), qEnvironmentVariable("HOME"));
}

TraceLog::TraceLog(QString path, std::function<void(const QString&)> console)
    : m_path(std::move(path)), m_console(std::move(console)) {}

TraceLog::~TraceLog() = default;

bool TraceLog::openFile() {
    if (m_file.isOpen()) return true;
    if (m_failed) return false;
    const QFileInfo info(m_path);
    QDir().mkpath(info.absolutePath());
    if (info.exists() && info.size() > kRotateSize) {
        QFile::remove(m_path + ".1");
        QFile::rename(m_path, m_path + ".1");
    }
    m_file.setFileName(m_path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        // Said once; the program goes on without its trace rather than failing the user.
        std::fprintf(stderr, "tavrin: cannot write the trace log %s: %s\n", qPrintable(m_path),
                     qPrintable(m_file.errorString()));
        m_failed = true;
        return false;
    }
    return true;
}

void TraceLog::traceLine(const char* text) {
    QString line = QString::fromLocal8Bit(text);
    while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_console) {
        m_console(line);
        return;
    }
    if (!openFile()) return;
    m_file.write(line.toLocal8Bit());
    m_file.write("\n");
    m_file.flush();
}

}  // namespace tavrin::app
