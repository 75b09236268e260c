// The session's signals wired to the pages and windows that act on them.
#include "PageWiring.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "TWenloForm.h"
#include "FrameChartHost.h"
#include "core/StateButton.h"
#include "core/UpDown.h"
#include "display/TModulationForm.h"
#include "display/TNTPForm.h"
#include "pages/FPTestPage.h"
#include "pages/LevelField.h"
#include "pages/LogSettings.h"
#include "pages/CarrierPlan.h"
#include "pages/PPTestPage.h"
#include "pages/RFAnalyzerPage.h"
#include "pages/RFGenPage.h"
#include "pages/RadioOptions.h"
#include "setup/SetupPages.h"

namespace tavrin::app {
namespace {

// Reports a window's showing and hiding.
class VisibilityWatch : public QObject {
public:
    VisibilityWatch(QWidget* watched, std::function<void(bool)> report)
        : QObject(watched), m_report(std::move(report)) {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show) m_report(true);
        if (event->type() == QEvent::Hide) m_report(false);
        return false;
    }

private:
    std::function<void(bool)> m_report;
};

constexpr int kNeighbourStepperPosition = 5;  // the PP carrier steppers at the neighbour

void SetEnabled(std::initializer_list<QWidget*> widgets, bool enabled) {
    for (QWidget* w : widgets) w->setEnabled(enabled);
}

// The link fields of the page that opened the link window, locked while it is open.
void LockLinkFields(TWenloForm& f, LinkMode layout, bool locked) {
    const bool enabled = !locked;
    if (layout != LinkMode::PPConnect) {
        FPTestPage& p = *f.FP_TestTabSheet;
        SetEnabled({p.RFPI_FPEdit, p.TrafficSlotFPEdit, p.TrafficSlotFPUpDown,
                    p.TrafficCarrierFPEdit, p.TrafficCarrierFPUpDown},
                   enabled);
        // The dummy carrier is locked with them and stays so: nothing on the page uses it.
        if (locked) SetEnabled({p.DummyCarrierFPEdit, p.DummyCarrierFPUpDown}, false);
    } else {
        PPTestPage& p = *f.PP_TestTabSheet;
        SetEnabled({p.RFPIEdit, p.DummySlotEdit, p.DummySlotUpDown, p.DummyCarrierEdit,
                    p.DummyCarrierUpDown, p.TrafficSlotEdit, p.TrafficSlotUpDown,
                    p.TrafficCarrierEdit, p.TrafficCarrierUpDown},
                   enabled);
    }
}

// The FP page's traffic slot moved off the fixed part's dummy slot, which the tester cannot
// take.
bool MoveTrafficSlotOff(TWenloForm& f, const QString& dummySlot) {
    FPTestPage& p = *f.FP_TestTabSheet;
    if (p.TrafficSlotFPEdit->text() != dummySlot) return false;
    UpDown* stepper = p.TrafficSlotFPUpDown;
    if (stepper->position() == stepper->maximum()) {
        stepper->setPosition(0);
        p.TrafficSlotFPEdit->setText("0");
    } else {
        p.TrafficSlotFPEdit->setText(QString::number(stepper->position() + 2));
    }
    p.TrafficSlotFPEditExit();
    f.send("CONF:FP:TRAF:SLOT " + p.TrafficSlotFPEdit->text());
    return true;
}

}  // namespace

TLinkConnectForm::Links LinkWindowLinks(TWenloForm& frame) {
    TLinkConnectForm::Links links;
    links.modulation = &frame.modulationForm();
    links.ntp = &frame.ntpForm();
    links.setSamples = [&frame](SampleBlock power, SampleBlock deviation) {
        frame.chartHost().setSamples(std::move(power), std::move(deviation));
    };
    links.limits = [&frame](RadioSide side, common::LimitRow row) {
        const SetupPage& setup = side == RadioSide::PP
                                     ? static_cast<const SetupPage&>(*frame.SetupPPTabSheet)
                                     : static_cast<const SetupPage&>(*frame.SetupFPTabSheet);
        return setup.limitNumbers(row);
    };
    return links;
}

void WireCharts(TWenloForm& frame) {
    SessionState& session = frame.session();
    TNTPForm* ntp = &frame.ntpForm();
    // A committed coupling loss sets the power chart's range and undoes its zoom.
    QObject::connect(&session, &SessionState::powerChartRangeChanged, ntp,
                     [ntp](int lower, int upper) {
                         ntp->setPowerRange(lower, upper);
                         ntp->NTPChartUndoZoom();
                     });
    new VisibilityWatch(ntp, [&session](bool shown) { session.setPowerChartShown(shown); });
}

void WireTestPages(TWenloForm& frame) {
    SessionState& session = frame.session();
    TWenloForm* f = &frame;
    PPTestPage* pp = frame.PP_TestTabSheet;
    FPTestPage* fp = frame.FP_TestTabSheet;

    QObject::connect(&session, &SessionState::linkOpened, f, [f](LinkMode mode) {
        LockLinkFields(*f, mode, true);
        f->logSettings().linkWindowShown(mode != LinkMode::PPConnect);
    });
    QObject::connect(&session, &SessionState::linkClosed, f, [f, pp, fp](LinkMode layout) {
        // The analyzer page shown sends its commands again.
        if (f->session().shownPage() == ShownPage::Analyzer) f->RF_AnalyzerTabSheet->pageWork();
        fp->StatusFPButton->setEnabled(true);
        pp->ResetCountPPButton->setEnabled(false);
        fp->ResetCountFPButton->setEnabled(false);
        f->logSettings().linkWindowClosed();
        LockLinkFields(*f, layout, false);
        if (layout != LinkMode::PPConnect) {
            fp->StatusFPButton->tag = 0;
            fp->StatusFPButton->setText("&Status");
        } else {
            pp->ConnectPPButton->tag = 1;
            pp->ConnectPPButton->setText("&Connect");
        }
    });

    // Reset Count: a page's connect leaves its count restart to the link window's first
    // linked tick; the window reports it sent, or that no link is up.
    QObject::connect(pp->ConnectPPButton, &QPushButton::clicked, pp, [pp, &session] {
        if (pp->ResetCountPPButton->tag != 1) return;
        pp->ResetCountPPButton->tag = 0;
        session.requestCountReset(RadioSide::PP, pp->resetCountCommands());
    });
    QObject::connect(fp->StatusFPButton, &QPushButton::clicked, fp, [fp, &session] {
        if (fp->ResetCountFPButton->tag != 1) return;
        fp->ResetCountFPButton->tag = 0;
        session.requestCountReset(RadioSide::FP, fp->resetCountCommands());
    });
    QObject::connect(&session, &SessionState::countResetWasSent, f, [pp, fp](RadioSide side) {
        if (side == RadioSide::PP) {
            pp->ResetCountPPButton->setEnabled(true);
            pp->resetCountSent();
        } else {
            fp->ResetCountFPButton->setEnabled(true);
            fp->resetCountSent();
        }
    });
    QObject::connect(&session, &SessionState::countResetBlocked, f, [pp, fp] {
        pp->ResetCountPPButton->setEnabled(false);
        fp->ResetCountFPButton->setEnabled(false);
    });

    // The FP status poll: Connect once the fixed part is locked, and the traffic slot kept
    // off its dummy slot.
    QObject::connect(&session, &SessionState::fixedPartLockFound, fp,
                     [fp](bool locked) { fp->StatusFPButton->setEnabled(locked); });
    QObject::connect(&session, &SessionState::fixedPartDummySlotFound, f,
                     [f, &session](const QString& slot) {
                         if (MoveTrafficSlotOff(*f, slot)) session.trafficSlotMovedOffDummy();
                     });

    // The loopback choices the link window's tick reads.
    const auto loop = [&session](QRadioButton* button, RadioSide side) {
        session.setLoopback(side, button->isChecked());
        QObject::connect(button, &QRadioButton::toggled, button,
                         [&session, side](bool on) { session.setLoopback(side, on); });
    };
    loop(pp->LOOPRadioButton, RadioSide::PP);
    loop(fp->FPLOOPRadioButton, RadioSide::FP);

    // A setup load's remembered values.
    QObject::connect(&session, &SessionState::rememberedChanged, f,
                     [f, pp, fp](Remembered value, double number) {
                         // Slots and BER counts are whole numbers; levels keep their decimals.
                         const int whole = static_cast<int>(number);
                         switch (value) {
                             case Remembered::PPDummySlot:
                                 pp->dummySlot = whole;
                                 break;
                             case Remembered::PPTrafficSlot:
                                 pp->trafficSlot = whole;
                                 break;
                             case Remembered::PPRFLevel:
                                 pp->levelField().lastLevel = number;
                                 break;
                             case Remembered::PPBERCount:
                                 pp->berCount = whole;
                                 break;
                             case Remembered::FPRFLevel:
                                 fp->levelField().lastLevel = number;
                                 break;
                             case Remembered::FPBERCount:
                                 fp->berCount = whole;
                                 break;
                             default:
                                 break;
                         }
                     });
    // The carrier range and the reference's neighbour on the PP and FP pages.
    QObject::connect(&session, &SessionState::highestCarrierChanged, f, [pp, fp](int highest) {
        for (UpDown* u : {pp->DummyCarrierUpDown, pp->TrafficCarrierUpDown,
                          fp->TrafficCarrierFPUpDown, fp->DummyCarrierFPUpDown})
            u->setMaximum(highest);
        const QString range = CarrierRangeText(false, highest + 1, {});
        pp->DummyCarrierPPLabel->setText("Dummy Carrier " + range);
        fp->DummyCarrierFPLabel->setText("Dummy Carrier " + range);
        pp->TrafficCarrierPPLabel->setText("Traffic Carrier " + range);
        fp->TrafficCarrierFPLabel->setText("Traffic Carrier " + range);
    });
    QObject::connect(&frame.radioOptions(), &RadioOptions::neighbourCarrierChosen, pp,
                     [pp](const QString& carrier) {
                         pp->DummyCarrierEdit->setText(carrier);
                         pp->TrafficCarrierEdit->setText(carrier);
                         pp->DummyCarrierUpDown->setPosition(kNeighbourStepperPosition);
                         pp->TrafficCarrierUpDown->setPosition(kNeighbourStepperPosition);
                     });
    frame.radioOptions().levelFieldOf = [f](TestPage page) -> LevelField* {
        switch (page) {
            case TestPage::PP:
                return &f->PP_TestTabSheet->levelField();
            case TestPage::FP:
                return &f->FP_TestTabSheet->levelField();
            case TestPage::Generator:
                return &f->RF_GenTabSheet->levelField();
            case TestPage::None:
                break;
        }
        return nullptr;
    };
    // The pages' activation marks.
    QObject::connect(&session, &SessionState::activePageChanged, f, [pp, fp](TestPage page) {
        pp->tag = page == TestPage::PP ? 1 : 0;
        fp->tag = page == TestPage::FP ? 1 : 0;
    });
}

}  // namespace tavrin::app
