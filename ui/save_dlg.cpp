#include "save_dlg.h"

#include "dialog_choices.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QVBoxLayout>

CSaveDlg::CSaveDlg(QWidget *parent)
    : QDialog(parent)
    , choices(new QButtonGroup(this))
{
    setWindowTitle(QStringLiteral("Save File As"));
    auto *group = new QGroupBox(QStringLiteral("Save"));
    auto *radios = new QVBoxLayout(group);
    radios->addWidget(AddChoice(choices, "Save As an Excel File", static_cast<int>(SaveChoice::ExcelFile)));
    radios->addWidget(AddChoice(choices, "Save As Text File", static_cast<int>(SaveChoice::TextFile)));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

std::optional<SaveChoice> CSaveDlg::Run()
{
    ShowChoice(choices, static_cast<int>(choice));
    if (exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    choice = static_cast<SaveChoice>(choices->checkedId());
    return choice;
}
