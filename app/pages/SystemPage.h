// The "S&ystem" page: what the program knows about itself and the connected tester, the
// "&Reset" button, the CAT-iq switch, the default window layout, the log settings and the
// carrier-mode, reference, dirty-transmit and drift-unit groups. Its activation asks the tester
// what it is and shows the answers.
#pragma once

#include <string>

#include "core/TabPage.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tavrin::app {

class TesterWorker;
class UpDown;

class SystemPage : public TabPage {
    Q_OBJECT
public:
    explicit SystemPage(TesterWorker& tester, QWidget* parent = nullptr);

    // The activation: the firmware, serial number, identity and hardware questions in one
    // request; the answers shown, then testerAnswered with the hardware answer.
    void pageWork() override;

    // The start-up's labels: no tester known yet, the program's own version and build date.
    void showProgram(const QString& version, const QString& buildDate);
    // The Reset button while a reset runs ("Wait") and after it ("&Reset").
    void showResetRunning(bool running);
    // The tester's answers to the page's questions; the groups that need a tester enabled.
    void showTester(const QString& firmware, const QString& serial, const QString& identity);
    // A model without country presets: its controls hidden.
    void hideCountryControls();
    // The choices a tester reset puts back.
    void clearAfterReset();

    // "Windows Position"
    QPushButton* Windows_posButton;
    // "Software Version"
    QLabel* FirmwareLabel;
    QCheckBox* OptionEnable;
    QLabel* PCDllLabel;
    QLabel* VersionLabel;
    QLabel* BuildDateLabel;
    // "Hardware"
    QLabel* HardWareIDLabel;
    QLabel* SerialNumberLabel;
    QPushButton* ResetButton;
    // "Log Settings"
    QCheckBox* LogMeasurementsCheckBox;
    QLineEdit* LogIntervalEdit;
    QCheckBox* LogCommunicationCheckBox;
    // "Carrier mode"
    QGroupBox* CarrierModeGroup;
    QRadioButton* Offset;
    QRadioButton* ExtendedFrequencies;
    QLabel* CountryLabel;
    QComboBox* Country;
    QLabel* NumberOfUsedCarriersLabel;
    QComboBox* NumberOfUsedCarriers;
    QLabel* CarrierOffsetLabel;
    QLineEdit* TCarrierOffset;
    UpDown* CarrierOffsetUpDown;
    QLabel* HighestCarrierLabel;
    QLineEdit* ExtendedRef;
    UpDown* ExtendedRefUpDown;
    // "Reference"
    QGroupBox* ReferenceGroup;
    QCheckBox* ExtRefSelect;
    // "Dirty transmit"
    QGroupBox* DirtyTX;
    QRadioButton* Normal;
    QRadioButton* Plus50kHz;
    QRadioButton* Minus50kHz;
    // "Frq. drift Unit:"
    QGroupBox* DriftUnitGroup;
    QRadioButton* DriftKhzMs;
    QRadioButton* DriftKhzSlot;
    // Hidden state flag of the carrier mode: "0" right after a user's reset, "1" once applied.
    QLabel* TimeAfterReset;

Q_SIGNALS:
    // The tester's answer to "SYST:HW:VERS?", for the model identification.
    void testerAnswered(const std::string& hardware);

private:
    TesterWorker& m_tester;
};

}  // namespace tavrin::app
