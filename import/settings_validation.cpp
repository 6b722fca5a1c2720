#include "settings_validation.h"

#include "column_letters.h"
#include "experiment_record.h"
#include "text_number.h"

#include <cmath>
#include <string>

namespace {

const std::string InvalidEntry = "Invalid Entry";

std::optional<Refusal> Refuse(std::string text)
{
    return Refusal {InvalidEntry, std::move(text)};
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// "1,5" or "0,25" typed with a decimal comma would read as 1 or 0 without a word.
bool HasDecimalComma(const std::string &text)
{
    std::size_t after = 0;
    if (const auto number = FindLeadingDecimal(text)) {
        after = number->end;
    } else {
        after = text.find_first_not_of(" \t\n\v\f\r");
        if (after != std::string::npos && (text[after] == '+' || text[after] == '-')) {
            ++after;
        }
    }
    return after != std::string::npos && after + 1 < text.size() && text[after] == ',' && IsDigit(text[after + 1]);
}

// An entry that reads as a number the calculations can use: typed, finite ("1e309" is
// not), and without a decimal comma.
bool Usable(const std::string &text)
{
    return !text.empty() && std::isfinite(LeadingNumber(text)) && !HasDecimalComma(text);
}

// Zero and a text without a leading number pass; the import's own checks catch the zero
// volume or flow rate that the calculations divide by.
bool NotNegative(const std::string &text)
{
    return Usable(text) && LeadingNumber(text) >= 0;
}

bool Positive(const std::string &text)
{
    return Usable(text) && LeadingNumber(text) > 0;
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

std::optional<Refusal> ValidateChoiceOfVariable(const TestSettings &settings)
{
    const bool open = IsOpenLoop(settings);
    const bool discrete = !open && IsDiscreteSampling(settings);
    const bool replaced = IsVolumeReplaced(settings);
    return FirstRefused({
        {open, NotNegative(settings.MinDetectableRate), PositiveValueMessage("Minimum Permeation Rate")},
        {!open, NotNegative(settings.MinDetectableMass), PositiveValueMessage("Minimum Mass Permeated")},
        {discrete && !replaced, NotNegative(settings.VolumeRemoved), PositiveValueMessage("Volume Removed")},
        {discrete && replaced, NotNegative(settings.VolumeReplaced), PositiveValueMessage("Volume Replaced")},
        {!open, NotNegative(settings.TotalVolume), PositiveValueMessage("System Dead Volume")},
        {open && IsConstantFlow(settings), NotNegative(settings.FlowRate), PositiveValueMessage("Flowrate")},
        // ppm readings are multiplied by it: a weight of 0 would turn every reading into 0.
        {settings.ResponseFormat == ConcentrationPpm, Positive(settings.MolecularWeight),
            PositiveValueMessage("Molecular Weight")},
        {settings.ResponseFormat == CalibratedAnalyzerOutput, !settings.CalibrationEquation.empty(),
            "The value for the Equation must be entered."},
    });
}

std::optional<Refusal> ValidateDataInput(const SpecimenInputs &specimen, double lastTime)
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

std::optional<Refusal> ValidateColumnLetters(std::string_view letters)
{
    if (letters.empty() || ColumnLettersValid(letters)) {
        return std::nullopt;
    }
    return Refuse("Column letters must be one or two letters from A to IV.");
}
