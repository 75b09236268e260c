// The "Log Settings" group of the System page at work: the measurement log with its row timer
// and interval, and the communication log of debug mode.
#pragma once

#include <QObject>
#include <functional>
#include <string>

#include "core/LogFile.h"
#include "core/LogFormats.h"
#include "core/Timing.h"

class QTimer;

namespace tavrin::app {

class SystemPage;
class UserDialogs;

class LogSettings : public QObject {
    Q_OBJECT
public:
    LogSettings(SystemPage& page, UserDialogs& dialogs, Timing timing);
    ~LogSettings() override;

    // Handlers.
    void LogMeasurementsCheckBoxClick();
    void LogIntervalEditExit();
    void LogMeasurementTimerTimer();
    void LogCommunicationCheckBoxClick();

    // The link window's side: at each opening the row timer starts and, with a file held,
    // the file is re-opened and gets its two header lines; at closing both stop.
    void linkWindowShown(bool fpMode);
    void linkWindowClosed();
    // The texts the link window shows, for a row.
    std::function<MeasurementColumns()> rowSource;

    // One echo line of the command wrappers, written while communication logging is on.
    void logCommunication(const std::string& echo);
    // Shutdown: both files closed.
    void closeFiles();

    QTimer* LogMeasurementTimer;
    LogFile& measurementLog() { return m_measurementLog; }
    LogFile& communicationLog() { return m_communicationLog; }

private:
    SystemPage& m_page;
    UserDialogs& m_dialogs;
    Timing m_timing;
    LogFile m_measurementLog;
    LogFile m_communicationLog;
};

}  // namespace tavrin::app
