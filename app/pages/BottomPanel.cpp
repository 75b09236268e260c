// Layout of the bottom panel.
#include "BottomPanel.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "core/EntryField.h"

namespace tavrin::app {

BottomPanel::BottomPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("AlwaysPanel");
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(3, 0, 3, 3);
    row->setSpacing(3);

    auto* attenuation = new QGroupBox("Attenuation", this);
    auto* att = new QHBoxLayout(attenuation);
    att->setContentsMargins(4, 2, 4, 4);
    att->setSpacing(3);
    RFAttenuationEdit = new QLineEdit(attenuation);
    LimitTypedLength(RFAttenuationEdit, 4);
    RFAttenuationEdit->setToolTip("[0..100]");
    RFAttenuationEdit->setFixedWidth(32);
    RxAttCheckBox = new QCheckBox("RX Attenuator", attenuation);
    RxAttCheckBox->setChecked(true);
    att->addWidget(new QLabel("Coupling Loss:", attenuation));
    att->addWidget(RFAttenuationEdit);
    att->addWidget(new QLabel("[dB]", attenuation));
    att->addWidget(RxAttCheckBox);
    row->addWidget(attenuation, 1);

    auto* averaging = new QGroupBox("Measurement Averaging", this);
    auto* avg = new QHBoxLayout(averaging);
    avg->setContentsMargins(4, 2, 4, 4);
    avg->setSpacing(3);
    AverageFactorEdit = new QLineEdit(averaging);
    LimitTypedLength(AverageFactorEdit, 3);
    AverageFactorEdit->setToolTip("[1..200]");
    AverageFactorEdit->setFixedWidth(32);
    avg->addWidget(AverageFactorEdit);
    avg->addStretch();
    averaging->setFixedWidth(116);
    row->addWidget(averaging, 0);

    // The setup file finds its fields by name.
    RFAttenuationEdit->setObjectName("RFAttenuationEdit");
    RxAttCheckBox->setObjectName("RxAttCheckBox");
    AverageFactorEdit->setObjectName("AverageFactorEdit");
}

}  // namespace tavrin::app
