// The radio test page: layout from the side table, activation, field commits, slot rules and
// the signal options, for the PP and FP pages alike.
#include "RadioTestPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>
#include <utility>

#include "EntryRules.h"
#include "FPTestPage.h"
#include "LevelField.h"
#include "OptionTables.h"
#include "PPTestPage.h"
#include "RadioOptions.h"
#include "SlotRules.h"
#include "core/EntryField.h"
#include "core/StateButton.h"
#include "core/SystemPage.h"
#include "core/TWenloForm.h"
#include "core/UpDown.h"
#include "setup/SetupPages.h"

namespace tavrin::app {

RadioTestPage::RadioTestPage(TWenloForm& frame, const RadioSide& side, QWidget* parent)
    : TabPage(side.pageName, false, parent),
      m_side(side),
      m_frame(frame),
      m_levelCommand(std::string("CONF:") + side.prefix + ":RF:LEV") {
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

    int gridRow = 0;
    for (const RadioFieldRow& r : side.rows) {
        Field& f = fieldAt(r.row);
        f.edit = MakeEdit(this, r.text, r.maxLength, r.width);
        if (r.stepperName) f.stepper = MakeStepper(this, r.stepper);
        f.label = AddFieldRow(grid, gridRow++, r.caption, f.edit, f.stepper);
        if (r.labelName) f.label->setObjectName(r.labelName);
        f.edit->setObjectName(r.editName);
        EntryCommit::install(f.edit, [this, row = r.row] { editExit(row); });
        if (!f.stepper) continue;
        f.stepper->setObjectName(r.stepperName);
        connect(f.stepper, &UpDown::clicked, this, [this, row = r.row] { stepperClick(row); });
    }
    if (side.dummyCarrierFromDut) {
        const Field& dummy = field(RadioRow::DummyCarrier);
        for (QWidget* w : std::initializer_list<QWidget*>{dummy.edit, dummy.stepper, dummy.label})
            w->setEnabled(false);
    }
    levelEdit = MakeEdit(this, "", 6, 44);
    AddFieldRow(grid, gridRow, "RF Level [dBm]", levelEdit);
    levelTrackBar = MakeLevelTrackBar(this);
    grid->addWidget(levelTrackBar, gridRow + 1, 0, 1, 2);
    const SignalOptionRows options = AddSignalOptionRows(this, grid, gridRow + 2);
    slotTypeCombo = options.slotType;
    powerTemplateCombo = options.powerTemplate;
    preambleBox = options.preamble;
    preambleBox->setChecked(side.preambleOn);
    if (side.preambleToolTip) preambleBox->setToolTip(side.preambleToolTip);
    highDynamicBox = options.highDynamic;
    grid->setRowStretch(gridRow + 5, 1);

    const LinkColumn link =
        AddLinkColumn(this, right, side.fixedPart, patternButtons, side.linkCaption, side.linkFlag);
    patterns = link.patterns;
    berEdit = link.berEdit;
    resetCountButton = link.resetCount;
    modeGroup = link.mode;
    echoButton = link.echo;
    loopButton = link.loop;
    linkButton = link.linkButton;

    const RadioControlNames& n = side.names;
    const std::pair<QWidget*, const char*> named[] = {{levelEdit, n.levelEdit},
                                                      {levelTrackBar, n.levelTrackBar},
                                                      {patterns, n.patterns},
                                                      {berEdit, n.ber},
                                                      {resetCountButton, n.resetCount},
                                                      {slotTypeCombo, n.slotType},
                                                      {powerTemplateCombo, n.powerTemplate},
                                                      {preambleBox, n.preamble},
                                                      {highDynamicBox, n.highDynamic},
                                                      {modeGroup, n.mode},
                                                      {echoButton, n.echo},
                                                      {loopButton, n.loop},
                                                      {linkButton, n.linkButton}};
    for (const auto& [widget, name] : named) widget->setObjectName(name);

    m_level = std::make_unique<LevelField>(frame, this, levelEdit, levelTrackBar,
                                           m_levelCommand.c_str(), side.levelMessage);

    for (size_t i = 0; i < patternButtons.size(); ++i)
        connect(patternButtons[i], &QRadioButton::clicked, this,
                [this, i] { DataPatternClick(int(i)); });
    EntryCommit::install(levelEdit, [this] { levelEditExit(); });
    EntryCommit::install(berEdit, [this] { berEditExit(); });
    connect(levelTrackBar, &QSlider::valueChanged, this, &RadioTestPage::levelTrackBarChange);
    connect(resetCountButton, &QPushButton::clicked, this, &RadioTestPage::resetCountClick);
    connect(echoButton, &QRadioButton::clicked, this, &RadioTestPage::modeClick);
    connect(loopButton, &QRadioButton::clicked, this, &RadioTestPage::modeClick);
    connect(slotTypeCombo, &QComboBox::activated, this, &RadioTestPage::slotTypeChange);
    connect(powerTemplateCombo, &QComboBox::activated, this, &RadioTestPage::powerTemplateChange);
    connect(preambleBox, &QCheckBox::clicked, this, &RadioTestPage::preambleClick);
    connect(highDynamicBox, &QCheckBox::clicked, this, &RadioTestPage::highDynamicClick);
}

RadioTestPage::~RadioTestPage() = default;

QString RadioTestPage::command(const char* tail) const {
    return QString("CONF:") + m_side.prefix + ":" + tail;
}

bool RadioTestPage::catIqChosen() const {
    return m_side.catIqSlots && m_frame.SystemTabSheet->OptionEnable->isChecked();
}

// The other side's page: the slot type and template lists change on both pages together.
RadioTestPage& RadioTestPage::twin() {
    if (m_side.fixedPart) return *m_frame.PP_TestTabSheet;
    return *m_frame.FP_TestTabSheet;
}

void RadioTestPage::prepareShow() {
    m_frame.markActivePage(this);
    m_frame.setSlotMaximum(catIqChosen() ? 8 : 10);
    m_frame.setSampleWindowLength(SampleWindowForSlotType(slotTypeCombo->currentIndex()));
    const RadioOptions& radio = m_frame.radioOptions();
    const QString range = radio.carrierRangeText();
    for (const auto& [row, caption] : {std::pair{RadioRow::DummyCarrier, "Dummy Carrier "},
                                       std::pair{RadioRow::TrafficCarrier, "Traffic Carrier "}}) {
        field(row).label->setText(caption + range);
        field(row).stepper->setMaximum(radio.usedCarriers() - 1);
    }
}

void RadioTestPage::showWork() {
    m_frame.send("PROC:SEL:TEST MAN");
    m_frame.send(QString("CONF:TEST:TYPE ") + m_side.testType);
    for (const ShowStep step : m_side.show) runStep(step);
}

void RadioTestPage::runStep(ShowStep step) {
    RadioOptions& radio = m_frame.radioOptions();
    switch (step) {
        case ShowStep::Antenna:
            return editExit(RadioRow::Antenna);
        case ShowStep::Rfpi:
            return editExit(RadioRow::Rfpi);
        case ShowStep::DummySlot:
            return editExit(RadioRow::DummySlot);
        case ShowStep::DummyCarrier:
            return editExit(RadioRow::DummyCarrier);
        case ShowStep::TrafficSlot:
            return editExit(RadioRow::TrafficSlot);
        case ShowStep::TrafficCarrier:
            return editExit(RadioRow::TrafficCarrier);
        case ShowStep::CarrierOffset:
            return radio.TCarrierOffsetExit();
        case ShowStep::SignalMode: {
            const bool loop = loopButton->isChecked();
            m_frame.send(command(loop ? "SIGN:MODE LOOP" : "SIGN:MODE ECHO"));
            patterns->setEnabled(loop);
            patterns->setVisible(loop);
            if (!loop) return;
            for (size_t i = 0; i < patternButtons.size(); ++i)
                if (patternButtons[i]->isChecked()) DataPatternClick(int(i));
            return;
        }
        case ShowStep::SlotType:
            return m_frame.send(SlotTypeCommand(m_side.prefix, slotTypeCombo->currentIndex()));
        case ShowStep::LevelAndAttenuator:
            m_level->checkAgainstLoss(radio.couplingLoss());
            levelEditExit();
            return radio.RxAttCheckBoxClick();
        case ShowStep::DynamicLow:
            highDynamicBox->setChecked(false);
            return m_frame.send("CONF:POW:DYN:RANG LOW");
        case ShowStep::Averaging:
            return radio.AverageFactorEditExit();
        case ShowStep::Ramps:
            if (m_side.fixedPart) return m_frame.SetupFPTabSheet->CommitRampFields();
            return m_frame.SetupPPTabSheet->CommitRampFields();
    }
}

void RadioTestPage::hideWork() {
    m_frame.linkWindow().closeMeasurementWindows();
}

void RadioTestPage::editExit(RadioRow row) {
    const Field& f = field(row);
    RadioOptions& radio = m_frame.radioOptions();
    switch (row) {
        case RadioRow::Antenna: {
            const FieldCheck c = CheckAntenna(f.edit->text());
            m_frame.applyCheck(f.edit, c);
            f.stepper->setPosition(c.value);
            return m_frame.send(command("ANT ") + c.text);
        }
        case RadioRow::Rfpi: {
            const FieldCheck c = CheckRFPI(f.edit->text(), m_side.defaultRfpi);
            m_frame.applyCheck(f.edit, c);
            return m_frame.send(RfpiCommand(command("RFPI").toLatin1().constData(), c.text));
        }
        case RadioRow::DummySlot: {
            const FieldCheck c = CheckDummySlot(f.edit->text(), trafficSlot, m_frame.slotMaximum());
            m_frame.applyCheck(f.edit, c);
            f.stepper->setPosition(c.value);
            dummySlot = c.value;
            return m_frame.send(command("DUMM:SLOT ") + c.text);
        }
        case RadioRow::DummyCarrier: {
            if (!m_side.dummyCarrierFromDut)
                return radio.commitCarrier(f.edit, f.stepper,
                                           command("DUMM:CARR").toLatin1().constData());
            const FieldCheck c = CheckOffsetCarrier(f.edit->text());
            f.edit->setText(c.text);
            f.stepper->setPosition(c.value);
            return m_frame.send(command("DUMM:CARR ") + c.text);
        }
        case RadioRow::TrafficSlot: {
            // Beside a dummy slot the traffic slot keeps clear of it.
            const FieldCheck c =
                has(RadioRow::DummySlot)
                    ? CheckTrafficSlot(f.edit->text(), dummySlot, m_frame.slotMaximum())
                    : CheckFPTrafficSlot(f.edit->text(), m_frame.slotMaximum());
            m_frame.applyCheck(f.edit, c);
            f.stepper->setPosition(c.value);
            trafficSlot = c.value;
            return m_frame.send(command("TRAF:SLOT ") + c.text);
        }
        case RadioRow::TrafficCarrier:
            return radio.commitCarrier(f.edit, f.stepper,
                                       command("TRAF:CARR").toLatin1().constData());
    }
}

void RadioTestPage::stepperClick(RadioRow row) {
    const Field& f = field(row);
    const bool carrierPlan = row == RadioRow::TrafficCarrier ||
                             (row == RadioRow::DummyCarrier && !m_side.dummyCarrierFromDut);
    if (carrierPlan) {
        const QString head = command(row == RadioRow::TrafficCarrier ? "TRAF:CARR" : "DUMM:CARR");
        return m_frame.radioOptions().stepCarrier(f.edit, f.stepper, head.toLatin1().constData());
    }
    if (has(RadioRow::DummySlot) && (row == RadioRow::DummySlot || row == RadioRow::TrafficSlot))
        return slotStepped(row);
    f.edit->setText(QString::number(f.stepper->position()));
    editExit(row);
}

// A slot stepper beside the other slot: a step onto the other slot moves that one on, then
// both commit, the stepped one first.
void RadioTestPage::slotStepped(RadioRow row) {
    const bool dummy = row == RadioRow::DummySlot;
    const RadioRow otherRow = dummy ? RadioRow::TrafficSlot : RadioRow::DummySlot;
    int& own = dummy ? dummySlot : trafficSlot;
    int& other = dummy ? trafficSlot : dummySlot;
    const Field& f = field(row);
    const Field& o = field(otherRow);
    const int step = catIqChosen() ? 4 : 2;
    const int position = f.stepper->position();
    if (const std::optional<int> moved = CollisionMove(position, other, step)) {
        other = *moved;
        o.stepper->setPosition(*moved);
        o.edit->setText(QString::number(*moved));
    }
    own = position;
    f.edit->setText(QString::number(position));
    editExit(row);
    editExit(otherRow);
}

void RadioTestPage::levelEditExit() {
    m_level->EditExit();
}

void RadioTestPage::levelTrackBarChange() {
    m_level->TrackBarChange();
}

void RadioTestPage::DataPatternClick(int pattern) {
    m_frame.send(DataPatterns()[pattern].command);
}

void RadioTestPage::berEditExit() {
    const FieldCheck c = CheckBERCount(berEdit->text(), berCount);
    m_frame.applyCheck(berEdit, c);
    if (!c.kept) berCount = c.value;
}

std::vector<std::string> RadioTestPage::resetCountCommands() const {
    const std::string text = CheckResetCount(berEdit->text()).text.toStdString();
    std::vector<std::string> lines{"CONF:BER:EVAL:WIND " + text, "PROC:STRT:BER"};
    if (m_side.resetsJitter) lines.push_back("CONF:JITT:EVAL:WIND " + text);
    return lines;
}

void RadioTestPage::resetCountSent() {
    m_frame.applyCheck(berEdit, CheckResetCount(berEdit->text()));
}

void RadioTestPage::resetCountClick() {
    const std::vector<std::string> lines = resetCountCommands();
    resetCountSent();
    for (const std::string& line : lines) m_frame.send(QString::fromStdString(line));
}

// Echo or loopback: the activation runs again with the new mode.
void RadioTestPage::modeClick() {
    m_frame.activatePage(this);
}

void RadioTestPage::slotTypeChange() {
    RadioTestPage& other = twin();
    m_frame.radioOptions().slotTypeChanged(slotTypeCombo, other.slotTypeCombo, powerTemplateCombo,
                                           other.powerTemplateCombo, m_side.prefix);
}

void RadioTestPage::powerTemplateChange() {
    m_frame.radioOptions().powerTemplateChanged(powerTemplateCombo, twin().powerTemplateCombo,
                                                slotTypeCombo);
}

void RadioTestPage::preambleClick() {
    // Both sides' preamble boxes use the PP command.
    m_frame.send(preambleBox->isChecked() ? "CONF:PP:SIGN:PRO ON" : "CONF:PP:SIGN:PRO OFF");
}

void RadioTestPage::highDynamicClick() {
    m_frame.send(highDynamicBox->isChecked() ? "CONF:POW:DYN:RANG HIGH" : "CONF:POW:DYN:RANG LOW");
}

void RadioTestPage::applySlotLists(bool catIq) {
    const bool scheme = catIq && m_side.catIqSlots;
    for (const auto& [row, caption] : {std::pair{RadioRow::DummySlot, "Dummy Slot "},
                                       std::pair{RadioRow::TrafficSlot, "Traffic Slot "}}) {
        const Field& f = field(row);
        if (!f.edit) continue;
        f.label->setText(caption + QString(scheme ? "[0,4,8]" : "[0,2,4,6,8,10]"));
        f.stepper->setMaximum(scheme ? 8 : 10);
        f.stepper->setIncrement(scheme ? 4 : 2);
    }
    slotTypeCombo->clear();
    slotTypeCombo->addItems(SlotTypeItems(catIq));
    powerTemplateCombo->clear();
    powerTemplateCombo->addItems(PowerTemplateItems(catIq));
}

}  // namespace tavrin::app
