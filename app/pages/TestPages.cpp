// The layouts of the four test pages' carrier controls.
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "CarrierRow.h"
#include "FPTestPage.h"
#include "PPTestPage.h"
#include "RFGenPage.h"

namespace tavrin::app {
namespace {

QGridLayout* PageGrid(QWidget* page) {
    auto* grid = new QGridLayout(page);
    grid->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    return grid;
}

QComboBox* DefaultList(QWidget* page, QGridLayout* grid, int row, const QString& label) {
    auto* list = new QComboBox(page);
    list->addItem("Default");
    grid->addWidget(new QLabel(label, page), row, 0);
    grid->addWidget(list, row, 1);
    return list;
}

}  // namespace

PPTestPage::PPTestPage(QWidget* parent) : TabPage("PP_TestTabSheet", false, parent) {
    QGridLayout* grid = PageGrid(this);
    const CarrierRow dummy = AddCarrierRow(this, grid, 0, "Dummy Carrier [0..9]", 1);
    DummyCarrierPPLabel = dummy.label;
    DummyCarrierEdit = dummy.edit;
    DummyCarrierUpDown = dummy.upDown;
    const CarrierRow traffic = AddCarrierRow(this, grid, 1, "Traffic Carrier [0..9]", 0);
    TrafficCarrierPPLabel = traffic.label;
    TrafficCarrierEdit = traffic.edit;
    TrafficCarrierUpDown = traffic.upDown;
    SlotLengthCombo = DefaultList(this, grid, 2, "Slot Type");
    PTemplateSelectPP = DefaultList(this, grid, 3, "Power Template");
}

FPTestPage::FPTestPage(QWidget* parent) : TabPage("FP_TestTabSheet", false, parent) {
    QGridLayout* grid = PageGrid(this);
    const CarrierRow dummy = AddCarrierRow(this, grid, 0, "Dummy Carrier [0..9]", 0);
    DummyCarrierFPLabel = dummy.label;
    DummyCarrierFPEdit = dummy.edit;
    DummyCarrierFPUpDown = dummy.upDown;
    const CarrierRow traffic = AddCarrierRow(this, grid, 1, "Traffic Carrier [0..9]", 0);
    TrafficCarrierFPLabel = traffic.label;
    TrafficCarrierFPEdit = traffic.edit;
    TrafficCarrierFPUpDown = traffic.upDown;
    SlotLengthFPCombo = DefaultList(this, grid, 2, "Slot Type");
    PTemplateSelectFP = DefaultList(this, grid, 3, "Power Template");
}

RFGenPage::RFGenPage(QWidget* parent) : TabPage("RF_GenTabSheet", false, parent) {
    const CarrierRow row = AddCarrierRow(this, PageGrid(this), 0, "Carrier [0..9]", 0);
    RfGenCarrierLabel = row.label;
    CarrierGenEdit = row.edit;
    CarrierGenUpDown = row.upDown;
}

}  // namespace tavrin::app
