#include "import_command.h"

#include "experiment_record.h"

FileFilter InputFilesFilter()
{
    return {"Input Files: (*.xls", {"xls", "xlsx"}};
}

void RunImportData(ExperimentRecord &record, WindowingServices &services, ImportCommandView &view,
    const std::function<CalendarDate()> &today)
{
    view.ClearResults();
    DialogEntries entries(services);
    for (const ChosenFile &file : services.ChooseFilesToOpen(InputFilesFilter())) {
        const ImportOutcome outcome
            = ImportWorkbook(record, file.Path, file.Name, TestDateText(today()), entries, services, view);
        if (outcome == ImportOutcome::CheckFailed) {
            break;
        }
    }
    view.ImportRunEnded();
    record.SettingsComplete = false;
}

void RunModifySettings(ExperimentRecord &record, WindowingServices &services, AnalysisObserver &observer)
{
    if (record.SourcePath.empty()) {
        // Without a workbook the sequence would read nothing and every dialog would be in vain.
        services.Show("Modify Settings", "There is no imported data file to modify. Use Import Data first.");
        return;
    }
    DialogEntries entries(services);
    ModifySettings(record, entries, services, observer);
}
