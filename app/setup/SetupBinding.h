// The key table bound to the program's controls by their object names: the save reads the
// controls into a store, the load puts resolved values into them.
#pragma once

#include <QObject>
#include <functional>
#include <string>
#include <vector>

#include "SetupKeys.h"

namespace tavrin::app {

class SetupStore;

// What a load does beyond filling in controls; any member may stay empty.
struct SetupLoadHooks {
    std::function<void(const char*)> sendCommand;   // the port command
    std::function<void(Remembered, int)> remember;  // the test pages' remembered values
    std::function<void(int)> fontSize;              // the link window's display font
    // The NTP chart's power range, from the loaded coupling loss and RX attenuator.
    std::function<void(double loss, bool rxAttenuator)> powerRange;
};

class SetupBinding {
public:
    // Controls are looked up by name in these objects and their children.
    explicit SetupBinding(std::vector<QObject*> roots);

    QObject* control(const std::string& name) const;
    // Names of the table's controls (fields, second controls, choices) not found.
    std::vector<std::string> missingControls() const;

    // Every key in the table's order. A modulation key is written only while one of its
    // choices is selected, otherwise the store keeps what it held.
    void writeTo(SetupStore& store) const;
    // Resolves every key from `store` (nothing: factory values) and puts it into its control.
    void load(const SetupStore* store, const SetupLoadHooks& hooks) const;

private:
    std::vector<QObject*> m_roots;
};

}  // namespace tavrin::app
