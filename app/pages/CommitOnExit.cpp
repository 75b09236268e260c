// The entry-field convention as an event filter on the field.
#include "CommitOnExit.h"

#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>
#include <QVariant>

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

constexpr const char* kTypedLengthProperty = "typedMaxLength";

}  // namespace

void LimitTypedLength(QLineEdit* edit, int maxLength) {
    edit->setValidator(new TypedLengthValidator(maxLength, edit));
    edit->setProperty(kTypedLengthProperty, maxLength);
}

int TypedLengthLimit(const QLineEdit* edit) {
    return edit->property(kTypedLengthProperty).toInt();
}

void CommitOnExit(QWidget* field, std::function<void()> commit) {
    field->installEventFilter(new ExitFilter(field, std::move(commit)));
}

void DisarmCommitOnExit(QObject* root) {
    for (QObject* filter : root->findChildren<QObject*>(ExitFilter::kName)) delete filter;
}

}  // namespace tavrin::app
