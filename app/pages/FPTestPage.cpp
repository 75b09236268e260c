// The FP test page: its side table and the Status / Connect / Release walk.
#include "FPTestPage.h"

#include <QGroupBox>

#include "core/StateButton.h"

namespace tavrin::app {
namespace {

constexpr const char* kDefaultRfpi = "0000000000";

// The FP page's side: the field rows (caption, label, field, stepper, start text, length,
// width, stepper range), the activation's order and the other controls' names.
// clang-format off
const RadioSide kFPSide{
    .pageName = "FP_TestTabSheet", .prefix = "FP", .testType = "DFP",
    .defaultRfpi = kDefaultRfpi, .fixedPart = true,
    .rows = {
        {RadioRow::Antenna, "Antenna [0..7]", "AntennaLabel", "AntennaEdit", "AntennaUpDown",
         "0", 1, 20, {0, 7, 1, false, 0}},
        {RadioRow::Rfpi, "RFPI", nullptr, "RFPI_FPEdit", nullptr, kDefaultRfpi, 10, 70, {}},
        {RadioRow::DummyCarrier, "Dummy Carrier [0..78 255]", "DummyCarrierFPLabel",
         "DummyCarrierFPEdit", "DummyCarrierFPUpDown", "0", 10, 30, {0, 9, 1, true, 1}},
        {RadioRow::TrafficSlot, "Traffic Slot [0,2,4,6,8]", "TrafficSlotFPLabel",
         "TrafficSlotFPEdit", "TrafficSlotFPUpDown", "0", 1, 20, {0, 8, 2, true, 4}},
        {RadioRow::TrafficCarrier, "Traffic Carrier [0..9]", "TrafficCarrierFPLabel",
         "TrafficCarrierFPEdit", "TrafficCarrierFPUpDown", "5", 10, 30, {0, 82, 1, true, 1}}},
    // The dummy carrier is not sent: the fixed part under test chooses it.
    .show = {ShowStep::Antenna, ShowStep::Rfpi, ShowStep::TrafficSlot, ShowStep::TrafficCarrier,
             ShowStep::CarrierOffset, ShowStep::Ramps, ShowStep::SignalMode,
             ShowStep::DynamicLow, ShowStep::Averaging, ShowStep::LevelAndAttenuator},
    .names = {"RFLevelFPEdit", "RFLevelFPTrackBar", "GroupBox6", "BERFPEdit",
              "ResetCountFPButton", "SlotLengthFPCombo", "PTemplateSelectFP", "ProPreampleFP",
              "HighDynamicFPSelect", "FPMode", "FPEchoRadioButton", "FPLOOPRadioButton",
              "StatusFPButton"},
    .catIqSlots = false, .dummyCarrierFromDut = true, .resetsJitter = false,
    .preambleOn = true, .preambleToolTip = "Prolonged preample on output signal",
    .levelMessage = LevelMessage::LossAsEntered, .linkCaption = "&Status", .linkFlag = 0};
// clang-format on

}  // namespace

FPTestPage::FPTestPage(SessionState& session, TesterWorker& tester, UserDialogs& dialogs,
                       RadioOptions& radio, QWidget* parent)
    : RadioTestPage(session, tester, dialogs, radio, kFPSide, parent) {
    connect(StatusFPButton, &QPushButton::clicked, this, &FPTestPage::StatusFPButtonClick);
}

void FPTestPage::StatusFPButtonClick() {
    switch (StatusFPButton->tag) {
        case 0:
            StatusFPButton->tag = 1;
            StatusFPButton->setText("&Connect");
            // The link window's status poll enables Connect once the fixed part is locked.
            StatusFPButton->setEnabled(false);
            FPMode->setEnabled(true);
            openLink(LinkRequest::OpenFPStatus);
            break;
        case 1:
            FPMode->setEnabled(false);
            StatusFPButton->tag = 2;
            StatusFPButton->setText("&Release");
            connectLink();
            requestLink(LinkRequest::OpenFPConnect);
            break;
        default:
            StatusFPButton->tag = 0;
            StatusFPButton->setText("&Status");
            FPMode->setEnabled(true);
            releaseLink(true);
            break;
    }
}

}  // namespace tavrin::app
