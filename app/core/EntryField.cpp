// Commit on leaving a field and on Enter, wired as an event filter: editingFinished would
// miss a focus-out without a change of text.
#include "EntryField.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace tavrin::app {

EntryCommit::EntryCommit(QLineEdit* field, std::function<void()> exit)
    : QObject(field), m_exit(std::move(exit)) {
    field->installEventFilter(this);
}

EntryCommit* EntryCommit::install(QLineEdit* field, std::function<void()> exit) {
    return new EntryCommit(field, std::move(exit));
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
