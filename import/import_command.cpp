#include "import_command.h"

#include "experiment_record.h"
#include "import_defaults.h"

FileFilter InputFilesFilter()
{
    return {"Input Files: (*.xls", {"xls", "xlsx"}};
}

void RunImportData(ExperimentRecord &record, WindowingServices &services, ImportCommandView &view)
{
    view.ClearResults();
    DialogEntries entries(services);
    for (const ChosenFile &file : services.ChooseFilesToOpen(InputFilesFilter())) {
        const ImportOutcome outcome
            = ImportWorkbook(record, file.Path, file.Name, TodayAsTestDate(), entries, services, view);
        if (outcome == ImportOutcome::CheckFailed) {
            break;
        }
    }
    view.ImportRunEnded();
    record.SettingsComplete = false;
}

void RunModifySettings(ExperimentRecord &record, WindowingServices &services, AnalysisObserver &observer)
{
    DialogEntries entries(services);
    ModifySettings(record, entries, services, observer);
}
