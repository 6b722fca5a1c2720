#include "insert2_dlg.h"

#include "dialog_result.h"
#include "experiment_record.h"
#include "qt_text.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// Captions are Windows-1252 like every text of the program. The caption is the field's buddy
// also when a note (a hint or a unit) follows the field.
QLabel *CaptionOf(QWidget *field, const char *caption)
{
    auto *label = new QLabel(QtText(caption), field->parentWidget());
    label->setBuddy(field);
    return label;
}

// Titles, products and instrument settings run long: a field shows a useful part of them.
void MakeRoomForText(QWidget *field)
{
    field->setMinimumWidth(field->fontMetrics().averageCharWidth() * 28);
}

} // namespace

CInsert2Dlg::CInsert2Dlg(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Additional Data Input"));
    auto *heading = new QHBoxLayout;
    heading->addWidget(new QLabel(QStringLiteral("* All fields are optional data fields"), this));
    heading->addWidget(new QLabel(QStringLiteral("(values entered here will not affect the results)"), this));
    heading->addStretch();

    auto *left = new QVBoxLayout;
    left->addWidget(GeneralEntries());
    left->addWidget(ChemicalInformation());
    auto *right = new QVBoxLayout;
    right->addWidget(ExperimentSetting());
    right->addWidget(ConditionEntries());
    auto *columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(heading);
    layout->addLayout(columns);
    layout->addWidget(Buttons());
}

QWidget *CInsert2Dlg::GeneralEntries()
{
    auto *general = new QWidget(this);
    auto *form = new QFormLayout(general);
    form->setContentsMargins(0, 0, 0, 0);
    AddLine(form, "Report Title:", &ReportInfo::ReportTitle);
    AddLine(form, "Date:", &ReportInfo::TestDate, "MM/DD/YYYY");
    AddLine(form, "Material Type (Manufacture/Product):", &ReportInfo::MaterialProduct);
    AddLine(form, "Average Material Thickness (mm):", &ReportInfo::AverageThickness);
    AddLine(form, "Project Number:", &ReportInfo::ProjectNumber);
    AddLine(form, "Operator:", &ReportInfo::Operator);
    return general;
}

QWidget *CInsert2Dlg::ChemicalInformation()
{
    auto *group = new QGroupBox(QStringLiteral("Chemical Information:"), this);
    auto *form = new QFormLayout(group);
    AddLine(form, "Test Chemical:", &ReportInfo::TestChemical);

    auto *state = new QGroupBox(QStringLiteral("Physical State"), group);
    liquid = new QRadioButton(QStringLiteral("Liquid"), state);
    gas = new QRadioButton(QStringLiteral("Gas"), state);
    auto *stateRow = new QHBoxLayout(state);
    stateRow->addWidget(liquid);
    stateRow->addWidget(gas);
    stateRow->addStretch();
    form->addRow(state);

    AddLine(form, "CAS #:", &ReportInfo::CasNumber);
    AddLine(form, "Manufacturer:", &ReportInfo::ChemicalManufacturer);
    AddLine(form, "Lot/Batch #:", &ReportInfo::LotNumber);
    AddLine(form, "Expiration Date:", &ReportInfo::ExpirationDate);
    AddLines(form, "Comments:", &ReportInfo::Comments);
    return group;
}

QWidget *CInsert2Dlg::ExperimentSetting()
{
    auto *group = new QGroupBox(QStringLiteral("Experiment Setting"), this);
    auto *form = new QFormLayout(group);
    AddLine(form, "Instrument Type  (e.g., MIRAN IR, GC, etc.):", &ReportInfo::InstrumentType);
    AddLines(form, "Instrument Settings:", &ReportInfo::InstrumentSettings);
    return group;
}

QWidget *CInsert2Dlg::ConditionEntries()
{
    auto *conditions = new QWidget(this);
    auto *form = new QFormLayout(conditions);
    form->setContentsMargins(0, 0, 0, 0);
    AddLine(form, "Collection Medium:", &ReportInfo::CollectionMedium, "(e.g., N2, He, or air)");
    AddLine(form, "Instrument ID Number:", &ReportInfo::InstrumentId);
    AddLine(form, "Pump ID Number: ", &ReportInfo::PumpId);
    AddLine(form, "Data Sampling Inteval (second):", &ReportInfo::SamplingInterval);
    AddLine(form, "Nominal Test Temperature:", &ReportInfo::NominalTemperature, "\xB0 C");
    AddLine(form, "Temperature Range:", &ReportInfo::TemperatureRange, "\xB0 C");
    return conditions;
}

// Finish is the default button, so Return in a one-line field finishes; the two text boxes
// take Return themselves for a new line.
QWidget *CInsert2Dlg::Buttons()
{
    auto *buttons = new QWidget(this);
    auto *back = new QPushButton(QStringLiteral("Back"), buttons);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), buttons);
    auto *finish = new QPushButton(QStringLiteral("Finish"), buttons);
    finish->setDefault(true);
    connect(back, &QPushButton::clicked, this, [this] { done(BackCode); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(finish, &QPushButton::clicked, this, &QDialog::accept);
    auto *row = new QHBoxLayout(buttons);
    row->setContentsMargins(0, 0, 0, 0);
    row->addStretch();
    row->addWidget(back);
    row->addWidget(cancel);
    row->addWidget(finish);
    return buttons;
}

void CInsert2Dlg::AddLine(QFormLayout *form, const char *caption, ReportText member, const char *note)
{
    auto *edit = new QLineEdit(form->parentWidget());
    MakeRoomForText(edit);
    lines.emplace_back(edit, member);
    if (note == nullptr) {
        form->addRow(CaptionOf(edit, caption), edit);
        return;
    }
    auto *row = new QHBoxLayout;
    row->addWidget(edit);
    row->addWidget(new QLabel(QtText(note), form->parentWidget()));
    form->addRow(CaptionOf(edit, caption), row);
}

void CInsert2Dlg::AddLines(QFormLayout *form, const char *caption, ReportText member)
{
    auto *edit = new QPlainTextEdit(form->parentWidget());
    MakeRoomForText(edit);
    edit->setTabChangesFocus(true);
    multiLines.emplace_back(edit, member);
    form->addRow(CaptionOf(edit, caption), edit);
}

DialogResult CInsert2Dlg::Run(ExperimentRecord &record)
{
    ShowEntries(record.Report);
    const DialogResult result = DialogResultOf(exec());
    if (result == DialogResult::Next) {
        StoreTexts(record.Report);
        record.Report.PhysicalState = gas->isChecked() ? 1 : 0;
    } else if (result == DialogResult::Back) {
        StoreTexts(record.Report);
    }
    return result;
}

void CInsert2Dlg::ShowEntries(const ReportInfo &report)
{
    for (const auto &[edit, member] : lines) {
        edit->setText(QtText(report.*member));
    }
    for (const auto &[edit, member] : multiLines) {
        edit->setPlainText(QtMultiLineText(report.*member));
    }
    (report.PhysicalState == 1 ? gas : liquid)->setChecked(true);
}

void CInsert2Dlg::StoreTexts(ReportInfo &report) const
{
    for (const auto &[edit, member] : lines) {
        report.*member = ProgramText(edit->text());
    }
    for (const auto &[edit, member] : multiLines) {
        report.*member = ProgramMultiLineText(edit->toPlainText());
    }
}
