// The layout of the RF analyzer page's carrier controls.
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "CarrierRow.h"
#include "RFAnalyzerPage.h"

namespace tavrin::app {

RFAnalyzerPage::RFAnalyzerPage(QWidget* parent) : TabPage("RF_AnalyzerTabSheet", false, parent) {
    auto* grid = new QGridLayout(this);
    grid->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    const CarrierRow row = AddCarrierRow(this, grid, 0, "Carrier [0..9]", 0);
    RfAnalyzerCarrierLabel = row.label;
    CarrierAnalyzerEdit = row.edit;
    CarrierAnalyzerUpDown = row.upDown;
}

}  // namespace tavrin::app
