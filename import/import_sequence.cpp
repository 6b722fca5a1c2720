#include "import_sequence.h"

#include "analysis.h"
#include "experiment_record.h"
#include "import_checks.h"
#include "import_defaults.h"
#include "workbook_read.h"

namespace {

// Choice of Variable opens with the four values of its last Next, so a Cancel discards
// changes to them.
void RestoreConfirmedChoices(TestSettings &settings)
{
    settings.ResponseFormat = settings.ConfirmedResponseFormat;
    settings.TimeFormat = settings.ConfirmedTimeFormat;
    settings.MolecularWeight = settings.ConfirmedMolecularWeight;
    settings.CalibrationEquation = settings.ConfirmedEquation;
}

SequenceEnd ReadEnd(WorkbookReadResult result)
{
    switch (result) {
    case WorkbookReadResult::Unreadable:
        return SequenceEnd::Unreadable;
    case WorkbookReadResult::NoDataPoints:
        return SequenceEnd::NoData;
    case WorkbookReadResult::Read:
        break;
    }
    return SequenceEnd::Complete;
}

ImportOutcome OutcomeOf(SequenceEnd end)
{
    switch (end) {
    case SequenceEnd::Cancelled:
        return ImportOutcome::Cancelled;
    case SequenceEnd::Unreadable:
        return ImportOutcome::Unreadable;
    case SequenceEnd::NoData:
        return ImportOutcome::NoData;
    case SequenceEnd::Complete:
        break;
    }
    return ImportOutcome::Analysed;
}

ImportOutcome CheckAndAnalyse(ExperimentRecord &record, MessageSink &messages, AnalysisObserver &observer)
{
    if (const auto refusal = CheckVolumeAndFlowRate(record.Settings)) {
        ShowRefusal(messages, *refusal);
        return ImportOutcome::CheckFailed;
    }
    RunAnalysis(record, observer);
    return ImportOutcome::Analysed;
}

} // namespace

void ConfirmChoiceOfVariable(ExperimentRecord &record)
{
    TestSettings &settings = record.Settings;
    settings.ConfirmedResponseFormat = settings.ResponseFormat;
    settings.ConfirmedTimeFormat = settings.TimeFormat;
    settings.ConfirmedMolecularWeight = settings.MolecularWeight;
    settings.ConfirmedEquation = settings.CalibrationEquation;
}

SequenceEnd RunSettingsSequence(
    ExperimentRecord &record, SettingsEntries &entries, MessageSink &messages, SettingsStep first)
{
    SettingsStep step = first;
    DialogResult result = DialogResult::Cancel;
    for (;;) {
        switch (step) {
        case SettingsStep::ChoiceOfVariable:
            RestoreConfirmedChoices(record.Settings);
            result = entries.ChoiceOfVariable(record);
            if (result == DialogResult::Next) {
                const SequenceEnd readEnd = ReadEnd(ReadAndConvertWorkbook(record, messages));
                if (readEnd != SequenceEnd::Complete) {
                    record.SettingsComplete = false;
                    return readEnd;
                }
                step = SettingsStep::DataInput;
                continue;
            }
            break;
        case SettingsStep::DataInput:
            PrepareDataInput(record);
            result = entries.DataInput(record);
            if (result != DialogResult::Cancel) {
                step = result == DialogResult::Next ? SettingsStep::AdditionalDataInput
                                                    : SettingsStep::ChoiceOfVariable;
                continue;
            }
            break;
        case SettingsStep::AdditionalDataInput:
            PrepareAdditionalDataInput(record);
            result = entries.AdditionalDataInput(record);
            if (result == DialogResult::Next) {
                record.SettingsComplete = true;
                return SequenceEnd::Complete;
            }
            if (result == DialogResult::Back) {
                step = SettingsStep::DataInput;
                continue;
            }
            break;
        }
        // Cancel anywhere, or Back from the first dialog, ends the sequence.
        record.SettingsComplete = false;
        return SequenceEnd::Cancelled;
    }
}

ImportOutcome ImportWorkbook(ExperimentRecord &record, const std::string &sourcePath,
    const std::string &sourceName, const std::string &testDate, SettingsEntries &entries,
    MessageSink &messages, AnalysisObserver &observer)
{
    ResetForImport(record, sourcePath, sourceName, testDate);
    const SequenceEnd end = RunSettingsSequence(record, entries, messages, SettingsStep::ChoiceOfVariable);
    if (end != SequenceEnd::Complete) {
        return OutcomeOf(end);
    }
    const ImportOutcome outcome = CheckAndAnalyse(record, messages, observer);
    if (outcome == ImportOutcome::Analysed) {
        record.ResultsAvailable = true;
    }
    return outcome;
}

ImportOutcome ModifySettings(
    ExperimentRecord &record, SettingsEntries &entries, MessageSink &messages, AnalysisObserver &observer)
{
    const SequenceEnd end = RunSettingsSequence(record, entries, messages, SettingsStep::ChoiceOfVariable);
    if (end != SequenceEnd::Complete) {
        return OutcomeOf(end);
    }
    return CheckAndAnalyse(record, messages, observer);
}
