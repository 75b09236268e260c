// The communication console: a command line to the tester through the command wrappers, the
// echo of the traffic in debug mode, and a history of the last twenty distinct lines.
#pragma once

#include <QWidget>

#include "ConsoleHistory.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QStatusBar;

namespace tavrin::app {

class TesterWorker;

class TCommForm : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMemoLines = 500;
    static constexpr int kInputLength = 130;

    TCommForm(TesterWorker& tester, QWidget* parent = nullptr);

    void appendLine(const QString& line);
    void showStatus(const QString& text);
    const ConsoleHistory& history() const { return m_history; }

    QLineEdit* SendCommEdit;
    QPlainTextEdit* CommMemo;
    QStatusBar* MainStatusBar;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Enter, Up and Down of the input field; true when the key was handled.
    bool SendCommEditKeyDown(int key);
    void sendLine();

    TesterWorker& m_tester;
    ConsoleHistory m_history;
    QLabel* m_statusPanel;
};

}  // namespace tavrin::app
