// The FP test page: layout, activation, field commits and the Status / Connect / Release button.
#include "FPTestPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include "EntryRules.h"
#include "LevelField.h"
#include "OptionTables.h"
#include "PPTestPage.h"
#include "PageLayout.h"
#include "RadioOptions.h"
#include "SlotRules.h"
#include "core/EntryField.h"
#include "core/StateButton.h"
#include "core/TWenloForm.h"
#include "core/UpDown.h"
#include "setup/SetupPages.h"

namespace tavrin::app {
namespace {

constexpr const char* kDefaultRfpi = "0000000000";

}  // namespace

FPTestPage::FPTestPage(TWenloForm& frame, QWidget* parent)
    : TabPage("FP_TestTabSheet", false, parent), m_frame(frame) {
    auto* columns = new QHBoxLayout(this);
    columns->setContentsMargins(4, 4, 4, 2);
    columns->setSpacing(4);
    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(2);
    grid->setHorizontalSpacing(4);
    auto* right = new QVBoxLayout;
    right->setSpacing(2);
    columns->addLayout(grid, 1);
    columns->addLayout(right, 0);

    AntennaEdit = MakeEdit(this, "0", 1, 20);
    AntennaUpDown = MakeStepper(this, {0, 7, 1, false, 0});
    AntennaLabel = AddFieldRow(grid, 0, "Antenna [0..7]", AntennaEdit, AntennaUpDown);
    RFPI_FPEdit = MakeEdit(this, kDefaultRfpi, 10, 70);
    AddFieldRow(grid, 1, "RFPI", RFPI_FPEdit);
    DummyCarrierFPEdit = MakeEdit(this, "0", 10, 30);
    DummyCarrierFPUpDown = MakeStepper(this, {0, 9, 1, true, 1});
    DummyCarrierFPLabel =
        AddFieldRow(grid, 2, "Dummy Carrier [0..78 255]", DummyCarrierFPEdit, DummyCarrierFPUpDown);
    // Nothing on this page enables the dummy carrier: the fixed part under test chooses it.
    DummyCarrierFPEdit->setEnabled(false);
    DummyCarrierFPUpDown->setEnabled(false);
    DummyCarrierFPLabel->setEnabled(false);
    TrafficSlotFPEdit = MakeEdit(this, "0", 1, 20);
    TrafficSlotFPUpDown = MakeStepper(this, {0, 8, 2, true, 4});
    TrafficSlotFPLabel =
        AddFieldRow(grid, 3, "Traffic Slot [0,2,4,6,8]", TrafficSlotFPEdit, TrafficSlotFPUpDown);
    TrafficCarrierFPEdit = MakeEdit(this, "5", 10, 30);
    TrafficCarrierFPUpDown = MakeStepper(this, {0, 82, 1, true, 1});
    TrafficCarrierFPLabel = AddFieldRow(grid, 4, "Traffic Carrier [0..9]", TrafficCarrierFPEdit,
                                        TrafficCarrierFPUpDown);
    RFLevelFPEdit = MakeEdit(this, "", 6, 44);
    AddFieldRow(grid, 5, "RF Level [dBm]", RFLevelFPEdit);
    RFLevelFPTrackBar = MakeLevelTrackBar(this);
    grid->addWidget(RFLevelFPTrackBar, 6, 0, 1, 2);
    const SignalOptionRows options = AddSignalOptionRows(this, grid, 7);
    SlotLengthFPCombo = options.slotType;
    PTemplateSelectFP = options.powerTemplate;
    ProPreampleFP = options.preamble;
    ProPreampleFP->setChecked(true);
    ProPreampleFP->setToolTip("Prolonged preample on output signal");
    HighDynamicFPSelect = options.highDynamic;
    grid->setRowStretch(10, 1);

    const LinkColumn link = AddLinkColumn(this, right, true, patternButtons, "&Status", 0);
    GroupBox6 = link.patterns;
    for (size_t i = 0; i < patternButtons.size(); ++i)
        connect(patternButtons[i], &QRadioButton::clicked, this,
                [this, i] { DataPatternClick(int(i)); });
    PSRB_FPRadioButton = patternButtons[0];
    SPSR_FPRadioButton = patternButtons[1];
    BS55_FPRadioButton = patternButtons[2];
    BS33_FPRadioButton = patternButtons[3];
    BS0F_FPRadioButton = patternButtons[4];
    FIG31_FPRadioButton = patternButtons[5];
    BS20_FPRadioButton = patternButtons[6];
    BERFPEdit = link.berEdit;
    ResetCountFPButton = link.resetCount;
    FPMode = link.mode;
    FPEchoRadioButton = link.echo;
    FPLOOPRadioButton = link.loop;
    StatusFPButton = link.linkButton;

    AntennaLabel->setObjectName("AntennaLabel");
    AntennaEdit->setObjectName("AntennaEdit");
    AntennaUpDown->setObjectName("AntennaUpDown");
    RFPI_FPEdit->setObjectName("RFPI_FPEdit");
    DummyCarrierFPLabel->setObjectName("DummyCarrierFPLabel");
    DummyCarrierFPEdit->setObjectName("DummyCarrierFPEdit");
    DummyCarrierFPUpDown->setObjectName("DummyCarrierFPUpDown");
    TrafficSlotFPLabel->setObjectName("TrafficSlotFPLabel");
    TrafficSlotFPEdit->setObjectName("TrafficSlotFPEdit");
    TrafficSlotFPUpDown->setObjectName("TrafficSlotFPUpDown");
    TrafficCarrierFPLabel->setObjectName("TrafficCarrierFPLabel");
    TrafficCarrierFPEdit->setObjectName("TrafficCarrierFPEdit");
    TrafficCarrierFPUpDown->setObjectName("TrafficCarrierFPUpDown");
    RFLevelFPEdit->setObjectName("RFLevelFPEdit");
    RFLevelFPTrackBar->setObjectName("RFLevelFPTrackBar");
    GroupBox6->setObjectName("GroupBox6");
    BERFPEdit->setObjectName("BERFPEdit");
    ResetCountFPButton->setObjectName("ResetCountFPButton");
    SlotLengthFPCombo->setObjectName("SlotLengthFPCombo");
    PTemplateSelectFP->setObjectName("PTemplateSelectFP");
    ProPreampleFP->setObjectName("ProPreampleFP");
    HighDynamicFPSelect->setObjectName("HighDynamicFPSelect");
    FPMode->setObjectName("FPMode");
    FPEchoRadioButton->setObjectName("FPEchoRadioButton");
    FPLOOPRadioButton->setObjectName("FPLOOPRadioButton");
    StatusFPButton->setObjectName("StatusFPButton");

    m_level = std::make_unique<LevelField>(frame, this, RFLevelFPEdit, RFLevelFPTrackBar,
                                           "CONF:FP:RF:LEV", LevelMessage::LossAsEntered);

    EntryCommit::install(AntennaEdit, [this] { AntennaEditExit(); });
    EntryCommit::install(RFPI_FPEdit, [this] { RFPI_FPEditExit(); });
    EntryCommit::install(DummyCarrierFPEdit, [this] { DummyCarrierFPEditExit(); });
    EntryCommit::install(TrafficSlotFPEdit, [this] { TrafficSlotFPEditExit(); });
    EntryCommit::install(TrafficCarrierFPEdit, [this] { TrafficCarrierFPEditExit(); });
    EntryCommit::install(RFLevelFPEdit, [this] { RFLevelFPEditExit(); });
    EntryCommit::install(BERFPEdit, [this] { BERFPEditExit(); });
    connect(AntennaUpDown, &UpDown::clicked, this, &FPTestPage::AntennaUpDownClick);
    connect(DummyCarrierFPUpDown, &UpDown::clicked, this, &FPTestPage::DummyCarrierFPUpDownClick);
    connect(TrafficSlotFPUpDown, &UpDown::clicked, this, &FPTestPage::TrafficSlotFPUpDownClick);
    connect(TrafficCarrierFPUpDown, &UpDown::clicked, this,
            &FPTestPage::TrafficCarrierFPUpDownClick);
    connect(RFLevelFPTrackBar, &QSlider::valueChanged, this, &FPTestPage::RFLevelFPTrackBarChange);
    connect(ResetCountFPButton, &QPushButton::clicked, this, &FPTestPage::ResetCountFPButtonClick);
    connect(StatusFPButton, &QPushButton::clicked, this, &FPTestPage::StatusFPButtonClick);
    connect(FPEchoRadioButton, &QRadioButton::clicked, this, &FPTestPage::FPEchoRadioButtonClick);
    connect(FPLOOPRadioButton, &QRadioButton::clicked, this, &FPTestPage::FPLOOPRadioButtonClick);
    connect(SlotLengthFPCombo, &QComboBox::activated, this, &FPTestPage::SlotLengthFPComboChange);
    connect(PTemplateSelectFP, &QComboBox::activated, this, &FPTestPage::PTemplateSelectFPChange);
    connect(ProPreampleFP, &QCheckBox::clicked, this, &FPTestPage::ProPreampleFPClick);
    connect(HighDynamicFPSelect, &QCheckBox::clicked, this, &FPTestPage::HighDynamicFPSelectClick);
}

FPTestPage::~FPTestPage() = default;

void FPTestPage::prepareShow() {
    m_frame.markActivePage(this);
    m_frame.setSlotMaximum(10);
    m_frame.setSampleWindowLength(SampleWindowForSlotType(SlotLengthFPCombo->currentIndex()));
    const RadioOptions& radio = m_frame.radioOptions();
    const QString range = radio.carrierRangeText();
    DummyCarrierFPLabel->setText("Dummy Carrier " + range);
    TrafficCarrierFPLabel->setText("Traffic Carrier " + range);
    TrafficCarrierFPUpDown->setMaximum(radio.usedCarriers() - 1);
    DummyCarrierFPUpDown->setMaximum(radio.usedCarriers() - 1);
}

void FPTestPage::FP_TestTabSheetShow() {
    RadioOptions& radio = m_frame.radioOptions();
    m_frame.send("PROC:SEL:TEST MAN");
    m_frame.send("CONF:TEST:TYPE DFP");
    AntennaEditExit();
    RFPI_FPEditExit();
    TrafficSlotFPEditExit();
    TrafficCarrierFPEditExit();
    radio.TCarrierOffsetExit();
    m_frame.SetupFPTabSheet->CommitRampFields();
    const bool loop = FPLOOPRadioButton->isChecked();
    m_frame.send(loop ? "CONF:FP:SIGN:MODE LOOP" : "CONF:FP:SIGN:MODE ECHO");
    GroupBox6->setEnabled(loop);
    GroupBox6->setVisible(loop);
    if (loop) {
        for (size_t i = 0; i < patternButtons.size(); ++i)
            if (patternButtons[i]->isChecked()) DataPatternClick(int(i));
    }
    HighDynamicFPSelect->setChecked(false);
    m_frame.send("CONF:POW:DYN:RANG LOW");
    radio.AverageFactorEditExit();
    m_level->checkAgainstLoss(radio.couplingLoss());
    RFLevelFPEditExit();
    radio.RxAttCheckBoxClick();
}

void FPTestPage::FP_TestTabSheetHide() {
    m_frame.linkWindow().closeMeasurementWindows();
}

void FPTestPage::AntennaUpDownClick() {
    AntennaEdit->setText(QString::number(AntennaUpDown->position()));
    AntennaEditExit();
}

void FPTestPage::AntennaEditExit() {
    const FieldCheck c = CheckAntenna(AntennaEdit->text());
    m_frame.applyCheck(AntennaEdit, c);
    AntennaUpDown->setPosition(c.value);
    m_frame.send("CONF:FP:ANT " + c.text);
}

void FPTestPage::RFPI_FPEditExit() {
    const FieldCheck c = CheckRFPI(RFPI_FPEdit->text(), kDefaultRfpi);
    m_frame.applyCheck(RFPI_FPEdit, c);
    m_frame.send(RfpiCommand("CONF:FP:RFPI", c.text));
}

void FPTestPage::DummyCarrierFPUpDownClick() {
    DummyCarrierFPEdit->setText(QString::number(DummyCarrierFPUpDown->position()));
    DummyCarrierFPEditExit();
}

void FPTestPage::DummyCarrierFPEditExit() {
    const FieldCheck c = CheckOffsetCarrier(DummyCarrierFPEdit->text());
    DummyCarrierFPEdit->setText(c.text);
    DummyCarrierFPUpDown->setPosition(c.value);
    m_frame.send("CONF:FP:DUMM:CARR " + c.text);
}

void FPTestPage::TrafficSlotFPUpDownClick() {
    TrafficSlotFPEdit->setText(QString::number(TrafficSlotFPUpDown->position()));
    TrafficSlotFPEditExit();
}

void FPTestPage::TrafficSlotFPEditExit() {
    const FieldCheck c = CheckFPTrafficSlot(TrafficSlotFPEdit->text(), m_frame.slotMaximum());
    m_frame.applyCheck(TrafficSlotFPEdit, c);
    TrafficSlotFPUpDown->setPosition(c.value);
    m_frame.send("CONF:FP:TRAF:SLOT " + c.text);
}

void FPTestPage::TrafficCarrierFPUpDownClick() {
    m_frame.radioOptions().stepCarrier(TrafficCarrierFPEdit, TrafficCarrierFPUpDown,
                                       "CONF:FP:TRAF:CARR");
}

void FPTestPage::TrafficCarrierFPEditExit() {
    m_frame.radioOptions().commitCarrier(TrafficCarrierFPEdit, TrafficCarrierFPUpDown,
                                         "CONF:FP:TRAF:CARR");
}

void FPTestPage::RFLevelFPEditExit() {
    m_level->EditExit();
}

void FPTestPage::RFLevelFPTrackBarChange() {
    m_level->TrackBarChange();
}

void FPTestPage::DataPatternClick(int pattern) {
    m_frame.send(DataPatterns()[pattern].command);
}

void FPTestPage::BERFPEditExit() {
    const FieldCheck c = CheckBERCount(BERFPEdit->text(), berCount);
    m_frame.applyCheck(BERFPEdit, c);
    if (!c.kept) berCount = c.value;
}

std::vector<std::string> FPTestPage::resetCountCommands() const {
    const std::string text = CheckResetCount(BERFPEdit->text()).text.toStdString();
    return {
        "CONF:BER:EVAL:WIND " + text,
        "PROC:STRT:BER",
    };
}

void FPTestPage::resetCountSent() {
    m_frame.applyCheck(BERFPEdit, CheckResetCount(BERFPEdit->text()));
}

void FPTestPage::ResetCountFPButtonClick() {
    const std::vector<std::string> lines = resetCountCommands();
    resetCountSent();
    for (const std::string& line : lines) m_frame.send(QString::fromStdString(line));
}

void FPTestPage::StatusFPButtonClick() {
    switch (StatusFPButton->tag) {
        case 0:
            StatusFPButton->tag = 1;
            StatusFPButton->setText("&Connect");
            // The link window's status poll enables Connect once the fixed part is locked.
            StatusFPButton->setEnabled(false);
            ResetCountFPButton->tag = 1;
            FPMode->setEnabled(true);
            m_frame.linkWindow().openFPStatus();
            break;
        case 1:
            FPMode->setEnabled(false);
            StatusFPButton->tag = 2;
            StatusFPButton->setText("&Release");
            m_frame.send("PROC:CONN:SET");
            m_frame.linkWindow().openFPConnect();
            break;
        default:
            StatusFPButton->tag = 0;
            StatusFPButton->setText("&Status");
            FPMode->setEnabled(true);
            m_frame.linkWindow().closeChartWindows();
            // The link window's close handling releases the link; nothing is sent from here.
            m_frame.linkWindow().closeLinkWindow();
            break;
    }
}

void FPTestPage::FPEchoRadioButtonClick() {
    m_frame.activatePage(this);
}

void FPTestPage::FPLOOPRadioButtonClick() {
    m_frame.activatePage(this);
}

void FPTestPage::SlotLengthFPComboChange() {
    PPTestPage* pp = m_frame.PP_TestTabSheet;
    m_frame.radioOptions().slotTypeChanged(SlotLengthFPCombo, pp->SlotLengthCombo,
                                           PTemplateSelectFP, pp->PTemplateSelectPP, "FP");
}

void FPTestPage::PTemplateSelectFPChange() {
    m_frame.radioOptions().powerTemplateChanged(
        PTemplateSelectFP, m_frame.PP_TestTabSheet->PTemplateSelectPP, SlotLengthFPCombo);
}

void FPTestPage::ProPreampleFPClick() {
    // Both preamble boxes use the PP command.
    m_frame.send(ProPreampleFP->isChecked() ? "CONF:PP:SIGN:PRO ON" : "CONF:PP:SIGN:PRO OFF");
}

void FPTestPage::HighDynamicFPSelectClick() {
    m_frame.send(HighDynamicFPSelect->isChecked() ? "CONF:POW:DYN:RANG HIGH"
                                                  : "CONF:POW:DYN:RANG LOW");
}

}  // namespace tavrin::app
