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
#include "LevelField.h"
#include "OptionTables.h"
#include "RadioOptions.h"
#include "SlotRules.h"
#include "common/TrafficSlot.h"
#include "core/EntryField.h"
#include "core/StateButton.h"
#include "core/TesterWorker.h"
#include "core/UpDown.h"

namespace tavrin::app {
namespace {

constexpr int kNeighbourStepperPosition = 5;  // the carrier steppers at the reference's neighbour

}  // namespace

RadioTestPage::RadioTestPage(SessionState& session, TesterWorker& tester, UserDialogs& dialogs,
                             RadioOptions& radio, const RadioSide& side, QWidget* parent)
    : TabPage(side.pageName, false, parent),
      m_side(side),
      m_session(session),
      m_tester(tester),
      m_radio(radio),
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

    m_level = std::make_unique<LevelField>(tester, dialogs, radio, this, levelEdit, levelTrackBar,
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

    // What the page follows of the session: the link window's opening and closing, its Reset
    // Count handshake, the FP status poll, the carrier range, the reference's neighbour, the
    // shared slot type and template, and a setup load's remembered values.
    const TestSide own = testSide();
    connect(&session, &SessionState::linkOpened, this, [this](LinkMode mode) {
        if ((mode == LinkMode::PPConnect) != m_side.fixedPart) lockLinkFields(true);
    });
    connect(&session, &SessionState::linkClosed, this, &RadioTestPage::linkClosed);
    connect(&session, &SessionState::countResetWasSent, this, [this, own](TestSide side) {
        if (side != own) return;
        resetCountButton->setEnabled(true);
        resetCountSent();
    });
    connect(&session, &SessionState::countResetBlocked, this,
            [this] { resetCountButton->setEnabled(false); });
    if (side.fixedPart) {
        connect(&session, &SessionState::fixedPartLockFound, this,
                [this](bool locked) { linkButton->setEnabled(locked); });
        connect(&session, &SessionState::fixedPartDummySlotFound, this,
                &RadioTestPage::moveTrafficSlotOff);
    } else {
        connect(&radio, &RadioOptions::neighbourCarrierChosen, this, [this](const QString& c) {
            for (RadioRow row : {RadioRow::DummyCarrier, RadioRow::TrafficCarrier}) {
                field(row).edit->setText(c);
                field(row).stepper->setPosition(kNeighbourStepperPosition);
            }
        });
    }
    connect(&session, &SessionState::carrierRangeChanged, this, &RadioTestPage::applyCarrierRange);
    connect(&session, &SessionState::slotTypeChanged, this,
            [this](int index) { slotTypeCombo->setCurrentIndex(index); });
    connect(&session, &SessionState::powerTemplateChanged, this,
            [this](int index) { powerTemplateCombo->setCurrentIndex(index); });
    connect(&session, &SessionState::slotSchemeChanged, this, &RadioTestPage::applySlotLists);
    connect(&session, &SessionState::rememberedChanged, this, &RadioTestPage::remembered);
    session.setLoopback(own, loopButton->isChecked());
    connect(loopButton, &QRadioButton::toggled, this,
            [this, own](bool on) { m_session.setLoopback(own, on); });
}

RadioTestPage::~RadioTestPage() = default;

QString RadioTestPage::command(const char* tail) const {
    return QString("CONF:") + m_side.prefix + ":" + tail;
}

bool RadioTestPage::catIqChosen() const {
    return m_side.catIqSlots && m_session.catIq();
}

void RadioTestPage::send(const QString& line) {
    m_tester.sendText(line);
}

void RadioTestPage::applyCheck(QLineEdit* field, const FieldCheck& check) {
    m_radio.applyCheck(field, check);
}

void RadioTestPage::prepareShow() {
    m_session.setActivePage(m_side.fixedPart ? TestPage::FP : TestPage::PP);
    m_session.setSlotMaximum(catIqChosen() ? 8 : 10);
    m_session.setSampleWindowLength(SampleWindowForSlotType(slotTypeCombo->currentIndex()));
    const RadioOptions& radio = m_radio;
    const QString range = radio.carrierRangeText();
    for (const auto& [row, caption] : {std::pair{RadioRow::DummyCarrier, "Dummy Carrier "},
                                       std::pair{RadioRow::TrafficCarrier, "Traffic Carrier "}}) {
        field(row).label->setText(caption + range);
        field(row).stepper->setMaximum(radio.usedCarriers() - 1);
    }
}

void RadioTestPage::showWork() {
    send("PROC:SEL:TEST MAN");
    send(QString("CONF:TEST:TYPE ") + m_side.testType);
    for (const ShowStep step : m_side.show) runStep(step);
}

void RadioTestPage::runStep(ShowStep step) {
    RadioOptions& radio = m_radio;
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
            send(command(loop ? "SIGN:MODE LOOP" : "SIGN:MODE ECHO"));
            patterns->setEnabled(loop);
            patterns->setVisible(loop);
            if (!loop) return;
            for (size_t i = 0; i < patternButtons.size(); ++i)
                if (patternButtons[i]->isChecked()) DataPatternClick(int(i));
            return;
        }
        case ShowStep::SlotType:
            return send(SlotTypeCommand(m_side.prefix, slotTypeCombo->currentIndex()));
        case ShowStep::LevelAndAttenuator:
            m_level->checkAgainstLoss(radio.couplingLoss());
            levelEditExit();
            return radio.RxAttCheckBoxClick();
        case ShowStep::DynamicLow:
            highDynamicBox->setChecked(false);
            return send("CONF:POW:DYN:RANG LOW");
        case ShowStep::Averaging:
            return radio.AverageFactorEditExit();
        case ShowStep::Ramps:
            return m_session.commitRamps(testSide());
    }
}

void RadioTestPage::hideWork() {
    m_session.request(LinkRequest::CloseMeasurementWindows);
}

void RadioTestPage::editExit(RadioRow row) {
    const Field& f = field(row);
    RadioOptions& radio = m_radio;
    switch (row) {
        case RadioRow::Antenna: {
            const FieldCheck c = CheckAntenna(f.edit->text());
            applyCheck(f.edit, c);
            f.stepper->setPosition(c.value);
            return send(command("ANT ") + c.text);
        }
        case RadioRow::Rfpi: {
            const FieldCheck c = CheckRFPI(f.edit->text(), m_side.defaultRfpi);
            applyCheck(f.edit, c);
            return send(RfpiCommand(command("RFPI").toLatin1().constData(), c.text));
        }
        case RadioRow::DummySlot: {
            const FieldCheck c =
                CheckDummySlot(f.edit->text(), trafficSlot, m_session.slotMaximum());
            applyCheck(f.edit, c);
            f.stepper->setPosition(c.value);
            dummySlot = c.value;
            return send(command("DUMM:SLOT ") + c.text);
        }
        case RadioRow::DummyCarrier: {
            if (!m_side.dummyCarrierFromDut)
                return radio.commitCarrier(f.edit, f.stepper,
                                           command("DUMM:CARR").toLatin1().constData());
            const FieldCheck c = CheckOffsetCarrier(f.edit->text());
            f.edit->setText(c.text);
            f.stepper->setPosition(c.value);
            return send(command("DUMM:CARR ") + c.text);
        }
        case RadioRow::TrafficSlot: {
            // Beside a dummy slot the traffic slot keeps clear of it.
            const FieldCheck c =
                has(RadioRow::DummySlot)
                    ? CheckTrafficSlot(f.edit->text(), dummySlot, m_session.slotMaximum())
                    : CheckFPTrafficSlot(f.edit->text(), m_session.slotMaximum());
            applyCheck(f.edit, c);
            f.stepper->setPosition(c.value);
            trafficSlot = c.value;
            return send(command("TRAF:SLOT ") + c.text);
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
        return m_radio.stepCarrier(f.edit, f.stepper, head.toLatin1().constData());
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
    send(DataPatterns()[pattern].command);
}

void RadioTestPage::berEditExit() {
    const FieldCheck c = CheckBERCount(berEdit->text(), berCount);
    applyCheck(berEdit, c);
    if (!c.kept) berCount = c.value;
}

std::vector<std::string> RadioTestPage::resetCountCommands() const {
    const std::string text = CheckResetCount(berEdit->text()).text.toStdString();
    std::vector<std::string> lines{"CONF:BER:EVAL:WIND " + text, "PROC:STRT:BER"};
    if (m_side.resetsJitter) lines.push_back("CONF:JITT:EVAL:WIND " + text);
    return lines;
}

void RadioTestPage::resetCountSent() {
    applyCheck(berEdit, CheckResetCount(berEdit->text()));
}

void RadioTestPage::resetCountClick() {
    const std::vector<std::string> lines = resetCountCommands();
    resetCountSent();
    for (const std::string& line : lines) send(QString::fromStdString(line));
}

// Echo or loopback: the activation runs again with the new mode.
void RadioTestPage::modeClick() {
    requestActivation();
}

// The other side's lists follow through the session, without their handlers.
void RadioTestPage::slotTypeChange() {
    m_radio.slotTypeChanged(slotTypeCombo, powerTemplateCombo, m_side.prefix);
}

void RadioTestPage::powerTemplateChange() {
    m_radio.powerTemplateChanged(powerTemplateCombo, slotTypeCombo);
}

void RadioTestPage::preambleClick() {
    // Both sides' preamble boxes use the PP command.
    send(preambleBox->isChecked() ? "CONF:PP:SIGN:PRO ON" : "CONF:PP:SIGN:PRO OFF");
}

void RadioTestPage::highDynamicClick() {
    send(highDynamicBox->isChecked() ? "CONF:POW:DYN:RANG HIGH" : "CONF:POW:DYN:RANG LOW");
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

void RadioTestPage::applyCarrierRange(const CarrierRange& range) {
    for (const auto& [row, caption] : {std::pair{RadioRow::DummyCarrier, "Dummy Carrier "},
                                       std::pair{RadioRow::TrafficCarrier, "Traffic Carrier "}}) {
        const Field& f = field(row);
        if (!f.edit) continue;
        f.stepper->setMaximum(range.highest);
        if (range.minimum) f.stepper->setMinimum(*range.minimum);
        f.label->setText(caption + range.text);
    }
}

void RadioTestPage::openLink(LinkRequest what) {
    // The link window restarts the count at its first linked tick.
    m_session.requestCountReset(testSide(), resetCountCommands());
    m_session.request(what);
}

void RadioTestPage::connectLink() {
    send("PROC:CONN:SET");
}

void RadioTestPage::releaseLink(bool chartsFirst) {
    if (chartsFirst) m_session.request(LinkRequest::CloseCharts);
    // The link window's close handling releases the link; nothing is sent from here.
    m_session.request(LinkRequest::Close);
}

// The fields that make the link, locked while the link window is open.
void RadioTestPage::lockLinkFields(bool locked) {
    for (RadioRow row : {RadioRow::Rfpi, RadioRow::DummySlot, RadioRow::DummyCarrier,
                         RadioRow::TrafficSlot, RadioRow::TrafficCarrier}) {
        const Field& f = field(row);
        if (!f.edit) continue;
        // The part under test's dummy carrier is locked with them and stays so: nothing on the
        // page uses it.
        if (row == RadioRow::DummyCarrier && m_side.dummyCarrierFromDut && !locked) continue;
        f.edit->setEnabled(!locked);
        if (f.stepper) f.stepper->setEnabled(!locked);
    }
}

void RadioTestPage::linkClosed(LinkMode layout) {
    // A closing always leaves the FP walk able to start and no Reset Count to wait for.
    if (m_side.fixedPart) linkButton->setEnabled(true);
    resetCountButton->setEnabled(false);
    // The window's last layout says which page opened it.
    if ((layout == LinkMode::PPConnect) == m_side.fixedPart) return;
    lockLinkFields(false);
    linkButton->tag = m_side.linkFlag;
    linkButton->setText(m_side.linkCaption);
}

void RadioTestPage::remembered(Remembered value, double number) {
    // Slots and BER counts are whole numbers; levels keep their decimals.
    const int whole = static_cast<int>(number);
    const bool fp = m_side.fixedPart;
    switch (value) {
        case Remembered::PPDummySlot:
            if (!fp) dummySlot = whole;
            break;
        case Remembered::PPTrafficSlot:
            if (!fp) trafficSlot = whole;
            break;
        case Remembered::PPRFLevel:
        case Remembered::FPRFLevel:
            if (fp == (value == Remembered::FPRFLevel)) m_level->lastLevel = number;
            break;
        case Remembered::PPBERCount:
        case Remembered::FPBERCount:
            if (fp == (value == Remembered::FPBERCount)) berCount = whole;
            break;
        default:
            break;
    }
}

// The tester cannot take its traffic slot on the fixed part's dummy slot: it moves on.
void RadioTestPage::moveTrafficSlotOff(const QString& dummySlot) {
    const Field& f = field(RadioRow::TrafficSlot);
    if (f.edit->text() != dummySlot) return;
    const int moved = common::TrafficSlotPastDummy(f.stepper->position(), f.stepper->maximum());
    if (moved == 0) f.stepper->setPosition(0);
    f.edit->setText(QString::number(moved));
    editExit(RadioRow::TrafficSlot);
    send(command("TRAF:SLOT ") + f.edit->text());
    m_session.trafficSlotMovedOffDummy();
}

bool RadioTestPage::highDynamicOn() const {
    return highDynamicBox->isChecked();
}

bool RadioTestPage::prolongedPreambleTemplate() const {
    const int entry = powerTemplateCombo->currentIndex();
    return entry == 2 || entry == 4;
}

}  // namespace tavrin::app
