#include "experiment_record.h"

#include <gtest/gtest.h>

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
