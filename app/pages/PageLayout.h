// Building blocks of the test pages' layouts: entry fields, steppers and track bars with their
// design values, and a field with its stepper on one grid row.
#pragma once

#include <QString>
#include <array>

class QBoxLayout;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QRadioButton;
class QLabel;
class QLineEdit;
class QSlider;
class QWidget;

namespace tavrin::app {

class StateButton;
class UpDown;

struct StepperSpec {
    int minimum;
    int maximum;
    int increment;
    bool wrap;
    int position;
};

QLineEdit* MakeEdit(QWidget* parent, const QString& text, int maxLength, int width);
UpDown* MakeStepper(QWidget* parent, const StepperSpec& stepper);
// A horizontal track bar 0..60 at position 60.
QSlider* MakeLevelTrackBar(QWidget* parent);
// Label in column 0, the field with its stepper (when given) in column 1.
QLabel* AddFieldRow(QGridLayout* grid, int row, const QString& label, QLineEdit* edit,
                    UpDown* upDown = nullptr);

// The "Modulation" group of the seven data-pattern buttons in the pattern table's order, the
// last one ("BS20") chosen. The FP page's buttons are named "PSRB_FPRadioButton" and so on.
QGroupBox* MakePatternGroup(QWidget* parent, bool fixedPartNames,
                            std::array<QRadioButton*, 7>& buttons);

// The lower rows of the PP and FP pages' field column: slot type and power template lists
// ("Default" until the slot scheme fills them), "Pro Preample" and "High Dynamic".
struct SignalOptionRows {
    QComboBox* slotType;
    QComboBox* powerTemplate;
    QCheckBox* preamble;
    QCheckBox* highDynamic;
};
SignalOptionRows AddSignalOptionRows(QWidget* page, QGridLayout* grid, int row);

// The PP and FP pages' right column: the data patterns, the BER frame count with its disabled
// "&Reset Count", the "Mode" group (LOOPBACK chosen) and the link button.
struct LinkColumn {
    QGroupBox* patterns;
    QLineEdit* berEdit;
    StateButton* resetCount;
    QGroupBox* mode;
    QRadioButton* echo;
    QRadioButton* loop;
    StateButton* linkButton;
};
LinkColumn AddLinkColumn(QWidget* page, QBoxLayout* column, bool fixedPartNames,
                         std::array<QRadioButton*, 7>& patternButtons, const QString& buttonCaption,
                         int buttonFlag);

}  // namespace tavrin::app
