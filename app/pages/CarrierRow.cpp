// Carrier rows of the test pages.
#include "CarrierRow.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "core/UpDown.h"

namespace tavrin::app {

CarrierRow AddCarrierRow(QWidget* page, QGridLayout* grid, int row, const QString& labelText,
                         int position) {
    CarrierRow r{new QLabel(labelText, page), new QLineEdit("0", page), new UpDown(page)};
    r.edit->setMaxLength(10);
    r.edit->setFixedWidth(48);
    r.upDown->setRange(0, 9);
    r.upDown->setWrap(true);
    r.upDown->setPosition(position);
    auto* field = new QHBoxLayout;
    field->setSpacing(0);
    field->addWidget(r.edit);
    field->addWidget(r.upDown);
    field->addStretch();
    grid->addWidget(r.label, row, 0);
    grid->addLayout(field, row, 1);
    return r;
}

}  // namespace tavrin::app
