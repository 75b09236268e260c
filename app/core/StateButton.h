// A push button with the small integer state flag the handlers keep on it (the chart
// buttons: 1 while their window is closed, 0 while it is open).
#pragma once

#include <QPushButton>

namespace tavrin::app {

class StateButton : public QPushButton {
    Q_OBJECT
public:
    StateButton(const QString& text, int flag, QWidget* parent = nullptr)
        : QPushButton(text, parent), tag(flag) {}

    int tag;
};

}  // namespace tavrin::app
