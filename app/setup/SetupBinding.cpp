// Reading and setting the controls the setup keys name.
#include "SetupBinding.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QSpinBox>
#include <cctype>

#include "SetupStore.h"
#include "core/UpDown.h"

namespace tavrin::app {
namespace {

std::string StateOf(QObject* control) {
    if (auto* edit = qobject_cast<QLineEdit*>(control)) return edit->text().toStdString();
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        return button->isChecked() ? "1" : "0";
    if (auto* stepper = qobject_cast<UpDown*>(control)) return std::to_string(stepper->position());
    if (auto* spin = qobject_cast<QSpinBox*>(control)) return std::to_string(spin->value());
    return {};
}

// A check box or choice whose state changes runs its own click handling, as a click would;
// that also holds for a control that is disabled at the moment.
void SetChecked(QAbstractButton* button, bool checked) {
    if (button->isChecked() == checked) return;
    button->setChecked(checked);
    Q_EMIT button->clicked(checked);
}

void SetState(QObject* control, const LoadedValue& value) {
    if (!control) return;
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setText(QString::fromStdString(value.text));
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        SetChecked(button, value.number.value_or(0) != 0);
    } else if (auto* stepper = qobject_cast<UpDown*>(control)) {
        stepper->setPosition(static_cast<int>(value.number.value_or(0)));
    } else if (auto* spin = qobject_cast<QSpinBox*>(control)) {
        spin->setValue(static_cast<int>(value.number.value_or(0)));
    }
}

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

}  // namespace

SetupBinding::SetupBinding(std::vector<QObject*> roots) : m_roots(std::move(roots)) {}

QObject* SetupBinding::control(const std::string& name) const {
    if (name.empty()) return nullptr;
    const QString wanted = QString::fromStdString(name);
    for (QObject* root : m_roots) {
        if (!root) continue;
        if (root->objectName() == wanted) return root;
        if (QObject* found = root->findChild<QObject*>(wanted)) return found;
    }
    return nullptr;
}

std::vector<std::string> SetupBinding::missingControls() const {
    std::vector<std::string> missing;
    const auto check = [&](const std::string& name) {
        if (!name.empty() && !control(name)) missing.push_back(name);
    };
    for (const SetupKey& key : SetupKeys()) {
        check(key.control);
        check(key.alsoControl);
        for (const ModulationChoice& c : key.choices) check(std::string(c.control));
    }
    return missing;
}

const ModulationChoice* SetupBinding::selected(const SetupKey& key) const {
    for (const ModulationChoice& c : key.choices) {
        auto* button = qobject_cast<QAbstractButton*>(control(std::string(c.control)));
        if (button && button->isChecked()) return &c;
    }
    return nullptr;
}

void SetupBinding::writeTo(SetupStore& store) const {
    for (const SetupKey& key : SetupKeys()) {
        if (key.kind == SetupKind::Port) {
            store.setValue(key.section, key.key, std::string(kSetupPort));
        } else if (key.kind == SetupKind::Modulation) {
            if (const ModulationChoice* c = selected(key))
                store.setValue(key.section, key.key, std::string(c->word));
        } else if (QObject* c = control(key.control)) {
            store.setValue(key.section, key.key, StateOf(c));
        }
    }
}

std::vector<UnreadableValue> SetupBinding::load(const SetupStore* store,
                                                const SetupLoadHooks& hooks) const {
    std::vector<UnreadableValue> unreadable;
    double loss = 0;
    bool rxAttenuator = true;
    for (const SetupKey& key : SetupKeys()) {
        const std::optional<std::string> found =
            store ? store->value(key.section, key.key) : std::nullopt;
        const LoadedValue v = ResolveSetupValue(key, found);
        if (v.unreadable) {
            const ModulationChoice* kept = selected(key);
            unreadable.push_back({&key, *found,
                                  key.kind != SetupKind::Modulation ? v.text
                                  : kept                            ? std::string(kept->word)
                                                                    : "as it was"});
        }
        switch (key.kind) {
            case SetupKind::Port:
                // Compared without regard to case, as the file's names are.
                if (SameText(v.text, kSetupPort) && hooks.sendCommand)
                    hooks.sendCommand("CONF:COMM:PORT USB");
                continue;
            case SetupKind::Modulation:
                if (v.choice) {
                    auto* button = qobject_cast<QAbstractButton*>(
                        control(std::string(key.choices[*v.choice].control)));
                    if (button) SetChecked(button, true);
                }
                continue;
            case SetupKind::FontSize:
                if (hooks.fontSize) hooks.fontSize(static_cast<int>(*v.number));
                break;
            default:
                break;
        }
        SetState(control(key.control), v);
        SetState(control(key.alsoControl), v);
        if (key.remembered != Remembered::None && hooks.remember)
            hooks.remember(key.remembered, *v.number);
        if (key.key == "ExtAttenuation") loss = *v.number;
        if (key.key == "RxAttenuator") rxAttenuator = *v.number != 0;
    }
    if (hooks.powerRange) hooks.powerRange(loss, rxAttenuator);
    return unreadable;
}

}  // namespace tavrin::app
