#pragma once

// The road of one import, shared by the desktop program and the batch tool: the three
// settings dialogs with Next, Back and Cancel, the read of the workbook after Choice of
// Variable, the volume and flow-rate checks and the analysis. Where the entries come from
// (dialogs on screen, a settings file) is the caller's SettingsEntries; what the operator
// is told goes to the caller's MessageSink.

#include "windowing_services.h"

#include <string>

struct ExperimentRecord;
class AnalysisObserver;

// The three settings dialogs as the sequence asks them. Each works on the record, which
// the sequence has prepared for it (confirmed choices restored, first-showing defaults),
// and returns Next only with entries that passed its own validation.
class SettingsEntries
{
public:
    virtual ~SettingsEntries() = default;
    virtual DialogResult ChoiceOfVariable(ExperimentRecord &record) = 0;
    virtual DialogResult DataInput(ExperimentRecord &record) = 0;
    virtual DialogResult AdditionalDataInput(ExperimentRecord &record) = 0;
};

enum class SettingsStep { ChoiceOfVariable = 0, DataInput = 1, AdditionalDataInput = 2 };

enum class SequenceEnd {
    Complete, // all three dialogs confirmed; SettingsComplete is set
    Cancelled, // a dialog was cancelled
    Unreadable, // the workbook could not be read; the operator has been told
    NoData, // the workbook holds no data point; the operator has been told
};

// Runs the dialogs from `first` on. Confirming Choice of Variable reads and converts the
// workbook at SourcePath again, also after Back.
SequenceEnd RunSettingsSequence(
    ExperimentRecord &record, SettingsEntries &entries, MessageSink &messages, SettingsStep first);

enum class ImportOutcome {
    Analysed,
    Cancelled,
    Unreadable,
    NoData,
    CheckFailed, // the total volume or the flow rate cannot be read; the operator has been told
};

// One file of Import Data: the per-file defaults, the sequence, the checks, the analysis.
// On CheckFailed the desktop ends the whole command, leaving later files unimported.
ImportOutcome ImportWorkbook(ExperimentRecord &record, const std::string &sourcePath,
    const std::string &sourceName, const std::string &testDate, SettingsEntries &entries,
    MessageSink &messages, AnalysisObserver &observer);

// Modify Settings: the sequence with the current entries, the checks and the analysis
// again. Anything but Analysed leaves the previous results as they were.
ImportOutcome ModifySettings(
    ExperimentRecord &record, SettingsEntries &entries, MessageSink &messages, AnalysisObserver &observer);

// Choice of Variable's Next stores the four values it restores on its next opening, even
// when validation then refuses an entry.
void ConfirmChoiceOfVariable(ExperimentRecord &record);
