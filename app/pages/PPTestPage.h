// The "PP-T&est" page: the tester plays a fixed part towards a portable part under test. A
// radio test page with the dummy slot and dummy carrier rows, the CAT-iq slot scheme and the
// Connect / Release button; its controls and handlers under their own names.
#pragma once

#include "RadioTestPage.h"

namespace tavrin::app {

class PPTestPage : public RadioTestPage {
    Q_OBJECT
public:
    PPTestPage(SessionState& session, TesterWorker& tester, UserDialogs& dialogs,
               RadioOptions& radio, QWidget* parent = nullptr);

    // Handlers.
    void PP_TestTabSheetShow() { showWork(); }
    void PP_TestTabSheetHide() { hideWork(); }
    void RFPIEditExit() { editExit(RadioRow::Rfpi); }
    void DummySlotUpDownClick() { stepperClick(RadioRow::DummySlot); }
    void DummySlotEditExit() { editExit(RadioRow::DummySlot); }
    void DummyCarrierUpDownClick() { stepperClick(RadioRow::DummyCarrier); }
    void DummyCarrierEditExit() { editExit(RadioRow::DummyCarrier); }
    void TrafficSlotUpDownClick() { stepperClick(RadioRow::TrafficSlot); }
    void TrafficSlotEditExit() { editExit(RadioRow::TrafficSlot); }
    void TrafficCarrierUpDownClick() { stepperClick(RadioRow::TrafficCarrier); }
    void TrafficCarrierEditExit() { editExit(RadioRow::TrafficCarrier); }
    void RFLevelEditExit() { levelEditExit(); }
    void RFLevelTrackBarChange() { levelTrackBarChange(); }
    void BEREditExit() { berEditExit(); }
    void ResetCountPPButtonClick() { resetCountClick(); }
    void ConnectPPButtonClick();
    void EchoRadioButtonClick() { modeClick(); }
    void LOOPRadioButtonClick() { modeClick(); }
    void SlotLengthComboChange() { slotTypeChange(); }
    void PTemplateSelectPPChange() { powerTemplateChange(); }
    void ProPreamplePPClick() { preambleClick(); }
    void HighDynamicPPSelectClick() { highDynamicClick(); }

    QLineEdit* const RFPIEdit = field(RadioRow::Rfpi).edit;
    QLabel* const DummySlotPPLabel = field(RadioRow::DummySlot).label;
    QLineEdit* const DummySlotEdit = field(RadioRow::DummySlot).edit;
    UpDown* const DummySlotUpDown = field(RadioRow::DummySlot).stepper;
    QLabel* const DummyCarrierPPLabel = field(RadioRow::DummyCarrier).label;
    QLineEdit* const DummyCarrierEdit = field(RadioRow::DummyCarrier).edit;
    UpDown* const DummyCarrierUpDown = field(RadioRow::DummyCarrier).stepper;
    QLabel* const TrafficSlotPPLabel = field(RadioRow::TrafficSlot).label;
    QLineEdit* const TrafficSlotEdit = field(RadioRow::TrafficSlot).edit;
    UpDown* const TrafficSlotUpDown = field(RadioRow::TrafficSlot).stepper;
    QLabel* const TrafficCarrierPPLabel = field(RadioRow::TrafficCarrier).label;
    QLineEdit* const TrafficCarrierEdit = field(RadioRow::TrafficCarrier).edit;
    UpDown* const TrafficCarrierUpDown = field(RadioRow::TrafficCarrier).stepper;
    QLineEdit* const RFLevelEdit = levelEdit;
    QSlider* const RFLevelTrackBar = levelTrackBar;
    QGroupBox* const GroupBox3 = patterns;
    QRadioButton* const PSRBRadioButton = patternButtons[0];
    QRadioButton* const SPSRRadioButton = patternButtons[1];
    QRadioButton* const BS55RadioButton = patternButtons[2];
    QRadioButton* const BS33RadioButton = patternButtons[3];
    QRadioButton* const BS0FRadioButton = patternButtons[4];
    QRadioButton* const FIG31RadioButton = patternButtons[5];
    QRadioButton* const BS20RadioButton = patternButtons[6];
    QLineEdit* const BEREdit = berEdit;
    StateButton* const ResetCountPPButton = resetCountButton;
    QComboBox* const SlotLengthCombo = slotTypeCombo;
    QComboBox* const PTemplateSelectPP = powerTemplateCombo;
    QCheckBox* const ProPreamplePP = preambleBox;
    QCheckBox* const HighDynamicPPSelect = highDynamicBox;
    QGroupBox* const Mode = modeGroup;
    QRadioButton* const EchoRadioButton = echoButton;
    QRadioButton* const LOOPRadioButton = loopButton;
    StateButton* const ConnectPPButton = linkButton;
};

}  // namespace tavrin::app
