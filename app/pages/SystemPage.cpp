// Layout of the System page and its activation's questions to the tester.
#include "SystemPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/CommandWrappers.h"
#include "core/EntryField.h"
#include "core/TesterWorker.h"
#include "core/UpDown.h"

namespace tavrin::app {
namespace {

QGridLayout* GroupGrid(QGroupBox* group) {
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(6, 2, 6, 4);
    grid->setVerticalSpacing(1);
    grid->setHorizontalSpacing(4);
    return grid;
}

QHBoxLayout* FieldWithStepper(QLineEdit* edit, UpDown* upDown) {
    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    row->addWidget(edit);
    row->addWidget(upDown);
    row->addStretch();
    return row;
}

}  // namespace

SystemPage::SystemPage(TesterWorker& tester, QWidget* parent)
    : TabPage("SystemTabSheet", false, parent), m_tester(tester) {
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(3, 2, 3, 2);
    page->setSpacing(2);
    auto* columns = new QHBoxLayout;
    columns->setSpacing(3);
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    auto* bottom = new QHBoxLayout;
    left->setSpacing(2);
    right->setSpacing(2);
    bottom->setSpacing(3);
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    page->addLayout(columns);
    page->addLayout(bottom);

    auto* software = new QGroupBox("Software Version", this);
    QGridLayout* sw = GroupGrid(software);
    FirmwareLabel = new QLabel("[empty]", software);
    OptionEnable = new QCheckBox("Enable CAT-iq option", software);
    OptionEnable->setChecked(true);
    PCDllLabel = new QLabel("[empty]", software);
    VersionLabel = new QLabel("[empty]", software);
    BuildDateLabel = new QLabel("[empty]", software);
    sw->addWidget(new QLabel("Firmware Version :", software), 0, 0);
    sw->addWidget(FirmwareLabel, 0, 1);
    sw->addWidget(OptionEnable, 1, 0, 1, 2);
    sw->addWidget(new QLabel("PC DLL Version :", software), 2, 0);
    sw->addWidget(PCDllLabel, 2, 1);
    sw->addWidget(VersionLabel, 3, 0, 1, 2);
    sw->addWidget(BuildDateLabel, 4, 0, 1, 2);
    sw->setColumnStretch(1, 1);
    left->addWidget(software);

    auto* hardware = new QGroupBox("Hardware", this);
    QGridLayout* hw = GroupGrid(hardware);
    HardWareIDLabel = new QLabel("[empty]", hardware);
    SerialNumberLabel = new QLabel("[empty]", hardware);
    ResetButton = new QPushButton("&Reset", hardware);
    hw->addWidget(HardWareIDLabel, 0, 0, 1, 2);
    hw->addWidget(new QLabel("SN.:", hardware), 1, 0);
    hw->addWidget(SerialNumberLabel, 1, 1);
    hw->addWidget(ResetButton, 2, 0, 1, 2);
    hw->setColumnStretch(1, 1);
    left->addWidget(hardware);

    auto* windows = new QGroupBox("Windows Position", this);
    QGridLayout* win = GroupGrid(windows);
    Windows_posButton = new QPushButton("&Default", windows);
    win->addWidget(Windows_posButton, 0, 0);
    windows->setFixedWidth(86);
    bottom->addWidget(windows);

    auto* log = new QGroupBox("Log Settings", this);
    QGridLayout* lg = GroupGrid(log);
    LogMeasurementsCheckBox = new QCheckBox("Log Measurements", log);
    LogIntervalEdit = new QLineEdit(log);
    LogIntervalEdit->setMaxLength(4);
    LogIntervalEdit->setFixedWidth(28);
    LogCommunicationCheckBox = new QCheckBox("Log Communication", log);
    LogCommunicationCheckBox->setVisible(false);
    lg->addWidget(LogMeasurementsCheckBox, 0, 0);
    lg->addWidget(LogCommunicationCheckBox, 1, 0);
    lg->addWidget(new QLabel("Logging Interval [Sec]", log), 0, 1);
    lg->addWidget(LogIntervalEdit, 0, 2);
    bottom->addWidget(log, 1);
    left->addStretch();

    CarrierModeGroup = new QGroupBox("Carrier mode", this);
    QGridLayout* cm = GroupGrid(CarrierModeGroup);
    Offset = new QRadioButton("Offset", CarrierModeGroup);
    Offset->setChecked(true);
    ExtendedFrequencies = new QRadioButton("Extended Frequencies", CarrierModeGroup);
    CountryLabel = new QLabel("Country", CarrierModeGroup);
    Country = new QComboBox(CarrierModeGroup);
    Country->setEditable(true);
    Country->addItems({"EU", "US", "Asia", "LatAm", "Brazil", "JP", ""});
    Country->setCurrentIndex(0);
    NumberOfUsedCarriersLabel = new QLabel("No. of Carriers", CarrierModeGroup);
    NumberOfUsedCarriers = new QComboBox(CarrierModeGroup);
    NumberOfUsedCarriers->setEditable(true);
    for (int n = 10; n >= 1; --n) NumberOfUsedCarriers->addItem(QString::number(n));
    CarrierOffsetLabel = new QLabel("Carrier Offset", CarrierModeGroup);
    TCarrierOffset = new QLineEdit("0", CarrierModeGroup);
    LimitTypedLength(TCarrierOffset, 10);
    TCarrierOffset->setFixedWidth(40);
    CarrierOffsetUpDown = new UpDown(CarrierModeGroup);
    CarrierOffsetUpDown->setRange(-22, 3);
    CarrierOffsetUpDown->setPosition(1);
    CarrierOffsetUpDown->setWrap(true);
    HighestCarrierLabel = new QLabel("Highest Carrier", CarrierModeGroup);
    HighestCarrierLabel->setEnabled(false);
    ExtendedRef = new QLineEdit("0", CarrierModeGroup);
    LimitTypedLength(ExtendedRef, 10);
    ExtendedRef->setFixedWidth(40);
    ExtendedRefUpDown = new UpDown(CarrierModeGroup);
    ExtendedRefUpDown->setRange(9, 27);
    ExtendedRefUpDown->setPosition(9);
    ExtendedRefUpDown->setWrap(true);
    cm->addWidget(Offset, 0, 0);
    cm->addWidget(ExtendedFrequencies, 1, 0, 1, 2);
    cm->addWidget(CountryLabel, 2, 0);
    cm->addWidget(Country, 2, 1);
    cm->addWidget(NumberOfUsedCarriersLabel, 3, 0);
    cm->addWidget(NumberOfUsedCarriers, 3, 1);
    cm->addWidget(CarrierOffsetLabel, 4, 0);
    cm->addLayout(FieldWithStepper(TCarrierOffset, CarrierOffsetUpDown), 4, 1);
    cm->addWidget(HighestCarrierLabel, 5, 0);
    cm->addLayout(FieldWithStepper(ExtendedRef, ExtendedRefUpDown), 5, 1);
    right->addWidget(CarrierModeGroup);

    ReferenceGroup = new QGroupBox("Reference", this);
    QGridLayout* ref = GroupGrid(ReferenceGroup);
    ExtRefSelect = new QCheckBox("Ext. Reference", ReferenceGroup);
    ref->addWidget(ExtRefSelect, 0, 0);
    left->insertWidget(2, ReferenceGroup);

    DirtyTX = new QGroupBox("Dirty transmit", this);
    QGridLayout* dirty = GroupGrid(DirtyTX);
    Normal = new QRadioButton("Normal", DirtyTX);
    Normal->setChecked(true);
    Plus50kHz = new QRadioButton("+50 kHz Offset", DirtyTX);
    Minus50kHz = new QRadioButton("-50 kHz Offset", DirtyTX);
    dirty->addWidget(Normal, 0, 0);
    dirty->addWidget(Plus50kHz, 1, 0);
    dirty->addWidget(Minus50kHz, 2, 0);
    dirty->setVerticalSpacing(0);
    right->addWidget(DirtyTX);

    DriftUnitGroup = new QGroupBox("Frq. drift Unit:", this);
    QGridLayout* drift = GroupGrid(DriftUnitGroup);
    DriftKhzMs = new QRadioButton("KHz/mS", DriftUnitGroup);
    DriftKhzMs->setChecked(true);
    DriftKhzSlot = new QRadioButton("KHz/Slot", DriftUnitGroup);
    drift->addWidget(DriftKhzMs, 0, 0);
    drift->addWidget(DriftKhzSlot, 0, 1);
    left->insertWidget(3, DriftUnitGroup);
    right->addStretch();

    TimeAfterReset = new QLabel(this);
    TimeAfterReset->setVisible(false);
    // The setup file finds its fields by name.
    LogIntervalEdit->setObjectName("LogIntervalEdit");
}

namespace {

// The page's questions, asked in one request.
struct SystemAnswers {
    std::string firmware, serial, identity, hardware;
};

}  // namespace

void SystemPage::pageWork() {
    m_tester.ask(
        [](CommandWrappers& w) {
            SystemAnswers a;
            a.firmware = w.query("SYST:FIRM:VERS?");
            a.serial = w.query("SYST:SER:NUM?");
            a.identity = w.query("*IDN?");
            w.sendCommand("PROC:SEL:TEST NONE");
            w.sendCommand("CONF:SAMPLE:MODE CTRL");
            a.hardware = w.query("SYST:HW:VERS?");
            return a;
        },
        this,
        [this](const SystemAnswers& a) {
            showTester(QString::fromStdString(a.firmware), QString::fromStdString(a.serial),
                       QString::fromStdString(a.identity));
            Q_EMIT testerAnswered(a.hardware);
        });
}

void SystemPage::showProgram(const QString& version, const QString& buildDate) {
    FirmwareLabel->clear();
    PCDllLabel->clear();
    HardWareIDLabel->clear();
    VersionLabel->setText("MMI Version : " + version);
    BuildDateLabel->setText("Build Date : " + buildDate);
}

void SystemPage::showResetRunning(bool running) {
    ResetButton->setText(running ? "Wait" : "&Reset");
}

void SystemPage::showTester(const QString& firmware, const QString& serial,
                            const QString& identity) {
    FirmwareLabel->setText(firmware + " ");
    ReferenceGroup->setEnabled(true);
    DirtyTX->setEnabled(true);
    ReferenceGroup->setPalette(QPalette());
    DirtyTX->setPalette(QPalette());
    ExtendedFrequencies->setEnabled(true);
    SerialNumberLabel->setText(serial);
    PCDllLabel->setText(identity);
}

void SystemPage::hideCountryControls() {
    Country->setEnabled(false);
    for (QWidget* w : std::initializer_list<QWidget*>{
             Country, CountryLabel, NumberOfUsedCarriers, NumberOfUsedCarriersLabel,
             HighestCarrierLabel, ExtendedRef, ExtendedRefUpDown})
        w->setVisible(false);
}

void SystemPage::clearAfterReset() {
    ExtRefSelect->setChecked(false);
    Normal->setChecked(true);
    ExtendedRef->setEnabled(false);
    ExtendedRefUpDown->setEnabled(false);
}

}  // namespace tavrin::app
