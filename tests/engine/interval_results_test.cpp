#include "interval_results.h"

#include "result_texts.h"
#include "test_records.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

double CumulativeAt(ExperimentRecord record, const std::string &time)
{
    record.Specimen.CumulativeTimeText = time;
    ComputeCumulativeAtTime(record);
    return record.Results.CumulativeAtTime;
}

double TimeToTarget(ExperimentRecord record, const std::string &mass)
{
    record.Specimen.TargetMassText = mass;
    ComputeTimeToTarget(record);
    return record.Results.ElapsedTimeToTarget;
}

double AverageBetween(ExperimentRecord record, const std::string &start, const std::string &end)
{
    record.Specimen.AverageStartText = start;
    record.Specimen.AverageEndText = end;
    return AverageRate(record);
}

} // namespace

TEST(CumulativeAtTime, ClosedLoopInterpolatesTowardsTheNextPoint)
{
    ExperimentRecord record = ClosedLoopRecord("0.1", "10");
    SetPoints(record, {0, 10, 20}, {0, 10, 20});
    record.Specimen.CumulativeTimeText = "15 min";
    ComputeCumulativeAtTime(record);
    EXPECT_TRUE(RelativelyNear(0.15, record.Results.CumulativeAtTime));
    EXPECT_EQ(record.Results.CumulativeTime, 15);
    EXPECT_EQ(record.Results.CumulativeTimeIndex, 1); // 10 and 20 equally near: the first wins

    // Nearest the last point, which has no next one: its own reading.
    EXPECT_TRUE(RelativelyNear(0.2, CumulativeAt(record, "25")));
    // Equal neighbours: the reading itself.
    SetPoints(record, {0, 10, 20}, {5, 5, 5});
    EXPECT_TRUE(RelativelyNear(0.05, CumulativeAt(record, "12")));
}

TEST(CumulativeAtTime, OpenLoopInterpolatesTheIntegralAndNeverGoesNegative)
{
    ExperimentRecord record = OpenLoopRecord("1", "1");
    SetPoints(record, {0, 1, 2}, {0, 2, 4});
    EXPECT_TRUE(RelativelyNear(4, CumulativeAt(record, "2")));
    // Nearest the point at 1 min: the integral is extrapolated along the interval before it.
    EXPECT_TRUE(RelativelyNear(1.5, CumulativeAt(record, "1.5")));
    EXPECT_EQ(CumulativeAt(record, "0"), 0); // nearest the first point: nothing before it

    ExperimentRecord negative = ClosedLoopRecord("1", "1");
    SetPoints(negative, {0, 1}, {-3, -3});
    EXPECT_EQ(CumulativeAt(negative, "0"), 0);
}

TEST(TimeToTarget, InterpolatesBetweenThePointsAroundTheTarget)
{
    ExperimentRecord open = OpenLoopRecord("1", "1");
    SetPoints(open, {0, 1, 2}, {0, 2, 4});
    EXPECT_TRUE(RelativelyNear(1.5, TimeToTarget(open, "2.5")));
    EXPECT_EQ(TimeToTarget(open, "100"), 0); // never reached

    ExperimentRecord closed = ClosedLoopRecord("1", "1");
    SetPoints(closed, {0, 1, 2}, {0, 1, 3});
    EXPECT_TRUE(RelativelyNear(1.5, TimeToTarget(closed, "2")));
    // Point 0 is never examined; before point 1 the mass counts as 0.
    SetPoints(closed, {0, 1, 2}, {5, 6, 7});
    EXPECT_TRUE(RelativelyNear(5.0 / 6, TimeToTarget(closed, "5")));
    // A target of 0 met at point 1 with a mass of 0: the time of point 0.
    SetPoints(closed, {3, 4, 5}, {0, 0, 1});
    EXPECT_EQ(TimeToTarget(closed, "0"), 3);
}

TEST(AverageRate, OverTheIntervalBetweenTheNearestPoints)
{
    ExperimentRecord closed = ClosedLoopRecord("1", "2");
    SetPoints(closed, {0, 10, 20, 30}, {-4, 10, 30, 50});
    EXPECT_TRUE(RelativelyNear(1, AverageBetween(closed, "10", "30"))); // (50 - 10) × 1 / (20 × 2)
    EXPECT_TRUE(RelativelyNear(0.75, AverageBetween(closed, "0", "20"))); // -4 counts as 0
    EXPECT_TRUE(RelativelyNear(1, AverageBetween(closed, "12", "9"))); // same point: extended to the next
    SetPoints(closed, {0, 10, 20}, {30, 20, 10});
    EXPECT_EQ(AverageBetween(closed, "0", "20"), 0); // a falling reading gives 0, not a negative rate

    ExperimentRecord open = OpenLoopRecord("1", "1");
    SetPoints(open, {0, 1, 2}, {0, 2, 4});
    EXPECT_TRUE(RelativelyNear(2, AverageBetween(open, "0", "2"))); // integral 4 over 2 min
}

TEST(AverageRate, TimesNearestTheLastPointUseTheLastInterval)
{
    ExperimentRecord closed = ClosedLoopRecord("1", "1");
    SetPoints(closed, {0, 10, 20}, {0, 10, 30});
    EXPECT_TRUE(RelativelyNear(2, AverageBetween(closed, "25", "40")));

    SetPoints(closed, {0}, {5});
    EXPECT_EQ(AverageBetween(closed, "0", "0"), 0);
    SetPoints(closed, {}, {});
    EXPECT_EQ(AverageBetween(closed, "0", "1"), 0);
}

TEST(AverageRate, TextCarriesTheRatePrecision)
{
    ExperimentRecord record = ClosedLoopRecord("1", "3");
    SetPoints(record, {0, 10}, {0, 40});
    record.Specimen.AverageStartText = "0";
    record.Specimen.AverageEndText = "10";
    record.ResultDigits = 4;
    record.ResultDecimals = 4;
    record.InputPrecision[TimeDigits] = 2;
    record.InputPrecision[TimeDecimals] = 1;
    ComputeAverageRateText(record);
    EXPECT_EQ(record.Results.AverageRateText, "1.3"); // 1.333…, two figures from the times
}

TEST(ReportedValues, TestDurationAndDetectionLimitRate)
{
    ExperimentRecord record = OpenLoopRecord("1", "10");
    SetPoints(record, {5, 35, 95}, {0, 0, 0});
    EXPECT_TRUE(RelativelyNear(1.5, TestDurationHours(record)));
    EXPECT_EQ(FormatTestDuration(record), "1.50");

    record.Settings.MethodDetectionLimit = "0.5";
    ASSERT_TRUE(DetectionLimitRate(record).has_value());
    EXPECT_TRUE(RelativelyNear(0.00005, *DetectionLimitRate(record)));

    record.Settings.FlowType = 1;
    EXPECT_FALSE(DetectionLimitRate(record).has_value());
    record.Settings.FlowType = 0;
    record.Settings.MethodDetectionLimit = "0";
    EXPECT_FALSE(DetectionLimitRate(record).has_value());
    record.Settings.MethodDetectionLimit = "0.5";
    record.Settings.LoopType = ClosedLoop;
    EXPECT_FALSE(DetectionLimitRate(record).has_value());

    ExperimentRecord empty;
    EXPECT_EQ(FormatTestDuration(empty), "0.00");
}
