#include "results_text.h"

#include "breakthrough.h"
#include "permeation.h"
#include "result_texts.h"
#include "steady_state.h"
#include "text_number.h"

#include <string_view>
#include <utility>

namespace {

constexpr std::string_view MassUnit = "\xB5g/cm\xB2";
constexpr std::string_view RateUnit = "\xB5g/(cm\xB2*min)";
constexpr std::string_view NewLine = "\r\n";
constexpr double MassNamedForNoPermeation = 0.25; // µg/cm²

// Appends the pieces in order; a text-building shorthand, nothing is formatted here.
class TextBuilder
{
public:
    template<typename... Pieces>
    void Add(const Pieces &...pieces)
    {
        (text_.append(pieces), ...);
    }
    std::string Take() { return std::move(text_); }

private:
    std::string text_;
};

// A loop type other than the two known ones writes neither loop's wording.
bool IsClosedLoop(const ExperimentRecord &record)
{
    return IsClosedLoop(record.Settings);
}

void AddHeader(TextBuilder &text, const ExperimentRecord &record)
{
    const TestSettings &settings = record.Settings;
    text.Add("Report Title:\t", record.Report.ReportTitle, "\r\n\r\n");
    text.Add("Project Number:\t", record.Report.ProjectNumber, "\r\n\r\n");
    text.Add("Experiment type:  ");
    if (IsOpenLoop(record)) {
        text.Add("Open Loop, ");
        if (IsConstantFlow(settings)) {
            text.Add("Constant Flow Rate");
        } else if (IsVariableFlow(settings)) {
            text.Add("Variable Flow Rate");
        }
    } else if (IsClosedLoop(record)) {
        text.Add("Closed Loop, ");
        if (IsContinuousSampling(settings)) {
            text.Add("Continuous Sampling");
        } else if (IsDiscreteSampling(settings)) {
            text.Add("Discrete Sampling, ");
            if (IsVolumeNotReplaced(settings)) {
                text.Add("Volume Not Replaced");
            } else if (IsVolumeReplaced(settings)) {
                text.Add("Volume Replaced");
            }
        }
    }
    text.Add(".\r\n\r\n");
    text.Add("--Results based on Talvik's Orvane Version 2.5.0--\r\n\r\n");
}

bool IsDetectionTimeShown(const ExperimentRecord &record)
{
    return IsTimeShown(record, record.Results.BreakthroughDetectionTime);
}

void AddDetectionTime(TextBuilder &text, const ExperimentRecord &record)
{
    text.Add("\tBreakthrough Detection Time (BDT): ", record.Results.DetectionTimeText, " min\r\n");
}

void AddExceededFromStart(TextBuilder &text, const ExperimentRecord &record)
{
    if (IsClosedLoop(record)) {
        text.Add("\tStandardized Breakthrough Time was unable to be determined.\r\n");
    } else if (IsOpenLoop(record)) {
        text.Add("\tPermeation first detected at a rate > 0.10 ", RateUnit, ".\r\n");
    }
    if (IsDetectionTimeShown(record)) {
        AddDetectionTime(text, record);
    } else {
        text.Add("\tBreakthrough Detection Time was not determined before end of test\r\n");
    }
}

void AddNoPermeation(TextBuilder &text, const ExperimentRecord &record)
{
    const TestSettings &settings = record.Settings;
    if (IsClosedLoop(record)) {
        text.Add("\tNo permeation was detected at 0.25 ", MassUnit, NewLine);
        if (LeadingNumber(settings.MinDetectableMass) != MassNamedForNoPermeation) {
            text.Add(
                "\tMinimum detectable mass permeated: ", settings.MinDetectableMass, " ", MassUnit, NewLine);
        }
        text.Add("\tTest Duration: ", FormatTestDuration(record), " hours.\r\n");
    } else if (IsOpenLoop(record)) {
        text.Add("\tNo permeation rate was detected at 0.10 ", RateUnit, NewLine);
        text.Add("\tMinimum detectable permeation rate: ",
            FormatDetectionLimitRate(record).value_or(settings.MinDetectableRate), " ", RateUnit, NewLine);
    }
}

void AddBreakthroughTimes(TextBuilder &text, const ExperimentRecord &record)
{
    const AnalysisResults &results = record.Results;
    text.Add("Breakthrough Time--\r\n");
    const double standardized = results.StandardizedBreakthroughTime;
    if (standardized == ExceededFromStart) {
        AddExceededFromStart(text, record);
    } else if (standardized == NeverReached) {
        AddNoPermeation(text, record);
    } else {
        if (IsTimeShown(record, standardized)) {
            text.Add("\tStandardized Breakthrough Time (permeation rate at 0.10 ", RateUnit,
                "): ", results.StandardizedTimeText, " min\r\n");
        } else {
            text.Add("\tStandardized Breakthrough Time was not determined before end of test.\r\n");
        }
        if (IsDetectionTimeShown(record)) {
            AddDetectionTime(text, record);
        }
    }

    if (IsTimeShown(record, results.NormalizedBreakthroughTime)) {
        if (IsClosedLoop(record)) {
            text.Add("\tNormalized Breakthrough Time (permeation mass at 2.5 ", MassUnit, "): ");
        } else if (IsOpenLoop(record)) {
            text.Add("\tNormalized Breakthrough Time (permeation rate at 1.0 ", RateUnit, "): ");
        }
        text.Add(results.NormalizedTimeText, " min\r\n");
    } else {
        text.Add("\tNormalized Breakthrough Time was not determined before end of test.\r\n");
    }

    if (IsClosedLoop(record) && IsDiscreteReplaced(record.Settings)) {
        if (IsTimeShown(record, results.MinimumBreakthroughTime)) {
            text.Add("\tMinimum Breakthrough Detection Time (permeation rate at 0.01 ", RateUnit,
                "): ", FormatResult(record, results.MinimumBreakthroughTime), " min\r\n");
        } else {
            text.Add("\tMinimum Breakthrough Detection Time (permeation rate at 0.01 ", RateUnit,
                ") was not determined before end of test.\r\n");
        }
    }
}

void AddRateNotDetermined(TextBuilder &text, std::string_view rateName)
{
    text.Add("\t", rateName,
        " could not be determined: fewer than 3 readings lie between 65 % and 85 % of the peak "
        "reading.\r\n\r\n");
}

void AddCorrelationFactor(TextBuilder &text, const ExperimentRecord &record, std::string_view region)
{
    const AnalysisResults &results = record.Results;
    text.Add("\tCorrelation Factor (R\xB2) in the ", region, "from ", results.RegionStartText, " to ",
        results.RegionEndText, " min: ", results.RSquaredText, "\r\n\r\n");
}

void AddMaximumRate(TextBuilder &text, const ExperimentRecord &record)
{
    text.Add("\tSteady-state Permeation was not established during the testing.\r\n");
    if (IsOpenLoop(record)) {
        text.Add("\tMaximum Permeation Rate: ", FormatPointRate(record, record.Results.TopIndices[0]), " ",
            RateUnit, NewLine);
        text.Add("\tDetermined at ", record.Results.PeakTimeTexts[0], " min\r\n\r\n");
    } else if (IsClosedLoop(record)) {
        if (!SteadyStateRateDetermined(record)) {
            AddRateNotDetermined(text, "Maximum Permeation Rate");
            return;
        }
        text.Add("\tMaximum Permeation Rate: ", ReportedSteadyRateText(record), " ", RateUnit, NewLine);
        AddCorrelationFactor(text, record, "region ");
    }
}

void AddSevenHighestRates(TextBuilder &text, const ExperimentRecord &record)
{
    text.Add("\tSeven highest permeation rates (", RateUnit, "): ");
    const auto &top = record.Results.TopIndices;
    for (std::size_t k = 0; k < top.size(); ++k) {
        text.Add(k == 0 ? "" : ", ", FormatPointRate(record, top[k]));
    }
    text.Add(NewLine);
}

void AddSteadyStateRate(TextBuilder &text, const ExperimentRecord &record)
{
    const AnalysisResults &results = record.Results;
    if (IsClosedLoop(record) && !SteadyStateRateDetermined(record)) {
        AddRateNotDetermined(text, "Steady-State Permeation Rate");
        return;
    }
    text.Add("\tSSPR: ", ReportedSteadyRateText(record), " ", RateUnit, NewLine);
    if (IsOpenLoop(record)) {
        const auto &peaks = results.PeakTimeTexts;
        text.Add("\tDetermined around ", results.PeakTimesMeanText, " (average of: ", peaks[0], "; ",
            peaks[1], "; ", peaks[2], ") min\r\n");
        text.Add("\tMaximum Permeation Rate: ", FormatPointRate(record, results.TopIndices[0]), " ", RateUnit,
            NewLine);
        text.Add("\tDetermined at ", peaks[0], " min\r\n");
        AddSevenHighestRates(text, record);
    } else if (IsClosedLoop(record)) {
        AddCorrelationFactor(text, record, "steady-state region ");
    }
}

void AddCumulativeResults(TextBuilder &text, const ExperimentRecord &record)
{
    const AnalysisResults &results = record.Results;
    const SpecimenInputs &specimen = record.Specimen;
    text.Add("Cumulative Permeation--\r\n");
    if (LeadingNumber(results.ElapsedTimeText) == 0) {
        text.Add("\tTarget Cumulative Permeation Mass of ", specimen.TargetMassText,
            " was not reached by experiment end.\r\n");
    } else {
        text.Add("\tElapsed Time for Cumulative Permeation Mass of ", specimen.TargetMassText, " ", MassUnit,
            ": ", ReportedElapsedTimeText(record), " minutes\r\n");
    }
    text.Add("\tCumulative Permeation for ", specimen.CumulativeTimeText,
        " minutes: ", ReportedCumulativeText(record), " ", MassUnit, NewLine);
    text.Add("\tAverage Permeation Rate from ", specimen.AverageStartText, " to ", specimen.AverageEndText,
        " min: ", ReportedAverageRateText(record), " ", RateUnit, "\r\n\r\n");
    if (const auto detectionLimitRate = FormatDetectionLimitRate(record)) {
        text.Add("\tMinimum detectable permeation rate based on analytical method detection limit: ",
            *detectionLimitRate, " ", RateUnit, "\r\n\r\n");
    }
}

void AddCollectionSystem(TextBuilder &text, const ExperimentRecord &record)
{
    const TestSettings &settings = record.Settings;
    text.Add("Collection System--\r\n");
    text.Add("\tMedium: ", record.Report.CollectionMedium, NewLine);
    text.Add("\tSystem Type: ");
    if (IsOpenLoop(record)) {
        text.Add("Open Loop, ");
        if (IsConstantFlow(settings)) {
            text.Add("Constant Flow Rate.\r\n");
            text.Add("Flow Rate of Fresh Collection Medium: ", settings.FlowRate, " L/min\r\n");
        } else if (IsVariableFlow(settings)) {
            text.Add("Variable Flow Rate.\r\n");
        }
    } else if (IsClosedLoop(record)) {
        text.Add("Closed Loop, ");
        if (IsContinuousSampling(settings)) {
            text.Add("Continuous Sampling");
        } else if (IsDiscreteSampling(settings)) {
            constexpr std::string_view sampleVolume
                = ".\r\nVolume of Discrete Sample (Vs) Removed from Collection Medium: ";
            text.Add("Discrete Sampling, ");
            if (IsVolumeNotReplaced(settings)) {
                text.Add("Volume Not Replaced", sampleVolume, settings.VolumeRemoved, "L");
            } else if (IsVolumeReplaced(settings)) {
                text.Add("Volume Replaced", sampleVolume, settings.VolumeReplaced, "L");
            }
        }
        text.Add(".\r\n");
        text.Add("\tTotal Volume of the Collection Medium (Vt): ", settings.TotalVolume, " L\r\n");
    }
}

void AddExperimentInformation(TextBuilder &text, const ExperimentRecord &record)
{
    const ReportInfo &report = record.Report;
    text.Add("Operator: ", report.Operator, NewLine);
    text.Add("Date: ", report.TestDate, NewLine);
    text.Add("Data Filename: ", record.SourceName, "\r\n\r\n");
    text.Add("Experiment Information--\r\n\r\n");
    text.Add("\tTest Duration: ", FormatTestDuration(record), " hours\r\n\r\n");

    text.Add("Material--\r\n");
    text.Add("\tManufacturer & Product: ", report.MaterialProduct, NewLine);
    text.Add("\tAverage Thickness: ", report.AverageThickness, " mm\r\n");
    text.Add("\tExposure Area: ", record.Specimen.AreaText, " cm\xB2\r\n");
    text.Add("\tWeight Per Unit Area of Specimen: ", FormatWeightPerUnitArea(record), " g/m\xB2\r\n");

    text.Add("Test Chemical--\r\n");
    if (report.PhysicalState == 0) {
        text.Add("\tPhysical State: Liquid\r\n");
    } else if (report.PhysicalState == 1) {
        text.Add("\tPhysical State: Gas\r\n");
    }
    text.Add("\tTest Chemical: ", report.TestChemical, NewLine);
    text.Add("\tCAS#: ", report.CasNumber, NewLine);
    text.Add("\tManufacturer: ", report.ChemicalManufacturer, NewLine);
    text.Add("\tLot/Batch#: ", report.LotNumber, NewLine);
    text.Add("\tExpiration Date: ", report.ExpirationDate, NewLine);

    text.Add("Temperature--\r\n");
    text.Add("\tNominal Test Temperature: ", report.NominalTemperature, " degrees Celsius\r\n");
    text.Add("\tTemperature Range: ", report.TemperatureRange, " degrees Celsius\r\n\r\n");

    text.Add("Analytical Techniques--\r\n");
    text.Add("\tInstrument Type: ", report.InstrumentType, NewLine);
    text.Add("\tInstrument ID Number: ", report.InstrumentId, NewLine);
    text.Add("\tInstrument Settings: ", report.InstrumentSettings, NewLine);
    text.Add("\tSampling Pump ID: ", report.PumpId, NewLine);

    AddCollectionSystem(text, record);
    text.Add("\tData Sampling Interval: ", report.SamplingInterval, " seconds\r\n");
    if (record.Settings.ResponseFormat == CalibratedAnalyzerOutput) {
        text.Add("\tCalibration Curve: ", record.Settings.CalibrationEquation, NewLine);
    }
    text.Add("Additional Comments: ", report.Comments, NewLine);
}

} // namespace

std::string BuildResultsText(const ExperimentRecord &record)
{
    TextBuilder text;
    AddHeader(text, record);
    AddBreakthroughTimes(text, record);
    text.Add("\r\nSteady-State Permeation Rate (SSPR)--\r\n");
    if (record.Specimen.SteadyStateNotEstablished == 1) {
        AddMaximumRate(text, record);
    } else {
        AddSteadyStateRate(text, record);
    }
    AddCumulativeResults(text, record);
    AddExperimentInformation(text, record);
    return text.Take();
}
