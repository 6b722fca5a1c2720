#include "experiment_record.h"

#include <gtest/gtest.h>

TEST(ExperimentRecord, ProgramStartState)
{
    ExperimentRecord record;
    EXPECT_EQ(record.PointCount, 0);
    EXPECT_EQ(record.Points.size(), 5000u);
    EXPECT_EQ(record.Points[4999].Value, 0.0);
    EXPECT_EQ(record.Settings.ResponseFormat, 0);
    EXPECT_EQ(record.Settings.LoopType, ClosedLoop);
    EXPECT_EQ(record.Specimen.AreaMode, 1);
    EXPECT_EQ(record.Specimen.DiameterUnit, 0);
    EXPECT_TRUE(record.Specimen.AreaText.empty());
    EXPECT_FALSE(record.SettingsComplete);
    EXPECT_FALSE(record.ResultsAvailable);
    EXPECT_EQ(record.Results.MinimumBreakthroughTime, 0.0);
}

TEST(ExperimentRecord, SystemTypeFromTheFourChoices)
{
    TestSettings s;
    s.LoopType = OpenLoop;
    s.Sampling = 1; // left over from a closed-loop setting: ignored for an open loop
    EXPECT_EQ(SystemTypeOf(s), SystemType::OpenLoopConstantFlow);
    s.FlowType = 1;
    EXPECT_EQ(SystemTypeOf(s), SystemType::OpenLoopVariableFlow);
    s.LoopType = ClosedLoop; // FlowType left over: ignored for a closed loop
    EXPECT_EQ(SystemTypeOf(s), SystemType::ClosedLoopDiscreteNotReplaced);
    s.VolumeHandling = 1;
    EXPECT_EQ(SystemTypeOf(s), SystemType::ClosedLoopDiscreteReplaced);
    s.Sampling = 0;
    EXPECT_EQ(SystemTypeOf(s), SystemType::ClosedLoopContinuous);
}
