// The tester's model identification and the page tabs it and the limits allow.
#include "ModelIdentification.h"

#include <QLabel>
#include <QTabWidget>

#include "TWenloForm.h"
#include "core/CaptionRules.h"
#include "core/ModelTable.h"
#include "pages/FPTestPage.h"
#include "pages/PPTestPage.h"
#include "pages/RFAnalyzerPage.h"
#include "pages/RFGenPage.h"
#include "pages/SystemPage.h"
#include "setup/SetupPages.h"

namespace tavrin::app {

ModelIdentification::ModelIdentification(TWenloForm& frame) : m_frame(frame) {}

ModelIdentification::Outcome ModelIdentification::identify(const std::string& answer) {
    if (const TesterModel* model = IdentifyModel(answer)) {
        configureForModel(*model, answer);
        return Outcome::Recognised;
    }
    const MessageButton choice = m_frame.dialogs().message(
        &m_frame, MessageKind::Error, "Tavrin", "No Valid hardware detected!",
        {MessageButton::Abort, MessageButton::Retry, MessageButton::Ignore});
    switch (choice) {
        case MessageButton::Retry:
            return Outcome::Retry;
        case MessageButton::Ignore:
            m_validHardware = false;
            setTabVisible(m_frame.PP_TestTabSheet, false);
            setTabVisible(m_frame.FP_TestTabSheet, false);
            setTabVisible(m_frame.RF_GenTabSheet, false);
            setTabVisible(m_frame.RF_AnalyzerTabSheet, false);
            return Outcome::Ignored;
        default:
            return Outcome::Abort;
    }
}

void ModelIdentification::configureForModel(const TesterModel& model, const std::string& answer) {
    SessionState& session = m_frame.session();
    m_captionBase = model.baseName;
    if (model.refreshesCaption) m_frame.setWindowTitle(m_captionBase);
    session.setSampleClock(SampleTimeBase::kMicrosecondClock);
    setTabVisible(m_frame.PP_TestTabSheet, true);
    setTabVisible(m_frame.FP_TestTabSheet, true);
    setTabVisible(m_frame.RF_GenTabSheet, true);
    // Every known model hides the analyzer page; "--analyzer" keeps it for those who need it.
    setTabVisible(m_frame.RF_AnalyzerTabSheet, m_showAnalyzer);
    m_validHardware = true;
    // Limits in error keep the test pages hidden until they are mended.
    applyLimitConsistency();

    // The pages' carrier steppers and captions follow the model's range.
    session.setCarrierRange({model.highestCarrier, model.carrierMinimum, model.rangeText});

    if (!model.countryControlsShown) m_frame.SystemTabSheet->hideCountryControls();
    session.setSlotMaximum(SessionState::kStartSlotMaximum);
    session.announceSlotScheme(session.catIq());
    m_frame.SystemTabSheet->HardWareIDLabel->setText(
        QString::fromStdString(HardwareIdText(answer, model)));
}

void ModelIdentification::setTabVisible(TabPage* page, bool visible) {
    m_frame.PageControl->setTabVisible(m_frame.PageControl->indexOf(page), visible);
}

void ModelIdentification::applyLimitConsistency() {
    // The setup pages and the RF analyzer stay as they are, so the faulty field is reachable.
    const bool consistent = m_frame.session().limitsConsistent();
    setTabVisible(m_frame.SystemTabSheet, consistent);
    if (m_validHardware) {
        setTabVisible(m_frame.PP_TestTabSheet, consistent);
        setTabVisible(m_frame.FP_TestTabSheet, consistent);
        setTabVisible(m_frame.RF_GenTabSheet, consistent);
    }
    m_frame.SetupPPTabSheet->setSavingEnabled(consistent);
    m_frame.SetupFPTabSheet->setSavingEnabled(consistent);
}

}  // namespace tavrin::app
