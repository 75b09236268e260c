// Each side's names for the controls the shared page builds from the limit and ramp tables.
#include "SetupPages.h"

#include <QLineEdit>

namespace tavrin::app {
namespace {

using common::LimitColumn;
using common::LimitRow;

// Binds the named members to the fields, row by row in the limit table's order.
template <typename Page>
using LimitMembers = std::array<std::array<QLineEdit * Page::*, 4>, 7>;

template <typename Page>
void BindNames(Page* page, const LimitMembers<Page>& limits,
               const std::array<QLineEdit * Page::*, 6>& ramps) {
    for (const common::LimitRowSpec& entry : common::LimitRows()) {
        for (LimitColumn c : common::kLimitColumns) {
            if (auto member = limits[static_cast<size_t>(entry.row)][static_cast<size_t>(c)])
                page->*member = page->limitEdit(entry.row, c);
        }
    }
    for (int level = 0; level < 6; ++level)
        page->*ramps[static_cast<size_t>(level)] = page->rampEdit(level);
}

using PP = SetupPPPage;
const LimitMembers<PP> kPPLimits = {{
    {&PP::NTPMinEdit, &PP::NTPMinOKEdit, &PP::NTPMaxOKEdit, &PP::NTPMaxEdit},
    {&PP::FrqOffMinEdit, &PP::FrqOffMinOKEdit, &PP::FrqOffMaxOKEdit, &PP::FrqOffMaxEdit},
    {&PP::B_FieldMinEdit, &PP::B_FieldMinOKEdit, &PP::B_FieldMaxOKEdit, &PP::B_FieldMaxEdit},
    {&PP::S_FieldMinEdit, &PP::S_FieldMinOKEdit, &PP::S_FieldMaxOKEdit, &PP::S_FieldMaxEdit},
    {&PP::FrqDriftMinEdit, &PP::FrqDriftMinOKEdit, &PP::FrqDriftMaxOKEdit, &PP::FrqDriftMaxEdit},
    {nullptr, nullptr, &PP::LT_BERMaxOKEdit, &PP::LT_BERMaxEdit},
    {nullptr, nullptr, &PP::LT_FERMaxOKEdit, &PP::LT_FERMaxEdit},
}};

using FP = SetupFPPage;
const LimitMembers<FP> kFPLimits = {{
    {&FP::NTPMinFPEdit, &FP::NTPMinOKFPEdit, &FP::NTPMaxOKFPEdit, &FP::NTPMaxFPEdit},
    {&FP::FrqOffMinFPEdit, &FP::FrqOffMinOKFPEdit, &FP::FrqOffMaxOKFPEdit, &FP::FrqOffMaxFPEdit},
    {&FP::B_FieldMinFPEdit, &FP::B_FieldMinOKFPEdit, &FP::B_FieldMaxOKFPEdit,
     &FP::B_FieldMaxFPEdit},
    {&FP::S_FieldMinFPEdit, &FP::S_FieldMinOKFPEdit, &FP::S_FieldMaxOKFPEdit,
     &FP::S_FieldMaxFPEdit},
    {&FP::FrqDriftMinFPEdit, &FP::FrqDriftMinOKFPEdit, &FP::FrqDriftMaxOKFPEdit,
     &FP::FrqDriftMaxFPEdit},
    {nullptr, nullptr, &FP::LT_BERMaxOKFPEdit, &FP::LT_BERMaxFPEdit},
    {nullptr, nullptr, &FP::LT_FERMaxOKFPEdit, &FP::LT_FERMaxFPEdit},
}};

}  // namespace

SetupPPPage::SetupPPPage(TesterWorker& tester, UserDialogs& dialogs, QWidget* parent)
    : SetupPage("SetupPPTabSheet", "", "PP_RAMP", tester, dialogs, parent) {
    BindNames(
        this, kPPLimits,
        {&PP::PP_RAMPA, &PP::PP_RAMPB, &PP::PP_RAMPC, &PP::PP_RAMPD, &PP::PP_RAMPE, &PP::PP_RAMPF});
    LoadPPButton = m_loadButton;
    LoadDefaultPPButton = m_loadDefaultButton;
    SavePPButton = m_saveButton;
    SaveAsDefaultPPButton = m_saveAsDefaultButton;
    FactoryPPButton = m_factoryButton;
    ConfigFilePPEdit = m_configFileEdit;
}

SetupFPPage::SetupFPPage(TesterWorker& tester, UserDialogs& dialogs, QWidget* parent)
    : SetupPage("SetupFPTabSheet", "FP", "FP_RAMP", tester, dialogs, parent) {
    BindNames(
        this, kFPLimits,
        {&FP::FP_RAMPA, &FP::FP_RAMPB, &FP::FP_RAMPC, &FP::FP_RAMPD, &FP::FP_RAMPE, &FP::FP_RAMPF});
    LoadFPButton = m_loadButton;
    LoadDefaultFPButton = m_loadDefaultButton;
    SaveFPButton = m_saveButton;
    SaveAsDefaultFPButton = m_saveAsDefaultButton;
    FactoryFPButton = m_factoryButton;
    ConfigFileFPEdit = m_configFileEdit;
}

}  // namespace tavrin::app
