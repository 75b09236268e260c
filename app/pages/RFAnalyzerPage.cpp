// The RF analyzer page.
#include "RFAnalyzerPage.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "CarrierRow.h"
#include "RadioOptions.h"
#include "core/SampleTimeBase.h"
#include "core/SessionState.h"
#include "core/StateButton.h"
#include "core/TesterWorker.h"
#include "core/UpDown.h"
#include "core/UserDialogs.h"
#include "display/ChartWindow.h"

namespace tavrin::app {
namespace {

constexpr int kDefaultCarrier = 5;
constexpr int kSelftestLoss = 0;

}  // namespace

RFAnalyzerPage::RFAnalyzerPage(SessionState& session, TesterWorker& tester, UserDialogs& dialogs,
                               RadioOptions& radio, QWidget* parent)
    : TabPage("RF_AnalyzerTabSheet", false, parent),
      m_session(session),
      m_tester(tester),
      m_dialogs(dialogs),
      m_radio(radio) {
    auto* grid = new QGridLayout(this);
    grid->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    const CarrierRow row = AddCarrierRow(this, grid, 0, "Carrier [0..9]", 0);
    RfAnalyzerCarrierLabel = row.label;
    RfAnalyzerCarrierLabel->setObjectName("RfAnalyzerCarrierLabel");
    CarrierAnalyzerEdit = row.edit;
    CarrierAnalyzerEdit->setObjectName("CarrierAnalyzerEdit");
    CarrierAnalyzerEdit->setMaxLength(2);
    CarrierAnalyzerEdit->clear();
    CarrierAnalyzerUpDown = row.upDown;
    CarrierAnalyzerUpDown->setObjectName("CarrierAnalyzerUpDown");

    Show_ModulationButton = new StateButton("Show &Modulation", 1, this);
    Show_ModulationButton->setObjectName("Show_ModulationButton");
    Show_NTPButton = new StateButton("Show Po&wer", 1, this);
    Show_NTPButton->setObjectName("Show_NTPButton");
    auto* charts = new QHBoxLayout;
    charts->addWidget(Show_ModulationButton);
    charts->addWidget(Show_NTPButton);
    charts->addStretch();
    grid->addLayout(charts, 1, 0, 1, 2);

    SelftestGroupBox = new QGroupBox("Self-test", this);
    SelftestGroupBox->setObjectName("SelftestGroupBox");
    auto* selftest = new QVBoxLayout(SelftestGroupBox);
    EnableSelftestCheckBox = new QCheckBox("Enable Self-test", SelftestGroupBox);
    EnableSelftestCheckBox->setObjectName("EnableSelftestCheckBox");
    STBS55RadioButton = new QRadioButton("BS55 (01010101)", SelftestGroupBox);
    STBS55RadioButton->setObjectName("STBS55RadioButton");
    STBS33RadioButton = new QRadioButton("BS33 (00110011)", SelftestGroupBox);
    STBS33RadioButton->setObjectName("STBS33RadioButton");
    STBS0FRadioButton = new QRadioButton("BS0F (00001111)", SelftestGroupBox);
    STBS0FRadioButton->setObjectName("STBS0FRadioButton");
    STBS55RadioButton->setChecked(true);
    for (QWidget* w : std::initializer_list<QWidget*>{EnableSelftestCheckBox, STBS55RadioButton,
                                                      STBS33RadioButton, STBS0FRadioButton})
        selftest->addWidget(w);
    setPatternsEnabled(false);
    grid->addWidget(SelftestGroupBox, 2, 0, 1, 2);

    CarrierAnalyzerEdit->installEventFilter(this);
    connect(CarrierAnalyzerUpDown, &UpDown::clicked, this,
            &RFAnalyzerPage::CarrierAnalyzerUpDownClick);
    connect(EnableSelftestCheckBox, &QCheckBox::clicked, this,
            &RFAnalyzerPage::EnableSelftestCheckBoxClick);
    connect(STBS55RadioButton, &QRadioButton::clicked, this,
            &RFAnalyzerPage::STBS55RadioButtonClick);
    connect(STBS33RadioButton, &QRadioButton::clicked, this,
            &RFAnalyzerPage::STBS33RadioButtonClick);
    connect(STBS0FRadioButton, &QRadioButton::clicked, this,
            &RFAnalyzerPage::STBS0FRadioButtonClick);
    connect(Show_ModulationButton, &QPushButton::clicked, this,
            &RFAnalyzerPage::Show_ModulationButtonClick);
    connect(Show_NTPButton, &QPushButton::clicked, this, &RFAnalyzerPage::Show_NTPButtonClick);
    connect(&session, &SessionState::carrierRangeChanged, this, [this](const CarrierRange& r) {
        CarrierAnalyzerUpDown->setMaximum(r.highest);
        if (r.minimum) CarrierAnalyzerUpDown->setMinimum(*r.minimum);
        RfAnalyzerCarrierLabel->setText("Carrier " + r.text);
    });
}

void RFAnalyzerPage::send(const char* line) {
    m_tester.send(line);
}

void RFAnalyzerPage::pageWork() {
    // The window length and the averaging commit come with the deferred work: nothing reads
    // them in the one tick between.
    m_session.setSampleWindowLength(SampleTimeBase::kAnalyzerPageSamples);
    m_radio.AverageFactorEditExit();
    send("PROC:SEL:TEST MAN");
    send("CONF:TEST:TYPE:RFGE 0");
    m_radio.TCarrierOffsetExit();
    CarrierAnalyzerEditExit();
    EnableSelftestCheckBoxClick();
}

void RFAnalyzerPage::hideEvent(QHideEvent* event) {
    TabPage::hideEvent(event);
    // Only leaving the page for another one, not the main window being minimised or closed.
    if (!event->spontaneous() && m_links.mainWindow && m_links.mainWindow->isVisible())
        RF_AnalyzerTabSheetHide();
}

void RFAnalyzerPage::RF_AnalyzerTabSheetHide() {
    for (ChartWindow* window : {m_links.modulationWindow.data(), m_links.ntpWindow.data()}) {
        if (window && window->isVisible()) {
            window->hide();
            window->FormClose();
        }
    }
    m_radio.lockRxAttenuator(false);
    m_radio.lockCouplingLoss(false);
    m_radio.RFAttenuationEditExit();
}

bool RFAnalyzerPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == CarrierAnalyzerEdit) {
        if (event->type() == QEvent::FocusOut) {
            CarrierAnalyzerEditExit();
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                CarrierAnalyzerEditExit();
                return true;  // Enter commits and is swallowed
            }
        }
    }
    return TabPage::eventFilter(watched, event);
}

void RFAnalyzerPage::CarrierAnalyzerUpDownClick() {
    CarrierAnalyzerEdit->setText(QString::number(CarrierAnalyzerUpDown->position()));
    CarrierAnalyzerEditExit();
}

void RFAnalyzerPage::CarrierAnalyzerEditExit() {
    bool ok = false;
    const int carrier = CarrierAnalyzerEdit->text().trimmed().toInt(&ok);
    const int highest = m_session.highestCarrier();
    const char* error = nullptr;
    if (!ok) {
        error = "Error. Setting default (5)";
    } else if (carrier < 0 || carrier > highest) {
        error = "Range error. Setting default (5)";
    }
    if (error) {
        CarrierAnalyzerEdit->setText(QString::number(kDefaultCarrier));
        m_dialogs.message(this, MessageKind::Error, "Tavrin", error, {MessageButton::Ok});
    }
    CarrierAnalyzerUpDown->setPosition(CarrierAnalyzerEdit->text().trimmed().toInt());
    send(("CONF:RFGE:CARR " + CarrierAnalyzerEdit->text()).toLatin1().constData());
    m_radio.RxAttCheckBoxClick();
}

void RFAnalyzerPage::setPatternsEnabled(bool on) {
    for (QRadioButton* b : {STBS55RadioButton, STBS33RadioButton, STBS0FRadioButton})
        b->setEnabled(on);
}

void RFAnalyzerPage::sendPattern() {
    if (STBS55RadioButton->isChecked()) {
        STBS55RadioButtonClick();
    } else if (STBS33RadioButton->isChecked()) {
        STBS33RadioButtonClick();
    } else if (STBS0FRadioButton->isChecked()) {
        STBS0FRadioButtonClick();
    }
}

void RFAnalyzerPage::STBS55RadioButtonClick() {
    send("CONF:RFGE:MOD BS55");
}

void RFAnalyzerPage::STBS33RadioButtonClick() {
    send("CONF:RFGE:MOD BS33");
}

void RFAnalyzerPage::STBS0FRadioButtonClick() {
    send("CONF:RFGE:MOD BS0F");
}

void RFAnalyzerPage::EnableSelftestCheckBoxClick() {
    if (EnableSelftestCheckBox->isChecked()) {
        // A second commit while on (the page shown again) keeps what was remembered first.
        if (!m_rememberedRxAttenuator) m_rememberedRxAttenuator = m_session.rxAttenuator();
        m_radio.tickRxAttenuator(true);
        m_radio.RxAttCheckBoxClick();
        m_radio.lockRxAttenuator(true);
        m_radio.lockCouplingLoss(true);
        send("SENS:CORR:LOSS 0");
        setPatternsEnabled(true);
        send("CONF:FP:RF:LEV -66");
        sendPattern();
        if (m_links.setPowerRangeForLoss) m_links.setPowerRangeForLoss(kSelftestLoss);
        return;
    }
    m_radio.lockRxAttenuator(false);
    m_radio.lockCouplingLoss(false);
    m_radio.RFAttenuationEditExit();
    send("CONF:RFGE:MOD OFF");
    setPatternsEnabled(false);
    send("CONF:FP:RF:LEV \"MIN\"");
    // Nothing to give back when the self-test was never on: the page's activation commits
    // the off state too, and must leave the user's tick alone.
    if (m_rememberedRxAttenuator) {
        m_radio.tickRxAttenuator(*m_rememberedRxAttenuator);
        m_rememberedRxAttenuator.reset();
        m_radio.RxAttCheckBoxClick();
    }
}

void RFAnalyzerPage::toggleChart(StateButton* button, ChartWindow* window,
                                 const QString& openCaption) {
    if (!window) return;
    if (button->tag == 1) {
        button->tag = 0;
        button->setText(openCaption);
        window->show();
        if (m_links.mainWindow) m_links.mainWindow->activateWindow();
        return;
    }
    window->hide();
    window->FormClose();
}

void RFAnalyzerPage::Show_ModulationButtonClick() {
    toggleChart(Show_ModulationButton, m_links.modulationWindow.data(), "Close &Modulation");
}

void RFAnalyzerPage::Show_NTPButtonClick() {
    toggleChart(Show_NTPButton, m_links.ntpWindow.data(), "Close Po&wer");
}

}  // namespace tavrin::app
