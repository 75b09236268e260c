// The bottom panel of the main window, shown under the System and test pages: the
// "Attenuation" and "Measurement Averaging" groups.
#pragma once

#include <QWidget>

class QCheckBox;
class QLineEdit;

namespace tavrin::app {

class BottomPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 58;
    explicit BottomPanel(QWidget* parent = nullptr);

    QLineEdit* RFAttenuationEdit;
    QCheckBox* RxAttCheckBox;
    QLineEdit* AverageFactorEdit;
};

}  // namespace tavrin::app
