#include "import_command.h"

#include "experiment_record.h"

std::vector<FileFilter> InputFileFilters()
{
    return {
        {"Data Files", {"xls", "xlsx", "csv"}},
        {"Excel 97-2003 Workbooks", {"xls"}},
        {"Excel Workbooks", {"xlsx"}},
        {"Comma-Separated Files", {"csv"}},
        {"All Files", {"*"}},
    };
}

namespace {

void ImportEach(ExperimentRecord &record, const std::vector<ChosenFile> &files, WindowingServices &services,
    ImportCommandView &view, const std::function<CalendarDate()> &today)
{
    DialogEntries entries(services);
    for (const ChosenFile &file : files) {
        const ImportOutcome outcome
            = ImportWorkbook(record, file.Path, file.Name, TestDateText(today()), entries, services, view);
        if (outcome == ImportOutcome::CheckFailed) {
            break;
        }
    }
    view.ImportRunEnded();
    record.SettingsComplete = false;
}

} // namespace

void RunImportData(ExperimentRecord &record, WindowingServices &services, ImportCommandView &view,
    const std::function<CalendarDate()> &today)
{
    view.ClearResults();
    ImportEach(record, services.ChooseFilesToOpen(InputFileFilters()), services, view, today);
}

void RunImportFiles(ExperimentRecord &record, const std::vector<ChosenFile> &files, WindowingServices &services,
    ImportCommandView &view, const std::function<CalendarDate()> &today)
{
    view.ClearResults();
    ImportEach(record, files, services, view, today);
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
