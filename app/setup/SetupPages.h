// The "Setup PP" and "Setup FP" pages, which hold the limit fields of the two test roles.
#pragma once

#include "core/TabPage.h"

namespace tavrin::app {

class SetupPPPage : public TabPage {
    Q_OBJECT
public:
    explicit SetupPPPage(QWidget* parent = nullptr) : TabPage("SetupPPTabSheet", true, parent) {}
};

class SetupFPPage : public TabPage {
    Q_OBJECT
public:
    explicit SetupFPPage(QWidget* parent = nullptr) : TabPage("SetupFPTabSheet", true, parent) {}
};

}  // namespace tavrin::app
