#include "experiment_record.h"

SystemType SystemTypeOf(const TestSettings &settings)
{
    if (IsOpenLoop(settings)) {
        return IsVariableFlow(settings) ? SystemType::OpenLoopVariableFlow : SystemType::OpenLoopConstantFlow;
    }
    if (IsContinuousSampling(settings)) {
        return SystemType::ClosedLoopContinuous;
    }
    return IsVolumeReplaced(settings) ? SystemType::ClosedLoopDiscreteReplaced
                                      : SystemType::ClosedLoopDiscreteNotReplaced;
}
