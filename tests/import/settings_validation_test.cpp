#include "settings_validation.h"

#include "column_letters.h"
#include "experiment_record.h"
#include "import_checks.h"
#include "recorded_messages.h"

#include <gtest/gtest.h>

namespace {

std::string RefusedText(const std::optional<Refusal> &refusal)
{
    if (!refusal) {
        return "";
    }
    EXPECT_EQ(refusal->Caption, "Invalid Entry");
    return refusal->Text;
}

TestSettings ClosedLoopDiscrete()
{
    TestSettings settings;
    settings.LoopType = ClosedLoop;
    settings.Sampling = 1;
    settings.VolumeHandling = 0;
    settings.MinDetectableMass = "0.1";
    settings.VolumeRemoved = "0.01";
    settings.TotalVolume = "0.1";
    return settings;
}

TEST(ChoiceOfVariable, FirstRefusedFieldWinsInTheDialogsOrder)
{
    TestSettings settings = ClosedLoopDiscrete();
    EXPECT_EQ(RefusedText(ValidateChoiceOfVariable(settings)), "");

    settings.TotalVolume = "-1";
    EXPECT_EQ(RefusedText(ValidateChoiceOfVariable(settings)),
        "The value for System Dead Volume must be a positive numeric value.");
    settings.VolumeRemoved = "";
    EXPECT_EQ(RefusedText(ValidateChoiceOfVariable(settings)),
        "The value for Volume Removed must be a positive numeric value.");
    settings.MinDetectableMass = "-0.5";
    EXPECT_EQ(RefusedText(ValidateChoiceOfVariable(settings)),
        "The value for Minimum Mass Permeated must be a positive numeric value.");
}

TEST(ChoiceOfVariable, ZeroAndTextWithoutNumberPass)
{
    TestSettings settings = ClosedLoopDiscrete();
    settings.TotalVolume = "0";
    settings.VolumeRemoved = "abc";
    EXPECT_EQ(RefusedText(ValidateChoiceOfVariable(settings)), "");
}

TEST(ChoiceOfVariable, OnlyTheFieldsOfTheChosenSystemAreChecked)
{
    TestSettings settings = ClosedLoopDiscrete();
    settings.VolumeHandling = 1;
    EXPECT_EQ(RefusedText(ValidateChoiceOfVariable(settings)),
        "The value for Volume Replaced must be a positive numeric value.");
    settings.Sampling = 0;
    EXPECT_EQ(RefusedText(ValidateChoiceOfVariable(settings)), "");

    TestSettings open;
    open.LoopType = OpenLoop;
    open.FlowType = 1;
    EXPECT_EQ(RefusedText(ValidateChoiceOfVariable(open)),
        "The value for Minimum Permeation Rate must be a positive numeric value.");
    open.MinDetectableRate = "0.1";
    EXPECT_EQ(RefusedText(ValidateChoiceOfVariable(open)), ""); // no flow rate for a variable flow
    open.FlowType = 0;
    EXPECT_EQ(RefusedText(ValidateChoiceOfVariable(open)),
        "The value for Flowrate must be a positive numeric value.");
}

TEST(ChoiceOfVariable, MolecularWeightAndEquationOnlyForTheirFormats)
{
    TestSettings settings = ClosedLoopDiscrete();
    settings.ResponseFormat = ConcentrationPpm;
    EXPECT_EQ(RefusedText(ValidateChoiceOfVariable(settings)),
        "The value for Molecular Weight must be a positive numeric value.");
    settings.ResponseFormat = CalibratedAnalyzerOutput;
    EXPECT_EQ(RefusedText(ValidateChoiceOfVariable(settings)), "The value for the Equation must be entered.");
    settings.CalibrationEquation = "-";
    EXPECT_EQ(RefusedText(ValidateChoiceOfVariable(settings)), "");
    settings.ResponseFormat = ConcentrationMicrogramsPerLitre;
    settings.CalibrationEquation = "";
    EXPECT_EQ(RefusedText(ValidateChoiceOfVariable(settings)), "");
}

// Entries that would read as a wrong number without a word are refused with the field's
// own message: not finite, a decimal comma, a molecular weight of 0.
TEST(ChoiceOfVariable, NumbersTheCalculationsCannotUseAreRefused)
{
    const std::string volumeMessage = "The value for System Dead Volume must be a positive numeric value.";
    for (const char *volume : {"1e309", "0,25", "1,5 L", ",5", "-1e400"}) {
        TestSettings settings = ClosedLoopDiscrete();
        settings.TotalVolume = volume;
        EXPECT_EQ(RefusedText(ValidateChoiceOfVariable(settings)), volumeMessage) << volume;
    }
    TestSettings settings = ClosedLoopDiscrete();
    settings.TotalVolume = "1e309";
    EXPECT_TRUE(CheckVolumeAndFlowRate(settings)) << "an infinite volume cannot be read either";
    settings.TotalVolume = "1.5, measured"; // a comma after the number is no decimal comma
    EXPECT_EQ(RefusedText(ValidateChoiceOfVariable(settings)), "");

    settings.ResponseFormat = ConcentrationPpm;
    for (const char *weight : {"0", "\"78.11\"", "abc", "0.0", "78,11"}) {
        settings.MolecularWeight = weight;
        EXPECT_EQ(RefusedText(ValidateChoiceOfVariable(settings)),
            "The value for Molecular Weight must be a positive numeric value.")
            << weight;
    }
    settings.MolecularWeight = "78.11";
    EXPECT_EQ(RefusedText(ValidateChoiceOfVariable(settings)), "");
}

SpecimenInputs CompleteSpecimen()
{
    SpecimenInputs specimen;
    specimen.AreaMode = 0;
    specimen.AreaText = "20.27";
    specimen.CumulativeTimeText = "0";
    specimen.AverageStartText = "10";
    specimen.AverageEndText = "479.99";
    specimen.SpecimenWeightText = "0.5";
    specimen.TargetMassText = "2.5";
    return specimen;
}

TEST(DataInput, NumbersTheCalculationsCannotUseAreRefused)
{
    SpecimenInputs specimen = CompleteSpecimen();
    specimen.AreaText = "20,27";
    EXPECT_EQ(RefusedText(ValidateDataInput(specimen, 480)), "The value for Area must be a positive numeric value.");
    specimen = CompleteSpecimen();
    specimen.AverageStartText = "1e309";
    EXPECT_EQ(RefusedText(ValidateDataInput(specimen, 480)),
        "The value for Average Permeation Start Time must be a numeric value between the start and end time of "
        "the experiment data.");
}

TEST(DataInput, TimesMustLieBetweenZeroAndTheLastTime)
{
    SpecimenInputs specimen = CompleteSpecimen();
    EXPECT_EQ(RefusedText(ValidateDataInput(specimen, 479.996)), "");

    specimen.AverageEndText = "480.00";
    EXPECT_EQ(RefusedText(ValidateDataInput(specimen, 479.996)),
        "The value for Average Permeation End Time must be a numeric value between the start and end time of "
        "the experiment data.");
    specimen.AverageStartText = "";
    EXPECT_EQ(RefusedText(ValidateDataInput(specimen, 479.996)),
        "The value for Average Permeation Start Time must be a numeric value between the start and end time "
        "of "
        "the experiment data.");
    specimen.CumulativeTimeText = "-5";
    EXPECT_EQ(RefusedText(ValidateDataInput(specimen, 479.996)),
        "The value for Cumulative Permeation Time must be a numeric value between the start and end time of "
        "the "
        "experiment data.");
}

TEST(DataInput, SizeMustBeAboveZeroAndOnlyTheChosenOneIsChecked)
{
    SpecimenInputs specimen = CompleteSpecimen();
    specimen.AreaText = "0";
    EXPECT_EQ(RefusedText(ValidateDataInput(specimen, 500)),
        "The value for Area must be a positive numeric value.");
    specimen.AreaText = "-1";
    EXPECT_EQ(RefusedText(ValidateDataInput(specimen, 500)),
        "The value for Area must be a positive numeric value.");

    specimen.AreaMode = 1;
    specimen.DiameterUnit = 0;
    specimen.DiameterInchText = "1.00";
    specimen.DiameterCmText = "";
    EXPECT_EQ(RefusedText(ValidateDataInput(specimen, 500)), "");
    specimen.DiameterUnit = 1;
    EXPECT_EQ(RefusedText(ValidateDataInput(specimen, 500)),
        "The value for Diameter must be a positive numeric value.");
    specimen.DiameterCmText = "0.0";
    EXPECT_EQ(RefusedText(ValidateDataInput(specimen, 500)),
        "The value for Diameter must be a positive numeric value.");
    specimen.DiameterCmText = "2.54";
    EXPECT_EQ(RefusedText(ValidateDataInput(specimen, 500)), "");
}

TEST(DataInput, WeightThenMassTarget)
{
    SpecimenInputs specimen = CompleteSpecimen();
    specimen.TargetMassText = "";
    EXPECT_EQ(RefusedText(ValidateDataInput(specimen, 500)),
        "The value for Cumulative Permeation Mass must be a positive numeric value.");
    specimen.SpecimenWeightText = "-0.1";
    EXPECT_EQ(RefusedText(ValidateDataInput(specimen, 500)),
        "The value for Specimen Weight must be a positive numeric value.");
    specimen.SpecimenWeightText = "0";
    specimen.TargetMassText = "0";
    EXPECT_EQ(RefusedText(ValidateDataInput(specimen, 500)), "");
}

TEST(ColumnLetters, DecodeAsSpreadsheetColumns)
{
    EXPECT_EQ(ColumnIndexFromLetters("A"), 0);
    EXPECT_EQ(ColumnIndexFromLetters("a"), 0);
    EXPECT_EQ(ColumnIndexFromLetters("c"), 2);
    EXPECT_EQ(ColumnIndexFromLetters("Z"), 25);
    EXPECT_EQ(ColumnIndexFromLetters("AA"), 26);
    EXPECT_EQ(ColumnIndexFromLetters("ab"), 27);
    EXPECT_EQ(ColumnIndexFromLetters("IV"), 255);
    EXPECT_EQ(ColumnIndexFromLetters("1"), -1);
    EXPECT_GT(ColumnIndexFromLetters("IW"), MaxColumnIndex);
    EXPECT_GT(ColumnIndexFromLetters("ZZZZZZZZZZZZZZZZ"), MaxColumnIndex);
}

TEST(ColumnLetters, DialogRefusesWhatNamesNoColumn)
{
    for (const char *letters : {"", "A", "c", "AA", "iv", "IV", "HZ"}) {
        EXPECT_FALSE(ValidateColumnLetters(letters)) << letters;
    }
    for (const char *letters : {"IW", "JA", "ZZ", "AAA", "1", "A1", " B", "B ", "\xC9"}) {
        const auto refusal = ValidateColumnLetters(letters);
        ASSERT_TRUE(refusal) << letters;
        EXPECT_EQ(
            *refusal, (Refusal {"Invalid Entry", "Column letters must be one or two letters from A to IV."}));
    }
}

TEST(VolumeAndFlowRate, ClosedLoopNeedsAVolume)
{
    TestSettings settings = ClosedLoopDiscrete();
    const Refusal volume {"Volume for Test Material Error", "Cannot read the Volume given.", true};
    for (const char *text : {"", "0", "0.0", "abc"}) {
        settings.TotalVolume = text;
        EXPECT_EQ(CheckVolumeAndFlowRate(settings), volume) << text;
    }
    settings.TotalVolume = "0.1";
    EXPECT_FALSE(CheckVolumeAndFlowRate(settings));
}

TEST(VolumeAndFlowRate, OpenLoopNeedsAFlowRateAndACalibratedOutputAVolume)
{
    TestSettings settings;
    settings.LoopType = OpenLoop;
    settings.FlowRate = "0.000000";
    EXPECT_EQ(CheckVolumeAndFlowRate(settings),
        (Refusal {"Flow Rate for Test Material Error", "Cannot read the Flow Rate given."}));
    settings.FlowRate = "0.5";
    EXPECT_FALSE(CheckVolumeAndFlowRate(settings));
    settings.ResponseFormat = CalibratedAnalyzerOutput;
    EXPECT_EQ(CheckVolumeAndFlowRate(settings),
        (Refusal {"Volume for Test Material Error", "Cannot read the Volume given.", true}));
}

} // namespace
