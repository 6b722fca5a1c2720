#include "qt_windowing_services.h"

#include "insert2_dlg.h"
#include "insert_dlg.h"
#include "qt_text.h"
#include "save_dlg.h"
#include "variable_dlg.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QStringList>

namespace {

// "Excel Files (*.xls)" from a description and its extensions; "*" stands for any.
QString NameFilter(const FileFilter &filter)
{
    QStringList patterns;
    for (const std::string &extension : filter.Extensions) {
        patterns << QStringLiteral("*.") + QtText(extension);
    }
    return QtText(filter.Description) + QStringLiteral(" (") + patterns.join(u' ') + u')';
}

} // namespace

ChosenFile ChosenFileOf(const QString &path)
{
    return {QFile::encodeName(path).toStdString(), ProgramText(QFileInfo(path).fileName())};
}

QtWindowingServices::QtWindowingServices(QWidget *parent)
    : parent(parent)
{ }

QtWindowingServices::~QtWindowingServices() = default;

void QtWindowingServices::ShowMessageBox(
    const std::string &caption, const std::string &text, QMessageBox::Icon icon)
{
    QMessageBox box(icon, QtText(caption), QtText(text), QMessageBox::Ok, parent);
    box.exec();
}

void QtWindowingServices::Show(const std::string &caption, const std::string &text)
{
    ShowMessageBox(caption, text, QMessageBox::NoIcon);
}

void QtWindowingServices::ShowExclamation(const std::string &caption, const std::string &text)
{
    ShowMessageBox(caption, text, QMessageBox::Warning);
}

DialogResult QtWindowingServices::RunSettingsDialog(SettingsDialog dialog, ExperimentRecord &record)
{
    switch (dialog) {
    case SettingsDialog::ChoiceOfVariable:
        return ChoiceOfVariable().Run(record);
    case SettingsDialog::DataInput:
        return DataInput().Run(record);
    case SettingsDialog::AdditionalDataInput:
        return AdditionalDataInput().Run(record);
    }
    return DialogResult::Cancel;
}

CVariableDlg &QtWindowingServices::ChoiceOfVariable()
{
    if (!choiceOfVariable) {
        choiceOfVariable = std::make_unique<CVariableDlg>(*this, parent);
    }
    return *choiceOfVariable;
}

CInsertDlg &QtWindowingServices::DataInput()
{
    if (!dataInput) {
        dataInput = std::make_unique<CInsertDlg>(*this, parent);
    }
    return *dataInput;
}

CInsert2Dlg &QtWindowingServices::AdditionalDataInput()
{
    if (!additionalDataInput) {
        additionalDataInput = std::make_unique<CInsert2Dlg>(parent);
    }
    return *additionalDataInput;
}

std::vector<ChosenFile> QtWindowingServices::ChooseFilesToOpen(const std::vector<FileFilter> &filters)
{
    QStringList nameFilters;
    for (const FileFilter &filter : filters) {
        nameFilters << NameFilter(filter);
    }
    std::vector<ChosenFile> chosen;
    for (const QString &path :
        QFileDialog::getOpenFileNames(parent, QString(), QString(), nameFilters.join(QStringLiteral(";;")))) {
        chosen.push_back(ChosenFileOf(path));
    }
    return chosen;
}

std::optional<ChosenFile> QtWindowingServices::ChooseFileToSave(const FileFilter &filter, ExistingFile existing)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(NameFilter(filter));
    if (!filter.Extensions.empty()) {
        dialog.setDefaultSuffix(QtText(filter.Extensions.front()));
    }
    dialog.setOption(QFileDialog::DontConfirmOverwrite, existing == ExistingFile::ReplaceSilently);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return ChosenFileOf(dialog.selectedFiles().constFirst());
}

std::optional<SaveChoice> QtWindowingServices::ChooseSaveForm()
{
    if (!saveForm) {
        saveForm = std::make_unique<CSaveDlg>(parent);
    }
    return saveForm->Run();
}

std::optional<PrinterChoice> QtWindowingServices::ChoosePrinter(const PrintRequest &request)
{
    QPrintDialog dialog(&Printer(), parent);
    // Here "print to file" writes a PDF, the one way to print without a printer set up.
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, request.PageRange);
    if (request.PageRange) {
        dialog.setMinMax(request.FirstPage, request.LastPage);
        dialog.setFromTo(request.FirstPage, request.LastPage);
        dialog.setPrintRange(QAbstractPrintDialog::PageRange);
    } else {
        // The printer keeps the graph's last range; a printer may honour it and drop pages.
        dialog.setPrintRange(QAbstractPrintDialog::AllPages);
    }
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    const bool toFile = Printer().outputFormat() == QPrinter::PdfFormat;
    return PrinterChoice {ProgramText(Printer().printerName()),
        toFile ? QFile::encodeName(Printer().outputFileName()).toStdString() : ""};
}

QPrinter &QtWindowingServices::Printer()
{
    if (!printer) {
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    }
    return *printer;
}
