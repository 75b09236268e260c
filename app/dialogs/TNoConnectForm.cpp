// The no-connection dialog and the help window.
#include "TNoConnectForm.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavrin::app {

THelpForm::THelpForm(QWidget* parent) : QWidget(parent, Qt::Dialog) {
    setObjectName("HelpForm");
    setWindowTitle("Tavrin Help");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel("If no connection is established please check the following:", this);
    heading->setAlignment(Qt::AlignCenter);
    layout->addWidget(heading);
    CheckLine1 = new QLabel(this);
    layout->addWidget(CheckLine1);
    layout->addWidget(new QLabel("- Check Fuses (ON LED).", this));
    layout->addWidget(new QLabel("- Check USB Cable is installed.", this));
    auto* press = new QLabel("Press OK to retry to connect", this);
    press->setAlignment(Qt::AlignCenter);
    layout->addWidget(press);
    LptChangedOKButton = new QPushButton("OK", this);
    layout->addWidget(LptChangedOKButton, 0, Qt::AlignCenter);
    connect(LptChangedOKButton, &QPushButton::clicked, this, [this] {
        if (onOk) onOk();
    });
    setFixedWidth(340);
}

void THelpForm::placeBelow(const QWidget* dialog) {
    move(dialog->frameGeometry().left(),
         dialog->frameGeometry().top() + dialog->frameGeometry().height());
}

void THelpForm::showEvent(QShowEvent* event) {
    setWindowTitle("Tavrin Help");
    CheckLine1->setText("- Check Tavrin Test Set is turned ON.");
    // The window's last line asks the user to press OK, so the OK button is offered whenever
    // the window is shown; it retries like the dialog's "&Retry".
    LptChangedOKButton->setVisible(true);
    QWidget::showEvent(event);
}

TNoConnectForm::TNoConnectForm(THelpForm& help, QWidget* parent)
    : QWidget(parent, Qt::Dialog), m_help(help) {
    setObjectName("NoConnectForm");
    setWindowTitle("No Connection");  // FormCreate
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel("No Connection to Tester", this);
    text->setAlignment(Qt::AlignCenter);
    QFont big = text->font();
    big.setPointSize(big.pointSize() + 4);
    big.setBold(true);
    text->setFont(big);
    layout->addWidget(text);
    auto* buttons = new QHBoxLayout;
    ExitButton = new QPushButton("E&xit", this);
    RetryButton = new QPushButton("&Retry", this);
    HelpButton = new QPushButton("&Help", this);
    buttons->addWidget(ExitButton);
    buttons->addWidget(RetryButton);
    buttons->addWidget(HelpButton);
    layout->addLayout(buttons);
    connect(ExitButton, &QPushButton::clicked, this, &TNoConnectForm::ExitButtonClick);
    connect(RetryButton, &QPushButton::clicked, this, &TNoConnectForm::RetryButtonClick);
    connect(HelpButton, &QPushButton::clicked, this, &TNoConnectForm::HelpButtonClick);
    setFixedSize(320, 110);
}

void TNoConnectForm::showEvent(QShowEvent* event) {
    if (mainWindow) mainWindow->hide();
    if (resetDialog) move(resetDialog->pos());
    QWidget::showEvent(event);
}

void TNoConnectForm::closeEvent(QCloseEvent* event) {
    event->accept();
    if (onExit) onExit();
}

void TNoConnectForm::ExitButtonClick() {
    if (onExit) onExit();
}

void TNoConnectForm::RetryButtonClick() {
    m_help.hide();
    hide();
    if (onRetry) onRetry();
}

void TNoConnectForm::HelpButtonClick() {
    // Hidden first so that a window already open comes back to the front.
    m_help.hide();
    m_help.placeBelow(this);
    m_help.show();
    m_help.raise();
}

}  // namespace tavrin::app
