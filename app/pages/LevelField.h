// An RF level field with its track bar, as the PP, FP and generator pages have one each: the
// field's commit and the track bar's change under the coupling-loss rule.
#pragma once

#include "RFLevelRule.h"

class QLineEdit;
class QSlider;
class QWidget;

namespace tavrin::app {

class RadioOptions;
class TesterWorker;
class UserDialogs;

class LevelField {
public:
    LevelField(TesterWorker& tester, UserDialogs& dialogs, const RadioOptions& radio, QWidget* page,
               QLineEdit* edit, QSlider* trackBar, const char* command, LevelMessage style);

    // The field's commit (RFLevelEditExit and its twins): checks the level, places the track
    // bar and, while the page is visible, sends the command. Moving the track bar from here
    // does not run the track bar's own handler, so a typed -80.5 stays -80.5.
    void EditExit();
    // The track bar's change: the level its position stands for, sent while the page is
    // visible and only when it changed.
    void TrackBarChange();
    // The coupling-loss range check: a remembered level outside the new range is replaced by
    // the top of the range; the level is committed in every case.
    void checkAgainstLoss(double couplingLoss);

    double lastLevel = 0;  // the last level committed from this page

private:
    void showError(const QString& text);

    TesterWorker& m_tester;
    UserDialogs& m_dialogs;
    const RadioOptions& m_radio;
    QWidget* m_page;
    QLineEdit* m_edit;
    QSlider* m_trackBar;
    const char* m_command;
    LevelMessage m_style;
};

}  // namespace tavrin::app
