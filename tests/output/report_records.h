#pragma once

// Records for the report tests: the entries of every dialog filled, and results either
// computed from readings with closed-form times or set directly.

#include "test_records.h"

inline void FillReport(ExperimentRecord &record)
{
    ReportInfo &report = record.Report;
    report.ReportTitle = "Glove A";
    report.ProjectNumber = "17";
    report.TestDate = "2024/05/06";
    report.Operator = "Lab 3";
    report.MaterialProduct = "Nitrile 0.1";
    report.AverageThickness = "0.11";
    report.TestChemical = "Acetone";
    report.PhysicalState = 0;
    report.CasNumber = "67-64-1";
    report.ChemicalManufacturer = "Supplier 4";
    report.LotNumber = "L-88";
    report.ExpirationDate = "2026/01";
    report.InstrumentType = "PID";
    report.InstrumentSettings = "10.6 eV";
    report.InstrumentId = "PID-2";
    report.PumpId = "P-7";
    report.CollectionMedium = "Nitrogen";
    report.SamplingInterval = "60";
    report.NominalTemperature = "23";
    report.TemperatureRange = "22-24";
    report.Comments = "none";
    record.SourceName = "run12.xls";
}

// Closed loop over readings t² at one per minute: every breakthrough time has a closed form
// (BDT 7, standardized 40, normalized √2000, minimum 4 min).
inline ExperimentRecord SquareClosedLoop()
{
    ExperimentRecord record = ClosedLoopRecord("0.0125", "10.00");
    FillReport(record);
    record.Settings.Sampling = 1;
    record.Settings.VolumeHandling = 1;
    record.Settings.VolumeReplaced = "0.001";
    record.Settings.MinDetectableMass = "0.25";
    record.Specimen.CumulativeTimeText = "20";
    record.Specimen.TargetMassText = "2.5";
    record.Specimen.AverageStartText = "10";
    record.Specimen.AverageEndText = "20";
    record.Specimen.SpecimenWeightText = "1.5";
    record.InputPrecision = {6, 2, 4, 1, 0, 0};
    SetReadingsPerMinute(record, 70, [](double t) { return t * t; });
    return record;
}

// A record whose results are set directly: the text is built from them alone.
inline ExperimentRecord ClosedLoopResults()
{
    ExperimentRecord record = ClosedLoopRecord("0.1", "5.07");
    FillReport(record);
    record.Report.ReportTitle = "";
    record.Settings.ResponseFormat = CalibratedAnalyzerOutput;
    record.Settings.CalibrationEquation = "y = 2.5x + 0.1";
    record.Specimen.WeightUnit = 1;
    record.Specimen.SpecimenWeightText = "250";
    record.Specimen.TargetMassText = "5";
    record.Specimen.CumulativeTimeText = "60";
    record.Specimen.AverageStartText = "0";
    record.Specimen.AverageEndText = "120";
    SetPoints(record, {0, 30, 120}, {0, 1, 2});
    AnalysisResults &r = record.Results;
    r.StandardizedBreakthroughTime = 12.3;
    r.StandardizedTimeText = "12.3";
    r.BreakthroughDetectionTime = 120;
    r.DetectionTimeText = "120";
    r.NormalizedBreakthroughTime = -2;
    r.NormalizedTimeText = "-2.00";
    r.SteadyStartIndex = 0;
    r.SteadyEndIndex = 5;
    r.SteadySlope = 1;
    r.SteadyRateText = "0.0210";
    r.RSquaredText = "0.998000";
    r.RegionStartText = "30.0";
    r.RegionEndText = "110";
    r.ElapsedTimeText = "0.000000";
    r.CumulativeAtTime = 0.36;
    r.CumulativeText = "0.360000";
    r.AverageRateText = "0.00600";
    return record;
}

inline ExperimentRecord OpenLoopResults()
{
    ExperimentRecord record = OpenLoopRecord("1.0", "10.0");
    FillReport(record);
    record.ResultDigits = 3;
    record.ResultDecimals = 1;
    record.AreaDigits = 3;
    record.AreaDecimals = 1;
    record.Specimen.SpecimenWeightText = "0.35";
    record.Specimen.TargetMassText = "1";
    record.Specimen.CumulativeTimeText = "30";
    record.Specimen.AverageStartText = "0";
    record.Specimen.AverageEndText = "70";
    SetPoints(record, {0, 10, 20, 30, 40, 50, 60, 70}, {1, 2, 3, 5, 8, 7, 6, 4});
    AnalysisResults &r = record.Results;
    r.TopIndices = {4, 5, 6, 3, 7, 2, 1};
    r.StandardizedBreakthroughTime = 5;
    r.StandardizedTimeText = "5.0";
    r.BreakthroughDetectionTime = 4.2;
    r.DetectionTimeText = "4.2";
    r.NormalizedBreakthroughTime = 30;
    r.NormalizedTimeText = "30.0";
    r.TopThreeMeanValue = 7;
    r.SteadyRateText = "0.700000";
    r.PeakTimesMeanText = "50.0";
    r.PeakTimeTexts = {"40.0", "50.0", "60.0"};
    r.ElapsedTimeToTarget = 25;
    r.ElapsedTimeText = "25.0";
    r.CumulativeAtTime = 1.5;
    r.CumulativeText = "1.50";
    r.AverageRateText = "0.390000";
    return record;
}
