// The "RF-&Analyzer" page: the tester receives a carrier and shows its modulation and power
// over time in the chart windows, optionally fed by its own generator (self-test). Every
// known tester model hides this page's tab; the "--analyzer" switch shows it.
#pragma once

#include <QPointer>
#include <functional>
#include <optional>

#include "core/TabPage.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace tavrin::app {

class ChartWindow;
class RadioOptions;
class SessionState;
class TesterWorker;
class StateButton;
class UpDown;
class UserDialogs;

class RFAnalyzerPage : public TabPage {
    Q_OBJECT
public:
    // The chart windows the page opens; the shell fills it in.
    struct Links {
        QWidget* mainWindow = nullptr;
        QPointer<ChartWindow> modulationWindow;
        QPointer<ChartWindow> ntpWindow;
        // Sets the power chart range for a coupling loss and undoes the NTP chart's zoom.
        std::function<void(int loss)> setPowerRangeForLoss;
    };

    RFAnalyzerPage(SessionState& session, TesterWorker& tester, UserDialogs& dialogs,
                   RadioOptions& radio, QWidget* parent = nullptr);
    void setLinks(Links links) { m_links = std::move(links); }

    // RF_AnalyzerTabSheetShow after the deferred activation.
    void pageWork() override;
    void RF_AnalyzerTabSheetHide();
    void CarrierAnalyzerUpDownClick();
    void CarrierAnalyzerEditExit();
    void EnableSelftestCheckBoxClick();
    void STBS55RadioButtonClick();
    void STBS33RadioButtonClick();
    void STBS0FRadioButtonClick();
    void Show_ModulationButtonClick();
    void Show_NTPButtonClick();

    QLabel* RfAnalyzerCarrierLabel;
    QLineEdit* CarrierAnalyzerEdit;
    UpDown* CarrierAnalyzerUpDown;
    StateButton* Show_ModulationButton;
    StateButton* Show_NTPButton;
    QGroupBox* SelftestGroupBox;
    QCheckBox* EnableSelftestCheckBox;
    QRadioButton* STBS55RadioButton;
    QRadioButton* STBS33RadioButton;
    QRadioButton* STBS0FRadioButton;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void send(const char* line);
    void sendPattern();
    void setPatternsEnabled(bool on);
    void toggleChart(StateButton* button, ChartWindow* window, const QString& openCaption);
    SessionState& m_session;
    TesterWorker& m_tester;
    UserDialogs& m_dialogs;
    RadioOptions& m_radio;

    Links m_links;
    // The "RX Attenuator" tick from the moment the self-test was switched on.
    std::optional<bool> m_rememberedRxAttenuator;
};

}  // namespace tavrin::app
