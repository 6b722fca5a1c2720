#include "variable_dlg.h"

#include "dialog_choices.h"
#include "dialog_result.h"
#include "experiment_record.h"
#include "focus_left.h"
#include "import_sequence.h"
#include "qt_text.h"
#include "settings_validation.h"
#include "text_number.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

SystemTypeFields EnabledSystemTypeFields(const TestSettings &settings)
{
    const bool open = IsOpenLoop(settings);
    const bool closed = !open;
    const bool discrete = closed && IsDiscreteSampling(settings);
    SystemTypeFields fields;
    fields.FlowChoice = open;
    fields.FlowRate = open && IsConstantFlow(settings);
    fields.DetectionLimit = fields.FlowRate;
    fields.MinDetectableRate = open;
    fields.TotalVolume = closed;
    fields.SamplingChoice = closed;
    fields.ReplacementChoice = discrete;
    fields.VolumeRemoved = discrete && IsVolumeNotReplaced(settings);
    fields.VolumeReplaced = discrete && IsVolumeReplaced(settings);
    fields.MinDetectableMass = closed;
    return fields;
}

// The total volume is the one committed at the last Next of this import, and the point
// count is 0 until the workbook has been read, so the first visit never warns.
std::optional<Refusal> VolumeRemovedWarning(const ExperimentRecord &record, std::string_view volumeRemoved)
{
    const double left
        = LeadingNumber(record.Settings.TotalVolume) - (record.PointCount - 1) * LeadingNumber(volumeRemoved);
    if (record.PointCount == 0 || !(left < 0)) {
        return std::nullopt;
    }
    return Refusal {"Attention:",
        "The entered value for Volume Removed is too large. Please check your values and re-enter the "
        "Volume Removed."};
}

CVariableDlg::CVariableDlg(MessageSink &messages, QWidget *parent)
    : QDialog(parent)
    , messages(messages)
    , columnSelect(messages, this)
{
    setWindowTitle(QStringLiteral("Choice of Variable"));
    auto *form = new QWidget;
    auto *formLayout = new QVBoxLayout(form);
    formLayout->addWidget(Heading());
    formLayout->addWidget(ResponseFormatGroup());
    formLayout->addWidget(TimeFormatGroup());
    formLayout->addWidget(SystemTypeGroup());

    // With the equation block shown the form can be taller than a 1366 x 768 screen leaves
    // room for: it scrolls, the buttons stay in sight.
    auto *scroll = new QScrollArea(this);
    scroll->setWidget(form);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setMinimumWidth(form->sizeHint().width() + scroll->verticalScrollBar()->sizeHint().width());

    QWidget *buttons = Buttons();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(scroll);
    layout->addWidget(buttons);
    const int wanted = form->sizeHint().height() + buttons->sizeHint().height() + 4 * layout->spacing();
    resize(sizeHint().width(), std::min(wanted, screen()->availableGeometry().height() * 9 / 10));
}

QWidget *CVariableDlg::Heading()
{
    auto *heading = new QWidget;
    auto *layout = new QVBoxLayout(heading);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(
        new QLabel(QStringLiteral("* All active fields are required data fields unless noted as optional")));
    columnButton = new QPushButton;
    columnButton->setAutoDefault(false);
    connect(columnButton, &QPushButton::clicked, this, [this] { SelectColumns(); });
    layout->addWidget(columnButton, 0, Qt::AlignLeft);
    return heading;
}

// Option 3 is stored as 1 and Option 2 as 2: the values the record has always used.
QWidget *CVariableDlg::ResponseFormatGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Analyzer Response Format"));
    auto *layout = new QVBoxLayout(group);
    responseFormat = ChoiceGroup(&TestSettings::ResponseFormat);
    layout->addWidget(AddChoice(
        responseFormat, "Option 1: Use Concentration (in \xB5g/L)", ConcentrationMicrogramsPerLitre));
    layout->addWidget(AddChoice(responseFormat, "Option 2: Use Concentration (in ppm)", ConcentrationPpm));
    layout->addWidget(
        AddChoice(responseFormat, "Option 3: Use Other Analyzer Output Reading", CalibratedAnalyzerOutput));
    layout->addWidget(EquationBlock());
    auto *column = new QVBoxLayout;
    molecularWeight = AddField(column, molecularWeightRow, "molecularWeight", "Molecular Weight:", nullptr);
    connect(molecularWeight, &QLineEdit::textEdited, this,
        [this](const QString &text) { record->Settings.MolecularWeight = ProgramText(text); });
    layout->addLayout(column);
    return group;
}

QWidget *CVariableDlg::EquationBlock()
{
    equationBlock = new QWidget;
    auto *layout = new QVBoxLayout(equationBlock);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *instruction
        = new QLabel(QtText("Enter equation for the calibration curve by using \"x\" as analyzer output "
                            "reading (such as voltage or GC peak height or peak area) and \"y\" as "
                            "concentration in \xB5g/L, e.g.:"));
    instruction->setWordWrap(true);
    layout->addWidget(instruction);
    layout->addWidget(new QLabel(QStringLiteral("y= 4x^2 - 2x + 1 or just\n\n4x^2 - 2x + 1")));
    equation = new QLineEdit;
    equation->setObjectName(QStringLiteral("equation"));
    connect(equation, &QLineEdit::textEdited, this,
        [this](const QString &text) { record->Settings.CalibrationEquation = ProgramText(text); });
    layout->addWidget(equation);
    layout->addWidget(new QLabel(QStringLiteral(
        "Note:\n1) the equation can be up to 9th order\n2) no spaces within \"4x^2\" or \"2x\"")));
    return equationBlock;
}

QWidget *CVariableDlg::TimeFormatGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Time Format"));
    auto *layout = new QVBoxLayout(group);
    timeFormat = ChoiceGroup(&TestSettings::TimeFormat);
    layout->addWidget(AddChoice(timeFormat, "Time in Minutes", TimeInMinutes));
    layout->addWidget(AddChoice(timeFormat, "YYYY/MM/DD HH:MM:SS", TimeStampText));
    layout->addWidget(AddChoice(timeFormat, "MM/DD/YYYY HH:MM:SS ##", TimeSpreadsheetSerial));
    return group;
}

QWidget *CVariableDlg::SystemTypeGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Choose System Type"));
    auto *layout = new QVBoxLayout(group);
    loopType = ChoiceGroup(&TestSettings::LoopType);
    flowType = ChoiceGroup(&TestSettings::FlowType);
    sampling = ChoiceGroup(&TestSettings::Sampling);
    volumeHandling = ChoiceGroup(&TestSettings::VolumeHandling);
    layout->addWidget(AddChoice(loopType, "Open Loop System (OL)", OpenLoop));
    layout->addWidget(OpenLoopFields());
    layout->addWidget(AddChoice(loopType, "Closed Loop System (CL)", ClosedLoop));
    layout->addWidget(ClosedLoopFields());
    return group;
}

QWidget *CVariableDlg::OpenLoopFields()
{
    auto *fields = new QWidget;
    auto *column = new QVBoxLayout(fields);
    column->setContentsMargins(24, 0, 0, 0);
    column->addWidget(
        AddChoice(flowType, "Constant Flow Rate of Fresh Collection Medium (F in ASTM F 739):", 0));
    flowRate = AddField(column, flowRateRow, "flowRate", nullptr, "L / min");
    detectionLimit = AddField(column, detectionLimitRow, "detectionLimit",
        "Analytical Method Detection Limit:", "\xB5g/mL  (optional)");
    connect(detectionLimit, &QLineEdit::textEdited, this,
        [this](const QString &text) { record->Settings.MethodDetectionLimit = ProgramText(text); });
    column->addWidget(AddChoice(flowType, "Variable Flow Rate.", 1));
    minRate = AddField(
        column, minRateRow, "minDetectableRate", "Minimum detectable permeation rate:", "\xB5g/(cm\xB2*min)");
    return fields;
}

QWidget *CVariableDlg::ClosedLoopFields()
{
    auto *fields = new QWidget;
    auto *column = new QVBoxLayout(fields);
    column->setContentsMargins(24, 0, 0, 0);
    totalVolume = AddField(column, totalVolumeRow, "totalVolume",
        "Total Volume of the Collection Medium (Vt in ASTM F 739):", "L");
    column->addWidget(AddChoice(sampling, "Continuous Sampling", 0));
    column->addWidget(AddChoice(sampling, "Discrete Sampling", 1));
    auto *discrete = new QVBoxLayout;
    discrete->setContentsMargins(24, 0, 0, 0);
    discrete->addWidget(
        AddChoice(volumeHandling, "Sample Volume NOT replaced, enter Volume Removed (Vs in ASTM F 739)", 0));
    volumeRemoved = AddField(discrete, volumeRemovedRow, "volumeRemoved", nullptr, "L");
    volumeRemoved->installEventFilter(this);
    discrete->addWidget(
        AddChoice(volumeHandling, "Sample Volume IS replaced, enter Volume Replaced (Vs in ASTM F 739)", 1));
    volumeReplaced = AddField(discrete, volumeReplacedRow, "volumeReplaced", nullptr, "L");
    column->addLayout(discrete);
    minMass = AddField(
        column, minMassRow, "minDetectableMass", "Minimum detectable mass permeated:", "\xB5g/cm\xB2");
    return fields;
}

// Made inside the dialog, so that Next registers as its default button: a default set on a
// button without a dialog is lost, and Return would press whichever button last had focus.
QWidget *CVariableDlg::Buttons()
{
    auto *buttons = new QWidget(this);
    auto *next = new QPushButton(QStringLiteral("Next"), buttons);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), buttons);
    next->setDefault(true);
    connect(next, &QPushButton::clicked, this, [this] { NextWhenValid(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto *row = new QHBoxLayout(buttons);
    row->setContentsMargins(0, 0, 0, 0);
    row->addStretch();
    row->addWidget(next);
    row->addWidget(cancel);
    return buttons;
}

// Each pair or triple of radios is exclusive on its own, and a click takes effect in its
// member at once, as the enabling of the other fields depends on it.
QButtonGroup *CVariableDlg::ChoiceGroup(int TestSettings::*member)
{
    auto *group = new QButtonGroup(this);
    connect(group, &QButtonGroup::idClicked, this, [this, member](int value) {
        record->Settings.*member = value;
        ShowResponseFormat();
        ApplyEnabling();
    });
    return group;
}

// A field with its caption (if any) and its unit in one row, so that they are enabled and
// disabled together.
QLineEdit *CVariableDlg::AddField(
    QVBoxLayout *column, QWidget *&row, const char *objectName, const char *caption, const char *unit)
{
    row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *field = new QLineEdit;
    field->setObjectName(QString::fromLatin1(objectName));
    if (caption != nullptr) {
        auto *label = new QLabel(QtText(caption));
        label->setBuddy(field);
        layout->addWidget(label);
    }
    layout->addWidget(field);
    if (unit != nullptr) {
        layout->addWidget(new QLabel(QtText(unit)));
    }
    column->addWidget(row);
    return field;
}

DialogResult CVariableDlg::Run(ExperimentRecord &shown)
{
    record = &shown;
    ShowRecord();
    const DialogResult result = DialogResultOf(exec());
    record = nullptr;
    return result;
}

// The sequence has restored the confirmed response format, time format, weight and
// equation before the dialog opens; the other entries show as they stand.
void CVariableDlg::ShowRecord()
{
    const TestSettings &settings = record->Settings;
    ShowChoice(responseFormat, settings.ResponseFormat);
    ShowChoice(timeFormat, settings.TimeFormat);
    ShowChoice(loopType, settings.LoopType);
    ShowChoice(flowType, settings.FlowType);
    ShowChoice(sampling, settings.Sampling);
    ShowChoice(volumeHandling, settings.VolumeHandling);
    ShowResponseFormat();
    molecularWeight->setText(
        settings.ResponseFormat == ConcentrationPpm ? QtText(settings.MolecularWeight) : QString());
    equation->setText(QtText(settings.CalibrationEquation));
    flowRate->setText(QtText(settings.FlowRate));
    detectionLimit->setText(QtText(settings.MethodDetectionLimit));
    minRate->setText(QtText(settings.MinDetectableRate));
    totalVolume->setText(QtText(settings.TotalVolume));
    volumeRemoved->setText(QtText(settings.VolumeRemoved));
    volumeReplaced->setText(QtText(settings.VolumeReplaced));
    minMass->setText(QtText(settings.MinDetectableMass));
    ApplyEnabling();
    ShowColumnCaption();
}

void CVariableDlg::ShowResponseFormat()
{
    const int format = record->Settings.ResponseFormat;
    equationBlock->setVisible(format == CalibratedAnalyzerOutput);
    molecularWeightRow->setVisible(format == ConcentrationPpm);
}

void CVariableDlg::ApplyEnabling()
{
    const SystemTypeFields enabled = EnabledSystemTypeFields(record->Settings);
    for (QAbstractButton *radio : flowType->buttons()) {
        radio->setEnabled(enabled.FlowChoice);
    }
    for (QAbstractButton *radio : sampling->buttons()) {
        radio->setEnabled(enabled.SamplingChoice);
    }
    for (QAbstractButton *radio : volumeHandling->buttons()) {
        radio->setEnabled(enabled.ReplacementChoice);
    }
    flowRateRow->setEnabled(enabled.FlowRate);
    detectionLimitRow->setEnabled(enabled.DetectionLimit);
    minRateRow->setEnabled(enabled.MinDetectableRate);
    totalVolumeRow->setEnabled(enabled.TotalVolume);
    volumeRemovedRow->setEnabled(enabled.VolumeRemoved);
    volumeReplacedRow->setEnabled(enabled.VolumeReplaced);
    minMassRow->setEnabled(enabled.MinDetectableMass);
}

void CVariableDlg::ShowColumnCaption()
{
    columnButton->setText(QtText(ManualColumnsCaption(*record)));
}

void CVariableDlg::SelectColumns()
{
    columnSelect.Run(*record);
    ShowColumnCaption();
}

bool CVariableDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == volumeRemoved && record != nullptr && FocusLeftWithinDialog(event)) {
        if (const std::optional<Refusal> warning
            = VolumeRemovedWarning(*record, ProgramText(volumeRemoved->text()))) {
            ShowRefusal(messages, *warning);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CVariableDlg::CommitTexts(TestSettings &settings) const
{
    settings.FlowRate = ProgramText(flowRate->text());
    settings.TotalVolume = ProgramText(totalVolume->text());
    settings.VolumeRemoved = ProgramText(volumeRemoved->text());
    settings.VolumeReplaced = ProgramText(volumeReplaced->text());
    settings.MinDetectableRate = ProgramText(minRate->text());
    settings.MinDetectableMass = ProgramText(minMass->text());
    settings.MethodDetectionLimit = ProgramText(detectionLimit->text());
}

// The four confirmed values are stored before validation, so a refusal does not undo them;
// the other texts reach the record only once every entry passes.
void CVariableDlg::NextWhenValid()
{
    record->Settings.CalibrationEquation = ProgramText(equation->text());
    record->Settings.MolecularWeight = ProgramText(molecularWeight->text());
    ConfirmChoiceOfVariable(*record);
    TestSettings typed = record->Settings;
    CommitTexts(typed);
    if (const std::optional<Refusal> refusal = ValidateChoiceOfVariable(typed)) {
        ShowRefusal(messages, *refusal);
        return;
    }
    record->Settings = typed;
    accept();
}
