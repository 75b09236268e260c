// The console window.
#include "TCommForm.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QVBoxLayout>
#include <cstring>

#include "core/TesterWorker.h"

namespace tavrin::app {

TCommForm::TCommForm(TesterWorker& tester, QWidget* parent)
    : QWidget(parent, Qt::Window), m_tester(tester) {
    setObjectName("CommForm");
    setWindowTitle("Communication");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 0);
    layout->setSpacing(2);
    CommMemo = new QPlainTextEdit(this);
    CommMemo->setReadOnly(true);
    CommMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The toolkit drops the first line whenever the text grows past this count.
    CommMemo->setMaximumBlockCount(kMemoLines);
    layout->addWidget(CommMemo, 1);
    layout->addWidget(new QLabel("Transmit String :", this));
    SendCommEdit = new QLineEdit("SYST:FIRM:VERS?", this);
    SendCommEdit->setMaxLength(kInputLength);
    SendCommEdit->installEventFilter(this);
    // Typing is shown in upper case, the cursor staying where it was.
    connect(SendCommEdit, &QLineEdit::textEdited, this, [this](const QString& text) {
        const QString upper = text.toUpper();
        if (upper == text) return;
        const int cursor = SendCommEdit->cursorPosition();
        SendCommEdit->setText(upper);
        SendCommEdit->setCursorPosition(cursor);
    });
    layout->addWidget(SendCommEdit);
    MainStatusBar = new QStatusBar(this);
    MainStatusBar->setSizeGripEnabled(true);
    m_statusPanel = new QLabel(MainStatusBar);
    MainStatusBar->addWidget(m_statusPanel, 1);
    layout->addWidget(MainStatusBar);
    setFixedWidth(369);
    setMinimumHeight(140);
    resize(369, 240);
}

void TCommForm::appendLine(const QString& line) {
    CommMemo->appendPlainText(line);
}

void TCommForm::showStatus(const QString& text) {
    m_statusPanel->setText(text);
}

bool TCommForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == SendCommEdit && event->type() == QEvent::KeyPress) {
        if (SendCommEditKeyDown(static_cast<QKeyEvent*>(event)->key())) return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool TCommForm::SendCommEditKeyDown(int key) {
    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            sendLine();
            return true;  // the Enter itself never reaches the field
        case Qt::Key_Up:
            SendCommEdit->setText(QString::fromStdString(m_history.up()));
            return true;
        case Qt::Key_Down:
            SendCommEdit->setText(QString::fromStdString(m_history.down()));
            return true;
        default:
            return false;
    }
}

void TCommForm::sendLine() {
    const QByteArray text = SendCommEdit->text().toLatin1();
    char buffer[kReplyBufferSize] = {};
    std::strncpy(buffer, text.constData(), sizeof buffer - 1);
    const std::string line = buffer;
    SendCommEdit->selectAll();
    // The echo shows the answer; the line joins the history once its result is known. Any
    // non-zero result is a refused line; such lines are not worth recalling.
    m_tester.ask(
        [line](CommandWrappers& w) {
            char reply[kReplyBufferSize] = {};
            const int16_t result = w.sendCommand(line.c_str());
            w.readResponse(reply);
            return result;
        },
        this, [this, line](int16_t result) { m_history.remember(line, result != 0); });
}

}  // namespace tavrin::app
