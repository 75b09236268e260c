// The "RF-&Gen" page: the tester transmits one carrier at a chosen level, as a CW carrier or
// modulated with a fixed bit pattern.
#pragma once

#include <array>
#include <memory>

#include "core/TabPage.h"

class QLabel;
class QLineEdit;
class QRadioButton;
class QSlider;

namespace tavrin::app {

class LevelField;
class RadioOptions;
class SessionState;
class TesterWorker;
class UpDown;
class UserDialogs;

class RFGenPage : public TabPage {
    Q_OBJECT
public:
    RFGenPage(SessionState& session, TesterWorker& tester, UserDialogs& dialogs,
              RadioOptions& radio, QWidget* parent = nullptr);
    ~RFGenPage() override;

    // Handlers.
    void RF_GenTabSheetShow();  // the work after the deferral tick
    void RF_GenTabSheetHide();
    void CarrierGenUpDownClick();
    void CarrierGenEditExit();
    void RFLevelGenEditExit();
    void RFLevelGenTrackBarChange();
    void ModulationClick(int modulation);  // CW, BS55, BS33, BS0F by table index

    void prepareShow() override;
    void pageWork() override { RF_GenTabSheetShow(); }
    void pageHide() override { RF_GenTabSheetHide(); }

    QLabel* RfGenCarrierLabel;
    QLineEdit* CarrierGenEdit;
    UpDown* CarrierGenUpDown;
    QLineEdit* RFLevelGenEdit;
    QSlider* RFLevelGenTrackBar;
    QRadioButton* CWGenRadioButton;
    QRadioButton* BS55GenRadioButton;
    QRadioButton* BS33GenRadioButton;
    QRadioButton* BS0FGenRadioButton;
    std::array<QRadioButton*, 4> modulationButtons;

    LevelField& levelField() { return *m_level; }

private:
    SessionState& m_session;
    TesterWorker& m_tester;
    RadioOptions& m_radio;
    std::unique_ptr<LevelField> m_level;
};

}  // namespace tavrin::app
