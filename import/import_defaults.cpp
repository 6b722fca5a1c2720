#include "import_defaults.h"

#include "column_detection.h"
#include "experiment_record.h"
#include "text_number.h"

#include <ctime>

namespace {

std::string TwoDecimals(double minutes)
{
    return FormatInCLocale("%.2f", minutes);
}

} // namespace

CalendarDate LocalToday()
{
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::string TestDateText(const CalendarDate &date)
{
    return FormatInCLocale("%i/%i/%i", date.Month, date.Day, date.Year);
}

std::string TodayAsTestDate()
{
    return TestDateText(LocalToday());
}

void ResetForImport(ExperimentRecord &record, const std::string &sourcePath, const std::string &sourceName,
    const std::string &testDate)
{
    record.SourcePath = sourcePath;
    record.SourceName = sourceName;

    TestSettings &settings = record.Settings;
    for (auto *text : {&settings.TotalVolume, &settings.FlowRate, &settings.VolumeRemoved,
             &settings.VolumeReplaced, &settings.MinDetectableRate, &settings.MinDetectableMass}) {
        text->clear();
    }
    SpecimenInputs &specimen = record.Specimen;
    specimen.DiameterInchText = "1.00";
    for (auto *text : {&specimen.AreaText, &specimen.DiameterCmText, &specimen.CumulativeTimeText,
             &specimen.TargetMassText, &specimen.SpecimenWeightText}) {
        text->clear();
    }
    record.Report.TestDate = testDate;

    record.HeaderKeywords = DefaultHeaderKeywords();
    record.TimeColumnFound = record.AnalyzerColumnFound = record.ConcentrationColumnFound
        = record.FlowColumnFound = 0;
    record.SkippedRows = 0;
    record.PointCount = 0;
    record.Results.SlopeWindow = 0;
    record.Results.BreakthroughDetectionTime = 0;
    record.Results.StandardizedBreakthroughTime = 0;
    record.Results.NormalizedBreakthroughTime = 0;
    record.ManualAnalyzerColumn.clear();
    record.ManualTimeColumn.clear();
    record.ManualFlowColumn.clear();
    // A reference flow of the previous file must never be applied to this one.
    record.ReferenceFlowRate = 0;
    record.DataInputFirstShow = true;
    record.AdditionalInputFirstShow = true;
}

void PrepareDataInput(ExperimentRecord &record)
{
    if (!record.DataInputFirstShow) {
        return;
    }
    SpecimenInputs &specimen = record.Specimen;
    specimen.AverageStartText = TwoDecimals(record.FirstTime);
    specimen.AverageEndText = TwoDecimals(record.LastTime - 0.005);
    specimen.SteadyStateNotEstablished = 0;
    for (auto *text : {&specimen.DiameterCopy, &specimen.AreaText, &specimen.SpecimenWeightText,
             &specimen.CumulativeTimeText, &specimen.TargetMassText}) {
        text->clear();
    }
    record.DataInputFirstShow = false;
}

void PrepareAdditionalDataInput(ExperimentRecord &record)
{
    if (!record.AdditionalInputFirstShow) {
        return;
    }
    ReportInfo &report = record.Report;
    for (auto *text : {&report.ReportTitle, &report.ProjectNumber, &report.Operator, &report.MaterialProduct,
             &report.AverageThickness, &report.TestChemical, &report.CasNumber, &report.ChemicalManufacturer,
             &report.LotNumber, &report.ExpirationDate, &report.InstrumentType, &report.InstrumentSettings,
             &report.InstrumentId, &report.PumpId, &report.CollectionMedium, &report.SamplingInterval,
             &report.NominalTemperature, &report.TemperatureRange, &report.Comments}) {
        text->clear();
    }
    record.AdditionalInputFirstShow = false;
}
