// The "FP-&Test" page: the tester plays a portable part towards a fixed part under test. The
// Status / Connect / Release button walks through searching, linked and idle.
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

class FPTestPage : public TabPage {
    Q_OBJECT
public:
    explicit FPTestPage(TWenloForm& frame, QWidget* parent = nullptr);
    ~FPTestPage() override;

    // Handlers.
    void FP_TestTabSheetShow();  // the work after the deferral tick
    void FP_TestTabSheetHide();
    void AntennaUpDownClick();
    void AntennaEditExit();
    void RFPI_FPEditExit();
    void DummyCarrierFPUpDownClick();
    void DummyCarrierFPEditExit();
    void TrafficSlotFPUpDownClick();
    void TrafficSlotFPEditExit();
    void TrafficCarrierFPUpDownClick();
    void TrafficCarrierFPEditExit();
    void RFLevelFPEditExit();
    void RFLevelFPTrackBarChange();
    void DataPatternClick(int pattern);  // bound to the PP page's pattern commands
    void BERFPEditExit();
    void ResetCountFPButtonClick();
    // The Reset Count's lines for the field's text, and the field's check shown once they went
    // out (the link window sends them with its first linked tick).
    std::vector<std::string> resetCountCommands() const;
    void resetCountSent();
    void StatusFPButtonClick();
    void FPEchoRadioButtonClick();
    void FPLOOPRadioButtonClick();
    void SlotLengthFPComboChange();
    void PTemplateSelectFPChange();
    void ProPreampleFPClick();
    void HighDynamicFPSelectClick();

    void prepareShow() override;
    void pageWork() override { FP_TestTabSheetShow(); }
    void pageHide() override { FP_TestTabSheetHide(); }

    QLabel* AntennaLabel;
    QLineEdit* AntennaEdit;
    UpDown* AntennaUpDown;
    QLineEdit* RFPI_FPEdit;
    QLabel* DummyCarrierFPLabel;
    QLineEdit* DummyCarrierFPEdit;
    UpDown* DummyCarrierFPUpDown;
    QLabel* TrafficSlotFPLabel;
    QLineEdit* TrafficSlotFPEdit;
    UpDown* TrafficSlotFPUpDown;
    QLabel* TrafficCarrierFPLabel;
    QLineEdit* TrafficCarrierFPEdit;
    UpDown* TrafficCarrierFPUpDown;
    QLineEdit* RFLevelFPEdit;
    QSlider* RFLevelFPTrackBar;
    QGroupBox* GroupBox6;  // "Modulation": the data patterns
    QRadioButton* PSRB_FPRadioButton;
    QRadioButton* SPSR_FPRadioButton;
    QRadioButton* BS55_FPRadioButton;
    QRadioButton* BS33_FPRadioButton;
    QRadioButton* BS0F_FPRadioButton;
    QRadioButton* FIG31_FPRadioButton;
    QRadioButton* BS20_FPRadioButton;
    std::array<QRadioButton*, 7> patternButtons;
    QLineEdit* BERFPEdit;
    StateButton* ResetCountFPButton;
    QComboBox* SlotLengthFPCombo;
    QComboBox* PTemplateSelectFP;
    QCheckBox* ProPreampleFP;
    QCheckBox* HighDynamicFPSelect;
    QGroupBox* FPMode;
    QRadioButton* FPEchoRadioButton;
    QRadioButton* FPLOOPRadioButton;
    StateButton* StatusFPButton;

    // Remembered values (the setup load sets them).
    int berCount = 0;  // the FP page's own last accepted BER frame count
    LevelField& levelField() { return *m_level; }

private:
    TWenloForm& m_frame;
    std::unique_ptr<LevelField> m_level;
};

}  // namespace tavrin::app
