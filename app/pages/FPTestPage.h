// The "FP-&Test" page: the tester plays a portable part towards a fixed part under test.
#pragma once

#include "core/TabPage.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace tavrin::app {

class UpDown;

class FPTestPage : public TabPage {
    Q_OBJECT
public:
    explicit FPTestPage(QWidget* parent = nullptr);

    QLabel* DummyCarrierFPLabel;
    QLineEdit* DummyCarrierFPEdit;
    UpDown* DummyCarrierFPUpDown;
    QLabel* TrafficCarrierFPLabel;
    QLineEdit* TrafficCarrierFPEdit;
    UpDown* TrafficCarrierFPUpDown;
    QComboBox* SlotLengthFPCombo;
    QComboBox* PTemplateSelectFP;
};

}  // namespace tavrin::app
