// The "PP-T&est" page: the tester plays a fixed part towards a portable part under test.
// Holds the carrier controls that the model identification and the reset set up.
#pragma once

#include "core/TabPage.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace tavrin::app {

class UpDown;

class PPTestPage : public TabPage {
    Q_OBJECT
public:
    explicit PPTestPage(QWidget* parent = nullptr);

    QLabel* DummyCarrierPPLabel;
    QLineEdit* DummyCarrierEdit;
    UpDown* DummyCarrierUpDown;
    QLabel* TrafficCarrierPPLabel;
    QLineEdit* TrafficCarrierEdit;
    UpDown* TrafficCarrierUpDown;
    QComboBox* SlotLengthCombo;
    QComboBox* PTemplateSelectPP;
};

}  // namespace tavrin::app
