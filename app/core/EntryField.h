// The main window's entry-field convention: a field commits its value when it loses the focus
// to another control and when Enter is pressed; the Enter key itself never reaches the field.
#pragma once

#include <QObject>
#include <functional>

class QLineEdit;

namespace tavrin::app {

class EntryCommit : public QObject {
    Q_OBJECT
public:
    // Runs `exit` on the field's focus-out and on Enter; owned by the field.
    static EntryCommit* install(QLineEdit* field, std::function<void()> exit);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    EntryCommit(QLineEdit* field, std::function<void()> exit);
    void run();

    std::function<void()> m_exit;
    bool m_running = false;
};

}  // namespace tavrin::app
