// The PP test page: layout, activation, field commits, slot rules, Connect and Release.
#include "PPTestPage.h"

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
#include "FPTestPage.h"
#include "LevelField.h"
#include "OptionTables.h"
#include "PageLayout.h"
#include "RadioOptions.h"
#include "SlotRules.h"
#include "core/BottomPanel.h"
#include "core/EntryField.h"
#include "core/StateButton.h"
#include "core/SystemPage.h"
#include "core/TWenloForm.h"
#include "core/UpDown.h"
#include "setup/SetupPages.h"

namespace tavrin::app {
namespace {

constexpr const char* kDefaultRfpi = "0000000010";

}  // namespace

PPTestPage::PPTestPage(TWenloForm& frame, QWidget* parent)
    : TabPage("PP_TestTabSheet", false, parent), m_frame(frame) {
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

    RFPIEdit = MakeEdit(this, kDefaultRfpi, 10, 70);
    AddFieldRow(grid, 0, "RFPI", RFPIEdit);
    DummySlotEdit = MakeEdit(this, "0", 1, 20);
    DummySlotUpDown = MakeStepper(this, {0, 8, 2, true, 0});
    DummySlotPPLabel =
        AddFieldRow(grid, 1, "Dummy Slot [0,2,4,6,8]", DummySlotEdit, DummySlotUpDown);
    DummyCarrierEdit = MakeEdit(this, "0", 10, 30);
    DummyCarrierUpDown = MakeStepper(this, {0, 9, 1, true, 1});
    DummyCarrierPPLabel =
        AddFieldRow(grid, 2, "Dummy Carrier [0..9]", DummyCarrierEdit, DummyCarrierUpDown);
    TrafficSlotEdit = MakeEdit(this, "0", 1, 20);
    TrafficSlotUpDown = MakeStepper(this, {0, 8, 2, true, 0});
    TrafficSlotPPLabel =
        AddFieldRow(grid, 3, "Traffic Slot [0,2,4,6,8]", TrafficSlotEdit, TrafficSlotUpDown);
    TrafficCarrierEdit = MakeEdit(this, "0", 10, 30);
    TrafficCarrierUpDown = MakeStepper(this, {0, 9, 1, true, 0});
    TrafficCarrierPPLabel =
        AddFieldRow(grid, 4, "Traffic Carrier [0..9]", TrafficCarrierEdit, TrafficCarrierUpDown);
    RFLevelEdit = MakeEdit(this, "", 6, 44);
    AddFieldRow(grid, 5, "RF Level [dBm]", RFLevelEdit);
    RFLevelTrackBar = MakeLevelTrackBar(this);
    grid->addWidget(RFLevelTrackBar, 6, 0, 1, 2);
    const SignalOptionRows options = AddSignalOptionRows(this, grid, 7);
    SlotLengthCombo = options.slotType;
    PTemplateSelectPP = options.powerTemplate;
    ProPreamplePP = options.preamble;
    HighDynamicPPSelect = options.highDynamic;
    grid->setRowStretch(10, 1);

    const LinkColumn link = AddLinkColumn(this, right, false, patternButtons, "&Connect", 1);
    GroupBox3 = link.patterns;
    for (size_t i = 0; i < patternButtons.size(); ++i)
        connect(patternButtons[i], &QRadioButton::clicked, this,
                [this, i] { DataPatternClick(int(i)); });
    PSRBRadioButton = patternButtons[0];
    SPSRRadioButton = patternButtons[1];
    BS55RadioButton = patternButtons[2];
    BS33RadioButton = patternButtons[3];
    BS0FRadioButton = patternButtons[4];
    FIG31RadioButton = patternButtons[5];
    BS20RadioButton = patternButtons[6];
    BEREdit = link.berEdit;
    ResetCountPPButton = link.resetCount;
    Mode = link.mode;
    EchoRadioButton = link.echo;
    LOOPRadioButton = link.loop;
    ConnectPPButton = link.linkButton;

    RFPIEdit->setObjectName("RFPIEdit");
    DummySlotEdit->setObjectName("DummySlotEdit");
    DummySlotUpDown->setObjectName("DummySlotUpDown");
    DummyCarrierEdit->setObjectName("DummyCarrierEdit");
    DummyCarrierUpDown->setObjectName("DummyCarrierUpDown");
    TrafficSlotEdit->setObjectName("TrafficSlotEdit");
    TrafficSlotUpDown->setObjectName("TrafficSlotUpDown");
    TrafficCarrierEdit->setObjectName("TrafficCarrierEdit");
    TrafficCarrierUpDown->setObjectName("TrafficCarrierUpDown");
    RFLevelEdit->setObjectName("RFLevelEdit");
    RFLevelTrackBar->setObjectName("RFLevelTrackBar");
    GroupBox3->setObjectName("GroupBox3");
    BEREdit->setObjectName("BEREdit");
    ResetCountPPButton->setObjectName("ResetCountPPButton");
    SlotLengthCombo->setObjectName("SlotLengthCombo");
    PTemplateSelectPP->setObjectName("PTemplateSelectPP");
    ProPreamplePP->setObjectName("ProPreamplePP");
    HighDynamicPPSelect->setObjectName("HighDynamicPPSelect");
    Mode->setObjectName("Mode");
    EchoRadioButton->setObjectName("EchoRadioButton");
    LOOPRadioButton->setObjectName("LOOPRadioButton");
    ConnectPPButton->setObjectName("ConnectPPButton");
    DummySlotPPLabel->setObjectName("DummySlotPPLabel");
    DummyCarrierPPLabel->setObjectName("DummyCarrierPPLabel");
    TrafficSlotPPLabel->setObjectName("TrafficSlotPPLabel");
    TrafficCarrierPPLabel->setObjectName("TrafficCarrierPPLabel");

    m_level = std::make_unique<LevelField>(frame, this, RFLevelEdit, RFLevelTrackBar,
                                           "CONF:PP:RF:LEV", LevelMessage::WholeLoss);

    EntryCommit::install(RFPIEdit, [this] { RFPIEditExit(); });
    EntryCommit::install(DummySlotEdit, [this] { DummySlotEditExit(); });
    EntryCommit::install(DummyCarrierEdit, [this] { DummyCarrierEditExit(); });
    EntryCommit::install(TrafficSlotEdit, [this] { TrafficSlotEditExit(); });
    EntryCommit::install(TrafficCarrierEdit, [this] { TrafficCarrierEditExit(); });
    EntryCommit::install(RFLevelEdit, [this] { RFLevelEditExit(); });
    EntryCommit::install(BEREdit, [this] { BEREditExit(); });
    connect(DummySlotUpDown, &UpDown::clicked, this, &PPTestPage::DummySlotUpDownClick);
    connect(DummyCarrierUpDown, &UpDown::clicked, this, &PPTestPage::DummyCarrierUpDownClick);
    connect(TrafficSlotUpDown, &UpDown::clicked, this, &PPTestPage::TrafficSlotUpDownClick);
    connect(TrafficCarrierUpDown, &UpDown::clicked, this, &PPTestPage::TrafficCarrierUpDownClick);
    connect(RFLevelTrackBar, &QSlider::valueChanged, this, &PPTestPage::RFLevelTrackBarChange);
    connect(ResetCountPPButton, &QPushButton::clicked, this, &PPTestPage::ResetCountPPButtonClick);
    connect(ConnectPPButton, &QPushButton::clicked, this, &PPTestPage::ConnectPPButtonClick);
    connect(EchoRadioButton, &QRadioButton::clicked, this, &PPTestPage::EchoRadioButtonClick);
    connect(LOOPRadioButton, &QRadioButton::clicked, this, &PPTestPage::LOOPRadioButtonClick);
    connect(SlotLengthCombo, &QComboBox::activated, this, &PPTestPage::SlotLengthComboChange);
    connect(PTemplateSelectPP, &QComboBox::activated, this, &PPTestPage::PTemplateSelectPPChange);
    connect(ProPreamplePP, &QCheckBox::clicked, this, &PPTestPage::ProPreamplePPClick);
    connect(HighDynamicPPSelect, &QCheckBox::clicked, this, &PPTestPage::HighDynamicPPSelectClick);
}

PPTestPage::~PPTestPage() = default;

void PPTestPage::prepareShow() {
    m_frame.markActivePage(this);
    const bool catIq = m_frame.SystemTabSheet->OptionEnable->isChecked();
    m_frame.setSlotMaximum(catIq ? 8 : 10);
    m_frame.setSampleWindowLength(SampleWindowForSlotType(SlotLengthCombo->currentIndex()));
    const RadioOptions& radio = m_frame.radioOptions();
    const QString range = radio.carrierRangeText();
    DummyCarrierPPLabel->setText("Dummy Carrier " + range);
    TrafficCarrierPPLabel->setText("Traffic Carrier " + range);
    DummyCarrierUpDown->setMaximum(radio.usedCarriers() - 1);
    TrafficCarrierUpDown->setMaximum(radio.usedCarriers() - 1);
}

void PPTestPage::PP_TestTabSheetShow() {
    RadioOptions& radio = m_frame.radioOptions();
    m_frame.send("PROC:SEL:TEST MAN");
    m_frame.send("CONF:TEST:TYPE DPP");
    RFPIEditExit();
    DummySlotEditExit();
    DummyCarrierEditExit();
    TrafficSlotEditExit();
    TrafficCarrierEditExit();
    radio.TCarrierOffsetExit();
    const bool loop = LOOPRadioButton->isChecked();
    m_frame.send(loop ? "CONF:PP:SIGN:MODE LOOP" : "CONF:PP:SIGN:MODE ECHO");
    GroupBox3->setEnabled(loop);
    GroupBox3->setVisible(loop);
    if (loop) {
        for (size_t i = 0; i < patternButtons.size(); ++i)
            if (patternButtons[i]->isChecked()) DataPatternClick(int(i));
    }
    m_frame.send(SlotTypeCommand("PP", SlotLengthCombo->currentIndex()));
    m_level->checkAgainstLoss(radio.couplingLoss());
    RFLevelEditExit();
    radio.RxAttCheckBoxClick();
    HighDynamicPPSelect->setChecked(false);
    m_frame.send("CONF:POW:DYN:RANG LOW");
    radio.AverageFactorEditExit();
    m_frame.SetupPPTabSheet->CommitRampFields();
}

void PPTestPage::PP_TestTabSheetHide() {
    m_frame.linkWindow().closeMeasurementWindows();
}

void PPTestPage::RFPIEditExit() {
    const FieldCheck c = CheckRFPI(RFPIEdit->text(), kDefaultRfpi);
    m_frame.applyCheck(RFPIEdit, c);
    m_frame.send(RfpiCommand("CONF:PP:RFPI", c.text));
}

void PPTestPage::DummySlotUpDownClick() {
    const int step = m_frame.SystemTabSheet->OptionEnable->isChecked() ? 4 : 2;
    const int position = DummySlotUpDown->position();
    if (const std::optional<int> moved = CollisionMove(position, trafficSlot, step)) {
        trafficSlot = *moved;
        TrafficSlotUpDown->setPosition(*moved);
        TrafficSlotEdit->setText(QString::number(*moved));
    }
    dummySlot = position;
    DummySlotEdit->setText(QString::number(position));
    commitSlots(true);
}

void PPTestPage::TrafficSlotUpDownClick() {
    const int step = m_frame.SystemTabSheet->OptionEnable->isChecked() ? 4 : 2;
    const int position = TrafficSlotUpDown->position();
    if (const std::optional<int> moved = CollisionMove(position, dummySlot, step)) {
        dummySlot = *moved;
        DummySlotUpDown->setPosition(*moved);
        DummySlotEdit->setText(QString::number(*moved));
    }
    trafficSlot = position;
    TrafficSlotEdit->setText(QString::number(position));
    commitSlots(false);
}

void PPTestPage::commitSlots(bool dummyFirst) {
    if (dummyFirst) {
        DummySlotEditExit();
        TrafficSlotEditExit();
    } else {
        TrafficSlotEditExit();
        DummySlotEditExit();
    }
}

void PPTestPage::DummySlotEditExit() {
    const FieldCheck c = CheckDummySlot(DummySlotEdit->text(), trafficSlot, m_frame.slotMaximum());
    m_frame.applyCheck(DummySlotEdit, c);
    DummySlotUpDown->setPosition(c.value);
    dummySlot = c.value;
    m_frame.send("CONF:PP:DUMM:SLOT " + c.text);
}

void PPTestPage::TrafficSlotEditExit() {
    const FieldCheck c =
        CheckTrafficSlot(TrafficSlotEdit->text(), dummySlot, m_frame.slotMaximum());
    m_frame.applyCheck(TrafficSlotEdit, c);
    TrafficSlotUpDown->setPosition(c.value);
    trafficSlot = c.value;
    m_frame.send("CONF:PP:TRAF:SLOT " + c.text);
}

void PPTestPage::DummyCarrierUpDownClick() {
    m_frame.radioOptions().stepCarrier(DummyCarrierEdit, DummyCarrierUpDown, "CONF:PP:DUMM:CARR");
}

void PPTestPage::DummyCarrierEditExit() {
    m_frame.radioOptions().commitCarrier(DummyCarrierEdit, DummyCarrierUpDown, "CONF:PP:DUMM:CARR");
}

void PPTestPage::TrafficCarrierUpDownClick() {
    m_frame.radioOptions().stepCarrier(TrafficCarrierEdit, TrafficCarrierUpDown,
                                       "CONF:PP:TRAF:CARR");
}

void PPTestPage::TrafficCarrierEditExit() {
    m_frame.radioOptions().commitCarrier(TrafficCarrierEdit, TrafficCarrierUpDown,
                                         "CONF:PP:TRAF:CARR");
}

void PPTestPage::RFLevelEditExit() {
    m_level->EditExit();
}

void PPTestPage::RFLevelTrackBarChange() {
    m_level->TrackBarChange();
}

void PPTestPage::DataPatternClick(int pattern) {
    m_frame.send(DataPatterns()[pattern].command);
}

void PPTestPage::BEREditExit() {
    const FieldCheck c = CheckBERCount(BEREdit->text(), berCount);
    m_frame.applyCheck(BEREdit, c);
    if (!c.kept) berCount = c.value;
}

std::vector<std::string> PPTestPage::resetCountCommands() const {
    const std::string text = CheckResetCount(BEREdit->text()).text.toStdString();
    return {
        "CONF:BER:EVAL:WIND " + text,
        "PROC:STRT:BER",
        "CONF:JITT:EVAL:WIND " + text,
    };
}

void PPTestPage::resetCountSent() {
    m_frame.applyCheck(BEREdit, CheckResetCount(BEREdit->text()));
}

void PPTestPage::ResetCountPPButtonClick() {
    const std::vector<std::string> lines = resetCountCommands();
    resetCountSent();
    for (const std::string& line : lines) m_frame.send(QString::fromStdString(line));
}

void PPTestPage::ConnectPPButtonClick() {
    if (ConnectPPButton->tag == 1) {
        ConnectPPButton->tag = 0;
        ConnectPPButton->setText("&Release");
        Mode->setEnabled(false);
        ResetCountPPButton->tag = 1;  // the link window restarts the count at its first poll
        m_frame.send("PROC:CONN:SET");
        m_frame.linkWindow().openPPConnect();
    } else {
        ConnectPPButton->tag = 1;
        ConnectPPButton->setText("&Connect");
        // The link window's close handling releases the link; nothing is sent from here.
        m_frame.linkWindow().closeLinkWindow();
        Mode->setEnabled(true);
    }
}

void PPTestPage::EchoRadioButtonClick() {
    m_frame.activatePage(this);
}

void PPTestPage::LOOPRadioButtonClick() {
    m_frame.activatePage(this);
}

void PPTestPage::SlotLengthComboChange() {
    FPTestPage* fp = m_frame.FP_TestTabSheet;
    m_frame.radioOptions().slotTypeChanged(SlotLengthCombo, fp->SlotLengthFPCombo,
                                           PTemplateSelectPP, fp->PTemplateSelectFP, "PP");
}

void PPTestPage::PTemplateSelectPPChange() {
    m_frame.radioOptions().powerTemplateChanged(
        PTemplateSelectPP, m_frame.FP_TestTabSheet->PTemplateSelectFP, SlotLengthCombo);
}

void PPTestPage::ProPreamplePPClick() {
    m_frame.send(ProPreamplePP->isChecked() ? "CONF:PP:SIGN:PRO ON" : "CONF:PP:SIGN:PRO OFF");
}

void PPTestPage::HighDynamicPPSelectClick() {
    m_frame.send(HighDynamicPPSelect->isChecked() ? "CONF:POW:DYN:RANG HIGH"
                                                  : "CONF:POW:DYN:RANG LOW");
}

void PPTestPage::applySlotScheme(bool catIq) {
    FPTestPage* fp = m_frame.FP_TestTabSheet;
    m_frame.setSlotMaximum(10);
    TrafficSlotPPLabel->setText("Traffic Slot [0,2,4,6,8,10]");
    fp->TrafficSlotFPLabel->setText("Traffic Slot [0,2,4,6,8,10]");
    DummySlotPPLabel->setText("Dummy Slot [0,2,4,6,8,10]");
    for (UpDown* u : {TrafficSlotUpDown, DummySlotUpDown, fp->TrafficSlotFPUpDown})
        u->setMaximum(10);
    DummySlotUpDown->setIncrement(2);
    TrafficSlotUpDown->setIncrement(2);
    for (QComboBox* list : {SlotLengthCombo, fp->SlotLengthFPCombo}) {
        list->clear();
        list->addItems(SlotTypeItems(catIq));
    }
    for (QComboBox* list : {PTemplateSelectPP, fp->PTemplateSelectFP}) {
        list->clear();
        list->addItems(PowerTemplateItems(catIq));
    }
    if (!catIq) return;
    TrafficSlotPPLabel->setText("Traffic Slot [0,4,8]");
    DummySlotPPLabel->setText("Dummy Slot [0,4,8]");
    for (UpDown* u : {TrafficSlotUpDown, DummySlotUpDown}) {
        u->setIncrement(4);
        u->setMaximum(8);
    }
}

}  // namespace tavrin::app
