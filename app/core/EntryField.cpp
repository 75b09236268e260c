// Commit on leaving a field and on Enter, wired as an event filter: editingFinished would
// miss a focus-out without a change of text.
#include "EntryField.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>
#include <QVariant>

namespace tavrin::app {

namespace {

constexpr const char* kCommitName = "EntryCommit";
constexpr const char* kTypedLengthProperty = "typedMaxLength";

// Applies to typing and pasting only: QLineEdit does not run its validator on setText().
class TypedLengthValidator : public QValidator {
public:
    TypedLengthValidator(int maxLength, QObject* parent)
        : QValidator(parent), m_maxLength(maxLength) {}
    State validate(QString& input, int&) const override {
        return input.size() <= m_maxLength ? Acceptable : Invalid;
    }

private:
    int m_maxLength;
};

}  // namespace

EntryCommit::EntryCommit(QWidget* field, std::function<void()> exit)
    : QObject(field), m_exit(std::move(exit)) {
    setObjectName(kCommitName);
    field->installEventFilter(this);
}

EntryCommit* EntryCommit::install(QWidget* field, std::function<void()> exit) {
    return new EntryCommit(field, std::move(exit));
}

void EntryCommit::disarmAll(QObject* root) {
    for (EntryCommit* commit : root->findChildren<EntryCommit*>(kCommitName)) delete commit;
}

void LimitTypedLength(QLineEdit* edit, int maxLength) {
    edit->setValidator(new TypedLengthValidator(maxLength, edit));
    edit->setProperty(kTypedLengthProperty, maxLength);
}

int TypedLengthLimit(const QLineEdit* edit) {
    return edit->property(kTypedLengthProperty).toInt();
}

void EntryCommit::run() {
    // An error box raised by the exit handling takes the focus; that focus-out must not run
    // the handling a second time while the first is still inside.
    if (m_running) return;
    m_running = true;
    m_exit();
    m_running = false;
}

bool EntryCommit::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            run();
            return true;
        }
    } else if (event->type() == QEvent::FocusOut) {
        // Switching to another window (or a popup) leaves the field's focus where it is: only
        // a move to another control of this window is an exit.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) run();
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace tavrin::app
