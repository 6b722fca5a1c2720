#pragma once

// A record filled as the desktop's import fills it: an examples/ workbook read with its
// settings file standing in for the three dialogs.

#include "analysis.h"
#include "experiment_record.h"
#include "import_sequence.h"
#include "settings_file.h"
#include "settings_file_entries.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

class FailingMessages : public MessageSink
{
public:
    void Show(const std::string &caption, const std::string &text) override
    {
        ADD_FAILURE() << caption << ": " << text;
    }
};

inline void ImportExample(const std::string &name, ExperimentRecord &record, AnalysisObserver &observer)
{
    const std::string base = std::string(ORVANE_EXAMPLES) + "/" + name;
    auto settings = SettingsFile::Read(base + ".ini");
    ASSERT_TRUE(std::holds_alternative<SettingsFile>(settings));
    FailingMessages messages;
    SettingsFileEntries entries(std::get<SettingsFile>(settings), messages);
    ASSERT_EQ(ImportWorkbook(record, base + ".xls", name + ".xls", "2024/01/01", entries, messages, observer),
        ImportOutcome::Analysed);
}
