// A radio test page, built from a side table: the PP and FP test pages share its layout and
// handlers; each side's table names the controls, the command prefix and the rows it has.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "PageLayout.h"
#include "RFLevelRule.h"
#include "core/SessionState.h"
#include "core/TabPage.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSlider;

namespace tavrin::app {

class LevelField;
class RadioOptions;
class StateButton;
class TesterWorker;
class UpDown;
class UserDialogs;
struct FieldCheck;

// The field rows of the page's left column.
enum class RadioRow { Antenna, Rfpi, DummySlot, DummyCarrier, TrafficSlot, TrafficCarrier };
inline constexpr int kRadioRowCount = 6;

// One field row as a side lays it out: caption, object names, start text and stepper.
struct RadioFieldRow {
    RadioRow row;
    const char* caption;
    const char* labelName;  // nullptr: the label keeps no name
    const char* editName;
    const char* stepperName;  // nullptr: the row has no stepper
    const char* text;
    int maxLength;
    int width;
    StepperSpec stepper;
};

// The activation's commits; each side lists them in the order it sends them.
enum class ShowStep {
    Antenna,
    Rfpi,
    DummySlot,
    DummyCarrier,
    TrafficSlot,
    TrafficCarrier,
    CarrierOffset,
    SignalMode,  // with the chosen data pattern in loopback
    SlotType,
    LevelAndAttenuator,
    DynamicLow,
    Averaging,
    Ramps,
};

// The object names of the controls below the field rows and in the right column, in this
// order.
struct RadioControlNames {
    const char *levelEdit, *levelTrackBar, *patterns, *ber, *resetCount;
    const char *slotType, *powerTemplate, *preamble, *highDynamic;
    const char *mode, *echo, *loop, *linkButton;
};

// Everything that sets one side's page apart from the other's.
struct RadioSide {
    const char* pageName;
    const char* prefix;  // "PP" or "FP": "CONF:PP:RFPI" and its kin
    const char* testType;
    const char* defaultRfpi;
    bool fixedPart;  // the FP page: its pattern buttons' names, its Setup page, its twin page
    std::vector<RadioFieldRow> rows;  // in the column's order
    std::vector<ShowStep> show;
    RadioControlNames names;
    bool catIqSlots;           // slots 0, 4, 8 while CAT-iq is chosen
    bool dummyCarrierFromDut;  // the part under test chooses it: shown, never enabled here
    bool resetsJitter;         // Reset Count restarts the jitter window too
    bool preambleOn;
    const char* preambleToolTip;  // nullptr: none
    LevelMessage levelMessage;
    const char* linkCaption;
    int linkFlag;
};

class RadioTestPage : public TabPage {
    Q_OBJECT
public:
    RadioTestPage(SessionState& session, TesterWorker& tester, UserDialogs& dialogs,
                  RadioOptions& radio, const RadioSide& side, QWidget* parent);
    ~RadioTestPage() override;

    // A field row's controls; all null for a row the side does not have.
    struct Field {
        QLabel* label = nullptr;
        QLineEdit* edit = nullptr;
        UpDown* stepper = nullptr;
    };
    const Field& field(RadioRow row) const { return m_fields[static_cast<int>(row)]; }

    // The handlers both sides share; the sides' classes give them the controls' names.
    void showWork();  // the work after the deferral tick
    void hideWork();
    void editExit(RadioRow row);
    void stepperClick(RadioRow row);
    void levelEditExit();
    void levelTrackBarChange();
    void DataPatternClick(int pattern);  // the seven data-pattern buttons, by table index
    void berEditExit();
    void resetCountClick();
    // The Reset Count's lines for the field's text, and the field's check shown once they went
    // out (the link window sends them with its first linked tick).
    std::vector<std::string> resetCountCommands() const;
    void resetCountSent();
    void modeClick();
    void slotTypeChange();
    void powerTemplateChange();
    void preambleClick();
    void highDynamicClick();

    void prepareShow() override;
    void pageWork() override { showWork(); }
    void pageHide() override { hideWork(); }

    // The slot lists as the recognised model sets them: slots 0..10 in steps of 2 (0, 4, 8 on
    // a side with the CAT-iq scheme while CAT-iq is chosen), slot type and template refilled.
    void applySlotLists(bool catIq);
    // What the charts read of the page: the high-dynamic choice, and a power template with
    // the prolonged preamble (entries 2 and 4).
    bool highDynamicOn() const;
    bool prolongedPreambleTemplate() const;
    // The carrier range: the carrier steppers' range and the rows' captions.
    void applyCarrierRange(const CarrierRange& range);

    QLineEdit* levelEdit;
    QSlider* levelTrackBar;
    QGroupBox* patterns;                          // "Modulation": the data patterns
    std::array<QRadioButton*, 7> patternButtons;  // in the data-pattern table's order
    QLineEdit* berEdit;
    StateButton* resetCountButton;
    QComboBox* slotTypeCombo;
    QComboBox* powerTemplateCombo;
    QCheckBox* preambleBox;
    QCheckBox* highDynamicBox;
    QGroupBox* modeGroup;
    QRadioButton* echoButton;
    QRadioButton* loopButton;
    StateButton* linkButton;

    // Remembered values (the setup load sets them).
    int dummySlot = 0;  // sides with a dummy slot row
    int trafficSlot = 0;
    int berCount = 0;  // the page's own last accepted BER frame count
    LevelField& levelField() { return *m_level; }

protected:
    // The side's link-button walk: PP Connect or FP Status opening the link window (its Reset
    // Count goes out with the window's first linked tick), FP Connect, Release.
    void openLink(LinkRequest what);
    void requestLink(LinkRequest what) { m_session.request(what); }
    void connectLink();
    void releaseLink(bool chartsFirst);

private:
    Field& fieldAt(RadioRow row) { return m_fields[static_cast<int>(row)]; }
    bool has(RadioRow row) const { return field(row).edit != nullptr; }
    bool catIqChosen() const;
    QString command(const char* tail) const;
    void runStep(ShowStep step);
    void slotStepped(RadioRow row);
    TestSide testSide() const { return m_side.fixedPart ? TestSide::FP : TestSide::PP; }
    void send(const QString& line);
    void applyCheck(QLineEdit* field, const FieldCheck& check);
    void lockLinkFields(bool locked);
    void linkClosed(LinkMode layout);
    void remembered(Remembered value, double number);
    void moveTrafficSlotOff(const QString& dummySlot);

    const RadioSide& m_side;
    SessionState& m_session;
    TesterWorker& m_tester;
    RadioOptions& m_radio;
    std::array<Field, kRadioRowCount> m_fields;
    std::string m_levelCommand;
    std::unique_ptr<LevelField> m_level;
};

}  // namespace tavrin::app
