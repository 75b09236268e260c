// The "FP-&Test" page: the tester plays a portable part towards a fixed part under test. A
// radio test page with the antenna row and the Status / Connect / Release button, which walks
// through searching, linked and idle; its controls and handlers under their own names.
#pragma once

#include "RadioTestPage.h"

namespace tavrin::app {

class FPTestPage : public RadioTestPage {
    Q_OBJECT
public:
    FPTestPage(SessionState& session, TesterWorker& tester, UserDialogs& dialogs,
               RadioOptions& radio, QWidget* parent = nullptr);

    // Handlers.
    void FP_TestTabSheetShow() { showWork(); }
    void FP_TestTabSheetHide() { hideWork(); }
    void AntennaUpDownClick() { stepperClick(RadioRow::Antenna); }
    void AntennaEditExit() { editExit(RadioRow::Antenna); }
    void RFPI_FPEditExit() { editExit(RadioRow::Rfpi); }
    void DummyCarrierFPUpDownClick() { stepperClick(RadioRow::DummyCarrier); }
    void DummyCarrierFPEditExit() { editExit(RadioRow::DummyCarrier); }
    void TrafficSlotFPUpDownClick() { stepperClick(RadioRow::TrafficSlot); }
    void TrafficSlotFPEditExit() { editExit(RadioRow::TrafficSlot); }
    void TrafficCarrierFPUpDownClick() { stepperClick(RadioRow::TrafficCarrier); }
    void TrafficCarrierFPEditExit() { editExit(RadioRow::TrafficCarrier); }
    void RFLevelFPEditExit() { levelEditExit(); }
    void RFLevelFPTrackBarChange() { levelTrackBarChange(); }
    void BERFPEditExit() { berEditExit(); }
    void ResetCountFPButtonClick() { resetCountClick(); }
    void StatusFPButtonClick();
    void FPEchoRadioButtonClick() { modeClick(); }
    void FPLOOPRadioButtonClick() { modeClick(); }
    void SlotLengthFPComboChange() { slotTypeChange(); }
    void PTemplateSelectFPChange() { powerTemplateChange(); }
    void ProPreampleFPClick() { preambleClick(); }
    void HighDynamicFPSelectClick() { highDynamicClick(); }

    QLabel* const AntennaLabel = field(RadioRow::Antenna).label;
    QLineEdit* const AntennaEdit = field(RadioRow::Antenna).edit;
    UpDown* const AntennaUpDown = field(RadioRow::Antenna).stepper;
    QLineEdit* const RFPI_FPEdit = field(RadioRow::Rfpi).edit;
    QLabel* const DummyCarrierFPLabel = field(RadioRow::DummyCarrier).label;
    QLineEdit* const DummyCarrierFPEdit = field(RadioRow::DummyCarrier).edit;
    UpDown* const DummyCarrierFPUpDown = field(RadioRow::DummyCarrier).stepper;
    QLabel* const TrafficSlotFPLabel = field(RadioRow::TrafficSlot).label;
    QLineEdit* const TrafficSlotFPEdit = field(RadioRow::TrafficSlot).edit;
    UpDown* const TrafficSlotFPUpDown = field(RadioRow::TrafficSlot).stepper;
    QLabel* const TrafficCarrierFPLabel = field(RadioRow::TrafficCarrier).label;
    QLineEdit* const TrafficCarrierFPEdit = field(RadioRow::TrafficCarrier).edit;
    UpDown* const TrafficCarrierFPUpDown = field(RadioRow::TrafficCarrier).stepper;
    QLineEdit* const RFLevelFPEdit = levelEdit;
    QSlider* const RFLevelFPTrackBar = levelTrackBar;
    QGroupBox* const GroupBox6 = patterns;
    QRadioButton* const PSRB_FPRadioButton = patternButtons[0];
    QRadioButton* const SPSR_FPRadioButton = patternButtons[1];
    QRadioButton* const BS55_FPRadioButton = patternButtons[2];
    QRadioButton* const BS33_FPRadioButton = patternButtons[3];
    QRadioButton* const BS0F_FPRadioButton = patternButtons[4];
    QRadioButton* const FIG31_FPRadioButton = patternButtons[5];
    QRadioButton* const BS20_FPRadioButton = patternButtons[6];
    QLineEdit* const BERFPEdit = berEdit;
    StateButton* const ResetCountFPButton = resetCountButton;
    QComboBox* const SlotLengthFPCombo = slotTypeCombo;
    QComboBox* const PTemplateSelectFP = powerTemplateCombo;
    QCheckBox* const ProPreampleFP = preambleBox;
    QCheckBox* const HighDynamicFPSelect = highDynamicBox;
    QGroupBox* const FPMode = modeGroup;
    QRadioButton* const FPEchoRadioButton = echoButton;
    QRadioButton* const FPLOOPRadioButton = loopButton;
    StateButton* const StatusFPButton = linkButton;
};

}  // namespace tavrin::app
