#include "excel_report.h"

#include "breakthrough.h"
#include "result_texts.h"
#include "steady_state.h"
#include "text_number.h"

#include <string_view>
#include <utility>

namespace {

constexpr std::string_view MassUnit = "\xB5g/cm\xB2";
constexpr std::string_view RateUnit = "\xB5g/(cm\xB2*min)";
constexpr double MassNamedForNoPermeation = 0.25; // µg/cm²
constexpr double RateNamedForNoPermeation = 0.1; // µg/(cm²·min)

std::string Text(std::string_view text)
{
    return std::string(text);
}

// An empty value reads as the number 0, as the operator left it; a text that holds no
// number ("not defined") stays text rather than becoming a 0 nobody measured.
bool ReadsAsNumber(const std::string &value)
{
    return value.empty() || FindLeadingDecimal(value).has_value();
}

// Shown in the report: the formatted time, as it reads, lies in [0, last time]. Without
// points there is no last time and nothing is shown.
bool IsTimeTextShown(const ExperimentRecord &record, const std::string &text)
{
    if (UsedPoints(record).empty() || !FindLeadingDecimal(text)) {
        return false;
    }
    const double time = LeadingNumber(text);
    return time >= 0 && time <= LastSampleTime(record);
}

class ReportBuilder
{
public:
    explicit ReportBuilder(const ExperimentRecord &record)
        : record(record)
    { }

    ExcelReport Take()
    {
        AddOperatorBlock();
        AddBreakthroughBlock();
        AddSteadyStateBlock();
        AddCumulativeBlock();
        AddExperimentInformation();
        return {Header(), std::move(rows)};
    }

private:
    std::vector<std::string> Header() const
    {
        const std::string &title = record.Report.ReportTitle;
        std::vector<std::string> header = title.empty() ? std::vector<std::string> {"Report", "-"}
                                                        : std::vector<std::string> {"Report Title:", title};
        header.insert(header.end(), {"Results based on Talvik Orvane", "--", "Version 2-5-0"});
        return header;
    }

    void Add(std::vector<std::string> cells) { rows.push_back({std::move(cells), false}); }

    // A statement in column C.
    void AddNote(std::string note) { Add({"", "", std::move(note)}); }

    // A label in column C, its value in D and its unit, if any, in E; the value is recorded.
    void AddValue(std::string label, std::string value, std::string_view unit = {})
    {
        const bool recorded = ReadsAsNumber(value);
        std::vector<std::string> cells {"", "", std::move(label), std::move(value)};
        if (!unit.empty()) {
            cells.push_back(Text(unit));
        }
        rows.push_back({std::move(cells), recorded});
    }

    // A label whose value is missing, with the reason in column E.
    void AddMissing(std::string label, std::string reason) { Add({"", "", std::move(label), "", std::move(reason)}); }

    void AddTime(std::string label, const std::string &timeText)
    {
        if (IsTimeTextShown(record, timeText)) {
            AddValue(std::move(label), timeText, "min");
        } else {
            AddMissing(std::move(label), "Not detected.");
        }
    }

    void AddOperatorBlock()
    {
        const ReportInfo &report = record.Report;
        Add({"Operator:", report.Operator});
        Add({"Date:", report.TestDate});
        Add({"Data Filename:", record.SourceName});
        Add({""});
        Add({"Project Number:", report.ProjectNumber});
    }

    void AddDetectionTime(bool whenNotShown)
    {
        const std::string label = "Breakthrough Detection Time (BDT):";
        if (IsTimeTextShown(record, record.Results.DetectionTimeText)) {
            AddValue(label, record.Results.DetectionTimeText, "min");
        } else if (whenNotShown) {
            AddMissing(label, "Not detected.");
        }
    }

    void AddNoPermeation()
    {
        const TestSettings &settings = record.Settings;
        if (IsClosedLoop(settings)) {
            AddNote("No permeation was detected at 0.25 " + Text(MassUnit));
            if (LeadingNumber(settings.MinDetectableMass) != MassNamedForNoPermeation) {
                AddValue("Minimum detectable mass permeated:", settings.MinDetectableMass, MassUnit);
            }
            AddValue("Test Duration:", FormatTestDuration(record), "hours");
        } else if (IsOpenLoop(settings)) {
            AddNote("No permeation rate was detected at 0.10 " + Text(RateUnit));
            if (LeadingNumber(settings.MinDetectableRate) != RateNamedForNoPermeation) {
                AddValue("Minimum detectable permeation rate:", settings.MinDetectableRate, RateUnit);
            }
        }
    }

    void AddBreakthroughBlock()
    {
        const TestSettings &settings = record.Settings;
        const AnalysisResults &results = record.Results;
        const double standardized = results.StandardizedBreakthroughTime;
        if (standardized == ExceededFromStart) {
            if (IsClosedLoop(settings)) {
                AddNote("Standardized Breakthrough Time was unable to be determined.");
            } else if (IsOpenLoop(settings)) {
                AddNote("Permeation rate first detected > 0.10 " + Text(RateUnit));
            }
            AddDetectionTime(true);
        } else if (standardized == NeverReached) {
            AddNoPermeation();
        } else {
            AddTime("Standardized Breakthrough Time (permeation rate at 0.10 " + Text(RateUnit) + "):",
                results.StandardizedTimeText);
            AddDetectionTime(false);
        }

        AddTime(IsOpenLoop(settings) ? "Normalized Breakthrough Time (permeation rate at 1.0 " + Text(RateUnit) + "):"
                                     : "Normalized Breakthrough Time (permeation mass at 2.5 " + Text(MassUnit) + "):",
            results.NormalizedTimeText);

        // Only this system has a minimum breakthrough time; elsewhere the member holds
        // whatever an earlier analysis left.
        if (IsClosedLoop(settings) && IsDiscreteReplaced(settings)) {
            const std::string label
                = "Minimum Breakthrough Detection Time (permeation rate at 0.01 " + Text(RateUnit) + "):";
            const double minimum = results.MinimumBreakthroughTime;
            if (IsTimeShown(record, minimum)) {
                AddValue(label, FormatResult(record, minimum), "min");
            } else {
                AddMissing(label, "Not detected.");
            }
        }
    }

    // A closed loop's rate and its fitting region; without 3 readings in the region there
    // is no rate to give.
    void AddClosedLoopRate(const std::string &rateLabel, std::string_view region)
    {
        const AnalysisResults &results = record.Results;
        if (!SteadyStateRateDetermined(record)) {
            AddMissing(rateLabel, "Not determined.");
            return;
        }
        AddValue(rateLabel, ReportedSteadyRateText(record), RateUnit);
        AddValue("   Correlation Factor (R\xB2) in the " + Text(region) + ":", results.RSquaredText);
        AddValue("   Start Time in the " + Text(region) + ":", results.RegionStartText, "min");
        AddValue("   End Time in the " + Text(region) + ":", results.RegionEndText, "min");
    }

    void AddMaximumRate()
    {
        AddValue("Maximum Permeation Rate:", FormatPointRate(record, record.Results.TopIndices[0]), RateUnit);
        AddValue("   Determined At:", record.Results.PeakTimeTexts[0], "min");
    }

    void AddSteadyStateBlock()
    {
        const TestSettings &settings = record.Settings;
        const AnalysisResults &results = record.Results;
        if (record.Specimen.SteadyStateNotEstablished == 1) {
            AddNote("Steady-State Permeation was not established.");
            if (IsClosedLoop(settings)) {
                AddClosedLoopRate("Maximum Permeation Rate:", "Region");
            } else if (IsOpenLoop(settings)) {
                AddMaximumRate();
            }
            return;
        }
        const std::string label = "Steady-State Permeation Rate (SSPR):";
        if (IsClosedLoop(settings)) {
            AddClosedLoopRate(label, "Steady-State Region");
            return;
        }
        AddValue(label, ReportedSteadyRateText(record), RateUnit);
        if (IsOpenLoop(settings)) {
            const auto &peaks = results.PeakTimeTexts;
            AddValue("   Determined Around:", results.PeakTimesMeanText,
                "(Average of " + peaks[0] + "; " + peaks[1] + "; " + peaks[2] + ") min");
            AddMaximumRate();
            std::string rates;
            for (const int index : results.TopIndices) {
                rates += (rates.empty() ? "" : ", ") + FormatPointRate(record, index);
            }
            Add({"", "", "Seven highest permeation rates (" + Text(RateUnit) + "):", rates, ""});
        }
    }

    void AddCumulativeBlock()
    {
        const SpecimenInputs &specimen = record.Specimen;
        if (LeadingNumber(record.Results.ElapsedTimeText) == 0) {
            AddNote("Target Cumulative Permeation Mass of " + specimen.TargetMassText
                + " was not reached by experiment end.");
        } else {
            AddValue("Elapsed Time for Cumulative Permeation Mass of " + specimen.TargetMassText + " "
                    + Text(MassUnit) + ":",
                ReportedElapsedTimeText(record), "minutes");
        }
        AddValue("Cumulative Permeation for " + specimen.CumulativeTimeText + " minutes:",
            ReportedCumulativeText(record), MassUnit);
        AddValue("Average Permeation Rate from " + specimen.AverageStartText + " to " + specimen.AverageEndText
                + " minutes:",
            ReportedAverageRateText(record), RateUnit);
        if (const auto detectionLimitRate = FormatDetectionLimitRate(record)) {
            AddValue("Minimum detectable permeation rate based on Analytical Method Detection Limit:",
                *detectionLimitRate, RateUnit);
        }
    }

    std::string SystemTypeText() const
    {
        const TestSettings &settings = record.Settings;
        if (IsOpenLoop(settings)) {
            return "Open Loop, "
                + Text(IsConstantFlow(settings)       ? "Constant Flow Rate."
                        : IsVariableFlow(settings) ? "Variable Flow Rate."
                                                   : "");
        }
        if (!IsClosedLoop(settings)) {
            return {};
        }
        if (IsContinuousSampling(settings)) {
            return "Closed Loop, Continuous Sampling.";
        }
        if (!IsDiscreteSampling(settings)) {
            return "Closed Loop, ";
        }
        return "Closed Loop, Discrete Sampling, "
            + Text(IsVolumeNotReplaced(settings)   ? "Volume Not Replaced."
                    : IsVolumeReplaced(settings) ? "Volume Replaced."
                                                 : "");
    }

    void AddCollectionSystem()
    {
        const TestSettings &settings = record.Settings;
        Add({"", "Collection System", "Medium:", record.Report.CollectionMedium});
        if (IsOpenLoop(settings) && IsConstantFlow(settings)) {
            AddValue("Flow Rate of Fresh Collection Medium:", settings.FlowRate, "L/min");
        }
        if (IsClosedLoop(settings)) {
            AddValue("Total Volume of the Collection Medium (Vt):", settings.TotalVolume, "L");
        }
        Add({"", "System Type:", SystemTypeText()});
        if (IsClosedLoop(settings) && IsDiscreteSampling(settings)) {
            AddValue("Volume of Discrete Sample (Vs) Removed from Collection Medium:",
                IsVolumeReplaced(settings) ? settings.VolumeReplaced : settings.VolumeRemoved, "L");
        }
    }

    void AddExperimentInformation()
    {
        const ReportInfo &report = record.Report;
        Add({" "});
        Add({" "});
        Add({"Experiment Information"});
        AddValue("Test Duration:", FormatTestDuration(record), "hours");
        Add({"", "Material", "Manufacturer & Product:", report.MaterialProduct});
        AddValue("Average Thickness:", report.AverageThickness, "mm");
        AddValue("Exposure Area:", record.Specimen.AreaText, "cm\xB2");
        AddValue("Weight Per Unit Area of Specimen:", FormatWeightPerUnitArea(record), "g/m\xB2");
        Add({"", "Test Chemical", "Physical State:", report.PhysicalState == 0 ? "Liquid" : "Gas"});
        Add({"", "", "Test Chemical:", report.TestChemical});
        Add({"", "", "CAS #:", report.CasNumber});
        Add({"", "", "Manufacturer:", report.ChemicalManufacturer});
        Add({"", "", "Lot/Batch #:", report.LotNumber});
        Add({"", "", "Expiration Date:", report.ExpirationDate});
        Add({"", "Temperature", "Nominal Test:", report.NominalTemperature + " degrees Celsius"});
        Add({"", "", "Range:", report.TemperatureRange + " degrees Celsius"});
        Add({"", "Analytical Technique", "Instrument Type:", report.InstrumentType});
        Add({"", "", "Instrument ID Number:", report.InstrumentId});
        Add({"", "", "Instrument Settings:", report.InstrumentSettings});
        Add({"", "", "Sampling Pump ID:", report.PumpId});
        AddCollectionSystem();
        AddValue("Data Sampling Interval (seconds):", report.SamplingInterval);
        if (record.Settings.ResponseFormat == CalibratedAnalyzerOutput) {
            Add({"", "", "Calibration Curve:", record.Settings.CalibrationEquation});
        }
        Add({"", "Additional Comments:", report.Comments});
    }

    const ExperimentRecord &record;
    std::vector<ReportRow> rows;
};

} // namespace

ExcelReport BuildExcelReport(const ExperimentRecord &record)
{
    return ReportBuilder(record).Take();
}

std::vector<NumericCell> NumericCellList(const ExcelReport &report)
{
    std::vector<NumericCell> cells;
    for (std::size_t index = 0; index < report.Rows.size(); ++index) {
        const ReportRow &row = report.Rows[index];
        if (row.Recorded && row.Cells.size() >= 4) {
            cells.push_back({FirstReportRow + static_cast<int>(index), row.Cells[2], row.Cells[3],
                LeadingNumber(row.Cells[3])});
        }
    }
    return cells;
}
