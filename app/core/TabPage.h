// A page of the main window. A test page's show handler lays out the frame and defers its
// commands by one DummyTimer tick; pageWork() is what runs after that tick.
#pragma once

#include <QWidget>

namespace tavrin::app {

class TabPage : public QWidget {
    Q_OBJECT
public:
    // Setup pages hide the bottom panel and take the taller page control.
    TabPage(const QString& objectName, bool isSetupPage, QWidget* parent = nullptr)
        : QWidget(parent), m_isSetupPage(isSetupPage) {
        setObjectName(objectName);
    }

    bool isSetupPage() const { return m_isSetupPage; }
    // What a test page's show handler does on every call, before the deferral (its marks,
    // labels and stepper maxima).
    virtual void prepareShow() {}
    // The page's commands once the page has been drawn. The pages whose commands come with
    // their own features have none yet.
    virtual void pageWork() {}
    // The page's hide handler, run when another page is chosen.
    virtual void pageHide() {}

    // The page's activation runs again (a mode change of a test page, say); the frame lays it
    // out and defers its commands as for a show.
    void requestActivation() { Q_EMIT activationWanted(this); }

Q_SIGNALS:
    void activationWanted(TabPage* page);

private:
    bool m_isSetupPage;
};

}  // namespace tavrin::app
