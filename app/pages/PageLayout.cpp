// Building blocks of the test pages' layouts.
#include "PageLayout.h"

#include <QCheckBox>
#include <QComboBox>
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
#include "core/StateButton.h"
#include "core/UpDown.h"

namespace tavrin::app {

QLineEdit* MakeEdit(QWidget* parent, const QString& text, int maxLength, int width) {
    auto* edit = new QLineEdit(text, parent);
    LimitTypedLength(edit, maxLength);
    edit->setFixedWidth(width);
    return edit;
}

UpDown* MakeStepper(QWidget* parent, const StepperSpec& stepper) {
    auto* upDown = new UpDown(parent);
    upDown->setRange(stepper.minimum, stepper.maximum);
    upDown->setIncrement(stepper.increment);
    upDown->setWrap(stepper.wrap);
    upDown->setPosition(stepper.position);
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

SignalOptionRows AddSignalOptionRows(QWidget* page, QGridLayout* grid, int row) {
    SignalOptionRows r{new QComboBox(page), new QComboBox(page),
                       new QCheckBox("Pro Preample", page), new QCheckBox("High Dynamic", page)};
    r.slotType->addItem("Default");
    r.powerTemplate->addItem("Default");
    grid->addWidget(new QLabel("Slot Type", page), row, 0);
    grid->addWidget(r.slotType, row, 1);
    grid->addWidget(new QLabel("Power Template", page), row + 1, 0);
    grid->addWidget(r.powerTemplate, row + 1, 1);
    grid->addWidget(r.preamble, row + 2, 0);
    grid->addWidget(r.highDynamic, row + 2, 1);
    return r;
}

LinkColumn AddLinkColumn(QWidget* page, QBoxLayout* column, bool fixedPartNames,
                         std::array<QRadioButton*, 7>& patternButtons, const QString& buttonCaption,
                         int buttonFlag) {
    LinkColumn c{};
    c.patterns = MakePatternGroup(page, fixedPartNames, patternButtons);
    column->addWidget(c.patterns);
    auto* ber = new QGridLayout;
    ber->setSpacing(2);
    c.berEdit = MakeEdit(page, "", 6, 46);
    c.resetCount = new StateButton("&Reset Count", 0, page);
    c.resetCount->setEnabled(false);
    ber->addWidget(new QLabel("No. of frames [1..65535]", page), 0, 0, 1, 2);
    ber->addWidget(c.berEdit, 1, 0);
    ber->addWidget(c.resetCount, 1, 1);
    column->addLayout(ber);
    c.mode = new QGroupBox("Mode", page);
    auto* mode = new QHBoxLayout(c.mode);
    mode->setContentsMargins(4, 0, 4, 2);
    c.echo = new QRadioButton("ECHO", c.mode);
    c.loop = new QRadioButton("LOOPBACK", c.mode);
    c.loop->setChecked(true);
    mode->addWidget(c.echo);
    mode->addWidget(c.loop);
    column->addWidget(c.mode);
    c.linkButton = new StateButton(buttonCaption, buttonFlag, page);
    column->addWidget(c.linkButton);
    column->addStretch();
    return c;
}

}  // namespace tavrin::app
