#include "breakthrough.h"

#include "permeation.h"

#include "test_records.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// 0 µg/L at 0 to 29 min, then 1, 2, ..., 40 µg/L at 30 to 69 min.
void SetDelayedRamp(ExperimentRecord &record)
{
    SetReadingsPerMinute(record, 70, [](double t) { return t < 30 ? 0.0 : t - 29; });
}

// Readings t² from t = 0: every quadratic window fits exactly, so each time has a closed form.
void SetSquareReadings(ExperimentRecord &record, int count = 70)
{
    SetReadingsPerMinute(record, count, [](double t) { return t * t; });
}

} // namespace

TEST(TopIndices, HighestFirstAndEqualReadingsKeepTheEarlierPointInFront)
{
    ExperimentRecord record;
    SetReadingsPerMinute(record, {1, 5, 3, 9, 9, 2, 7, 8, 0, 6});
    const std::array<int, 7> expected {3, 4, 7, 6, 9, 1, 2};
    EXPECT_EQ(TopIndices(UsedPoints(record)), expected);

    SetReadingsPerMinute(record, {4, 2, 3});
    const std::array<int, 7> fewPoints {0, 0, 0, 0, 0, 0, 0}; // nothing exceeds the first reading
    EXPECT_EQ(TopIndices(UsedPoints(record)), fewPoints);
}

TEST(BreakthroughTimes, DelayedRampFindsTheRiseAndTheDetectionTime)
{
    ExperimentRecord record = ClosedLoopRecord("1", "1");
    SetDelayedRamp(record);
    ComputeBreakthroughTimes(record);
    const AnalysisResults &r = record.Results;
    EXPECT_EQ(r.SlopeWindow, 15);
    EXPECT_EQ(r.TopIndices[0], 69);
    EXPECT_EQ(r.RiseEndIndex, 30);
    EXPECT_GE(r.BestCorrelation, 0.9);
    EXPECT_EQ(r.ThresholdIndex, 23);
    EXPECT_EQ(r.ThresholdValue, 0);
    EXPECT_EQ(r.BreakthroughIndex, 30);
    EXPECT_NEAR(r.BreakthroughDetectionTime, 27.66, 0.01);
    EXPECT_EQ(record.FirstValue, 0);
    EXPECT_EQ(record.FirstTime, 0);
}

// A logistic rise: the first window tested correlates below 0.9, the search goes on with a
// run of six and accepts the next window tested, two points later.
TEST(BreakthroughTimes, RiseSearchRetriesAfterAPoorlyCorrelatedWindow)
{
    ExperimentRecord record = ClosedLoopRecord("1", "1");
    SetReadingsPerMinute(record, 70, [](double t) { return 100 / (1 + std::exp(-(t - 40) / 2)) + 0.01 * t; });
    ComputeBreakthroughTimes(record);
    const AnalysisResults &r = record.Results;
    EXPECT_EQ(r.RiseEndIndex, 36); // the centre of the accepted window
    EXPECT_EQ(r.BestCorrelationIndex, 37);
    EXPECT_NEAR(r.BestCorrelation, 0.929, 0.001);
    EXPECT_EQ(r.ThresholdIndex, 29);
}

// A step: no window of the run reaches 0.9, so the rise ends one past the centre of the
// best window, not where the run ended.
TEST(BreakthroughTimes, RiseSearchFallsBackOnTheBestWindow)
{
    ExperimentRecord record = ClosedLoopRecord("1", "1");
    SetReadingsPerMinute(record, 70, [](double t) { return 0.1 * t + (t < 40 ? 0 : 100 + (t - 40)); });
    ComputeBreakthroughTimes(record);
    const AnalysisResults &r = record.Results;
    EXPECT_NEAR(r.BestCorrelation, 0.876, 0.001);
    EXPECT_EQ(r.BestCorrelationIndex, 40);
    EXPECT_EQ(r.RiseEndIndex, 40);
    EXPECT_EQ(r.ThresholdIndex, 33);
}

TEST(BreakthroughTimes, ClosedLoopTimesOnAnExactQuadratic)
{
    // Q = 0.00125 t² µg/cm²: the rate 0.0025 t reaches 0.1 at 40 min and 0.01 at 4 min;
    // the mass reaches 2.5 µg/cm² at √2000 min.
    ExperimentRecord record = ClosedLoopRecord("0.0125", "10");
    record.Settings.Sampling = 1;
    record.Settings.VolumeHandling = 1;
    SetSquareReadings(record);
    ComputeBreakthroughTimes(record);
    const AnalysisResults &r = record.Results;
    EXPECT_EQ(r.RiseEndIndex, 14);
    EXPECT_EQ(r.BreakthroughIndex, 8);
    EXPECT_TRUE(RelativelyNear(7, r.BreakthroughDetectionTime, 1e-9)); // t² = 49
    EXPECT_TRUE(RelativelyNear(40, r.StandardizedBreakthroughTime, 1e-9));
    EXPECT_TRUE(RelativelyNear(4, r.MinimumBreakthroughTime, 1e-9));
    EXPECT_TRUE(RelativelyNear(std::sqrt(2000.0), r.NormalizedBreakthroughTime, 1e-9));
}

// A baseline of 1000 µg/L puts 15 % of the peak reading below every reading, so the rate
// windows start at point 0, before the breakthrough index (8), and slide with their length
// of eight points. Q = 0.0025 (1000 + t²) µg/cm²: the rate 0.005 t reaches 0.1 at 20 min
// (the window of points 12 to 19) and 0.01 at 2 min (the first window).
TEST(BreakthroughTimes, ClosedLoopRateWindowsFromFifteenPercentBeforeTheBreakthroughIndex)
{
    ExperimentRecord record = ClosedLoopRecord("0.025", "10");
    record.Settings.Sampling = 1;
    record.Settings.VolumeHandling = 1;
    SetReadingsPerMinute(record, 70, [](double t) { return 1000 + t * t; });
    ComputeBreakthroughTimes(record);
    const AnalysisResults &r = record.Results;
    EXPECT_EQ(r.BreakthroughIndex, 8);
    EXPECT_TRUE(RelativelyNear(20, r.StandardizedBreakthroughTime, 1e-9));
    EXPECT_TRUE(RelativelyNear(2, r.MinimumBreakthroughTime, 1e-9));
}

TEST(BreakthroughTimes, MinimumTimeOnlyForDiscreteReplacedAndNeverKeptFromAnEarlierTest)
{
    ExperimentRecord record = ClosedLoopRecord("0.0125", "10");
    SetSquareReadings(record);
    record.Results.MinimumBreakthroughTime = 12.5;
    ComputeBreakthroughTimes(record); // continuous sampling
    EXPECT_EQ(record.Results.MinimumBreakthroughTime, NeverReached);

    record.Settings.Sampling = 1;
    record.Settings.VolumeHandling = 1;
    ComputeBreakthroughTimes(record);
    EXPECT_TRUE(RelativelyNear(4, record.Results.MinimumBreakthroughTime, 1e-9));
    SetReadingsPerMinute(record, 70, [](double) { return 0.0; });
    ComputeBreakthroughTimes(record);
    EXPECT_EQ(record.Results.MinimumBreakthroughTime, NeverReached);

    ExperimentRecord open = OpenLoopRecord("0.0125", "10");
    open.Settings.Sampling = 1; // left over from a closed-loop setting
    open.Settings.VolumeHandling = 1;
    SetSquareReadings(open);
    ComputeBreakthroughTimes(open);
    EXPECT_EQ(open.Results.MinimumBreakthroughTime, NeverReached);
}

TEST(BreakthroughTimes, OpenLoopTimesOnAnExactQuadratic)
{
    // Rate 0.00125 t²: 0.1 at √80 min, 1.0 at √800 min.
    ExperimentRecord record = OpenLoopRecord("0.0125", "10");
    SetSquareReadings(record);
    ComputeBreakthroughTimes(record);
    EXPECT_TRUE(RelativelyNear(std::sqrt(80.0), record.Results.StandardizedBreakthroughTime, 1e-9));
    EXPECT_TRUE(RelativelyNear(std::sqrt(800.0), record.Results.NormalizedBreakthroughTime, 1e-9));
}

TEST(BreakthroughTimes, OpenLoopNotDetermined)
{
    ExperimentRecord above = OpenLoopRecord("1", "1");
    SetReadingsPerMinute(above, 40, [](double t) { return 1.5 + t; });
    ComputeBreakthroughTimes(above);
    EXPECT_EQ(above.Results.StandardizedBreakthroughTime, ExceededFromStart);
    EXPECT_EQ(above.Results.NormalizedBreakthroughTime, ExceededFromStart);

    ExperimentRecord below = OpenLoopRecord("1", "1");
    SetReadingsPerMinute(below, 40, [](double t) { return 0.002 * t; });
    ComputeBreakthroughTimes(below);
    EXPECT_EQ(below.Results.StandardizedBreakthroughTime, NeverReached);
    EXPECT_EQ(below.Results.NormalizedBreakthroughTime, NeverReached);
}

TEST(BreakthroughTimes, ClosedLoopNotDetermined)
{
    // Masses rising from 0.8 past 1.0 but not to 2.5 µg/cm²: the 1.0 checks flag nothing,
    // there is no crossing of 2.5 and Q(0) is below it.
    ExperimentRecord between = ClosedLoopRecord("1", "1");
    SetReadingsPerMinute(between, 40, [](double t) { return 0.8 + 0.04 * t; });
    ComputeBreakthroughTimes(between);
    EXPECT_EQ(between.Results.NormalizedBreakthroughTime, NeverReached);

    // Every mass above 1.0 µg/cm²: exceeded from the start.
    ExperimentRecord above = ClosedLoopRecord("1", "1");
    SetReadingsPerMinute(above, 40, [](double t) { return 3 + t; });
    ComputeBreakthroughTimes(above);
    EXPECT_EQ(above.Results.NormalizedBreakthroughTime, ExceededFromStart);

    // No mass reaches 0.25 µg/cm², the level the report names: standardized time -2.
    ExperimentRecord low = ClosedLoopRecord("0.00005", "1");
    SetSquareReadings(low);
    ComputeBreakthroughTimes(low);
    EXPECT_EQ(low.Results.StandardizedBreakthroughTime, NeverReached);
    EXPECT_EQ(low.Results.NormalizedBreakthroughTime, NeverReached);
}

TEST(BreakthroughTimes, ClosedLoopSlidingSearchWithoutHitIsUnableToBeDetermined)
{
    // The rate is constant at 0.02 µg/(cm²·min): it never equals 0.1, yet masses pass 0.25.
    ExperimentRecord record = ClosedLoopRecord("1", "1");
    SetReadingsPerMinute(record, 70, [](double t) { return t < 30 ? 0.0 : 0.02 * (t - 29); });
    ComputeBreakthroughTimes(record);
    EXPECT_EQ(record.Results.StandardizedBreakthroughTime, ExceededFromStart);
}

// Each case below would read outside points 0..PointCount-1 without its guard; the sanitizer
// build turns such a read into an abort.

TEST(BreakthroughIndexSafety, FewerThanSixteenPointsHaveNoRise)
{
    for (int count : {1, 2, 9, 15}) {
        ExperimentRecord record = ClosedLoopRecord("1", "1");
        SetSquareReadings(record, count);
        ComputeBreakthroughTimes(record);
        EXPECT_EQ(record.Results.RiseEndIndex, 0) << count;
        EXPECT_EQ(record.Results.BreakthroughIndex, 0) << count;
        EXPECT_EQ(record.Results.BreakthroughDetectionTime, NeverReached) << count;
    }
}

TEST(BreakthroughIndexSafety, ClosedLoopWindowsStartingBeforePointZeroAreSkipped)
{
    // Fifteen points, so no rise and BreakthroughIndex 0: the first seven windows of the
    // slide would start before point 0. Q = 0.01 t², rate 0.02 t reaches 0.1 at 5 min.
    ExperimentRecord record = ClosedLoopRecord("0.1", "10");
    SetSquareReadings(record, 15);
    ComputeBreakthroughTimes(record);
    EXPECT_TRUE(RelativelyNear(5, record.Results.StandardizedBreakthroughTime, 1e-9));
}

TEST(BreakthroughIndexSafety, DetectionWindowStartingBeforePointZeroIsClipped)
{
    // A reading at 6 min above the threshold reading at 7 min puts the breakthrough index at 6:
    // its window would start at -1.
    ExperimentRecord record = ClosedLoopRecord("1", "1");
    SetSquareReadings(record);
    record.Points[6].Value = 50;
    ComputeBreakthroughTimes(record);
    ASSERT_EQ(record.Results.ThresholdIndex, 7);
    ASSERT_EQ(record.Results.BreakthroughIndex, 6);
    EXPECT_TRUE(IsTimeShown(record, record.Results.BreakthroughDetectionTime));
}

TEST(BreakthroughIndexSafety, DetectionWindowEmptyWhenTheRiseFollowsThePeak)
{
    // An early peak, then a smaller rise: the breakthrough index lies after the peak.
    ExperimentRecord record = OpenLoopRecord("1", "1");
    SetReadingsPerMinute(record, 70, [](double t) {
        if (t < 20) {
            return t;
        }
        if (t == 20) {
            return 20.0;
        }
        return t < 40 ? 0.0 : (t - 40) * 0.5;
    });
    ComputeBreakthroughTimes(record);
    const AnalysisResults &r = record.Results;
    ASSERT_NE(r.RiseEndIndex, 0);
    EXPECT_GT(r.BreakthroughIndex, r.TopIndices[0]);
    EXPECT_EQ(r.BreakthroughDetectionTime, NeverReached);
}

TEST(BreakthroughIndexSafety, TenPointWindowsShiftInsideTheData)
{
    // Rate 0.015 t², crossing 0.1 between points 2 and 3 (index 3 is nearer) and 1.0 between
    // points 8 and 9. A bump at point 8 makes the time depend on the window: the crossing at 3
    // must be solved over points 0..9, not over the eight points 0..7 left after clipping.
    ExperimentRecord early = OpenLoopRecord("0.15", "10");
    SetSquareReadings(early, 20);
    early.Points[8].Value += 3;
    ComputeBreakthroughTimes(early);
    const double tenPoints = RootNearest(FitQuantity(early, 0, 10), 0.1, 3);
    ASSERT_FALSE(RelativelyNear(RootNearest(FitQuantity(early, 0, 8), 0.1, 3), tenPoints, 1e-6));
    EXPECT_TRUE(RelativelyNear(tenPoints, early.Results.StandardizedBreakthroughTime));

    // Crossing near the last point: the window ends with the data.
    ExperimentRecord late = OpenLoopRecord("0.15", "10");
    SetSquareReadings(late, 12);
    late.Points[3].Value += 3;
    late.Points[11].Value = 90; // Q(8) = 0.96 and Q(9) = 1.215: the crossing is at 8
    ComputeBreakthroughTimes(late);
    const double lastTen = RootNearest(FitQuantity(late, 2, 12), 1.0, 8);
    ASSERT_FALSE(RelativelyNear(RootNearest(FitQuantity(late, 3, 12), 1.0, 8), lastTen, 1e-6));
    EXPECT_TRUE(RelativelyNear(lastTen, late.Results.NormalizedBreakthroughTime));

    // Fewer than ten points: the window is all of them.
    ExperimentRecord few = OpenLoopRecord("0.15", "10");
    SetSquareReadings(few, 6);
    ComputeBreakthroughTimes(few);
    EXPECT_TRUE(RelativelyNear(std::sqrt(0.1 / 0.015), few.Results.StandardizedBreakthroughTime, 1e-9));
}

TEST(BreakthroughIndexSafety, NoPointsLeaveEveryTimeNotDetermined)
{
    ExperimentRecord record = ClosedLoopRecord("1", "1");
    record.Settings.Sampling = 1;
    record.Settings.VolumeHandling = 1;
    record.Results.TopIndices = {5, 4, 3, 2, 1, 0, 6};
    record.Results.BreakthroughIndex = 12;
    record.FirstValue = 3;
    ComputeBreakthroughTimes(record);
    const AnalysisResults &r = record.Results;
    EXPECT_EQ(r.TopIndices, (std::array<int, 7> {}));
    EXPECT_EQ(r.BreakthroughIndex, 0);
    EXPECT_EQ(r.BreakthroughDetectionTime, NeverReached);
    EXPECT_EQ(r.StandardizedBreakthroughTime, NeverReached);
    EXPECT_EQ(r.NormalizedBreakthroughTime, NeverReached);
    EXPECT_EQ(r.MinimumBreakthroughTime, NeverReached);
    EXPECT_EQ(record.FirstValue, 0);
}

TEST(TimeShown, OnlyInsideZeroToTheLastTime)
{
    ExperimentRecord record;
    SetReadingsPerMinute(record, {0, 1, 2});
    EXPECT_TRUE(IsTimeShown(record, 2.0));
    EXPECT_FALSE(IsTimeShown(record, std::nextafter(2.0, 3.0)));
    EXPECT_FALSE(IsTimeShown(record, 0.0));
    EXPECT_FALSE(IsTimeShown(record, -1));
    EXPECT_FALSE(IsTimeShown(record, std::nan("")));
    EXPECT_TRUE(IsTimeShown(record, 1e-9));
}
