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
    std::function<void(const char*)> sendCommand;      // the port command
    std::function<void(Remembered, double)> remember;  // the test pages' remembered values
    std::function<void(int)> fontSize;                 // the link window's display font
    // The NTP chart's power range, from the loaded coupling loss and RX attenuator.
    std::function<void(double loss, bool rxAttenuator)> powerRange;
};

// A value in a file that a load could not use.
struct UnreadableValue {
    const SetupKey* key = nullptr;
    std::string found;  // the file's text
    std::string used;   // the factory value; a modulation: the word of the choice that stays
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
    // Gives the values of the file it could not use, in the table's order.
    std::vector<UnreadableValue> load(const SetupStore* store, const SetupLoadHooks& hooks) const;

private:
    // The choice of a modulation key that is selected; nullptr when none is.
    const ModulationChoice* selected(const SetupKey& key) const;

    std::vector<QObject*> m_roots;
};

}  // namespace tavrin::app
