// The "RF-&Analyzer" page: the tester receives on a carrier (hidden for every known model).
#pragma once

#include "core/TabPage.h"

class QLabel;
class QLineEdit;

namespace tavrin::app {

class UpDown;

class RFAnalyzerPage : public TabPage {
    Q_OBJECT
public:
    explicit RFAnalyzerPage(QWidget* parent = nullptr);

    QLabel* RfAnalyzerCarrierLabel;
    QLineEdit* CarrierAnalyzerEdit;
    UpDown* CarrierAnalyzerUpDown;
};

}  // namespace tavrin::app
