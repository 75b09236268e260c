// The RF level field of a test page.
#include "LevelField.h"

#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>

#include "EntryRules.h"
#include "RadioOptions.h"
#include "core/TesterWorker.h"
#include "core/UserDialogs.h"

namespace tavrin::app {

LevelField::LevelField(TesterWorker& tester, UserDialogs& dialogs, const RadioOptions& radio,
                       QWidget* page, QLineEdit* edit, QSlider* trackBar, const char* command,
                       LevelMessage style)
    : m_tester(tester),
      m_dialogs(dialogs),
      m_radio(radio),
      m_page(page),
      m_edit(edit),
      m_trackBar(trackBar),
      m_command(command),
      m_style(style) {}

void LevelField::EditExit() {
    const LevelEntry e = CheckRFLevel(m_edit->text(), m_radio.couplingLoss(), m_style);
    m_edit->setText(e.text);
    if (!e.errorMessage.isEmpty()) showError(e.errorMessage);
    const bool visible = m_page->isVisible();
    if (!e.rangeMessage.isEmpty() && visible) showError(e.rangeMessage);
    {
        const QSignalBlocker quiet(m_trackBar);
        m_trackBar->setValue(e.trackBarPosition);
    }
    if (visible) m_tester.sendText(QString(m_command) + " " + e.text);
    lastLevel = e.level;
}

void LevelField::TrackBarChange() {
    const double level = TrackBarLevel(m_trackBar->value(), m_radio.couplingLoss());
    m_edit->setText(FormatNumber(level));
    if (m_page->isVisible() && level != lastLevel)
        m_tester.sendText(QString(m_command) + " " + m_edit->text());
    lastLevel = level;
}

void LevelField::checkAgainstLoss(double couplingLoss) {
    if (!LevelWithinLossRange(lastLevel, couplingLoss))
        m_edit->setText(FormatNumber(-40 - couplingLoss));
    EditExit();
}

void LevelField::showError(const QString& text) {
    m_dialogs.showError(m_page->window(), text);
}

}  // namespace tavrin::app
