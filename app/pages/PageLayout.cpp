// Building blocks of the test pages' layouts.
#include "PageLayout.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include "OptionTables.h"
#include "RFLevelRule.h"
#include "core/EntryField.h"
#include "core/UpDown.h"

namespace tavrin::app {

QLineEdit* MakeEdit(QWidget* parent, const QString& text, int maxLength, int width) {
    auto* edit = new QLineEdit(text, parent);
    LimitTypedLength(edit, maxLength);
    edit->setFixedWidth(width);
    return edit;
}

UpDown* MakeStepper(QWidget* parent, const StepperSpec& spec) {
    auto* upDown = new UpDown(parent);
    upDown->setRange(spec.minimum, spec.maximum);
    upDown->setIncrement(spec.increment);
    upDown->setWrap(spec.wrap);
    upDown->setPosition(spec.position);
    return upDown;
}

QSlider* MakeLevelTrackBar(QWidget* parent) {
    auto* bar = new QSlider(Qt::Horizontal, parent);
    bar->setRange(0, kTrackBarMaximum);
    bar->setValue(kTrackBarMaximum);
    bar->setTickPosition(QSlider::TicksBelow);
    bar->setTickInterval(10);
    return bar;
}

QLabel* AddFieldRow(QGridLayout* grid, int row, const QString& label, QLineEdit* edit,
                    UpDown* upDown) {
    QWidget* parent = edit->parentWidget();
    auto* text = new QLabel(label, parent);
    auto* field = new QHBoxLayout;
    field->setSpacing(0);
    field->addWidget(edit);
    if (upDown) field->addWidget(upDown);
    field->addStretch();
    grid->addWidget(text, row, 0);
    grid->addLayout(field, row, 1);
    return text;
}

QGroupBox* MakePatternGroup(QWidget* parent, bool fixedPartNames,
                            std::array<QRadioButton*, 7>& buttons) {
    auto* group = new QGroupBox("Modulation", parent);
    auto* column = new QVBoxLayout(group);
    column->setContentsMargins(4, 0, 4, 2);
    column->setSpacing(0);
    for (size_t i = 0; i < buttons.size(); ++i) {
        const DataPattern& p = DataPatterns()[i];
        auto* b = new QRadioButton(p.caption, group);
        QString name = p.button;
        if (fixedPartNames) name.replace("RadioButton", "_FPRadioButton");
        b->setObjectName(name);
        column->addWidget(b);
        buttons[i] = b;
    }
    buttons.back()->setChecked(true);
    return group;
}

}  // namespace tavrin::app
