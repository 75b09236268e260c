// The PP test page: its side table and the Connect / Release walk.
#include "PPTestPage.h"

#include <QGroupBox>

#include "core/StateButton.h"

namespace tavrin::app {
namespace {

constexpr const char* kDefaultRfpi = "0000000010";

// The PP page's side: the field rows (caption, label, field, stepper, start text, length,
// width, stepper range), the activation's order and the other controls' names.
// clang-format off
const RadioSide kPPSide{
    .pageName = "PP_TestTabSheet", .prefix = "PP", .testType = "DPP",
    .defaultRfpi = kDefaultRfpi, .fixedPart = false,
    .rows = {
        {RadioRow::Rfpi, "RFPI", nullptr, "RFPIEdit", nullptr, kDefaultRfpi, 10, 70, {}},
        {RadioRow::DummySlot, "Dummy Slot [0,2,4,6,8]", "DummySlotPPLabel", "DummySlotEdit",
         "DummySlotUpDown", "0", 1, 20, {0, 8, 2, true, 0}},
        {RadioRow::DummyCarrier, "Dummy Carrier [0..9]", "DummyCarrierPPLabel",
         "DummyCarrierEdit", "DummyCarrierUpDown", "0", 10, 30, {0, 9, 1, true, 1}},
        {RadioRow::TrafficSlot, "Traffic Slot [0,2,4,6,8]", "TrafficSlotPPLabel",
         "TrafficSlotEdit", "TrafficSlotUpDown", "0", 1, 20, {0, 8, 2, true, 0}},
        {RadioRow::TrafficCarrier, "Traffic Carrier [0..9]", "TrafficCarrierPPLabel",
         "TrafficCarrierEdit", "TrafficCarrierUpDown", "0", 10, 30, {0, 9, 1, true, 0}}},
    .show = {ShowStep::Rfpi, ShowStep::DummySlot, ShowStep::DummyCarrier, ShowStep::TrafficSlot,
             ShowStep::TrafficCarrier, ShowStep::CarrierOffset, ShowStep::SignalMode,
             ShowStep::SlotType, ShowStep::LevelAndAttenuator, ShowStep::DynamicLow,
             ShowStep::Averaging, ShowStep::Ramps},
    .names = {"RFLevelEdit", "RFLevelTrackBar", "GroupBox3", "BEREdit", "ResetCountPPButton",
              "SlotLengthCombo", "PTemplateSelectPP", "ProPreamplePP", "HighDynamicPPSelect",
              "Mode", "EchoRadioButton", "LOOPRadioButton", "ConnectPPButton"},
    .catIqSlots = true, .dummyCarrierFromDut = false, .resetsJitter = true,
    .preambleOn = false, .preambleToolTip = nullptr, .levelMessage = LevelMessage::WholeLoss,
    .linkCaption = "&Connect", .linkFlag = 1};
// clang-format on

}  // namespace

PPTestPage::PPTestPage(SessionState& session, TesterWorker& tester, UserDialogs& dialogs,
                       RadioOptions& radio, QWidget* parent)
    : RadioTestPage(session, tester, dialogs, radio, kPPSide, parent) {
    connect(ConnectPPButton, &QPushButton::clicked, this, &PPTestPage::ConnectPPButtonClick);
}

void PPTestPage::ConnectPPButtonClick() {
    if (ConnectPPButton->tag == 1) {
        ConnectPPButton->tag = 0;
        ConnectPPButton->setText("&Release");
        Mode->setEnabled(false);
        connectLink();
        openLink(LinkRequest::OpenPPConnect);
    } else {
        ConnectPPButton->tag = 1;
        ConnectPPButton->setText("&Connect");
        releaseLink(false);
        Mode->setEnabled(true);
    }
}

}  // namespace tavrin::app
