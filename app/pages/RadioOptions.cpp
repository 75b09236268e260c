// The radio options: carrier plan, reference, dirty transmit, drift unit, coupling loss, RX
// attenuator and averaging.
#include "RadioOptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "BottomPanel.h"
#include "CarrierPlan.h"
#include "EntryRules.h"
#include "LevelField.h"
#include "OptionTables.h"
#include "SystemPage.h"
#include "core/EntryField.h"
#include "core/TesterWorker.h"
#include "core/UpDown.h"
#include "core/UserDialogs.h"
#include "display/ChartRanges.h"

namespace tavrin::app {
namespace {

constexpr int kOffsetStepperMinimum = -21;  // typing accepts -22, the stepper stops at -21
constexpr int kReferenceStepperFirst = 9;
constexpr int kReferenceStepperLast = 32;

}  // namespace

RadioOptions::RadioOptions(SessionState& session, TesterWorker& tester, UserDialogs& dialogs,
                           SystemPage& system, BottomPanel& panel)
    : m_session(session), m_tester(tester), m_dialogs(dialogs), m_system(system), m_panel(panel) {
    SystemPage* s = &system;
    BottomPanel* b = &panel;
    // The session follows the choices the other windows read, however they are set (a setup
    // load sets them without a click).
    const auto drift = [this](bool perMs) {
        m_session.setDriftUnit(perMs ? DriftUnit::KhzPerMs : DriftUnit::KhzPerSlot);
    };
    drift(s->DriftKhzMs->isChecked());
    connect(s->DriftKhzMs, &QRadioButton::toggled, this, drift);
    m_session.setRxAttenuator(b->RxAttCheckBox->isChecked());
    connect(b->RxAttCheckBox, &QCheckBox::toggled, this,
            [this](bool on) { m_session.setRxAttenuator(on); });
    m_session.setCatIq(s->OptionEnable->isChecked());
    connect(s->OptionEnable, &QCheckBox::toggled, this,
            [this](bool on) { m_session.setCatIq(on); });
    connect(s->Offset, &QRadioButton::clicked, this, &RadioOptions::OffsetClick);
    connect(s->ExtendedFrequencies, &QRadioButton::clicked, this, &RadioOptions::OffsetClick);
    connect(s->Country, &QComboBox::activated, this, &RadioOptions::CountryChange);
    connect(s->Country->lineEdit(), &QLineEdit::textEdited, this, &RadioOptions::CountryChange);
    connect(s->NumberOfUsedCarriers, &QComboBox::activated, this,
            &RadioOptions::NumberOfUsedCarriersChange);
    connect(s->NumberOfUsedCarriers->lineEdit(), &QLineEdit::textEdited, this,
            &RadioOptions::NumberOfUsedCarriersChange);
    EntryCommit::install(s->NumberOfUsedCarriers, [this] { NumberOfUsedCarriersExit(); });
    connect(s->TCarrierOffset, &QLineEdit::textEdited, this, &RadioOptions::TCarrierOffsetChange);
    EntryCommit::install(s->TCarrierOffset, [this] { TCarrierOffsetExit(); });
    connect(s->CarrierOffsetUpDown, &UpDown::clicked, this,
            &RadioOptions::CarrierOffsetUpDownClick);
    connect(s->ExtendedRefUpDown, &UpDown::clicked, this, &RadioOptions::ExtendedRefUpDownClick);
    EntryCommit::install(s->ExtendedRef, [this] { TExtendedRefExit(); });
    connect(s->ExtRefSelect, &QCheckBox::clicked, this, &RadioOptions::ExtRefSelectClick);
    for (QRadioButton* r : {s->Normal, s->Plus50kHz, s->Minus50kHz})
        connect(r, &QRadioButton::clicked, this, &RadioOptions::DirtyTXClick);
    connect(s->DriftKhzMs, &QRadioButton::clicked, this, &RadioOptions::DriftKhzMsClick);
    connect(s->DriftKhzSlot, &QRadioButton::clicked, this, &RadioOptions::DriftKhzSlotClick);
    EntryCommit::install(b->RFAttenuationEdit, [this] { RFAttenuationEditExit(); });
    connect(b->RxAttCheckBox, &QCheckBox::clicked, this, &RadioOptions::RxAttCheckBoxClick);
    EntryCommit::install(b->AverageFactorEdit, [this] { AverageFactorEditExit(); });
}

bool RadioOptions::extendedMode() const {
    return m_system.ExtendedFrequencies->isChecked();
}

int RadioOptions::usedCarriers() const {
    return UsedCarriers(m_system.NumberOfUsedCarriers->currentText()).value_or(m_lastUsedCarriers);
}

double RadioOptions::couplingLoss() const {
    return CouplingLossValue(m_panel.RFAttenuationEdit->text());
}

QString RadioOptions::carrierRangeText() const {
    return CarrierRangeText(extendedMode(), usedCarriers(), m_system.ExtendedRef->text());
}

void RadioOptions::OffsetClick() {
    SystemPage* s = &m_system;
    s->TimeAfterReset->setText("1");
    const CountryPreset& preset = CountryPresetAt(CountryIndex(s->Country->currentText()));
    if (!extendedMode()) {
        s->CarrierOffsetUpDown->setRange(kOffsetStepperMinimum, kCarrierOffsetMaximum);
        send("CONF:TEST:EXTF 0");
        s->ExtendedRef->setEnabled(false);
        s->ExtendedRefUpDown->setEnabled(false);
        for (QWidget* w :
             std::initializer_list<QWidget*>{s->NumberOfUsedCarriers, s->TCarrierOffset,
                                             s->CarrierOffsetUpDown, s->NumberOfUsedCarriersLabel})
            w->setEnabled(true);
        s->HighestCarrierLabel->setEnabled(false);
        s->TCarrierOffset->setText(QString::number(preset.offset));
        s->ExtendedRef->setText("0");
        s->ExtendedRefUpDown->setPosition(kReferenceStepperFirst);
        s->NumberOfUsedCarriers->setCurrentText(QString::number(preset.usedCarriers));
        if (preset.highestCarrier) applyHighestCarrier(*preset.highestCarrier);
    } else {
        s->HighestCarrierLabel->setEnabled(true);
        s->NumberOfUsedCarriersLabel->setEnabled(true);
        s->ExtendedRefUpDown->setRange(kReferenceStepperFirst, kReferenceStepperLast);
        send("CONF:TEST:EXTF 1");
        s->ExtendedRef->setEnabled(true);
        s->ExtendedRefUpDown->setEnabled(true);
        s->NumberOfUsedCarriers->setEnabled(true);
        s->CarrierOffsetLabel->setEnabled(false);
        s->TCarrierOffset->setEnabled(false);
        s->CarrierOffsetUpDown->setEnabled(false);
        s->TCarrierOffset->setText("0");
        s->ExtendedRefUpDown->setPosition(preset.referencePosition);
        s->NumberOfUsedCarriers->setCurrentText(QString::number(preset.extendedUsedCarriers));
        s->ExtendedRef->setText(
            QString::number(ReferenceStepperCarrier(s->ExtendedRefUpDown->position())));
        TExtendedRefExit();
    }
    NumberOfUsedCarriersChange();
    TCarrierOffsetExit();
}

void RadioOptions::applyHighestCarrier(int highest) {
    // The pages' carrier steppers and labels follow the session.
    m_session.setHighestCarrier(highest);
}

void RadioOptions::CountryChange() {
    OffsetClick();
}

void RadioOptions::NumberOfUsedCarriersChange() {
    // A typed text that is no count of 1..10 ends here before anything is sent; counts above
    // 10 would run the extended carrier list past its end.
    const std::optional<int> nu = UsedCarriers(m_system.NumberOfUsedCarriers->currentText());
    if (!nu) return;
    m_lastUsedCarriers = *nu;
    m_session.setHighestCarrier(*nu - 1);
    TExtendedRefExit();
    send("CONF:NUMB:CARR " + QString::number(*nu));
}

void RadioOptions::NumberOfUsedCarriersExit() {
    TExtendedRefExit();
}

void RadioOptions::TCarrierOffsetChange() {
    m_system.Country->setEditText("Undef");
}

void RadioOptions::TCarrierOffsetExit() {
    SystemPage* s = &m_system;
    const FieldCheck c = CheckCarrierOffset(s->TCarrierOffset->text());
    s->TCarrierOffset->setText(c.text);
    Q_EMIT carrierOffsetCommitted();
    s->CarrierOffsetUpDown->setPosition(c.value);
    send("CONF:CARR:OFFS " + c.text);
}

void RadioOptions::CarrierOffsetUpDownClick() {
    SystemPage* s = &m_system;
    s->TCarrierOffset->setText(QString::number(s->CarrierOffsetUpDown->position()));
    TCarrierOffsetExit();
}

void RadioOptions::ExtendedRefUpDownClick() {
    SystemPage* s = &m_system;
    s->ExtendedRef->setText(
        QString::number(ReferenceStepperCarrier(s->ExtendedRefUpDown->position())));
    TExtendedRefExit();
}

void RadioOptions::TExtendedRefExit() {
    SystemPage* s = &m_system;
    const bool eu = CountryIndex(s->Country->currentText()) == 0;
    const ReferenceChoice r = CheckReference(s->ExtendedRef->text(), eu);
    s->ExtendedRef->setText(r.text);
    // The stepper follows a typed reference, so the next click steps from what is shown.
    s->ExtendedRefUpDown->setPosition(r.position);
    Q_EMIT neighbourCarrierChosen(QString::number(r.fourBelow));
    send("CONF:CARR:REF " + QString::number(r.carrier));
    m_carrierPlan.applyReference(r.carrier, usedCarriers());
}

void RadioOptions::ExtRefSelectClick() {
    send(m_system.ExtRefSelect->isChecked() ? "CONF:SYNC:FREQ:REF E10M"
                                            : "CONF:SYNC:FREQ:REF I10M");
}

void RadioOptions::DirtyTXClick() {
    SystemPage* s = &m_system;
    if (s->Normal->isChecked()) {
        send("CONF:PP:FREQ:OFFS NORM");
    } else if (s->Plus50kHz->isChecked()) {
        send("CONF:PP:FREQ:OFFS P50K");
    } else {
        send("CONF:PP:FREQ:OFFS M50K");
    }
}

void RadioOptions::DriftKhzMsClick() {
    send("CONF:MOD:DRIF:UNIT MS");
}

void RadioOptions::DriftKhzSlotClick() {
    send("CONF:MOD:DRIF:UNIT SLOT");
}

void RadioOptions::RFAttenuationEditExit() {
    QLineEdit* edit = m_panel.RFAttenuationEdit;
    const FieldCheck c = CheckCouplingLoss(edit->text());
    applyCheck(edit, c);
    send("SENS:CORR:LOSS " + c.text);
    const double a = couplingLoss();
    UpdateRFRange(a);
    const AxisRange range = PowerChartRange(a, m_session.rxAttenuator());
    m_session.commitCouplingLoss(static_cast<int>(a), static_cast<int>(range.min),
                                 static_cast<int>(range.max));
}

void RadioOptions::UpdateRFRange(double couplingLoss) {
    LevelField* level = levelFieldOf ? levelFieldOf(m_session.activePage()) : nullptr;
    if (level) level->checkAgainstLoss(couplingLoss);
}

void RadioOptions::RxAttCheckBoxClick() {
    const bool on = m_panel.RxAttCheckBox->isChecked();
    send(on ? "CONF:ATT:RX ON" : "CONF:ATT:RX OFF");
    send("PROC:SAMP:FORC");
    if (m_session.powerChartShown()) RFAttenuationEditExit();
}

void RadioOptions::AverageFactorEditExit() {
    QLineEdit* edit = m_panel.AverageFactorEdit;
    const FieldCheck c = CheckAveraging(edit->text(), m_session.averagingLength());
    applyCheck(edit, c);
    if (c.kept || c.value == m_session.averagingLength()) return;
    // The one command the averaging field sends goes to the library directly.
    m_tester.sendDirect("CONF:AVER:BURS 1");
    m_session.setAveragingLength(c.value);
}

void RadioOptions::commitCarrier(QLineEdit* edit, UpDown* upDown, const char* prefix) {
    QString number;
    if (!extendedMode()) {
        const FieldCheck c = CheckOffsetCarrier(edit->text());
        upDown->setPosition(c.value);
        number = c.text;
    } else {
        const CarrierPlan& plan = m_carrierPlan;
        if (const std::optional<int> p = plan.findExtendedCarrier(edit->text(), upDown->maximum()))
            upDown->setPosition(*p);
        number = QString::number(plan.extendedCarrierAt(upDown->position()));
    }
    edit->setText(number);
    send(QString(prefix) + " " + number);
}

void RadioOptions::stepCarrier(QLineEdit* edit, UpDown* upDown, const char* prefix) {
    const int p = upDown->position();
    edit->setText(QString::number(extendedMode() ? m_carrierPlan.extendedCarrierAt(p) : p));
    commitCarrier(edit, upDown, prefix);
}

void RadioOptions::commitGeneratorCarrier(QLineEdit* edit, UpDown* upDown) {
    if (extendedMode()) {
        commitCarrier(edit, upDown, "CONF:RFGE:CARR");
        return;
    }
    const FieldCheck c = CheckGeneratorCarrier(edit->text(), m_session.highestCarrier());
    applyCheck(edit, c);
    upDown->setPosition(c.value);
    send("CONF:RFGE:CARR " + c.text);
}

void RadioOptions::slotTypeChanged(QComboBox* own, QComboBox* ownTemplate, const char* side) {
    const int index = own->currentIndex();
    m_session.setSlotType(index);  // the other page's list follows without its handler
    m_session.setSampleWindowLength(SampleWindowForSlotType(index));
    m_session.request(LinkRequest::ReopenModulation);
    send(SlotTypeCommand(side, index));
    const int templateIndex = TemplateForSlotType(index);
    if (templateIndex >= 0) ownTemplate->setCurrentIndex(templateIndex);
    powerTemplateChanged(ownTemplate, own);
}

void RadioOptions::powerTemplateChanged(QComboBox* own, QComboBox* ownSlotType) {
    const int index = own->currentIndex();
    m_session.setPowerTemplate(index);
    m_session.setSampleWindowLength(SampleWindowForSlotType(ownSlotType->currentIndex()));
    m_session.request(LinkRequest::ReopenModulation);
    send(PowerTemplateCommand(index));
}

void RadioOptions::lockRxAttenuator(bool locked) {
    m_panel.RxAttCheckBox->setEnabled(!locked);
}

void RadioOptions::tickRxAttenuator(bool on) {
    m_panel.RxAttCheckBox->setChecked(on);
}

void RadioOptions::lockCouplingLoss(bool locked) {
    m_panel.RFAttenuationEdit->setEnabled(!locked);
}

void RadioOptions::testerIdentified() {
    RFAttenuationEditExit();
    RxAttCheckBoxClick();
    AverageFactorEditExit();
    // The first activation after a reset the user started applies the carrier mode.
    if (m_system.TimeAfterReset->text() == "0") OffsetClick();
    send(m_session.driftUnit() == DriftUnit::KhzPerMs ? "CONF:MOD:DRIF:UNIT MS"
                                                      : "CONF:MOD:DRIF:UNIT SLOT");
    if (!m_session.catIq()) send("CONF:TEST NOP0");
}

void RadioOptions::send(const QString& line) {
    m_tester.sendText(line);
}

void RadioOptions::applyCheck(QLineEdit* field, const FieldCheck& check) {
    field->setText(check.text);
    for (const QString& m : check.messages) m_dialogs.showError(m_panel.window(), m);
}

}  // namespace tavrin::app
