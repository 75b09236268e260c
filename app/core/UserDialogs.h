// Every message box and file dialog of the program goes through this interface, so tests can
// answer them without a modal loop.
#pragma once

#include <QString>
#include <vector>

class QWidget;

namespace tavrin::app {

enum class MessageKind { Information, Warning, Error };
enum class MessageButton { Ok, Abort, Retry, Ignore, Yes, No, Cancel };

class UserDialogs {
public:
    virtual ~UserDialogs() = default;
    // Shows a message with the given buttons and returns the one pressed (the first button
    // when the box is closed without a choice).
    virtual MessageButton message(QWidget* parent, MessageKind kind, const QString& title,
                                  const QString& text,
                                  const std::vector<MessageButton>& buttons) = 0;
    // An empty text when the user cancels.
    virtual QString openFileName(QWidget* parent, const QString& title, const QString& directory,
                                 const QString& filter) = 0;
    // Asks before overwriting an existing file; an empty text when the user cancels.
    virtual QString saveFileName(QWidget* parent, const QString& title, const QString& fileName,
                                 const QString& filter) = 0;

    // An error box of the program with one OK button.
    void showError(QWidget* parent, const QString& text) {
        message(parent, MessageKind::Error, "Tavrin", text, {MessageButton::Ok});
    }
};

// The real dialogs of the toolkit.
class QtUserDialogs : public UserDialogs {
public:
    MessageButton message(QWidget* parent, MessageKind kind, const QString& title,
                          const QString& text, const std::vector<MessageButton>& buttons) override;
    QString openFileName(QWidget* parent, const QString& title, const QString& directory,
                         const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& title, const QString& fileName,
                         const QString& filter) override;
};

}  // namespace tavrin::app
