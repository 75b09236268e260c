// The entry-field convention as an event filter on the field.
#include "CommitOnExit.h"

#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QWidget>

namespace tavrin::app {
namespace {

class ExitFilter : public QObject {
public:
    ExitFilter(QWidget* field, std::function<void()> commit)
        : QObject(field), m_commit(std::move(commit)) {
        setObjectName(kName);
    }
    static constexpr const char* kName = "CommitOnExit";

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                run();
                return true;  // swallowed: no beep, no default button
            }
        } else if (event->type() == QEvent::FocusOut) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) run();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void run() {
        if (m_running) return;
        m_running = true;
        m_commit();
        m_running = false;
    }

    std::function<void()> m_commit;
    bool m_running = false;
};

}  // namespace

void CommitOnExit(QWidget* field, std::function<void()> commit) {
    field->installEventFilter(new ExitFilter(field, std::move(commit)));
}

void DisarmCommitOnExit(QObject* root) {
    for (QObject* filter : root->findChildren<QObject*>(ExitFilter::kName)) delete filter;
}

}  // namespace tavrin::app
