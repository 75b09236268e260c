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
class TesterWorker;
class StateButton;
class UpDown;
class UserDialogs;

class RFAnalyzerPage : public TabPage {
    Q_OBJECT
public:
    // What the page uses of the rest of the program; the frame fills it in.
    struct Links {
        TesterWorker* tester = nullptr;
        UserDialogs* dialogs = nullptr;
        QWidget* mainWindow = nullptr;
        QPointer<ChartWindow> modulationWindow;
        QPointer<ChartWindow> ntpWindow;
        QCheckBox* rxAttenuator = nullptr;  // "RX Attenuator"
        QWidget* couplingLossField = nullptr;
        std::function<int()> highestCarrier;
        std::function<void(float)> setSampleWindowLength;
        // The shared radio-option handlers the page runs.
        std::function<void()> commitAveraging;
        std::function<void()> commitCarrierOffset;
        std::function<void()> commitCouplingLoss;
        std::function<void()> applyRxAttenuator;
        // Sets the power chart range for a coupling loss and undoes the NTP chart's zoom.
        std::function<void(int loss)> setPowerRangeForLoss;
    };

    explicit RFAnalyzerPage(QWidget* parent = nullptr);
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
    void run(const std::function<void()>& step) {
        if (step) step();
    }

    Links m_links;
    // The "RX Attenuator" tick from the moment the self-test was switched on.
    std::optional<bool> m_rememberedRxAttenuator;
};

}  // namespace tavrin::app
