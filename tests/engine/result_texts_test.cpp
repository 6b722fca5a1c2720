#include "result_texts.h"

#include "test_records.h"

#include <gtest/gtest.h>

namespace {

ExperimentRecord FormattedClosedLoop()
{
    ExperimentRecord record = ClosedLoopRecord("1", "1");
    SetReadingsPerMinute(record, 40, [](double t) { return t; });
    record.Results.TopIndices = {39, 38, 37, 36, 35, 34, 33};
    record.Results.SteadyStartIndex = 26;
    record.Results.SteadyEndIndex = 33;
    return record;
}

} // namespace

TEST(FormatResults, TimesUseTheResultPrecision)
{
    ExperimentRecord record = FormattedClosedLoop();
    record.ResultDigits = 2;
    record.ResultDecimals = 1;
    record.Results.BreakthroughDetectionTime = 27.657;
    record.Results.StandardizedBreakthroughTime = 5.4321;
    record.Results.NormalizedBreakthroughTime = -2;
    FormatResults(record);
    EXPECT_EQ(record.Results.DetectionTimeText, "28");
    EXPECT_EQ(record.Results.StandardizedTimeText, "5.4");
    EXPECT_EQ(record.Results.NormalizedTimeText, "-2.0"); // formatted like any number
    EXPECT_EQ(record.Results.PeakTimeTexts[0], "39");
    EXPECT_EQ(record.Results.PeakTimesMeanText, "38");
    EXPECT_EQ(record.Results.RegionStartText, "26");
    EXPECT_EQ(record.Results.RegionEndText, "33");
}

TEST(FormatResults, RatesAreAlsoLimitedByTheTimePrecision)
{
    ExperimentRecord record = FormattedClosedLoop();
    record.ResultDigits = 4;
    record.ResultDecimals = 4;
    record.InputPrecision = {5, 4, 3, 2, 0, 0};
    record.Results.SteadySlope = 12.3456;
    record.Results.SteadyRSquared = 0.98765;
    FormatResults(record);
    EXPECT_EQ(record.Results.SteadyRateText, "12.3");
    EXPECT_EQ(record.Results.RSquaredText, "0.987650"); // below 1: six decimals
}

TEST(FormatResults, OpenLoopKeepsTheRegionTexts)
{
    ExperimentRecord record = FormattedClosedLoop();
    record.Settings.LoopType = OpenLoop;
    record.Settings.FlowRate = "1";
    record.Results.RegionStartText = "earlier";
    record.Results.RegionEndText = "texts";
    FormatResults(record);
    EXPECT_EQ(record.Results.RegionStartText, "earlier");
    EXPECT_EQ(record.Results.RegionEndText, "texts");
}

TEST(ReportedNumbers, DetectionLimitRatePrecisionComesFromTheThreeTexts)
{
    ExperimentRecord record = OpenLoopRecord("1", "10");
    record.Settings.MethodDetectionLimit = "0.5";
    EXPECT_EQ(FormatDetectionLimitRate(record), "0.000050");

    record.Settings.FlowRate = "0.50";
    record.Specimen.AreaText = "20.0";
    record.Settings.MethodDetectionLimit = "0.0100";
    EXPECT_EQ(FormatDetectionLimitRate(record), "2.50E-07"); // six decimals would print 0.000000

    record.Specimen.AreaText = "0";
    EXPECT_EQ(FormatDetectionLimitRate(record), "not defined");
    record.Settings.MethodDetectionLimit = "";
    EXPECT_FALSE(FormatDetectionLimitRate(record).has_value());
}

TEST(ReportedNumbers, WeightPerUnitAreaByUnit)
{
    ExperimentRecord record;
    record.ExposedAreaText = "5.07";
    record.AreaDigits = 3;
    record.AreaDecimals = 2;
    record.Specimen.SpecimenWeightText = "1.25";
    record.Specimen.WeightUnit = 0;
    EXPECT_EQ(FormatWeightPerUnitArea(record), "2470"); // 2465.48… g/m², three figures
    record.Specimen.WeightUnit = 1;
    record.Specimen.SpecimenWeightText = "250 (nominal)";
    EXPECT_EQ(FormatWeightPerUnitArea(record), "250 (nominal)");
    record.Specimen.WeightUnit = 2;
    EXPECT_EQ(FormatWeightPerUnitArea(record), "");

    record.Specimen.WeightUnit = 0;
    record.ExposedAreaText = "";
    EXPECT_EQ(FormatWeightPerUnitArea(record), "not defined");
}

TEST(ReportedNumbers, PointRateWithAnAreaOfZeroIsNotDefined)
{
    ExperimentRecord record = OpenLoopRecord("2", "4");
    SetReadingsPerMinute(record, {0, 10});
    record.ResultDigits = 3;
    record.ResultDecimals = 2;
    EXPECT_EQ(FormatPointRate(record, 1), "5.00");
    record.Specimen.AreaText = "0";
    EXPECT_EQ(FormatPointRate(record, 1), "not defined");
    EXPECT_EQ(FormatPointRate(record, 0), "not defined"); // 0 / 0
}
