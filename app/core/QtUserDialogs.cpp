// The toolkit's message boxes and file dialogs behind the dialog interface.
#include <QFileDialog>
#include <QMessageBox>

#include "UserDialogs.h"

namespace tavrin::app {
namespace {

QMessageBox::StandardButton ToQt(MessageButton button) {
    switch (button) {
        case MessageButton::Ok:
            return QMessageBox::Ok;
        case MessageButton::Abort:
            return QMessageBox::Abort;
        case MessageButton::Retry:
            return QMessageBox::Retry;
        case MessageButton::Ignore:
            return QMessageBox::Ignore;
        case MessageButton::Yes:
            return QMessageBox::Yes;
        case MessageButton::No:
            return QMessageBox::No;
        case MessageButton::Cancel:
            return QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon IconOf(MessageKind kind) {
    switch (kind) {
        case MessageKind::Information:
            return QMessageBox::Information;
        case MessageKind::Warning:
            return QMessageBox::Warning;
        case MessageKind::Error:
            return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

MessageButton QtUserDialogs::message(QWidget* parent, MessageKind kind, const QString& title,
                                     const QString& text,
                                     const std::vector<MessageButton>& buttons) {
    QMessageBox box(IconOf(kind), title, text, QMessageBox::NoButton, parent);
    for (MessageButton b : buttons) box.addButton(ToQt(b));
    if (!buttons.empty()) box.setEscapeButton(ToQt(buttons.front()));
    box.exec();
    const auto pressed = box.standardButton(box.clickedButton());
    for (MessageButton b : buttons) {
        if (ToQt(b) == pressed) return b;
    }
    return buttons.empty() ? MessageButton::Ok : buttons.front();
}

QString QtUserDialogs::openFileName(QWidget* parent, const QString& title, const QString& directory,
                                    const QString& filter) {
    return QFileDialog::getOpenFileName(parent, title, directory, filter);
}

QString QtUserDialogs::saveFileName(QWidget* parent, const QString& title, const QString& fileName,
                                    const QString& filter) {
    // The toolkit's save dialog asks before overwriting an existing file.
    return QFileDialog::getSaveFileName(parent, title, fileName, filter);
}

}  // namespace tavrin::app
