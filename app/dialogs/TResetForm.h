// The reset dialog, shown while the program waits for the tester to become idle.
#pragma once

#include <QWidget>
#include <functional>

class QLabel;
class QPlainTextEdit;

namespace tavrin::app {

class TResetForm : public QWidget {
    Q_OBJECT
public:
    explicit TResetForm(QWidget* parent = nullptr);

    // Sets the status line's text and colour ("Please wait ..." yellow, "OK" green, ...).
    void setStatus(const QString& text, const QColor& colour);

    // Runs when the user closes the dialog (not when the program hides it).
    std::function<void()> onUserClose;

    QLabel* StatusText;
    QPlainTextEdit* TestStatusMemo;

protected:
    void showEvent(QShowEvent* event) override;    // FormShow
    void closeEvent(QCloseEvent* event) override;  // FormClose
};

}  // namespace tavrin::app
