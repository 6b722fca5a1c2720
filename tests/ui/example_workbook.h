#pragma once

// An example workbook read and analysed as the desktop's import does, its settings file
// standing in for the three dialogs: BASE.xls with BASE.ini.

#include "analysis.h"
#include "experiment_record.h"
#include "import_sequence.h"
#include "settings_file.h"
#include "settings_file_entries.h"

#include <string>
#include <variant>

inline bool ReadExampleWorkbook(
    const std::string &base, ExperimentRecord &record, MessageSink &messages, AnalysisObserver &observer)
{
    auto settings = SettingsFile::Read(base + ".ini");
    if (!std::holds_alternative<SettingsFile>(settings)) {
        return false;
    }
    SettingsFileEntries entries(std::get<SettingsFile>(settings), messages);
    const std::string name = base.substr(base.find_last_of('/') + 1) + ".xls";
    return ImportWorkbook(record, base + ".xls", name, "2024/01/01", entries, messages, observer)
        == ImportOutcome::Analysed;
}
