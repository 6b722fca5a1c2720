#include "settings_file_entries.h"

#include "experiment_record.h"
#include "settings_validation.h"

#include <optional>

namespace {

std::optional<Refusal> FirstRefusedColumnLetters(const ExperimentRecord &record)
{
    for (const std::string *letters :
        {&record.ManualAnalyzerColumn, &record.ManualTimeColumn, &record.ManualFlowColumn}) {
        if (auto refusal = ValidateColumnLetters(*letters)) {
            return refusal;
        }
    }
    return std::nullopt;
}

} // namespace

DialogResult SettingsFileEntries::Refuse(const Refusal &refusal)
{
    messages.Show(refusal.Caption, refusal.Text);
    refused = true;
    return DialogResult::Cancel;
}

// Select Data Columns opens from Choice of Variable, so its letters come first.
DialogResult SettingsFileEntries::ChoiceOfVariable(ExperimentRecord &record)
{
    settings.Apply(SettingsSection::Columns, record);
    if (const auto refusal = FirstRefusedColumnLetters(record)) {
        return Refuse(*refusal);
    }
    settings.Apply(SettingsSection::TestSettings, record);
    ConfirmChoiceOfVariable(record);
    if (const auto refusal = ValidateChoiceOfVariable(record.Settings)) {
        return Refuse(*refusal);
    }
    return DialogResult::Next;
}

DialogResult SettingsFileEntries::DataInput(ExperimentRecord &record)
{
    settings.Apply(SettingsSection::SpecimenInputs, record);
    SpecimenInputs &specimen = record.Specimen;
    specimen.DiameterCopy = specimen.DiameterUnit == 1 ? specimen.DiameterCmText : specimen.DiameterInchText;
    if (const auto refusal = ValidateDataInput(specimen, record.LastTime)) {
        return Refuse(*refusal);
    }
    return DialogResult::Next;
}

DialogResult SettingsFileEntries::AdditionalDataInput(ExperimentRecord &record)
{
    settings.Apply(SettingsSection::ReportInfo, record);
    return DialogResult::Next;
}
