#include "insert_dlg.h"

#include "dialog_choices.h"
#include "dialog_result.h"
#include "experiment_record.h"
#include "focus_left.h"
#include "graph_output_dialog.h"
#include "permeation.h"
#include "qt_text.h"
#include "settings_validation.h"
#include "text_number.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <memory>

namespace {

std::string TwoDecimals(double value)
{
    return FormatInCLocale("%.2f", value);
}

// What the field gets when its time lies outside the data: the end a little inside the last
// point, so that "%.2f" never rounds it past the data.
double EndWithinData(double lastTime)
{
    return lastTime - 0.005;
}

} // namespace

std::optional<Refusal> EndTimeWarning(std::string_view time, double lastTime)
{
    if (!(LeadingNumber(time) > LeadingNumber(TwoDecimals(lastTime)))) {
        return std::nullopt;
    }
    return Refusal {"Attention:",
        FormatInCLocale(
            "The time you have entered is beyond the experiment data's ending time of %.2f minutes.",
            lastTime)};
}

std::optional<Refusal> StartTimeWarning(std::string_view time)
{
    if (!(LeadingNumber(time) < 0)) {
        return std::nullopt;
    }
    return Refusal {
        "Attention:", "You have entered a negative start time for calculating average permeation."};
}

CInsertDlg::CInsertDlg(MessageSink &messages, QWidget *parent)
    : QDialog(parent)
    , messages(messages)
{
    setWindowTitle(QStringLiteral("Data Input"));
    auto *entries = new QVBoxLayout;
    entries->addWidget(new QLabel(QStringLiteral("* All active fields are required data fields")));
    entries->addWidget(SizeGroup());
    entries->addWidget(WeightGroup());
    entries->addWidget(TimeFields());
    entries->addStretch();
    auto *columns = new QHBoxLayout;
    columns->addLayout(entries);
    columns->addWidget(Preview(), 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(Buttons());
}

QLineEdit *CInsertDlg::NewField(const char *objectName)
{
    auto *field = new QLineEdit;
    field->setObjectName(QString::fromLatin1(objectName));
    return field;
}

QWidget *CInsertDlg::SizeGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Swatch Exposure Size (for A in ASTM F 739)"));
    areaMode = ChoiceGroup(&SpecimenInputs::AreaMode);
    diameterUnit = ChoiceGroup(&SpecimenInputs::DiameterUnit);
    diameter = NewField("diameter");
    area = NewField("area");
    areaUnit = new QLabel(QtText("cm\xB2"));
    auto *grid = new QGridLayout(group);
    grid->addWidget(AddChoice(areaMode, "Diameter", 1), 0, 0);
    grid->addWidget(diameter, 0, 1);
    grid->addWidget(AddChoice(diameterUnit, "inch", 0), 0, 2);
    grid->addWidget(AddChoice(diameterUnit, "cm", 1), 0, 3);
    grid->addWidget(AddChoice(areaMode, "Area:", 0), 1, 0);
    grid->addWidget(area, 1, 1);
    grid->addWidget(areaUnit, 1, 2);
    return group;
}

QWidget *CInsertDlg::WeightGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Specimen Weight"));
    weightUnit = ChoiceGroup(&SpecimenInputs::WeightUnit);
    weight = NewField("weight");
    auto *row = new QHBoxLayout(group);
    row->addWidget(weight);
    row->addWidget(AddChoice(weightUnit, "grams", 0));
    row->addWidget(AddChoice(weightUnit, "grams/m\xB2", 1));
    return group;
}

QWidget *CInsertDlg::TimeFields()
{
    auto *fields = new QWidget;
    cumulativeTime = NewField("cumulativeTime");
    targetMass = NewField("targetMass");
    averageStart = NewField("averageStart");
    averageEnd = NewField("averageEnd");
    for (QLineEdit *time : {cumulativeTime, averageStart, averageEnd}) {
        time->installEventFilter(this);
    }
    // Wide enough for an eight-hour test's times with their two decimals, at any font size.
    for (QLineEdit *field : {cumulativeTime, targetMass, averageStart, averageEnd}) {
        field->setMinimumWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("00000.000")) + 16);
    }
    auto *grid = new QGridLayout(fields);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Cumulative Permeation for:")), 0, 0);
    grid->addWidget(cumulativeTime, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("min")), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Cumulative Permeation Mass target:")), 1, 0);
    grid->addWidget(targetMass, 1, 1);
    grid->addWidget(new QLabel(QtText("\xB5g/cm^2")), 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Enter times Ti-1:")), 2, 0);
    grid->addWidget(averageStart, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("and Ti:")), 2, 2);
    grid->addWidget(averageEnd, 2, 3);
    grid->addWidget(new QLabel(QStringLiteral("(in Minutes)\nfor Average Permeation Rate")), 3, 0, 1, 4);
    steadyState = new QCheckBox(QStringLiteral("Steady State Permeation was not established"));
    connect(steadyState, &QCheckBox::toggled, this,
        [this](bool ticked) { record->Specimen.SteadyStateNotEstablished = ticked ? 1 : 0; });
    grid->addWidget(steadyState, 4, 0, 1, 4);
    grid->addWidget(
        new QLabel(QStringLiteral("(Program will report the maximum Permeation Rate)")), 5, 0, 1, 4);
    return fields;
}

QWidget *CInsertDlg::Preview()
{
    auto *box = new QWidget;
    chartTitle = new QLabel;
    valueAxisTitle = new QLabel;
    timeAxisTitle = new QLabel(QStringLiteral("Time (Minutes)"));
    preview = new GraphArea(box);
    previewButton = new QPushButton(QStringLiteral("You Must Click Here First"));
    previewButton->setAutoDefault(false);
    connect(previewButton, &QPushButton::clicked, this, [this] { DrawPreview(); });
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(chartTitle, 0, Qt::AlignHCenter);
    layout->addWidget(valueAxisTitle, 0, Qt::AlignLeft);
    layout->addWidget(preview, 1);
    layout->addWidget(timeAxisTitle, 0, Qt::AlignHCenter);
    layout->addWidget(previewButton, 0, Qt::AlignHCenter);
    return box;
}

// Made inside the dialog, so that Next registers as its default button: a default set on a
// button without a dialog is lost, and Return would press whichever button last had focus.
QWidget *CInsertDlg::Buttons()
{
    auto *buttons = new QWidget(this);
    auto *back = new QPushButton(QStringLiteral("Back"), buttons);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), buttons);
    auto *next = new QPushButton(QStringLiteral("Next"), buttons);
    next->setDefault(true);
    connect(back, &QPushButton::clicked, this, [this] { done(BackCode); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(next, &QPushButton::clicked, this, [this] { NextWhenValid(); });
    auto *row = new QHBoxLayout(buttons);
    row->setContentsMargins(0, 0, 0, 0);
    row->addStretch();
    row->addWidget(back);
    row->addWidget(cancel);
    row->addWidget(next);
    return buttons;
}

// A click takes effect in its member at once; only the area mode changes the form.
QButtonGroup *CInsertDlg::ChoiceGroup(int SpecimenInputs::*member)
{
    auto *group = new QButtonGroup(this);
    connect(group, &QButtonGroup::idClicked, this, [this, member](int value) {
        record->Specimen.*member = value;
        ApplyAreaMode();
    });
    return group;
}

DialogResult CInsertDlg::Run(ExperimentRecord &shown)
{
    record = &shown;
    ShowRecord();
    const DialogResult result = DialogResultOf(exec());
    record = nullptr;
    return result;
}

// The sequence has put the first-showing defaults into the record; times left over from
// an earlier visit that the data no longer reach (after a change of time format) are
// brought back within the data.
void CInsertDlg::ShowRecord()
{
    const SpecimenInputs &specimen = record->Specimen;
    ShowChoice(areaMode, specimen.AreaMode);
    ShowChoice(diameterUnit, specimen.DiameterUnit);
    ShowChoice(weightUnit, specimen.WeightUnit);
    ApplyAreaMode();
    diameter->setText(QtText(specimen.DiameterCopy));
    area->setText(QtText(specimen.AreaText));
    weight->setText(QtText(specimen.SpecimenWeightText));
    targetMass->setText(QtText(specimen.TargetMassText));
    steadyState->setChecked(specimen.SteadyStateNotEstablished == 1);
    cumulativeTime->setText(QtText(specimen.CumulativeTimeText));
    averageStart->setText(QtText(specimen.AverageStartText));
    averageEnd->setText(QtText(specimen.AverageEndText));
    ShowTimeWithinData(averageStart, record->FirstTime);
    ShowTimeWithinData(averageEnd, EndWithinData(record->LastTime));
    ShowTimeWithinData(cumulativeTime, EndWithinData(record->LastTime));
    DrawPreview();
}

void CInsertDlg::ShowTimeWithinData(QLineEdit *field, double replacement)
{
    const double time = LeadingNumber(ProgramText(field->text()));
    if (time < record->FirstTime || time > record->LastTime) {
        field->setText(QtText(TwoDecimals(replacement)));
    }
}

void CInsertDlg::ApplyAreaMode()
{
    const bool diameterMode = areaMode->checkedId() == 1;
    diameter->setEnabled(diameterMode);
    for (QAbstractButton *unit : diameterUnit->buttons()) {
        unit->setEnabled(diameterMode);
    }
    area->setEnabled(!diameterMode);
    areaUnit->setEnabled(!diameterMode);
}

// The diameter goes into the text of the unit chosen, the one the calculations read.
void CInsertDlg::StoreDiameter(SpecimenInputs &specimen) const
{
    if (specimen.AreaMode != 1) {
        return;
    }
    std::string &chosen = specimen.DiameterUnit == 1 ? specimen.DiameterCmText : specimen.DiameterInchText;
    chosen = ProgramText(diameter->text());
}

void CInsertDlg::DrawPreview()
{
    record->Specimen.AreaText = ProgramText(area->text());
    StoreDiameter(record->Specimen);
    const bool open = IsOpenLoop(record->Settings);
    chartTitle->setText(
        open ? QStringLiteral("Permeation Rate vs Time") : QStringLiteral("Cumulative Permeation vs Time"));
    valueAxisTitle->setText(
        QtText(open ? "Permeation Rate (\xB5g/(cm\xB2*min))" : "Cumulative Permeation (\xB5g/cm\xB2)"));
    // The preview shows the area from the size entered; the record's own area text stays as
    // typed until the analysis.
    const auto shown = std::make_unique<ExperimentRecord>(*record);
    ComputeExposedArea(*shown);
    preview->ShowGraph(*shown);
    previewButton->setText(QStringLiteral("View Data Graph"));
}

// Only the three time fields are watched.
bool CInsertDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (record != nullptr && FocusLeftWithinDialog(event)) {
        const std::string time = ProgramText(static_cast<QLineEdit *>(watched)->text());
        const std::optional<Refusal> warning
            = watched == averageStart ? StartTimeWarning(time) : EndTimeWarning(time, record->LastTime);
        if (warning) {
            ShowRefusal(messages, *warning);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CInsertDlg::CommitTexts(SpecimenInputs &specimen) const
{
    specimen.AreaText = ProgramText(area->text());
    StoreDiameter(specimen);
    specimen.CumulativeTimeText = ProgramText(cumulativeTime->text());
    specimen.TargetMassText = ProgramText(targetMass->text());
    specimen.AverageStartText = ProgramText(averageStart->text());
    specimen.AverageEndText = ProgramText(averageEnd->text());
    specimen.SpecimenWeightText = ProgramText(weight->text());
}

// The diameter is remembered for the next visit even when an entry is refused; the other
// texts reach the record only once every entry passes.
void CInsertDlg::NextWhenValid()
{
    record->Specimen.DiameterCopy = ProgramText(diameter->text());
    SpecimenInputs typed = record->Specimen;
    CommitTexts(typed);
    if (const std::optional<Refusal> refusal = ValidateDataInput(typed, record->LastTime)) {
        ShowRefusal(messages, *refusal);
        return;
    }
    record->Specimen = typed;
    accept();
}
