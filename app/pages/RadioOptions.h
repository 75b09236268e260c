// The radio options the test pages share: the carrier plan of the System page's "Carrier
// mode" group, the reference, dirty-transmit and drift-unit groups, and the bottom panel's
// coupling loss, RX attenuator and averaging field. Also the carrier-field and slot-type
// handling that the PP, FP and generator pages have in common.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

#include "CarrierPlan.h"
#include "core/SessionState.h"

class QComboBox;
class QLineEdit;

namespace tavrin::app {

class BottomPanel;
class LevelField;
class SessionState;
class SystemPage;
class TesterWorker;
class UpDown;
class UserDialogs;
struct FieldCheck;

class RadioOptions : public QObject {
    Q_OBJECT
public:
    // Binds the System page's and the bottom panel's controls to the handlers below.
    RadioOptions(SessionState& session, TesterWorker& tester, UserDialogs& dialogs,
                 SystemPage& system, BottomPanel& panel);

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
    // A tester identified: the coupling loss, RX attenuator and averaging go out again, the
    // carrier mode after a reset the user started, the drift unit and, without CAT-iq, the
    // plain test mode.
    void testerIdentified();
    // The range check of the last activated PP, FP or RF-Gen page against the coupling loss.
    void UpdateRFRange(double couplingLoss);

    // The generator page keeps the RX attenuator as it is while it is shown.
    void lockRxAttenuator(bool locked);
    // The self-test of the analyzer page ticks the RX attenuator and keeps the coupling loss.
    void tickRxAttenuator(bool on);
    void lockCouplingLoss(bool locked);
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
    // The other page's lists follow through the session.
    void slotTypeChanged(QComboBox* own, QComboBox* ownTemplate, const char* side);
    void powerTemplateChanged(QComboBox* own, QComboBox* ownSlotType);
    // The level field of a test page, for the coupling-loss range check of the page activated
    // last; the shell gives it.
    std::function<LevelField*(TestPage)> levelFieldOf;
    // Shows an entry check's result in its field, then its error boxes in order.
    void applyCheck(QLineEdit* field, const FieldCheck& check);

Q_SIGNALS:
    // The reference's neighbour four carriers below: the carrier fields start there.
    void neighbourCarrierChosen(const QString& carrier);
    // A new carrier offset: a generator carrier above 9 goes back to 5.
    void carrierOffsetCommitted();

private:
    void applyHighestCarrier(int highest);

    void send(const QString& line);

    SessionState& m_session;
    TesterWorker& m_tester;
    UserDialogs& m_dialogs;
    SystemPage& m_system;
    BottomPanel& m_panel;
    CarrierPlan m_carrierPlan;
    int m_lastUsedCarriers = 10;
};

}  // namespace tavrin::app
