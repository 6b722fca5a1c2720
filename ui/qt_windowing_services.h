#pragma once

// The windowing services with Qt's standard dialogs, modal on a parent window.

#include "windowing_services.h"

#include <QMessageBox>

#include <memory>

class CInsert2Dlg;
class CInsertDlg;
class CSaveDlg;
class CVariableDlg;
class QPrinter;
class QString;
class QWidget;

// A file the operator named: its path in the file system's bytes, its name in Windows-1252.
ChosenFile ChosenFileOf(const QString &path);

class QtWindowingServices : public WindowingServices
{
public:
    explicit QtWindowingServices(QWidget *parent);
    ~QtWindowingServices() override;

    void Show(const std::string &caption, const std::string &text) override;
    void ShowExclamation(const std::string &caption, const std::string &text) override;
    DialogResult RunSettingsDialog(SettingsDialog dialog, ExperimentRecord &record) override;
    std::vector<ChosenFile> ChooseFilesToOpen(const std::vector<FileFilter> &filters) override;
    std::optional<ChosenFile> ChooseFileToSave(const FileFilter &filter, ExistingFile existing) override;
    std::optional<SaveChoice> ChooseSaveForm() override;
    std::optional<PrinterChoice> ChoosePrinter(const PrintRequest &request) override;

    // The printer the last ChoosePrinter set up, for the printouts to draw on.
    QPrinter &Printer();

private:
    void ShowMessageBox(const std::string &caption, const std::string &text, QMessageBox::Icon icon);
    CVariableDlg &ChoiceOfVariable();
    CInsertDlg &DataInput();
    CInsert2Dlg &AdditionalDataInput();

    QWidget *parent;
    std::unique_ptr<QPrinter> printer;
    // Made at their first use and kept, so their choices carry over from import to import.
    std::unique_ptr<CVariableDlg> choiceOfVariable;
    std::unique_ptr<CInsertDlg> dataInput;
    std::unique_ptr<CInsert2Dlg> additionalDataInput;
    std::unique_ptr<CSaveDlg> saveForm;
};
