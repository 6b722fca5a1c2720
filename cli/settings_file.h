#pragma once

// The settings file of `orvane-batch analyze`: an INI file in UTF-8 whose keys are the
// record's member names, applied as if typed into the settings dialogs.
//
//   [TestSettings]    the Choice of Variable entries
//   [Columns]         ManualAnalyzerColumn, ManualTimeColumn, ManualFlowColumn
//   [SpecimenInputs]  the Data Input entries
//   [ReportInfo]      the Additional Data Input entries
//
// Read with inih. Lines:
//   - a line ends with LF, CR LF or a lone CR; a UTF-8 byte order mark at the start is skipped;
//   - blanks around a line, a key and a value are dropped; an indented line is an entry of its
//     own, never the continuation of the value above it, so a value is always one line;
//   - a line starting with ';' or '#' is a comment, and so is a ';' after a blank and the rest
//     of its line;
//   - "key = value" or "key: value"; a later line for the same key replaces the earlier one.
// Values are texts as typed; choices are integers. Limits: a value up to 32767 characters (as
// many as the dialogs' edit boxes take), a file up to 1 MiB; a NUL byte is refused. Reading
// stops at the first refused line.

#include <functional>
#include <string>
#include <variant>
#include <vector>

struct ExperimentRecord;

enum class SettingsSection { TestSettings, Columns, SpecimenInputs, ReportInfo };

class SettingsFile
{
public:
    // The settings, or a message naming what is wrong and on which line (unknown section or
    // key, a choice that is not one of its numbers, a character Windows-1252 lacks, a value
    // too long, a malformed line), or why the file cannot be read (missing, not a regular
    // file, too large).
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
