// The no-connection dialog, shown when the tester never became idle, and the help window it
// opens.
#pragma once

#include <QWidget>
#include <functional>

class QLabel;
class QPushButton;

namespace tavrin::app {

class THelpForm : public QWidget {
    Q_OBJECT
public:
    explicit THelpForm(QWidget* parent = nullptr);

    void placeBelow(const QWidget* dialog);
    std::function<void()> onOk;  // LptChangedOKButtonClick's retry

    QLabel* CheckLine1;
    QPushButton* LptChangedOKButton;

protected:
    void showEvent(QShowEvent* event) override;  // FormShow
};

class TNoConnectForm : public QWidget {
    Q_OBJECT
public:
    TNoConnectForm(THelpForm& help, QWidget* parent = nullptr);

    // Hidden while this dialog is shown; its position is taken from the reset dialog.
    QWidget* mainWindow = nullptr;
    QWidget* resetDialog = nullptr;
    std::function<void()> onRetry;  // shows the reset dialog, resets, selects the System page
    std::function<void()> onExit;   // ends the program

    QPushButton* ExitButton;
    QPushButton* RetryButton;
    QPushButton* HelpButton;

    void RetryButtonClick();
    void HelpButtonClick();
    void ExitButtonClick();

protected:
    void showEvent(QShowEvent* event) override;    // FormShow
    void closeEvent(QCloseEvent* event) override;  // FormClose

private:
    THelpForm& m_help;
};

}  // namespace tavrin::app
