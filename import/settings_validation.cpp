#include "settings_validation.h"

#include "column_letters.h"
#include "experiment_record.h"
#include "text_number.h"

#include <string>

namespace {

const std::string InvalidEntry = "Invalid Entry";

std::optional<Refusal> Refuse(std::string text)
{
    return Refusal {InvalidEntry, std::move(text)};
}

// Zero and a text without a leading number pass; the import's own checks catch the zero
// volume or flow rate that the calculations divide by.
bool NotNegative(const std::string &text)
{
    return !text.empty() && LeadingNumber(text) >= 0;
}

bool Positive(const std::string &text)
{
    return !text.empty() && LeadingNumber(text) > 0;
}

bool WithinData(const std::string &text, double lastTime)
{
    return NotNegative(text) && LeadingNumber(text) <= lastTime;
}

std::string PositiveValueMessage(std::string_view field)
{
    return "The value for " + std::string(field) + " must be a positive numeric value.";
}

std::string TimeWithinDataMessage(std::string_view field)
{
    return "The value for " + std::string(field)
        + " must be a numeric value between the start and end time of the experiment data.";
}

struct FieldRule
{
    bool Asked;
    bool Passes;
    std::string Message;
};

std::optional<Refusal> FirstRefused(std::initializer_list<FieldRule> rules)
{
    for (const FieldRule &rule : rules) {
        if (rule.Asked && !rule.Passes) {
            return Refuse(rule.Message);
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<Refusal> validateChoiceOfVariable(const TestSettings &settings)
{
    const bool open = settings.LoopType == OpenLoop;
    const bool discrete = !open && settings.Sampling == 1;
    const bool replaced = settings.VolumeHandling == 1;
    return FirstRefused({
        {open, NotNegative(settings.MinDetectableRate), PositiveValueMessage("Minimum Permeation Rate")},
        {!open, NotNegative(settings.MinDetectableMass), PositiveValueMessage("Minimum Mass Permeated")},
        {discrete && !replaced, NotNegative(settings.VolumeRemoved), PositiveValueMessage("Volume Removed")},
        {discrete && replaced, NotNegative(settings.VolumeReplaced), PositiveValueMessage("Volume Replaced")},
        {!open, NotNegative(settings.TotalVolume), PositiveValueMessage("System Dead Volume")},
        {open && settings.FlowType == 0, NotNegative(settings.FlowRate), PositiveValueMessage("Flowrate")},
        {settings.ResponseFormat == ConcentrationPpm, NotNegative(settings.MolecularWeight),
            PositiveValueMessage("Molecular Weight")},
        {settings.ResponseFormat == CalibratedAnalyzerOutput, !settings.CalibrationEquation.empty(),
            "The value for the Equation must be entered."},
    });
}

std::optional<Refusal> validateDataInput(const SpecimenInputs &specimen, double lastTime)
{
    const bool diameterMode = specimen.AreaMode == 1;
    const std::string &diameter
        = specimen.DiameterUnit == 1 ? specimen.DiameterCmText : specimen.DiameterInchText;
    return FirstRefused({
        {true, WithinData(specimen.CumulativeTimeText, lastTime),
            TimeWithinDataMessage("Cumulative Permeation Time")},
        {true, WithinData(specimen.AverageStartText, lastTime),
            TimeWithinDataMessage("Average Permeation Start Time")},
        {true, WithinData(specimen.AverageEndText, lastTime),
            TimeWithinDataMessage("Average Permeation End Time")},
        // A size of 0 would make every permeation rate infinite.
        {diameterMode, Positive(diameter), PositiveValueMessage("Diameter")},
        {!diameterMode, Positive(specimen.AreaText), PositiveValueMessage("Area")},
        {true, NotNegative(specimen.SpecimenWeightText), PositiveValueMessage("Specimen Weight")},
        {true, NotNegative(specimen.TargetMassText), PositiveValueMessage("Cumulative Permeation Mass")},
    });
}

std::optional<Refusal> validateColumnLetters(std::string_view letters)
{
    if (letters.empty() || ColumnLettersValid(letters)) {
        return std::nullopt;
    }
    return Refuse("Column letters must be one or two letters from A to IV.");
}
