#pragma once

// The desktop's Import Data and Modify Settings commands: the import sequence with the
// settings dialogs of the windowing services as its entries. Free of Qt, so a scripted
// implementation of the services drives them in tests.

#include "analysis.h"
#include "import_defaults.h"
#include "import_sequence.h"
#include "windowing_services.h"

#include <functional>

// What the commands tell the main window besides the analysis itself.
class ImportCommandView : public AnalysisObserver
{
public:
    virtual void ClearResults() = 0;
    // The end of an import run, whatever became of its files.
    virtual void ImportRunEnded() = 0;
};

// The three settings dialogs, shown by the windowing services.
class DialogEntries : public SettingsEntries
{
public:
    explicit DialogEntries(WindowingServices &services)
        : services(services)
    { }

    DialogResult ChoiceOfVariable(ExperimentRecord &record) override
    {
        return services.RunSettingsDialog(SettingsDialog::ChoiceOfVariable, record);
    }
    DialogResult DataInput(ExperimentRecord &record) override
    {
        return services.RunSettingsDialog(SettingsDialog::DataInput, record);
    }
    DialogResult AdditionalDataInput(ExperimentRecord &record) override
    {
        return services.RunSettingsDialog(SettingsDialog::AdditionalDataInput, record);
    }

private:
    WindowingServices &services;
};

// The data files the file-open dialog offers, the three formats together first; every
// file is read by its content, whatever its name.
std::vector<FileFilter> InputFileFilters();

// Import Data: each chosen workbook in turn through the three dialogs, the checks and the
// analysis; a failed volume or flow-rate check ends the command and leaves later files
// unimported. Cancelling the file choice still ends the run. Each file's test date is the
// day `today` gives when the file is reached.
void RunImportData(ExperimentRecord &record, WindowingServices &services, ImportCommandView &view,
    const std::function<CalendarDate()> &today = LocalToday);

// The same for files chosen before, such as those the program was started with.
void RunImportFiles(ExperimentRecord &record, const std::vector<ChosenFile> &files, WindowingServices &services,
    ImportCommandView &view, const std::function<CalendarDate()> &today = LocalToday);

// Modify Settings: the dialogs with the current test's entries, the workbook read again,
// the checks and the analysis; anything short of that leaves the previous results shown.
void RunModifySettings(ExperimentRecord &record, WindowingServices &services, AnalysisObserver &observer);
