// The RF level field of a test page.
#include "LevelField.h"

#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>

#include "EntryRules.h"
#include "RadioOptions.h"
#include "shell/TWenloForm.h"

namespace tavrin::app {

LevelField::LevelField(TWenloForm& frame, QWidget* page, QLineEdit* edit, QSlider* trackBar,
                       const char* command, LevelMessage style)
    : m_frame(frame),
      m_page(page),
      m_edit(edit),
      m_trackBar(trackBar),
      m_command(command),
      m_style(style) {}

void LevelField::EditExit() {
    const LevelEntry e =
        CheckRFLevel(m_edit->text(), m_frame.radioOptions().couplingLoss(), m_style);
    m_edit->setText(e.text);
    if (!e.errorMessage.isEmpty()) m_frame.showError(e.errorMessage);
    const bool visible = m_page->isVisible();
    if (!e.rangeMessage.isEmpty() && visible) m_frame.showError(e.rangeMessage);
    {
        const QSignalBlocker quiet(m_trackBar);
        m_trackBar->setValue(e.trackBarPosition);
    }
    if (visible) m_frame.send(QString(m_command) + " " + e.text);
    lastLevel = e.level;
}

void LevelField::TrackBarChange() {
    const double level = TrackBarLevel(m_trackBar->value(), m_frame.radioOptions().couplingLoss());
    m_edit->setText(FormatNumber(level));
    if (m_page->isVisible() && level != lastLevel)
        m_frame.send(QString(m_command) + " " + m_edit->text());
    lastLevel = level;
}

void LevelField::checkAgainstLoss(double couplingLoss) {
    if (!LevelWithinLossRange(lastLevel, couplingLoss))
        m_edit->setText(FormatNumber(-40 - couplingLoss));
    EditExit();
}

}  // namespace tavrin::app
