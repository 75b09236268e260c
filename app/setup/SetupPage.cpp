// The shared setup page: limit fields bound from the limit table, ramp fields from the ramp
// table, one exit handler for each kind, and the Setup group's layout.
#include "SetupPage.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "RampLevels.h"
#include "core/EntryField.h"
#include "core/TesterWorker.h"
#include "core/UserDialogs.h"

namespace tavrin::app {
namespace {

using common::LimitColumn;
using common::LimitRow;

constexpr int kFieldWidth = 44;
const QColor kErrorColour(255, 0, 0);
const QColor kCleanColour(255, 255, 255);

QString ToQ(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

void Paint(QLineEdit* field, const QColor& colour) {
    QPalette p = field->palette();
    p.setColor(QPalette::Base, colour);
    field->setPalette(p);
}

QLineEdit* Field(QWidget* parent, const QString& name, std::string_view text, int maxLength) {
    auto* field = new QLineEdit(ToQ(text), parent);
    field->setObjectName(name);
    field->setFixedWidth(kFieldWidth);
    if (maxLength > 0) field->setMaxLength(maxLength);
    Paint(field, kCleanColour);
    return field;
}

}  // namespace

SetupPage::SetupPage(const QString& objectName, const QString& side, const QString& rampPrefix,
                     TesterWorker& tester, UserDialogs& dialogs, QWidget* parent)
    : TabPage(objectName, true, parent), m_tester(tester), m_dialogs(dialogs) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(6);
    buildLimits(side, side.isEmpty() ? "PP Limits" : "FP Limits");
    buildRamps(rampPrefix);
    buildSetupGroup(side.isEmpty() ? "PP" : side);
    column->addWidget(LimitsGroup);
    column->addWidget(RampGroup);
    column->addWidget(SetupGroup);
    column->addStretch();
}

void SetupPage::buildLimits(const QString& side, const QString& caption) {
    LimitsGroup = new QGroupBox(caption, this);
    LimitsGroup->setObjectName(side.isEmpty() ? "PPLimitsGroup" : "FPLimitsGroup");
    auto* grid = new QGridLayout(LimitsGroup);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(3);
    for (LimitColumn c : common::kLimitColumns) {
        auto* heading = new QLabel(ToQ(common::ColumnLabel(c)), LimitsGroup);
        heading->setAlignment(Qt::AlignCenter);
        grid->addWidget(heading, 0, 1 + static_cast<int>(c));
    }
    for (const common::LimitRowSpec& entry : common::LimitRows()) {
        const int r = 1 + static_cast<int>(entry.row);
        grid->addWidget(new QLabel(ToQ(entry.label), LimitsGroup), r, 0);
        for (LimitColumn c : common::kLimitColumns) {
            if (!common::HasColumn(entry.row, c)) continue;
            const QString name =
                QString::fromStdString(common::LimitKey(entry.row, c)) + side + "Edit";
            QLineEdit* field =
                Field(LimitsGroup, name, entry.factory[static_cast<size_t>(c)], entry.maxLength);
            m_limitEdits[static_cast<size_t>(entry.row)][static_cast<size_t>(c)] = field;
            grid->addWidget(field, r, 1 + static_cast<int>(c));
            const LimitRow row = entry.row;
            EntryCommit::install(field, [this, row, c] { limitFieldExit(row, c); });
        }
    }
}

void SetupPage::buildRamps(const QString& rampPrefix) {
    RampGroup = new QGroupBox("Power Ramp configure [dBm].:", this);
    RampGroup->setObjectName(rampPrefix + "Group");
    auto* grid = new QGridLayout(RampGroup);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(3);
    for (int level = 0; level < kRampLevels; ++level) {
        const RampLevel& l = RampLevels()[static_cast<size_t>(level)];
        QLineEdit* field = Field(RampGroup, rampPrefix + QChar(l.letter), l.preset, l.maxLength);
        m_rampEdits[static_cast<size_t>(level)] = field;
        const int r = level / 3, c = (level % 3) * 2;
        grid->addWidget(new QLabel(QString("Limit ") + QChar(l.letter), RampGroup), r, c);
        grid->addWidget(field, r, c + 1);
        EntryCommit::install(field, [this, level] { rampFieldExit(level); });
    }
}

void SetupPage::buildSetupGroup(const QString& role) {
    SetupGroup = new QGroupBox("Setup", this);
    SetupGroup->setObjectName("Setup" + role + "Group");
    auto* grid = new QGridLayout(SetupGroup);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(4);
    const auto button = [&](const QString& caption, const QString& name, int r, int c) {
        auto* b = new QPushButton(caption, SetupGroup);
        b->setObjectName(name);
        grid->addWidget(b, r, c);
        return b;
    };
    m_loadButton = button("&Load", "Load" + role + "Button", 0, 0);
    m_loadDefaultButton = button("Load &Default", "LoadDefault" + role + "Button", 0, 1);
    m_factoryButton = button("Factory Settings", "Factory" + role + "Button", 0, 2);
    m_saveButton = button("&Save", "Save" + role + "Button", 1, 0);
    m_saveAsDefaultButton = button("Sa&ve as Default", "SaveAsDefault" + role + "Button", 1, 1);
    grid->addWidget(new QLabel("Currently Using :", SetupGroup), 2, 0);
    m_configFileEdit = new QLineEdit(SetupGroup);
    m_configFileEdit->setObjectName("ConfigFile" + role + "Edit");
    m_configFileEdit->setReadOnly(true);
    grid->addWidget(m_configFileEdit, 2, 1, 1, 2);
}

QLineEdit* SetupPage::limitEdit(LimitRow row, LimitColumn column) const {
    return m_limitEdits[static_cast<size_t>(row)][static_cast<size_t>(column)];
}

QLineEdit* SetupPage::rampEdit(int level) const {
    return m_rampEdits.at(static_cast<size_t>(level));
}

std::array<std::string, 4> SetupPage::limitTexts(LimitRow row) const {
    std::array<std::string, 4> texts;
    for (LimitColumn c : common::kLimitColumns) {
        if (QLineEdit* field = limitEdit(row, c))
            texts[static_cast<size_t>(c)] = field->text().toStdString();
    }
    return texts;
}

std::array<double, 4> SetupPage::limitNumbers(LimitRow row) const {
    const std::array<std::string, 4> texts = limitTexts(row);
    std::array<double, 4> numbers{};
    for (size_t i = 0; i < 4; ++i) numbers[i] = common::ParseLimitNumber(texts[i]).value_or(0);
    return numbers;
}

bool SetupPage::markedInError(const QLineEdit* field) {
    return field->palette().color(QPalette::Base) == kErrorColour;
}

void SetupPage::limitFieldExit(LimitRow row, LimitColumn column) {
    QLineEdit* field = limitEdit(row, column);
    if (!common::ParseLimitNumber(field->text().toStdString())) {
        const QString preset = ToQ(common::RowSpec(row).factory[static_cast<size_t>(column)]);
        m_dialogs.message(this, MessageKind::Error, "Tavrin",
                          "Error. Setting default (" + preset + ")", {MessageButton::Ok});
        field->setText(preset);
    }
    CheckLimitRow(row);
}

void SetupPage::CheckLimitRow(LimitRow row) {
    const std::array<bool, 4> errors = common::CheckRow(row, limitTexts(row));
    int delta = 0;
    for (LimitColumn c : common::kLimitColumns) {
        QLineEdit* field = limitEdit(row, c);
        if (!field) continue;
        const bool error = errors[static_cast<size_t>(c)];
        if (error == markedInError(field)) continue;
        Paint(field, error ? kErrorColour : kCleanColour);
        delta += error ? 1 : -1;
    }
    if (m_hooks.limitRowChecked) m_hooks.limitRowChecked(delta);
}

void SetupPage::rampFieldExit(int level) {
    QLineEdit* field = rampEdit(level);
    const RampExit exit = RampFieldExit(level, field->text().toStdString());
    if (exit.message) {
        m_dialogs.message(this, MessageKind::Error, "Tavrin", QString::fromStdString(*exit.message),
                          {MessageButton::Ok});
    }
    field->setText(QString::fromStdString(exit.text));
    m_tester.send(exit.command);
    if (m_hooks.storeRamp) m_hooks.storeRamp(level, exit.stored);
}

void SetupPage::CommitRampFields() {
    for (int level = 0; level < kRampLevels; ++level) rampFieldExit(level);
}

void SetupPage::setSavingEnabled(bool enabled) {
    m_saveButton->setEnabled(enabled);
    m_saveAsDefaultButton->setEnabled(enabled);
}

}  // namespace tavrin::app
