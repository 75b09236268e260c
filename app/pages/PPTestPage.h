// The "PP-T&est" page: the tester plays a fixed part towards a portable part under test. The
// page owns its controls and their handlers; the frame keeps the shared state.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "core/TabPage.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;

namespace tavrin::app {

class LevelField;
class StateButton;
class TWenloForm;
class UpDown;

class PPTestPage : public TabPage {
    Q_OBJECT
public:
    explicit PPTestPage(TWenloForm& frame, QWidget* parent = nullptr);
    ~PPTestPage() override;

    // Handlers.
    void PP_TestTabSheetShow();  // the work after the deferral tick
    void PP_TestTabSheetHide();
    void RFPIEditExit();
    void DummySlotUpDownClick();
    void DummySlotEditExit();
    void DummyCarrierUpDownClick();
    void DummyCarrierEditExit();
    void TrafficSlotUpDownClick();
    void TrafficSlotEditExit();
    void TrafficCarrierUpDownClick();
    void TrafficCarrierEditExit();
    void RFLevelEditExit();
    void RFLevelTrackBarChange();
    void DataPatternClick(int pattern);  // the seven data-pattern buttons, by table index
    void BEREditExit();
    void ResetCountPPButtonClick();
    // The Reset Count's lines for the field's text, and the field's check shown once they went
    // out (the link window sends them with its first linked tick).
    std::vector<std::string> resetCountCommands() const;
    void resetCountSent();
    void ConnectPPButtonClick();
    void EchoRadioButtonClick();
    void LOOPRadioButtonClick();
    void SlotLengthComboChange();
    void PTemplateSelectPPChange();
    void ProPreamplePPClick();
    void HighDynamicPPSelectClick();

    void prepareShow() override;
    void pageWork() override { PP_TestTabSheetShow(); }
    void pageHide() override { PP_TestTabSheetHide(); }

    QLineEdit* RFPIEdit;
    QLabel* DummySlotPPLabel;
    QLineEdit* DummySlotEdit;
    UpDown* DummySlotUpDown;
    QLabel* DummyCarrierPPLabel;
    QLineEdit* DummyCarrierEdit;
    UpDown* DummyCarrierUpDown;
    QLabel* TrafficSlotPPLabel;
    QLineEdit* TrafficSlotEdit;
    UpDown* TrafficSlotUpDown;
    QLabel* TrafficCarrierPPLabel;
    QLineEdit* TrafficCarrierEdit;
    UpDown* TrafficCarrierUpDown;
    QLineEdit* RFLevelEdit;
    QSlider* RFLevelTrackBar;
    QGroupBox* GroupBox3;  // "Modulation": the data patterns
    QRadioButton* PSRBRadioButton;
    QRadioButton* SPSRRadioButton;
    QRadioButton* BS55RadioButton;
    QRadioButton* BS33RadioButton;
    QRadioButton* BS0FRadioButton;
    QRadioButton* FIG31RadioButton;
    QRadioButton* BS20RadioButton;
    std::array<QRadioButton*, 7> patternButtons;  // in the data-pattern table's order
    QLineEdit* BEREdit;
    StateButton* ResetCountPPButton;
    QComboBox* SlotLengthCombo;
    QComboBox* PTemplateSelectPP;
    QCheckBox* ProPreamplePP;
    QCheckBox* HighDynamicPPSelect;
    QGroupBox* Mode;
    QRadioButton* EchoRadioButton;
    QRadioButton* LOOPRadioButton;
    StateButton* ConnectPPButton;

    // Remembered values (the setup load sets them).
    int dummySlot = 0;
    int trafficSlot = 0;
    int berCount = 0;  // the last accepted BER frame count
    LevelField& levelField() { return *m_level; }

    // The slot scheme, set once the tester model is recognised: slots 0..10 in steps of 2, or
    // 0, 4, 8 on the PP page in CAT-iq mode; the slot type and template lists refilled.
    void applySlotScheme(bool catIq);

private:
    void commitSlots(bool dummyFirst);

    TWenloForm& m_frame;
    std::unique_ptr<LevelField> m_level;
};

}  // namespace tavrin::app
