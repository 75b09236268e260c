// The main window's entry-field convention: a field commits its value when it loses the focus
// to another control and when Enter is pressed; the Enter key itself never reaches the field.
#pragma once

#include <QObject>
#include <functional>

class QLineEdit;
class QWidget;

namespace tavrin::app {

class EntryCommit : public QObject {
    Q_OBJECT
public:
    // Runs `exit` on the field's focus-out and on Enter; owned by the field (a line edit or an
    // editable list).
    static EntryCommit* install(QWidget* field, std::function<void()> exit);
    // Removes the commits below `root`: a window being destroyed takes the focus from its
    // fields, and that must not commit into half-destroyed pages.
    static void disarmAll(QObject* root);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    EntryCommit(QWidget* field, std::function<void()> exit);
    void run();

    std::function<void()> m_exit;
    bool m_running = false;
};

// Limits what the user can type into `edit` to `maxLength` characters. Text set by the program
// (a setup file's value, say) is kept whole, so a stored traffic slot 11 or a coupling loss
// of 100.5 reaches the field's check instead of being cut to "1" or "100.".
void LimitTypedLength(QLineEdit* edit, int maxLength);
// The limit given to LimitTypedLength.
int TypedLengthLimit(const QLineEdit* edit);

}  // namespace tavrin::app
