// The "RF-&Gen" page: the tester transmits a carrier.
#pragma once

#include "core/TabPage.h"

class QLabel;
class QLineEdit;

namespace tavrin::app {

class UpDown;

class RFGenPage : public TabPage {
    Q_OBJECT
public:
    explicit RFGenPage(QWidget* parent = nullptr);

    QLabel* RfGenCarrierLabel;
    QLineEdit* CarrierGenEdit;
    UpDown* CarrierGenUpDown;
};

}  // namespace tavrin::app
