// The RF generator page: layout, activation, carrier, level and modulation.
#include "RFGenPage.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include "CarrierPlan.h"
#include "EntryRules.h"
#include "LevelField.h"
#include "OptionTables.h"
#include "PageLayout.h"
#include "RadioOptions.h"
#include "core/EntryField.h"
#include "core/SessionState.h"
#include "core/TesterWorker.h"
#include "core/UpDown.h"

namespace tavrin::app {
namespace {

constexpr int kDefaultCarrier = 5;  // where a new offset puts a generator carrier above 9

}  // namespace

RFGenPage::RFGenPage(SessionState& session, TesterWorker& tester, UserDialogs& dialogs,
                     RadioOptions& radio, QWidget* parent)
    : TabPage("RF_GenTabSheet", false, parent),
      m_session(session),
      m_tester(tester),
      m_radio(radio) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 6, 6, 2);
    grid->setVerticalSpacing(3);
    grid->setHorizontalSpacing(6);
    grid->setAlignment(Qt::AlignTop | Qt::AlignLeft);

    CarrierGenEdit = MakeEdit(this, "0", 2, 24);
    CarrierGenUpDown = MakeStepper(this, {0, 9, 1, true, 0});
    RfGenCarrierLabel = AddFieldRow(grid, 0, "Carrier [0..9]:", CarrierGenEdit, CarrierGenUpDown);
    RFLevelGenEdit = MakeEdit(this, "", 6, 44);
    AddFieldRow(grid, 1, "RF Level [dBm]", RFLevelGenEdit);
    RFLevelGenTrackBar = MakeLevelTrackBar(this);
    RFLevelGenTrackBar->setFixedWidth(200);
    grid->addWidget(RFLevelGenTrackBar, 2, 0, 1, 2);

    auto* modulation = new QGroupBox("Modulation", this);
    auto* column = new QVBoxLayout(modulation);
    column->setContentsMargins(4, 0, 4, 2);
    column->setSpacing(0);
    for (size_t i = 0; i < modulationButtons.size(); ++i) {
        const GeneratorModulation& m = GeneratorModulations()[i];
        auto* b = new QRadioButton(m.caption, modulation);
        b->setObjectName(m.button);
        column->addWidget(b);
        modulationButtons[i] = b;
        connect(b, &QRadioButton::clicked, this, [this, i] { ModulationClick(int(i)); });
    }
    CWGenRadioButton = modulationButtons[0];
    BS55GenRadioButton = modulationButtons[1];
    BS33GenRadioButton = modulationButtons[2];
    BS0FGenRadioButton = modulationButtons[3];
    CWGenRadioButton->setChecked(true);
    grid->addWidget(modulation, 3, 0, 1, 2);

    RfGenCarrierLabel->setObjectName("RfGenCarrierLabel");
    CarrierGenEdit->setObjectName("CarrierGenEdit");
    CarrierGenUpDown->setObjectName("CarrierGenUpDown");
    RFLevelGenEdit->setObjectName("RFLevelGenEdit");
    RFLevelGenTrackBar->setObjectName("RFLevelGenTrackBar");

    // The generator level goes out with the FP level command.
    m_level = std::make_unique<LevelField>(tester, dialogs, radio, this, RFLevelGenEdit,
                                           RFLevelGenTrackBar, "CONF:FP:RF:LEV",
                                           LevelMessage::LossAsEntered);
    // A setup load's level is the one new entries are compared against.
    connect(&session, &SessionState::rememberedChanged, this,
            [this](Remembered value, double number) {
                if (value == Remembered::GenRFLevel) m_level->lastLevel = number;
            });
    EntryCommit::install(CarrierGenEdit, [this] { CarrierGenEditExit(); });
    EntryCommit::install(RFLevelGenEdit, [this] { RFLevelGenEditExit(); });
    connect(CarrierGenUpDown, &UpDown::clicked, this, &RFGenPage::CarrierGenUpDownClick);
    connect(RFLevelGenTrackBar, &QSlider::valueChanged, this, &RFGenPage::RFLevelGenTrackBarChange);
    // The radio options' carrier changes that reach the generator carrier.
    connect(&session, &SessionState::carrierRangeChanged, this, [this](const CarrierRange& r) {
        CarrierGenUpDown->setMaximum(r.highest);
        if (r.minimum) CarrierGenUpDown->setMinimum(*r.minimum);
        RfGenCarrierLabel->setText("Carrier " + r.text);
    });
    connect(&radio, &RadioOptions::neighbourCarrierChosen, this,
            [this](const QString& carrier) { CarrierGenEdit->setText(carrier); });
    connect(&radio, &RadioOptions::carrierOffsetCommitted, this, [this] {
        if (ParseInteger(CarrierGenEdit->text()).value_or(0) > 9) {
            CarrierGenUpDown->setPosition(kDefaultCarrier);
            CarrierGenEdit->setText(QString::number(kDefaultCarrier));
        }
    });
}

RFGenPage::~RFGenPage() = default;

void RFGenPage::prepareShow() {
    m_session.setActivePage(TestPage::Generator);
}

void RFGenPage::RF_GenTabSheetShow() {
    RadioOptions& radio = m_radio;
    radio.lockRxAttenuator(true);
    m_tester.send("PROC:SEL:TEST MAN");
    m_tester.send("CONF:TEST:TYPE:RFGE 0");
    RfGenCarrierLabel->setText("Carrier " + radio.carrierRangeText());
    CarrierGenEditExit();
    radio.TCarrierOffsetExit();
    CarrierGenUpDown->setMaximum(radio.usedCarriers() - 1);
    for (size_t i = 0; i < modulationButtons.size(); ++i)
        if (modulationButtons[i]->isChecked()) ModulationClick(int(i));
    m_level->checkAgainstLoss(radio.couplingLoss());
    RFLevelGenEditExit();
}

void RFGenPage::RF_GenTabSheetHide() {
    m_radio.lockRxAttenuator(false);
}

void RFGenPage::CarrierGenUpDownClick() {
    const int p = CarrierGenUpDown->position();
    CarrierGenEdit->setText(
        QString::number(m_radio.extendedMode() ? m_radio.carrierPlan().extendedCarrierAt(p) : p));
    CarrierGenEditExit();
}

void RFGenPage::CarrierGenEditExit() {
    m_radio.commitGeneratorCarrier(CarrierGenEdit, CarrierGenUpDown);
}

void RFGenPage::RFLevelGenEditExit() {
    m_level->EditExit();
}

void RFGenPage::RFLevelGenTrackBarChange() {
    m_level->TrackBarChange();
}

void RFGenPage::ModulationClick(int modulation) {
    m_tester.sendText(GeneratorModulations()[modulation].command);
}

}  // namespace tavrin::app
