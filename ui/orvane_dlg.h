#pragma once

// The main window: the button row, the menus, the results box and the one experiment of
// the run. Closing it ends the program.

#include "experiment_record.h"
#include "import_command.h"

#include <QMainWindow>

#include <memory>
#include <string>

class CHelpDialog;
class QAction;
class QPlainTextEdit;
class QPrinter;
class QPushButton;
class QtWindowingServices;
class WindowingServices;

class COrvaneDlg : public QMainWindow, public ImportCommandView
{
public:
    // With the Qt dialogs; the tests pass scripted services.
    COrvaneDlg();
    explicit COrvaneDlg(WindowingServices &services);
    ~COrvaneDlg() override;

    ExperimentRecord &Record() { return record; }
    // Import Data on files chosen without the file dialog.
    void ImportFiles(const std::vector<ChosenFile> &files);

    // View Graph stays available from the end of the first import run on.
    void ImportRunEnded() override;
    void ClearResults() override;

    void ExposedAreaChanged(const ExperimentRecord &) override { }
    void AnalysisCompleted(ExperimentRecord &record) override;

    QPlainTextEdit *ResultsBox() const { return resultsBox; }
    // The text Print printed last, as the box held it then.
    const std::string &ResultsText() const { return resultsText; }
    CHelpDialog *HelpWindow() const { return helpWindow; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void BuildWindow();
    void BuildButtonRow();
    void BuildMenus();
    void PlaceResultsBox();
    void OpenGraphWindow();
    void OnPrint();
    QPrinter &Printer();
    void ShowAbout();

    std::unique_ptr<QtWindowingServices> ownServices;
    WindowingServices &services;
    // Print and Print Graph share one printer, so the choices made in the print dialog
    // hold for the run. The Qt services' print dialog sets up their own.
    std::unique_ptr<QPrinter> printer;
    ExperimentRecord record;
    // What Save writes: the text as last built, or as Print last took it from the box.
    std::string resultsText;
    QWidget *client = nullptr;
    QPlainTextEdit *resultsBox = nullptr;
    QPushButton *viewGraphButton = nullptr;
    CHelpDialog *helpWindow = nullptr;
    QAction *viewGraphAction = nullptr;
};
