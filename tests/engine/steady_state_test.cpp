#include "steady_state.h"

#include "result_texts.h"
#include "test_records.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(SteadyState, ClosedLoopRateIsTheSlopeBetween65And85PercentOfThePeak)
{
    ExperimentRecord record = ClosedLoopRecord("0.1", "10");
    SetReadingsPerMinute(record, 51, [](double t) { return 2 * t; });
    record.Results.TopIndices = {50, 49, 48, 47, 46, 45, 44};
    record.Results.BreakthroughIndex = 0;
    ComputeSteadyStateRegion(record);
    const AnalysisResults &r = record.Results;
    EXPECT_EQ(r.SteadyStartIndex, 32); // 64 and 66 are equally near 65: the first wins
    EXPECT_EQ(r.SteadyEndIndex, 42);
    EXPECT_TRUE(RelativelyNear(2, r.SteadySlope));
    EXPECT_TRUE(RelativelyNear(1, r.SteadyRSquared, 1e-9));
    EXPECT_TRUE(RelativelyNear(0.02, SteadyStateRate(record)));
    EXPECT_TRUE(SteadyStateRateDetermined(record));
}

TEST(SteadyState, OpenLoopRateIsTheMeanOfTheThreeHighestReadings)
{
    ExperimentRecord record = OpenLoopRecord("1", "10");
    SetPoints(record, {0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130},
        {0, 1, 3, 6, 10, 15, 20, 24, 27, 29, 32, 31, 30, 20});
    record.Results.TopIndices = {10, 11, 12, 9, 8, 7, 13};
    ComputeSteadyStateRegion(record);
    EXPECT_TRUE(RelativelyNear(31, record.Results.TopThreeMeanValue));
    EXPECT_TRUE(RelativelyNear(3.1, SteadyStateRate(record)));
    EXPECT_TRUE(RelativelyNear(3.2, PointRate(record, 10))); // the maximum rate, at 100 min

    SetFullPrecision(record);
    FormatResults(record);
    EXPECT_EQ(record.Results.PeakTimesMeanText, "110.000000000");
}

TEST(SteadyState, ClosedLoopRegionOfFewerThanThreeReadingsIsNotDetermined)
{
    ExperimentRecord record = ClosedLoopRecord("0.1", "10");
    SetReadingsPerMinute(record, {0, 0, 0, 0, 100, 100});
    record.Results.TopIndices = {4, 5, 0, 1, 2, 3, 0};
    record.Results.BreakthroughIndex = 4; // at the peak: the searches have no range
    ComputeSteadyStateRegion(record);
    EXPECT_EQ(record.Results.SteadyEndIndex - record.Results.SteadyStartIndex, 0);
    EXPECT_FALSE(SteadyStateRateDetermined(record));

    record.Settings.LoopType = OpenLoop;
    EXPECT_TRUE(SteadyStateRateDetermined(record));
}

TEST(SteadyState, EqualReadingsInTheRegionLeaveTheCorrelationFactorNotDefined)
{
    ExperimentRecord record = ClosedLoopRecord("0.1", "10");
    SetReadingsPerMinute(record, {0, 65, 65, 65, 65, 85, 100});
    record.Results.TopIndices = {6, 5, 1, 2, 3, 4, 0};
    ComputeSteadyStateRegion(record);
    EXPECT_EQ(record.Results.SteadyStartIndex, 1);
    EXPECT_EQ(record.Results.SteadyEndIndex, 5);
    EXPECT_TRUE(std::isnan(record.Results.SteadyRSquared));
    SetFullPrecision(record);
    FormatResults(record);
    EXPECT_EQ(record.Results.RSquaredText, "not defined");
}

TEST(SteadyState, NoPointsLeaveEveryValueZero)
{
    ExperimentRecord record = OpenLoopRecord("1", "10");
    record.Results.TopIndices = {3, 2, 1, 0, 0, 0, 0};
    record.Results.TopThreeMeanValue = 7;
    record.Results.SteadySlope = 2;
    ComputeSteadyStateRegion(record);
    EXPECT_EQ(record.Results.SteadyStartIndex, 0);
    EXPECT_EQ(record.Results.SteadyEndIndex, 0);
    EXPECT_EQ(record.Results.SteadySlope, 0);
    EXPECT_EQ(record.Results.TopThreeMeanValue, 0);
    EXPECT_EQ(PointRate(record, 3), 0);
}
