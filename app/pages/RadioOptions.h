// The radio options the test pages share: the carrier plan of the System page's "Carrier
// mode" group, the reference, dirty-transmit and drift-unit groups, and the bottom panel's
// coupling loss, RX attenuator and averaging field. Also the carrier-field and slot-type
// handling that the PP, FP and generator pages have in common.
#pragma once

#include <QObject>
#include <QString>

#include "CarrierPlan.h"

class QComboBox;
class QLineEdit;

namespace tavrin::app {

class SessionState;
class TWenloForm;
class UpDown;

class RadioOptions : public QObject {
    Q_OBJECT
public:
    // Binds the System page's and the bottom panel's controls to the handlers below.
    explicit RadioOptions(TWenloForm& frame);

    // Handlers.
    void OffsetClick();
    void CountryChange();
    void NumberOfUsedCarriersChange();
    void NumberOfUsedCarriersExit();
    void TCarrierOffsetChange();
    void TCarrierOffsetExit();
    void CarrierOffsetUpDownClick();
    void ExtendedRefUpDownClick();
    void TExtendedRefExit();
    void ExtRefSelectClick();
    void DirtyTXClick();
    void DriftKhzMsClick();
    void DriftKhzSlotClick();
    void RFAttenuationEditExit();
    void RxAttCheckBoxClick();
    void AverageFactorEditExit();
    // The range check of the last activated PP, FP or RF-Gen page against the coupling loss.
    void UpdateRFRange(double couplingLoss);

    // What the pages read.
    bool extendedMode() const;
    // NU from its list; 10 while the list holds no valid count.
    int usedCarriers() const;
    double couplingLoss() const;
    // The carrier plan of the extended carrier list and the reference.
    CarrierPlan& carrierPlan() { return m_carrierPlan; }
    // "[0..9]" and its forms, for the pages' carrier labels.
    QString carrierRangeText() const;

    // A carrier field and its stepper (PP dummy and traffic, FP traffic): Offset mode sends
    // the typed number, Extended mode the extended list's carrier at the stepper's position.
    void commitCarrier(QLineEdit* edit, UpDown* upDown, const char* prefix);
    // A stepper click of such a field: the field shows the position's carrier, then commits.
    void stepCarrier(QLineEdit* edit, UpDown* upDown, const char* prefix);
    // The generator carrier: as above, with the range check and default 5 in Offset mode.
    void commitGeneratorCarrier(QLineEdit* edit, UpDown* upDown);

    // A slot type list's change on the PP ("PP") or FP ("FP") page, and a template change.
    void slotTypeChanged(QComboBox* own, QComboBox* other, QComboBox* ownTemplate,
                         QComboBox* otherTemplate, const char* side);
    void powerTemplateChanged(QComboBox* own, QComboBox* other, QComboBox* ownSlotType);

private:
    void applyHighestCarrier(int highest);

    TWenloForm& m_frame;
    SessionState& m_session;
    CarrierPlan m_carrierPlan;
    int m_lastUsedCarriers = 10;
};

}  // namespace tavrin::app
