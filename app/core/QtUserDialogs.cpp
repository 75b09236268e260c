// The toolkit's message boxes and file dialogs behind the dialog interface.
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>

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

// A file dialog whose default extension is the first pattern of its filter ("*.cfg": "cfg"),
// so a name typed without one gets it before the overwrite question is asked.
QString RunFileDialog(QWidget* parent, const QString& title, const QString& start,
                      const QString& filter, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, title, start, filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    const qsizetype star = filter.indexOf("*.");
    if (star >= 0) {
        const qsizetype end = filter.indexOf(QRegularExpression("[ ;)]"), star);
        dialog.setDefaultSuffix(filter.mid(star + 2, end < 0 ? -1 : end - star - 2));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    QString chosen = dialog.selectedFiles().constFirst();
    // The dialog leaves the suffix off a name it did not see typed (one it started with); the
    // overwrite question it asked was then about another file, so it is asked here again.
    if (mode == QFileDialog::AcceptSave && !dialog.defaultSuffix().isEmpty() &&
        QFileInfo(chosen).suffix().isEmpty()) {
        chosen += "." + dialog.defaultSuffix();
        if (QFileInfo::exists(chosen) &&
            QMessageBox::question(parent, title,
                                  QString("%1 already exists.\nDo you want to replace it?")
                                      .arg(QFileInfo(chosen).fileName())) != QMessageBox::Yes)
            return {};
    }
    return chosen;
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
    return RunFileDialog(parent, title, directory, filter, QFileDialog::AcceptOpen);
}

QString QtUserDialogs::saveFileName(QWidget* parent, const QString& title, const QString& fileName,
                                    const QString& filter) {
    // The toolkit's save dialog asks before overwriting an existing file.
    return RunFileDialog(parent, title, fileName, filter, QFileDialog::AcceptSave);
}

}  // namespace tavrin::app
