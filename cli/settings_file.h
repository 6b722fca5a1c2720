#pragma once

// The settings file of `orvane-batch analyze`: an INI file in UTF-8 whose keys are the
// record's member names, applied as if typed into the settings dialogs.
//
//   [TestSettings]    the Choice of Variable entries
//   [Columns]         ManualAnalyzerColumn, ManualTimeColumn, ManualFlowColumn
//   [SpecimenInputs]  the Data Input entries
//   [ReportInfo]      the Additional Data Input entries
//
// Values are texts as typed (blanks around them trimmed); choices are integers. One line per
// entry, at most 198 characters.

#include <functional>
#include <string>
#include <variant>
#include <vector>

struct ExperimentRecord;

enum class SettingsSection { TestSettings, Columns, SpecimenInputs, ReportInfo };

class SettingsFile
{
public:
    // The settings, or a message naming what is wrong (unknown section or key, a choice
    // that is not one of its numbers, a character Windows-1252 lacks, a malformed line).
    static std::variant<SettingsFile, std::string> Read(const std::string &path);

    // Sets the members of one section that the file gives; the others keep their values.
    void Apply(SettingsSection section, ExperimentRecord &record) const;

private:
    struct Entry
    {
        SettingsSection Section;
        std::string Key;
        std::function<void(ExperimentRecord &)> Assign;
    };

    friend struct SettingsFileParser;
    std::vector<Entry> entries;
};
