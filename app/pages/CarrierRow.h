// One labelled carrier field with its stepper, as the test pages lay them out.
#pragma once

#include <QString>

class QGridLayout;
class QLabel;
class QLineEdit;
class QWidget;

namespace tavrin::app {

class UpDown;

struct CarrierRow {
    QLabel* label;
    QLineEdit* edit;
    UpDown* upDown;
};

// A row of `grid`: label, field (10 characters, text "0"), stepper 0..9 wrapping at `position`.
CarrierRow AddCarrierRow(QWidget* page, QGridLayout* grid, int row, const QString& labelText,
                         int position);

}  // namespace tavrin::app
