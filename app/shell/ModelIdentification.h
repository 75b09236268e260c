// The tester's model from its hardware answer and what the model sets up: the caption, the test
// pages' tabs, the sample clock, the carrier range and slot scheme, the hardware label; and the
// test pages' tabs as the limits' consistency allows them.
#pragma once

#include <QString>
#include <string>

namespace tavrin::app {

class TabPage;
class TWenloForm;
struct TesterModel;

class ModelIdentification {
public:
    enum class Outcome { Recognised, Ignored, Retry, Abort };

    explicit ModelIdentification(TWenloForm& frame);

    // "--analyzer": the RF analyzer page stays for a known model.
    void setAnalyzerShown(bool shown) { m_showAnalyzer = shown; }
    // Identifies the tester from its "SYST:HW:VERS?" answer; with no known model the user
    // chooses to retry the reset, to ignore it (the test pages hidden) or to abort.
    Outcome identify(const std::string& answer);
    // Limits in error hide the System and test pages' tabs and stop the setup files' saving.
    void applyLimitConsistency();
    const QString& captionBase() const { return m_captionBase; }

private:
    void configureForModel(const TesterModel& model, const std::string& answer);
    void setTabVisible(TabPage* page, bool visible);

    TWenloForm& m_frame;
    QString m_captionBase = "Tavrin";
    bool m_showAnalyzer = false;
    bool m_validHardware = false;  // the identification recognised the tester
};

}  // namespace tavrin::app
