#include "column_select_dlg.h"

#include "experiment_record.h"
#include "qt_text.h"
#include "settings_validation.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

std::string ManualColumnsCaption(const ExperimentRecord &record)
{
    const bool anyLetters = !record.ManualAnalyzerColumn.empty() || !record.ManualTimeColumn.empty()
        || !record.ManualFlowColumn.empty();
    return anyLetters ? "Manual Data Columns Selected" : "Manually Select Data Columns";
}

CColumnSelectDlg::CColumnSelectDlg(MessageSink &messages, QWidget *parent)
    : QDialog(parent)
    , messages(messages)
    , analyzerEdit(AddLetterEdit("analyzerColumn"))
    , timeEdit(AddLetterEdit("timeColumn"))
    , flowEdit(AddLetterEdit("flowColumn"))
{
    setWindowTitle(QStringLiteral("Select Data Columns"));
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Analyzer Output:"), analyzerEdit);
    form->addRow(QStringLiteral("Time:"), timeEdit);
    form->addRow(QStringLiteral("Flow Rate (optional)"), flowEdit);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton *clear = buttons->addButton(QStringLiteral("Clear"), QDialogButtonBox::ResetRole);
    connect(clear, &QPushButton::clicked, this, [this] { Clear(); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { AcceptWhenValid(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

QLineEdit *CColumnSelectDlg::AddLetterEdit(const char *objectName)
{
    auto *edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(objectName));
    return edit;
}

DialogResult CColumnSelectDlg::Run(ExperimentRecord &record)
{
    analyzerEdit->setText(QtText(record.ManualAnalyzerColumn));
    timeEdit->setText(QtText(record.ManualTimeColumn));
    flowEdit->setText(QtText(record.ManualFlowColumn));
    if (exec() != QDialog::Accepted) {
        return DialogResult::Cancel;
    }
    record.ManualAnalyzerColumn = ProgramText(analyzerEdit->text());
    record.ManualTimeColumn = ProgramText(timeEdit->text());
    record.ManualFlowColumn = ProgramText(flowEdit->text());
    return DialogResult::Next;
}

// Clearing only empties the edits: the stored letters change at OK, so Cancel still undoes it.
void CColumnSelectDlg::Clear()
{
    analyzerEdit->clear();
    timeEdit->clear();
    flowEdit->clear();
}

// A letter that names no worksheet column would make the import read nothing, or read past
// the sheet, for that list; it is refused here and the dialog stays open for a correction.
void CColumnSelectDlg::AcceptWhenValid()
{
    for (const QLineEdit *edit : {analyzerEdit, timeEdit, flowEdit}) {
        if (const std::optional<Refusal> refusal = ValidateColumnLetters(ProgramText(edit->text()))) {
            ShowRefusal(messages, *refusal);
            return;
        }
    }
    accept();
}
