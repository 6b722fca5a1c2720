#include "analysis.h"

#include "breakthrough.h"
#include "test_records.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class RecordingObserver : public AnalysisObserver
{
public:
    void ExposedAreaChanged(const ExperimentRecord &record) override
    {
        events.push_back("area " + record.Specimen.AreaText + " digits " + std::to_string(record.AreaDigits));
    }
    void AnalysisCompleted(ExperimentRecord &record) override
    {
        events.push_back("completed " + record.Results.AverageRateText);
    }
    std::vector<std::string> events;
};

ExperimentRecord DiameterRecord()
{
    ExperimentRecord record;
    record.Settings.LoopType = ClosedLoop;
    record.Settings.TotalVolume = "0.0125";
    record.Specimen.AreaMode = 1;
    record.Specimen.DiameterUnit = 1;
    record.Specimen.DiameterCmText = "3.568";
    record.Specimen.AverageStartText = "10";
    record.Specimen.AverageEndText = "20";
    record.InputPrecision = {6, 4, 4, 2, 0, 0};
    SetReadingsPerMinute(record, 70, [](double t) { return t * t; });
    return record;
}

} // namespace

TEST(RunAnalysis, TellsTheObserverAfterTheAreaAndAfterTheLastStep)
{
    ExperimentRecord record = DiameterRecord();
    RecordingObserver observer;
    RunAnalysis(record, observer);
    // The area is refreshed before the precision step runs; the observer completes last.
    ASSERT_EQ(observer.events.size(), 2u);
    EXPECT_EQ(observer.events[0], "area 9.999 digits 0");
    EXPECT_EQ(observer.events[1], "completed " + record.Results.AverageRateText);
    EXPECT_FALSE(record.Results.AverageRateText.empty());
    EXPECT_EQ(record.AreaDigits, 4);
}

TEST(RunAnalysis, TwoRunsGiveTheSameResults)
{
    ExperimentRecord record = DiameterRecord();
    record.Settings.Sampling = 1;
    record.Settings.VolumeHandling = 1;
    RecordingObserver observer;
    RunAnalysis(record, observer);
    const AnalysisResults first = record.Results;
    const std::string firstArea = record.ExposedAreaText;
    RunAnalysis(record, observer);
    const AnalysisResults &second = record.Results;
    EXPECT_EQ(record.ExposedAreaText, firstArea);
    EXPECT_EQ(second.BreakthroughDetectionTime, first.BreakthroughDetectionTime);
    EXPECT_EQ(second.StandardizedBreakthroughTime, first.StandardizedBreakthroughTime);
    EXPECT_EQ(second.NormalizedBreakthroughTime, first.NormalizedBreakthroughTime);
    EXPECT_EQ(second.MinimumBreakthroughTime, first.MinimumBreakthroughTime);
    EXPECT_EQ(second.SteadySlope, first.SteadySlope);
    EXPECT_EQ(second.DetectionTimeText, first.DetectionTimeText);
    EXPECT_EQ(second.SteadyRateText, first.SteadyRateText);
    EXPECT_EQ(second.RSquaredText, first.RSquaredText);
    EXPECT_EQ(second.CumulativeText, first.CumulativeText);
    EXPECT_EQ(second.AverageRateText, first.AverageRateText);
}

TEST(RunAnalysis, NoPointsStillCompletes)
{
    ExperimentRecord record = DiameterRecord();
    record.PointCount = 0;
    RecordingObserver observer;
    RunAnalysis(record, observer);
    ASSERT_EQ(observer.events.size(), 2u);
    const AnalysisResults &r = record.Results;
    EXPECT_EQ(r.BreakthroughDetectionTime, NeverReached);
    EXPECT_EQ(r.StandardizedBreakthroughTime, NeverReached);
    EXPECT_EQ(r.NormalizedBreakthroughTime, NeverReached);
    EXPECT_EQ(r.CumulativeAtTime, 0);
    EXPECT_EQ(r.CumulativeTimeIndex, 0);
    EXPECT_EQ(r.ElapsedTimeToTarget, 0);
    EXPECT_EQ(r.SteadySlope, 0);
    EXPECT_EQ(r.PeakTimeTexts[0], "0.000000");
}

TEST(RunAnalysis, AreaOfZeroRunsEveryStep)
{
    ExperimentRecord record = DiameterRecord();
    record.Specimen.AreaMode = 0;
    record.Specimen.AreaText = "0";
    RecordingObserver observer;
    RunAnalysis(record, observer);
    ASSERT_EQ(observer.events.size(), 2u);
    EXPECT_FALSE(IsTimeShown(record, record.Results.StandardizedBreakthroughTime));
}
