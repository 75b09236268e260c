// What the "Setup PP" and "Setup FP" pages share: the limit fields bound from the limit table,
// the six template ramp fields, and the "Setup" group. Each side's page adds the controls'
// own names.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "common/LimitSet.h"
#include "core/TabPage.h"

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace tavrin::app {

class TesterWorker;
class UserDialogs;

// What the pages hand to the main window, which holds the shared state.
struct SetupPageHooks {
    // A ramp field's exit stores its level (0 = A .. 5 = F) for the template.
    std::function<void(int level, int value)> storeRamp;
    // After every row check, with the change of the count of limit fields in error.
    std::function<void(int delta)> limitRowChecked;
};

class SetupPage : public TabPage {
    Q_OBJECT
public:
    // `side` is "" on the PP page and "FP" on the FP page (it goes before "Edit" in the limit
    // field names); `rampPrefix` is "PP_RAMP" or "FP_RAMP".
    SetupPage(const QString& objectName, const QString& side, const QString& rampPrefix,
              TesterWorker& tester, UserDialogs& dialogs, QWidget* parent = nullptr);

    void setHooks(SetupPageHooks hooks) { m_hooks = std::move(hooks); }

    // The field of a row and column; nullptr where a two-limit row has none.
    QLineEdit* limitEdit(common::LimitRow row, common::LimitColumn column) const;
    QLineEdit* rampEdit(int level) const;
    // The four texts of a row, "" where the row has no field.
    std::array<std::string, 4> limitTexts(common::LimitRow row) const;
    // The row's limits as numbers, for the limit bars; a text that is no number counts as 0.
    std::array<double, 4> limitNumbers(common::LimitRow row) const;
    // Whether a field is marked in error (red): the colour is the memory of the state.
    static bool markedInError(const QLineEdit* field);

    // The exit handling of a limit field (NTPMinEditExit ... LT_FERMaxFPEditExit): a text that
    // is no number is reported and replaced by the factory value, then the row is checked.
    void limitFieldExit(common::LimitRow row, common::LimitColumn column);
    // Marks the row's fields red or white and reports the change of the error count.
    void CheckLimitRow(common::LimitRow row);
    // The exit handling of a ramp field (PP_RAMPAExit ... FP_RAMPFExit).
    void rampFieldExit(int level);
    // The exit handling of the six ramp fields, A to F.
    void CommitRampFields();
    // Enables or disables "&Save" and "Sa&ve as Default".
    void setSavingEnabled(bool enabled);

    QGroupBox* LimitsGroup;
    QGroupBox* RampGroup;
    QGroupBox* SetupGroup;

protected:
    // The Setup group's controls, named by each side's page.
    QPushButton* m_loadButton;
    QPushButton* m_loadDefaultButton;
    QPushButton* m_saveButton;
    QPushButton* m_saveAsDefaultButton;
    QPushButton* m_factoryButton;
    QLineEdit* m_configFileEdit;

private:
    void buildLimits(const QString& side, const QString& caption);
    void buildRamps(const QString& rampPrefix);
    void buildSetupGroup(const QString& side);

    TesterWorker& m_tester;
    UserDialogs& m_dialogs;
    SetupPageHooks m_hooks;
    std::array<std::array<QLineEdit*, 4>, 7> m_limitEdits{};
    std::array<QLineEdit*, 6> m_rampEdits{};
};

}  // namespace tavrin::app
