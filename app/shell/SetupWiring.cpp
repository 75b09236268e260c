// The setup files wired to the program.
#include "SetupWiring.h"

#include <QLineEdit>
#include <QPushButton>

#include "TWenloForm.h"
#include "core/EntryField.h"
#include "core/TraceLog.h"
#include "core/UpDown.h"
#include "display/ChartRanges.h"
#include "display/TLinkConnectForm.h"
#include "setup/SetupFiles.h"
#include "setup/SetupPages.h"

namespace tavrin::app {

std::unique_ptr<SetupFiles> WireSetupFiles(TWenloForm& frame) {
    TWenloForm* f = &frame;
    SessionState& session = frame.session();
    // A field never shown: only its text goes into the setup file.
    frame.TimingEdit = new QLineEdit(&frame);
    frame.TimingEdit->setObjectName("TimingEdit");
    LimitTypedLength(frame.TimingEdit, 3);
    frame.TimingEdit->setToolTip("[2..1000]");
    frame.TimingEdit->setVisible(false);
    SetupFilesContext context;
    // The link window's measurement choices and font size are saved with the rest.
    context.roots = [f] { return std::vector<QObject*>{f, &f->linkForm()}; };
    context.hooks.fontSize = [f](int size) {
        f->linkForm().FontSizeUpDown->setPosition(size);
        f->linkForm().FontSizeUpDownClick();
    };
    context.hooks.sendCommand = [f](const char* line) { f->tester().send(line); };
    context.hooks.powerRange = [&session](double loss, bool rxAttenuator) {
        const AxisRange range = PowerChartRange(loss, rxAttenuator);
        session.setPowerChartRange(static_cast<int>(range.min), static_cast<int>(range.max));
    };
    // The pages take the remembered values from the session.
    context.hooks.remember = [&session](Remembered value, double number) {
        session.remember(value, number);
    };
    context.trace = [f](const std::string& line) {
        if (TraceLog* log = f->traceLog()) log->traceLine(line.c_str());
    };
    context.checkLimits = [f] { CheckAllLimitRows(*f); };
    auto files = std::make_unique<SetupFiles>(frame.dialogs(), f, std::move(context));
    const auto wire = [f](QPushButton* button, void (SetupFiles::*action)()) {
        QObject::connect(button, &QPushButton::clicked, f,
                         [f, action] { (f->setupFiles().*action)(); });
    };
    SetupPPPage* pp = frame.SetupPPTabSheet;
    SetupFPPage* fp = frame.SetupFPTabSheet;
    wire(pp->LoadPPButton, &SetupFiles::LoadButtonClick);
    wire(fp->LoadFPButton, &SetupFiles::LoadButtonClick);
    wire(pp->SavePPButton, &SetupFiles::SaveButtonClick);
    wire(fp->SaveFPButton, &SetupFiles::SaveButtonClick);
    wire(pp->SaveAsDefaultPPButton, &SetupFiles::SaveAsDefaultButtonClick);
    wire(fp->SaveAsDefaultFPButton, &SetupFiles::SaveAsDefaultButtonClick);
    wire(pp->LoadDefaultPPButton, &SetupFiles::LoadDefaultButtonClick);
    wire(fp->LoadDefaultFPButton, &SetupFiles::LoadDefaultButtonClick);
    // The PP page's "Factory Settings" runs the FP handler.
    wire(pp->FactoryPPButton, &SetupFiles::FactoryFPButtonClick);
    wire(fp->FactoryFPButton, &SetupFiles::FactoryFPButtonClick);
    return files;
}

void CheckAllLimitRows(TWenloForm& frame) {
    for (SetupPage* page : {static_cast<SetupPage*>(frame.SetupPPTabSheet),
                            static_cast<SetupPage*>(frame.SetupFPTabSheet)}) {
        for (const common::LimitRowSpec& entry : common::LimitRows())
            page->CheckLimitRow(entry.row);
    }
}

}  // namespace tavrin::app
