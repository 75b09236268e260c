// The measurement and communication logs.
#include "LogSettings.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QTimer>

#include "SystemPage.h"
#include "core/EntryField.h"
#include "core/UserDialogs.h"

namespace tavrin::app {
namespace {

// The save dialogs add the default extension to a name without one.
QString WithLogExtension(const QString& path) {
    return QFileInfo(path).suffix().isEmpty() ? path + ".log" : path;
}

}  // namespace

LogSettings::LogSettings(SystemPage& page, UserDialogs& dialogs, Timing timing)
    : m_page(page), m_dialogs(dialogs), m_timing(timing) {
    LogMeasurementTimer = new QTimer(this);
    LogMeasurementTimer->setInterval(m_timing.ms(kDefaultLogInterval * 1000));
    connect(LogMeasurementTimer, &QTimer::timeout, this, &LogSettings::LogMeasurementTimerTimer);
    connect(m_page.LogMeasurementsCheckBox, &QCheckBox::clicked, this,
            &LogSettings::LogMeasurementsCheckBoxClick);
    connect(m_page.LogCommunicationCheckBox, &QCheckBox::clicked, this,
            &LogSettings::LogCommunicationCheckBoxClick);
    EntryCommit::install(m_page.LogIntervalEdit, [this] { LogIntervalEditExit(); });
}

LogSettings::~LogSettings() = default;

void LogSettings::LogIntervalEditExit() {
    std::optional<int> seconds = LogIntervalSeconds(m_page.LogIntervalEdit->text().toStdString());
    if (!seconds) {
        m_dialogs.message(&m_page, MessageKind::Error, "Tavrin", kLogIntervalMessage,
                          {MessageButton::Ok});
        m_page.LogIntervalEdit->setText(QString::number(kDefaultLogInterval));
        seconds = kDefaultLogInterval;
    }
    LogMeasurementTimer->setInterval(m_timing.ms(*seconds * 1000));
}

void LogSettings::LogMeasurementsCheckBoxClick() {
    QCheckBox* box = m_page.LogMeasurementsCheckBox;
    if (!box->isChecked()) {
        if (m_measurementLog.held()) {
            m_measurementLog.forget();
            m_page.LogIntervalEdit->setEnabled(true);
        }
        return;
    }
    LogIntervalEditExit();
    const QString path = m_dialogs.saveFileName(&m_page, "Save Measurements log as",
                                                "Measurements.log", "Logfile (*.log)");
    if (path.isEmpty()) {
        box->setChecked(false);
        return;
    }
    if (!m_measurementLog.create(WithLogExtension(path))) {
        m_dialogs.message(&m_page, MessageKind::Error, "Tavrin",
                          "Could not open logmeasurementsfile", {MessageButton::Ok});
        box->setChecked(false);
        return;
    }
    m_page.LogIntervalEdit->setEnabled(false);
}

void LogSettings::LogMeasurementTimerTimer() {
    if (!m_measurementLog.isOpen() || !rowSource) return;
    m_measurementLog.write(MeasurementRow(LogTimeOfDay(), rowSource()));
}

void LogSettings::LogCommunicationCheckBoxClick() {
    QCheckBox* box = m_page.LogCommunicationCheckBox;
    if (!box->isChecked()) {
        m_communicationLog.forget();
        return;
    }
    const QString path = m_dialogs.saveFileName(&m_page, "Save Communication log as",
                                                "Communication.log", "Logfiles (*.log)");
    if (path.isEmpty()) {
        box->setChecked(false);
        return;
    }
    if (!m_communicationLog.create(WithLogExtension(path))) {
        m_dialogs.message(&m_page, MessageKind::Error, "Tavrin",
                          "Could not open logcommunicationfile", {MessageButton::Ok});
        box->setChecked(false);
    }
}

void LogSettings::linkWindowShown(bool fpMode) {
    if (!m_page.LogMeasurementsCheckBox->isChecked()) return;
    LogMeasurementTimer->start();
    if (!m_measurementLog.held() || !m_measurementLog.reopenForAppend()) return;
    const std::string time = LogTimeOfDay();
    m_measurementLog.write(ModeHeader(time, fpMode));
    m_measurementLog.write(ColumnHeader(time));
}

void LogSettings::linkWindowClosed() {
    if (!m_page.LogMeasurementsCheckBox->isChecked()) return;
    LogMeasurementTimer->stop();
    m_measurementLog.close();
}

void LogSettings::logCommunication(const std::string& echo) {
    if (!m_page.LogCommunicationCheckBox->isChecked()) return;
    m_communicationLog.write(CommunicationLine(LogTimeOfDay(), echo));
}

void LogSettings::closeFiles() {
    LogMeasurementTimer->stop();
    m_measurementLog.close();
    m_communicationLog.close();
}

}  // namespace tavrin::app
